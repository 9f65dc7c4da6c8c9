// SPDX-License-Identifier: MIT
#include "FontFiles.h"

#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <dirent.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

namespace {

// The files of `family` in `config`'s font set `which`. The system's set of the current configuration
// leaves out the fonts the program has registered itself.
QStringList ListFamily(FcConfig* config, FcSetName which, const QString& family)
{
    QStringList files;
    FcFontSet* sets[] = { FcConfigGetFonts(config, which) };
    if (!sets[0])
        return files;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    if (FcFontSet* set = FcFontSetList(config, sets, 1, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file)
                files << DecodePath(QByteArray(reinterpret_cast<const char*>(file)));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    files.sort(); // fontconfig's order is its cache's; the same files register in the same order
    files.removeDuplicates();
    return files;
}

// Outline fonts only: Wine's folder also holds dozens of bitmap fonts, which would multiply the time
// fontconfig takes to read it and which the windows never use.
bool IsOutlineFontFile(const QByteArray& name)
{
    const QByteArray lower = name.toLower();
    for (const char* extension : { ".ttf", ".ttc", ".otf", ".otc" }) {
        if (lower.endsWith(extension))
            return true;
    }
    return false;
}

// Adds the outline font files under `folder` (the system's bytes) to `config`; sub-folders a few
// levels deep.
void AddFolderFiles(FcConfig* config, const QByteArray& folder, int depth)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = folder + '/' + name;
        struct stat st { };
        if (::stat(path.constData(), &st) != 0)
            continue;
        if (S_ISREG(st.st_mode) && IsOutlineFontFile(name))
            FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.constData()));
        else if (S_ISDIR(st.st_mode) && depth < 4)
            AddFolderFiles(config, path, depth + 1);
    }
    ::closedir(dir);
}

} // namespace

TFontLookup::TFontLookup(QStringList folders)
    : m_folders(std::move(folders))
{
}

TFontLookup::~TFontLookup()
{
    if (m_folderConfig)
        FcConfigDestroy(m_folderConfig);
}

QStringList TFontLookup::Files(const QString& family)
{
    if (FcConfig* system = FcConfigGetCurrent()) {
        QStringList files = ListFamily(system, FcSetSystem, family);
        if (!files.isEmpty() || m_folders.isEmpty())
            return files;
    }
    if (!m_folderConfig) {
        // A configuration of its own, holding nothing but these files. They are added one by one: a
        // folder added whole would want a cache this configuration has no place for.
        m_folderConfig = FcConfigCreate();
        for (const QString& folder : std::as_const(m_folders))
            AddFolderFiles(m_folderConfig, EncodePath(folder), 0);
    }
    return ListFamily(m_folderConfig, FcSetApplication, family);
}

QStringList WineFontFolders()
{
    QStringList candidates;
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        candidates << dir + QStringLiteral("/wine/fonts");
    for (const QString& dir : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QFileInfo wine(dir + QStringLiteral("/wine"));
        if (wine.isFile() && wine.isExecutable())
            candidates << QFileInfo(wine.canonicalFilePath())
                              .dir()
                              .absoluteFilePath(QStringLiteral("../share/wine/fonts"));
    }
    QStringList folders;
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        const QString folder = info.canonicalFilePath();
        if (info.isDir() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}
