// SPDX-License-Identifier: MIT
#pragma once

#include "Color.h"

#include <QProgressBar>

// Qt's progress bar with bar and background colours. The colours reach the bar only when the
// properties are written: each write resolves system colours to the RGB they have at that moment
// and puts it into the bar's palette (Highlight for the bar, Base for the background). Nothing
// re-applies them later, so a theme change keeps the colours last written; writing a colour again
// takes its RGB anew but notifies only a changed value.
class TAdvProgress : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(uint BarColor READ BarColor WRITE setBarColor NOTIFY barColorChanged)
    Q_PROPERTY(uint BkColor READ BkColor WRITE setBkColor NOTIFY bkColorChanged)
    // The bar's value under the name the window's controller uses.
    Q_PROPERTY(int Position READ value WRITE setValue NOTIFY positionChanged)
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

signals:
    void barColorChanged(uint color);
    void bkColorChanged(uint color);
    // valueChanged again, for the Position property.
    void positionChanged(int position);

private:
    void SetPaletteColor(QPalette::ColorRole role, TColor value);

    TColor FBarColor;
    TColor FBkColor;
};
