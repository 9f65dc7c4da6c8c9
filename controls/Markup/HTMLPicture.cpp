// SPDX-License-Identifier: MIT
#include "HTMLPicture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QUrl>
#include <algorithm>

namespace {

// Limits that keep a hostile or broken file from exhausting memory while a label paints.
constexpr int kMaxSide = 16384;
constexpr qint64 kMaxBytes = qint64(256) * 1024 * 1024;
constexpr int kMaxFrames = 2000;

bool Acceptable(const QSize& size)
{
    return size.width() <= kMaxSide && size.height() <= kMaxSide
        && qint64(size.width()) * size.height() * 4 <= kMaxBytes;
}

// The scheme of an address such as "http://host"; none for plain paths, including drive-letter
// paths like "C:\dir".
QString SchemeOf(const QString& address)
{
    const qsizetype colon = address.indexOf(u':');
    if (colon < 2)
        return {};
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = address[i];
        const bool ascii = c.unicode() < 0x80;
        if (!ascii || !(c.isLetter() || (i > 0 && (c.isDigit() || c == u'+' || c == u'-' || c == u'.'))))
            return {};
    }
    return address.left(colon).toLower();
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool THTMLPicture::LoadFromAddress(const QString& address)
{
    const QString scheme = SchemeOf(address);
    if (scheme.isEmpty())
        return LoadFromFile(address);
    if (scheme == u"file")
        return LoadFromFile(QUrl(address).toLocalFile());
    if (scheme == u"qrc") {
        const QString path = QUrl(address).path();
        return LoadFromFile(path.startsWith(u'/') ? u':' + path : QStringLiteral(":/") + path);
    }
    // Loading is synchronous inside a paint: nothing is fetched from the network.
    m_frames.clear();
    m_current = 0;
    return false;
}

bool THTMLPicture::LoadFromFile(const QString& path)
{
    m_frames.clear();
    m_current = 0;
    // Only regular files: a pipe or device named in markup would block the paint or never end.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(int(kMaxBytes / (1024 * 1024)));
    if (reader.size().isValid() && !Acceptable(reader.size()))
        return false;
    qint64 total = 0;
    while (m_frames.size() < kMaxFrames) {
        QImage image;
        if (!reader.read(&image) || image.isNull())
            break;
        total += image.sizeInBytes();
        if (!Acceptable(image.size()) || total > kMaxBytes) {
            m_frames.clear();
            return false;
        }
        // Qt composes each animation frame onto the full canvas, so every frame sits at (0, 0).
        m_frames.append({ image.convertToFormat(QImage::Format_ARGB32_Premultiplied), QPoint(0, 0) });
        if (!reader.supportsAnimation())
            break;
    }
    return !m_frames.isEmpty();
}

void THTMLPicture::SetImage(const QImage& image)
{
    m_frames.clear();
    m_current = 0;
    if (!image.isNull())
        m_frames.append({ image, QPoint(0, 0) });
}

bool THTMLPicture::Empty() const
{
    return m_frames.isEmpty();
}

QSize THTMLPicture::Size() const
{
    return m_frames.isEmpty() ? QSize(0, 0) : m_frames[m_current].image.size();
}

QSize THTMLPicture::MaxFrameSize() const
{
    QSize size(0, 0);
    for (const Frame& f : m_frames)
        size = size.expandedTo(f.image.size() + QSize(f.offset.x(), f.offset.y()));
    return size;
}

QPoint THTMLPicture::FrameOffset() const
{
    return m_frames.isEmpty() ? QPoint() : m_frames[m_current].offset;
}

const QImage& THTMLPicture::Image() const
{
    static const QImage none;
    return m_frames.isEmpty() ? none : m_frames[m_current].image;
}

int THTMLPicture::FrameCount() const
{
    return int(m_frames.size());
}

void THTMLPicture::SetFrame(int index)
{
    if (index >= 0 && index < m_frames.size())
        m_current = index;
}

THTMLPicture* THTMLPictureCache::Find(const QString& address) const
{
    for (const auto& [key, picture] : m_items)
        if (key == address)
            return picture.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::Add(const QString& address)
{
    // Pictures handed out stay valid, so an address added twice keeps its one picture.
    if (THTMLPicture* existing = Find(address)) {
        existing->SetImage(QImage());
        return existing;
    }
    m_items.append({ address, std::make_shared<THTMLPicture>() });
    return m_items.last().second.get();
}

void THTMLPictureCache::Clear()
{
    m_items.clear();
}

int THTMLPictureCache::Count() const
{
    return int(m_items.size());
}

TPictureContainer::TPictureContainer(QObject* parent)
    : QObject(parent)
{
}

THTMLPicture* TPictureContainer::FindPicture(const QString& name) const
{
    for (const auto& [key, picture] : m_items)
        if (SameName(key, name))
            return picture.get();
    return nullptr;
}

THTMLPicture* TPictureContainer::Add(const QString& name, const QImage& image)
{
    THTMLPicture* picture = FindPicture(name);
    if (!picture) {
        m_items.append({ name, std::make_shared<THTMLPicture>() });
        picture = m_items.last().second.get();
    }
    picture->SetImage(image);
    return picture;
}

void TPictureContainer::Clear()
{
    m_items.clear();
}

int TPictureContainer::Count() const
{
    return int(m_items.size());
}
