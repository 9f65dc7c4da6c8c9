// SPDX-License-Identifier: MIT
#include "FormPanel.h"

#include "AdvPanel.h"
#include "AdvPanelStyler.h"

using namespace AdvPanel;

namespace {

TFont Tahoma11(TColor color)
{
    TFont font;
    font.Name = QStringLiteral("Tahoma");
    font.Height = -11;
    font.Color = color;
    return font;
}

} // namespace

void LoadStoredPanelValues(TCustomAdvPanel& panel)
{
    panel.setAlign(alClient);
    panel.setBorderColor(clGray);
    panel.Caption()->setColor(clWhite);
    panel.Caption()->setColorTo(clNone);
    panel.Caption()->setFont(Tahoma11(clBlack));
    panel.Caption()->setIndent(2);
    panel.Caption()->setShadeLight(255);
    panel.setCollapsColor(clBtnFace);
    panel.setCollapsDelay(0);
    panel.setShadowColor(clBlack);
    panel.setShadowOffset(0);
    panel.StatusBar()->setBorderColor(clNone);
    panel.StatusBar()->setFont(Tahoma11(clBlack));
    panel.StatusBar()->setGradientDirection(gdVertical);
    panel.setFullHeight(0);
}

TAdvPanelStyler* CreateMainPanelStyler(QObject* owner)
{
    auto* styler = new TAdvPanelStyler(owner);
    styler->setObjectName(QStringLiteral("MainAdvPanelStyler"));
    TAdvPanelSettings& s = *styler->Settings();
    s.setAnchorHint(false);
    s.setBevelInner(bvNone);
    s.setBevelOuter(bvRaised);
    s.setBevelWidth(1);
    s.setBorderColor(clGray);
    s.setBorderShadow(false);
    s.setBorderStyle(bsNone);
    s.setBorderWidth(0);
    s.setCanMove(false);
    s.setCanSize(false);
    s.Caption()->setColor(clWhite);
    s.Caption()->setColorTo(clNone);
    s.Caption()->setFont(Tahoma11(clBlack));
    s.Caption()->setIndent(2);
    s.Caption()->setShadeLight(255);
    s.setCollaps(false);
    s.setCollapsColor(clBtnFace);
    s.setCollapsDelay(0);
    s.setCollapsSteps(0);
    s.setColor(clBtnFace);
    s.setColorTo(clNone);
    s.setColorMirror(clNone);
    s.setColorMirrorTo(clNone);
    s.setCursor(QCursor(Qt::ArrowCursor));
    s.setFont(Tahoma11(clWindowText));
    s.setFixedTop(false);
    s.setFixedLeft(false);
    s.setFixedHeight(false);
    s.setFixedWidth(false);
    s.setHeight(120);
    s.setHover(false);
    s.setHoverColor(clNone);
    s.setHoverFontColor(clNone);
    s.setIndent(0);
    s.setShadowColor(clBlack);
    s.setShadowOffset(0);
    s.setShowHint(false);
    s.setShowMoveCursor(false);
    s.StatusBar()->setBevelInner(true);
    s.StatusBar()->setBorderColor(clNone);
    s.StatusBar()->setFont(Tahoma11(clBlack));
    s.StatusBar()->setGradientDirection(gdVertical);
    s.setTextVAlign(tvaTop);
    s.setTopIndent(0);
    s.setURLColor(clBlue);
    s.setWidth(0);
    styler->setTag(0);
    styler->setStyle(psClassic);
    return styler;
}
