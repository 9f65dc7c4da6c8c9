// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

// A label of the window definitions: one line of text whose width always fits the text, whatever
// font or text it is given; height and position stay as designed. A label given a maximum width
// stops there and shows its text with the middle left out, so both ends stay in view.
class TLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // Sets the text and fits the width to it (hides QLabel::setText, which does not resize).
    void setText(const QString& text);
    // The width that shows the whole text.
    int TextWidth() const;

    // While one lives, labels only note that their width is due; the last one to go fits them once.
    // A form wraps the setting of its texts and fonts in one, so each label measures once.
    class DeferFitting {
    public:
        DeferFitting();
        ~DeferFitting();
        DeferFitting(const DeferFitting&) = delete;
        DeferFitting& operator=(const DeferFitting&) = delete;
    };

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FitWidth();

    int m_fittedWidth = 0; // the text's width when it was last fitted
};

// A static text: a label with a window of its own in the original framework; the same here.
class TStaticText : public TLabel {
    Q_OBJECT

public:
    using TLabel::TLabel;
};
