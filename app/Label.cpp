// SPDX-License-Identifier: MIT
#include "Label.h"

#include "BoldFace.h"

#include <QEvent>
#include <QList>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QTextDocument>
#include <utility>

namespace {

int g_deferDepth = 0;
QList<QPointer<TLabel>>& Pending()
{
    static QList<QPointer<TLabel>> pending;
    return pending;
}

} // namespace

TLabel::DeferFitting::DeferFitting()
{
    ++g_deferDepth;
}

TLabel::DeferFitting::~DeferFitting()
{
    if (--g_deferDepth > 0)
        return;
    const QList<QPointer<TLabel>> due = std::exchange(Pending(), {});
    for (const QPointer<TLabel>& label : due) {
        if (label)
            label->FitWidth();
    }
}

void TLabel::setText(const QString& text)
{
    QLabel::setText(text);
    FitWidth();
}

int TLabel::TextWidth() const
{
    // One measurement of the single line; a full size hint lays the text out and costs far more.
    return fontMetrics().horizontalAdvance(text()) + 2 * (margin() + frameWidth());
}

void TLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitWidth();
}

void TLabel::FitWidth()
{
    if (g_deferDepth > 0) {
        if (!Pending().contains(this))
            Pending().append(this);
        return;
    }
    if (!wordWrap()) {
        m_fittedWidth = TextWidth();
        resize(m_fittedWidth, height());
    }
}

void TLabel::paintEvent(QPaintEvent* event)
{
    const bool fitted = wordWrap() || m_fittedWidth <= width();
    // Synthetic bold drawn by the style thins to regular on a scaled screen; one plain line without
    // a mnemonic is drawn here instead.
    const bool plainLine = !wordWrap() && !buddy() && textFormat() != Qt::RichText
        && !(textFormat() == Qt::AutoText && Qt::mightBeRichText(text()));
    const bool ownBold = plainLine && !qFuzzyCompare(devicePixelRatioF(), 1.0) && IsSyntheticBold(font());
    if (fitted && !ownBold) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fitted ? text() : fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    const int align = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    if (!ownBold) {
        style()->drawItemText(&painter, area, align, palette(), isEnabled(), shown, foregroundRole());
        return;
    }
    if (!isEnabled() && style()->styleHint(QStyle::SH_EtchDisabledText, nullptr, this)) {
        painter.setPen(palette().light().color());
        DrawTextLineBold(painter, area.translated(1, 1), align, shown, font());
    }
    painter.setPen(palette().color(foregroundRole()));
    DrawTextLineBold(painter, area, align, shown, font());
}
