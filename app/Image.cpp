// SPDX-License-Identifier: MIT
#include "Image.h"

#include <QEvent>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPixmapCache>

namespace {

// The picture of a file of the window definitions, decoded once per process. The files are built into
// the program and never change, so the file name alone is the key: Qt's own lookup by name asks the file
// for its time of change (and the time zone for its local time) at every load.
QPixmap DecodedPicture(const QString& file)
{
    const QString key = QStringLiteral("TImage:") + file;
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap::fromImage(QImage(file));
        if (!picture.isNull())
            QPixmapCache::insert(key, picture);
    }
    return picture;
}

} // namespace

void TImage::setPicture(const QString& fileName)
{
    if (fileName == m_picture)
        return;
    m_picture = fileName;
    m_loadedRatio = 0;
    LoadPicture();
    emit pictureChanged(m_picture);
}

QString TImage::FileFor(const QString& fileName, qreal devicePixelRatio)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (devicePixelRatio <= 1 || dot <= 0)
        return fileName;
    const QString twice = fileName.left(dot) + QStringLiteral("@2x") + fileName.mid(dot);
    return QFile::exists(twice) ? twice : fileName;
}

bool TImage::event(QEvent* event)
{
    // Moved to a screen of another pixel ratio: the other file suits it.
    if (event->type() == QEvent::ScreenChangeInternal && devicePixelRatioF() != m_loadedRatio)
        LoadPicture();
    return QLabel::event(event);
}

void TImage::LoadPicture()
{
    if (m_picture.isEmpty()) {
        clear();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QString file = FileFor(m_picture, ratio);
    QPixmap picture = DecodedPicture(file); // shared with the cache; a 2x file reads with its ratio
    const qreal pictureRatio = file == m_picture ? 1.0 : 2.0;
    if (picture.devicePixelRatio() != pictureRatio)
        picture.setDevicePixelRatio(pictureRatio);
    m_loadedRatio = ratio;
    setPixmap(picture);
    if (!picture.isNull())
        resize(picture.deviceIndependentSize().toSize());
}
