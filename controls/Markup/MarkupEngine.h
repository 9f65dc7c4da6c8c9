// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"
#include "Color.h"
#include "Rect.h"

#include <QString>
#include <QStringView>
#include <initializer_list>

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// Inputs of one DrawMarkup call besides the canvas and the text.
struct TMarkupParams {
    TRect Rect; // layout rectangle
    TImageList* Images = nullptr; // source of "IDX:" pictures
    int HitX = 0; // point to hit-test, canvas coordinates
    int HitY = 0;
    int FocusAnchor = -1; // 0-based anchor that gets a focus rectangle; -1 none
    int HoverAnchor = -1; // 1-based anchor under the mouse; -1 none
    int ShadowOffset = 0; // pixels, both axes
    bool HitTestOnly = false; // lay out and hit-test, draw nothing
    bool HeightOnly = false; // measure only, no stop at the bottom
    bool PrintMode = false; // pictures copied as bitmaps scaled by ResFactor
    bool FixedColors = false; // tags do not change text or background colours
    bool BlinkOn = false; // blink phase; off hides blink text
    bool Hover = false; // only HoverAnchor is underlined and hover-coloured
    bool WordWrap = true; // break at blanks; off: one line per break, end ellipsis
    double ResFactor = 1.0;
    TColor URLColor = clBlue;
    TColor HoverColor = clNone;
    TColor HoverFontColor = clNone;
    TColor ShadowColor = clGray;
    int LineSpacing = 0; // extra pixels per line
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* PictureContainer = nullptr;
};

// Outputs of one DrawMarkup call.
struct TMarkupResult {
    bool Hit = false; // the point lies on an anchor (the call's return value)
    QString AnchorValue; // target of the anchor under the point; meaningful only when Hit
    QString FocusValue; // target of the focus anchor
    int XSize = 0; // size of the laid-out text
    int YSize = 0;
    int AnchorCount = 0;
    int HitAnchor = -1; // 1-based anchor under the point, -1 when none
    TRect HitRect; // that anchor's rectangle on the line where it ends
};

// Lays out marked-up text in params.Rect and draws it (HitTestOnly and HeightOnly false), only lays
// it out and hit-tests (HitTestOnly), or measures its height (HeightOnly). Keeps nothing between
// calls; leaves the canvas font and brush colour as it found them. Returns result.Hit.
bool DrawMarkup(TCanvas& canvas, QStringView text, const TMarkupParams& params, TMarkupResult& result);

// What a tag does. Tags are told apart by the letter after "<" (or "</") and, for some letters, the
// character after it, ASCII letters in either case; the rest of the name is never read, so any tag
// whose name begins with those letters acts as that tag.
enum class TMarkupTag {
    Ignored, // consumed without effect
    Anchor, // A
    Bold, // B then ">"
    Blink, // B then L; a closing B not followed by ">" brings the base font's colour back
    Page, // B then O: page background
    LineBreak, // B then R
    ErrorMark, // E
    Font, // F; an opening one only when a ">" follows
    Highlight, // H then I; any closing H
    Rule, // H then R
    Italic, // I then ">"; any closing I
    IndentTo, // I then N
    Image, // I then M
    ListItem, // L
    Offset, // O then F; any closing O
    Paragraph, // P
    Rotation, // R
    StrikeOut, // S then ">"; a closing S not followed by U or H
    Shadow, // S then H
    Subscript, // "<SUB>"; a closing S then U ends both scripts
    Superscript, // "<SUP>"
    Underline, // U then ">"
    ListLevel, // U otherwise: one list level more (closing: less)
    Hidden, // Z
};

struct TMarkupTagToken {
    TMarkupTag tag = TMarkupTag::Ignored;
    bool closing = false;
    qsizetype length = 0; // from "<" through the first ">", or to the end of the input without one
};

// Reads the tag at the start of `rest`: a "<" followed by the rest of the input. Closing tags need
// more than three characters of input, opening ones more than two; shorter ones are Ignored.
TMarkupTagToken ReadMarkupTag(QStringView rest);

// Whether DrawMarkup, reading `markup`, meets an opening tag of one of `tags`.
bool MarkupHasTag(QStringView markup, std::initializer_list<TMarkupTag> tags);

// The visible text without markup: <BR> and <HR> become CR LF, hidden text is dropped.
QString MarkupToPlainText(QStringView text);

// Fills `rect` with `steps` bands from `from` to `to` (horizontally or vertically); draws a hollow
// rectangle in `border` around it unless border is clNone. Changes the canvas pen and brush.
void DrawGradient(TCanvas& canvas, TColor from, TColor to, int steps, const TRect& rect, bool horizontal,
    TColor border = clNone);
