// SPDX-License-Identifier: MIT
#pragma once

#include "Label.h"

// A label that acts as a link: it reports a left click released over it while it is enabled.
// Given a focus policy it is also a keyboard stop: it shows a focus frame, and Space or Enter
// press it as a click does. Assistive technology sees it as a link whose press action clicks it.
class ClickLabel : public TLabel {
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
