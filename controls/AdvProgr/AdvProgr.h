// SPDX-License-Identifier: MIT
#pragma once

#include "Color.h"

#include <QProgressBar>

// Qt's progress bar with bar and background colours. The colours reach the bar only when the
// properties are written: each write resolves system colours to the RGB they have at that moment
// and puts it into the bar's palette (Highlight for the bar, Base for the background). Nothing
// re-applies them later, so a theme change keeps the colours last written.
class TAdvProgress : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(uint BarColor READ BarColor WRITE setBarColor)
    Q_PROPERTY(uint BkColor READ BkColor WRITE setBkColor)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)

public:
    explicit TAdvProgress(QWidget* parent = nullptr);

    TColor BarColor() const { return FBarColor; }
    void setBarColor(TColor value);
    TColor BkColor() const { return FBkColor; }
    void setBkColor(TColor value);

    // Always "1.2.0.0"; writing does nothing.
    QString Version() const;
    void setVersion(const QString&) { }

private:
    TColor FBarColor;
    TColor FBkColor;
};
