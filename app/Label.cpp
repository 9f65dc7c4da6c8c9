// SPDX-License-Identifier: MIT
#include "Label.h"

#include <QEvent>

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
    if (!wordWrap())
        resize(TextWidth(), height());
}
