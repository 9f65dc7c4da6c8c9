// SPDX-License-Identifier: MIT
#include "FontFiles.h"

// Windows brings Tahoma and Symbol with it; there is nothing to look for.
TFontLookup::TFontLookup(QStringList folders)
    : m_folders(std::move(folders))
{
}

TFontLookup::~TFontLookup() = default;

QStringList TFontLookup::Files(const QString&)
{
    return {};
}

QStringList WineFontFolders()
{
    return {};
}
