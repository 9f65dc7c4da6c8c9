// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QObject>

namespace AdvEditLabels {
Q_NAMESPACE
// Where the edit field's attached label sits. The last value is spelled as the form files have it.
enum TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
    lpRightTop,
    lpRightCenter,
    lpRighBottom
};
Q_ENUM_NS(TLabelPosition)

// The label's top-left for a field at `field`, a label of `label` size whose caption is `textWidth`
// pixels wide, `margin` pixels apart.
QPoint Place(TLabelPosition position, const QRect& field, const QSize& label, int textWidth, int margin);
} // namespace AdvEditLabels

// The attached label: a label that reports clicks.
class TEditLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};
