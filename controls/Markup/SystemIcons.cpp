// SPDX-License-Identifier: MIT
#include "SystemIcons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <array>

namespace {

using IconType = QAbstractFileIconProvider::IconType;

// Icon numbers as markup written for the shell's list uses them, mapped onto the kinds of icon
// the provider has:
//   0-2 document, document, program     -> File
//   3-4 closed and open folder          -> Folder
//   5-12 floppy, removable, fixed, network, offline, optical and RAM drives -> Drive
//   13-14 whole network, network place  -> Network
//   15 computer                         -> Computer
//   16 printer                          -> File
//   17-18 network neighbourhood, group  -> Network
//   19-30 further documents and tools   -> File
//   31-32 empty and full recycle bin    -> Trashcan
//   33 document                         -> File
//   34 desktop                          -> Desktop
// Numbers outside 0-34 have no icon.
constexpr std::array<IconType, 35> kIconTypes { {
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::Folder,
    IconType::Folder,
    IconType::Drive,
    IconType::Drive,
    IconType::Drive,
    IconType::Drive,
    IconType::Drive,
    IconType::Drive,
    IconType::Drive,
    IconType::Drive,
    IconType::Network,
    IconType::Network,
    IconType::Computer,
    IconType::File,
    IconType::Network,
    IconType::Network,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::File,
    IconType::Trashcan,
    IconType::Trashcan,
    IconType::File,
    IconType::Desktop,
} };

// Icons are asked for on every paint; rendering them each time would dominate the paint.
constexpr qsizetype kMaxCached = 256;

QHash<QString, QImage>& Cache()
{
    static QHash<QString, QImage> cache;
    return cache;
}

QString CacheKey(const QString& what, bool large, QSize size)
{
    return QStringLiteral("%1|%2|%3x%4").arg(what).arg(large ? 1 : 0).arg(size.width()).arg(size.height());
}

// The widgets provider asks the application style and needs a widgets application; without one
// the theme-based provider serves.
std::unique_ptr<QAbstractFileIconProvider> Provider()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return std::make_unique<QFileIconProvider>();
    return std::make_unique<QAbstractFileIconProvider>();
}

QImage Render(const QIcon& icon, QSize size)
{
    if (icon.isNull())
        return {};
    QImage image = icon.pixmap(size, 1.0).toImage();
    if (image.isNull())
        return {};
    if (image.size() != size)
        image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.size() == size)
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Keep the requested box whatever the icon's own proportions.
    QImage boxed(size, QImage::Format_ARGB32_Premultiplied);
    boxed.fill(Qt::transparent);
    QPainter p(&boxed);
    p.drawImage((size.width() - image.width()) / 2, (size.height() - image.height()) / 2, image);
    return boxed;
}

QSize EffectiveSize(bool large, QSize size)
{
    if (size.width() > 0 && size.height() > 0)
        return size;
    const int side = SystemIconBaseSize(large);
    return QSize(side, side);
}

template <typename Make> QImage Cached(const QString& key, Make make)
{
    QHash<QString, QImage>& cache = Cache();
    const auto it = cache.constFind(key);
    if (it != cache.cend())
        return *it;
    QImage image = make();
    if (cache.size() >= kMaxCached)
        cache.clear();
    cache.insert(key, image);
    return image;
}

} // namespace

int SystemIconBaseSize(bool large)
{
    return large ? 32 : 16;
}

QImage SystemIconByIndex(int index, bool large, QSize size)
{
    if (index < 0 || index >= int(kIconTypes.size())
        || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    size = EffectiveSize(large, size);
    return Cached(CacheKey(QString::number(index), large, size),
        [&] { return Render(Provider()->icon(kIconTypes[std::size_t(index)]), size); });
}

QImage SystemIconForPath(const QString& given, bool large, QSize size)
{
    // A file name ends at its first NUL, as it would handed to the system; the MIME lookup also
    // reads out of bounds on names that hold one.
    const QString path = given.left(given.indexOf(QChar(u'\0')));
    if (path.isEmpty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    size = EffectiveSize(large, size);
    const QFileInfo info(path);
    if (info.exists()) {
        const QString kind = info.isDir() ? QStringLiteral("dir:") : QStringLiteral("file:");
        return Cached(CacheKey(kind + info.absoluteFilePath(), large, size), [&] {
            const auto provider = Provider();
            QIcon icon = provider->icon(info);
            // Devices and pipes have no icon of their own.
            if (icon.isNull())
                icon = provider->icon(info.isDir() ? IconType::Folder : IconType::File);
            return Render(icon, size);
        });
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return Cached(CacheKey(QStringLiteral("mime:") + mime.name(), large, size), [&] {
        QIcon icon = QIcon::fromTheme(mime.iconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(mime.genericIconName());
        if (icon.isNull())
            icon = Provider()->icon(QAbstractFileIconProvider::File);
        return Render(icon, size);
    });
}
