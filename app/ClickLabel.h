// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

// A label that acts as a link: it reports a left click released over it while it is enabled.
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
