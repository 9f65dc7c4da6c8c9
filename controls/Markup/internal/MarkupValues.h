// SPDX-License-Identifier: MIT
#pragma once

#include "Color.h"

#include <QString>
#include <QStringView>

// Readers for the values inside markup tags. None of them fails: unreadable input reads as what
// could be read of it.
namespace Markup {

struct Number {
    int value = 0;
    bool clean = false; // the whole value was digits (after blanks and a sign)
};

// Leading blanks, an optional sign, then decimal digits, or hexadecimal after "$", "x" or "0x".
// Stops at the first other character; the sign counts only when the value read cleanly.
Number ReadNumber(QStringView value);

// "#RRGGBB" or a colour name from the table (any case); an unknown name is black.
TColor ReadColor(QStringView value);
// The colour-name table alone: false when `lowerName` is not in it.
bool ColorFromName(QStringView lowerName, TColor& color);

// The value of the first occurrence of `name` in `part`: the text between the next two double
// quotes after it. `found` tells whether the name occurs at all; a value without quotes is empty.
QStringView AttributeValue(
    QStringView part, QStringView name, Qt::CaseSensitivity cs = Qt::CaseSensitive, bool* found = nullptr);

// The first double-quoted value anywhere in `tag`; empty without quotes.
QStringView FirstQuoted(QStringView tag);

// The font tag's SIZE in points (1 to 5 are the HTML steps 8, 10, 12, 14, 16 pt); false when the
// part has no SIZE followed by "=".
bool FontSizeValue(QStringView upperPart, int& points);

// The tag's attribute part: its text from character `from` up to, not including, its ">".
QStringView TagPart(QStringView tag, qsizetype from);

// Upper-cases ASCII letters only, so that indices stay those of the original.
QString AsciiUpper(QStringView text);

// Decodes "&amp;", "&quot;", "&sect;", "&permil;", "&reg;", "&copy;", "&para;", "&trade;" and
// "&euro;" in any case, in one pass over the whole markup. In text "&amp;" becomes "&&" for the
// prefix rule, and its second "&" may begin another entity, so a chain ends as decoding again until
// nothing changes would leave it ("&amp;amp;" gives "&&&", "&amp;quot;" gives "&" and a quote).
// Inside a tag (from "<" to ">" or to a CR, which becomes a line-break tag; the first "<#" pair is
// text) an entity stands for its one character: "&amp;" is "&", and nothing chains.
void DecodeTextEntities(QString& text);

// Decodes "&nbsp;", "&lt;" and "&gt;" (any case) in one run into `out`; false when the run has none
// (and `out` is left alone).
bool DecodeRunEntities(QStringView run, QString& out);

} // namespace Markup
