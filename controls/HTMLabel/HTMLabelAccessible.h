// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QString>
#include <vector>

// An anchor of an HTML label as laid out: its target, the text it shows and the rectangles of that
// text, one per line it runs over (client coordinates).
struct THTMLabelAnchor {
    QString target;
    QString text;
    std::vector<QRect> parts;
    QRect Bounds() const;
};

// Makes HTML labels known to assistive technology: a label is static text with its plain text, and
// each anchor a link child whose press action opens it as a click would. Safe to call more than once.
void InstallHTMLabelAccessibility();
