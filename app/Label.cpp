// SPDX-License-Identifier: MIT
#include "Label.h"

#include <QEvent>
#include <QList>
#include <QPainter>
#include <QPointer>
#include <QStyle>
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
    if (wordWrap() || m_fittedWidth <= width()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    style()->drawItemText(&painter, area, int(QStyle::visualAlignment(layoutDirection(), alignment())),
        palette(), isEnabled(), shown, foregroundRole());
}
