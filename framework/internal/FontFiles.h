// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

struct _FcConfig; // NOLINT(bugprone-reserved-identifier): fontconfig's own name behind FcConfig

// Finds the font files of a family through fontconfig: those the system's font configuration lists,
// else those in the extra folders, which fontconfig scans too (a file counts by the family it holds,
// not by its name). The folders are scanned once, at the first family the system lacks. Paths in the
// form of platform/Paths.h, so names that are not UTF-8 survive. On Windows nothing is found: the
// system brings the fonts the windows use.
class TFontLookup {
public:
    explicit TFontLookup(QStringList folders);
    ~TFontLookup();
    TFontLookup(const TFontLookup&) = delete;
    TFontLookup& operator=(const TFontLookup&) = delete;

    // The files of `family` (any letter case), sorted; empty when neither place has it.
    QStringList Files(const QString& family);

private:
    QStringList m_folders;
    _FcConfig* m_folderConfig = nullptr; // holds only the files of m_folders once scanned
};

// Where a Wine installation keeps its fonts, which the system's font configuration does not list:
// wine/fonts under each XDG data folder (/usr/local/share and /usr/share unless XDG_DATA_DIRS says
// otherwise), then share/wine/fonts of the prefix of each `wine` program on PATH. Only existing
// folders, each once.
QStringList WineFontFolders();
