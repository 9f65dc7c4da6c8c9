// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Text rewrites of the HTML label that need no widget.
namespace HTMLabelText {

// The markup the label shows: its lines joined with one blank.
QString JoinLines(const QStringList& lines);

// A whole list assigned at once: the lines run together and every CR and LF is dropped.
QString RemoveLineBreaks(const QStringList& lines);

// The text a reader sees: every tag ("<" through the next ">") removed; a "<" with no ">" after it
// keeps the rest as it is.
QString VisibleText(QStringView markup);

// Index in `markup` before which visible character `visibleIndex` (0-based) sits; a count that
// falls on a tag gives the tag's "<", a count past the end gives markup.size().
qsizetype MarkupIndex(QStringView markup, qsizetype visibleIndex);

// Wraps every occurrence of `text` in the visible text with "<tag>" and "</tag>" (exact case when
// `matchCase`, otherwise letters compared upper-cased). An empty `text` changes nothing.
QString WrapMatches(QStringView markup, QStringView text, QStringView tag, bool matchCase);

// Removes every "<tag>" and "</tag>", in any letter case.
QString RemoveTag(QStringView markup, QStringView tag);

} // namespace HTMLabelText
