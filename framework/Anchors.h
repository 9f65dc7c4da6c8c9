// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

// Whether a click on `anchor` belongs to the user's default handler (its target holds "://" or
// "mailto:") rather than to the control's own click event.
bool IsShellAnchor(const QString& anchor);

// Shows `hint` as plain text in the tooltip of `owner`, beside the pointer at `globalPos`.
void ShowAnchorTip(QWidget* owner, const QPoint& globalPos, const QString& hint);

// A control's anchor hint: false when the pointer is over no anchor; else the control's hint event
// may change the text, which then shows beside the pointer.
template <class Sender>
bool ShowAnchorHint(Sender* sender, const std::function<void(Sender*, QString&)>& onHint,
    const QPoint& globalPos, QString anchor)
{
    if (anchor.isEmpty())
        return false;
    if (onHint)
        onHint(sender, anchor);
    ShowAnchorTip(sender, globalPos, anchor);
    return true;
}
