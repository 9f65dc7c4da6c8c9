// SPDX-License-Identifier: MIT
#include "HTMLPicture.h"
#include "TempDir.h"

#include <QBuffer>
#include <QProcess>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

struct GifFrame {
    QRect area;
    quint8 colour; // index into red, green, blue, white
};

void Le16(QByteArray& out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

// An animated GIF of solid-coloured frames, each over part of the canvas and kept when the next
// one is shown.
QByteArray Gif(QSize canvas, const QVector<GifFrame>& frames)
{
    QByteArray out("GIF89a");
    Le16(out, canvas.width());
    Le16(out, canvas.height());
    out.append("\xF1\x00\x00", 3);
    out.append("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12);
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (const GifFrame& f : frames) {
        out.append("\x21\xF9\x04\x04\x0A\x00\x00\x00", 8);
        out.append('\x2C');
        Le16(out, f.area.x());
        Le16(out, f.area.y());
        Le16(out, f.area.width());
        Le16(out, f.area.height());
        out.append('\x00');
        // 3-bit codes with a clear code before every pair of pixels, so the code size never grows.
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        auto put = [&](int code) {
            bits |= quint32(code) << count;
            count += 3;
            while (count >= 8) {
                data.append(char(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        const int pixels = f.area.width() * f.area.height();
        for (int i = 0; i < pixels; ++i) {
            if (i % 2 == 0)
                put(4);
            put(f.colour);
        }
        put(5);
        if (count > 0)
            data.append(char(bits & 0xFF));
        out.append('\x02');
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append('\x00');
    }
    out.append('\x3B');
    return out;
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

quint32 Crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Be32(QByteArray& out, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xFF));
}

// A well-formed PNG header announcing a picture of `w` × `h` with no pixel data behind it.
QByteArray PngHeaderOnly(quint32 w, quint32 h)
{
    QByteArray ihdr("IHDR");
    Be32(ihdr, w);
    Be32(ihdr, h);
    ihdr.append("\x08\x06\x00\x00\x00", 5);
    QByteArray out("\x89PNG\r\n\x1A\n", 8);
    Be32(out, 13);
    out.append(ihdr);
    Be32(out, Crc32(ihdr));
    return out;
}

QImage Solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(HTMLPicture, StillPictureFromFileAndAddresses)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("still.png"), Png(Solid(QSize(5, 3), Qt::green)));
    const QString spaced = dir.write(QStringLiteral("with space #1.png"), Png(Solid(QSize(2, 2), Qt::red)));
    const QString addresses[]
        = { path, QUrl::fromLocalFile(path).toString(), QUrl::fromLocalFile(spaced).toString() };
    for (const QString& address : addresses) {
        THTMLPicture picture;
        ASSERT_TRUE(picture.LoadFromAddress(address)) << address.toStdString();
        EXPECT_FALSE(picture.Empty());
        EXPECT_EQ(picture.FrameCount(), 1);
        EXPECT_EQ(picture.MaxFrameSize(), picture.Size());
        EXPECT_EQ(picture.FrameOffset(), QPoint(0, 0));
    }
    THTMLPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    EXPECT_EQ(picture.Size(), QSize(5, 3));
    EXPECT_EQ(picture.Image().pixel(4, 2), qRgb(0, 255, 0));
}

TEST(HTMLPicture, ResourcesLoadUnderEitherSpelling)
{
    for (const QString& address : { QStringLiteral(":/pictures/marker.png"),
             QStringLiteral("qrc:/pictures/marker.png"), QStringLiteral("qrc:///pictures/marker.png") }) {
        THTMLPicture picture;
        EXPECT_TRUE(picture.LoadFromAddress(address)) << address.toStdString();
        EXPECT_EQ(picture.Size(), QSize(3, 2));
    }
}

TEST(HTMLPicture, NetworkAndUnknownSchemesAndBadFilesLoadNothing)
{
    TempDir dir;
    const QString good = dir.write(QStringLiteral("good.png"), Png(Solid(QSize(2, 2), Qt::red)));
    const QString bad[] = {
        QStringLiteral("http://localhost/picture.png"),
        QStringLiteral("https://example.invalid/a.gif"),
        QStringLiteral("ftp://host/a.png"),
        QStringLiteral("data:image/png;base64,AAAA"),
        dir.file(QStringLiteral("missing.png")),
        dir.write(QStringLiteral("garbage.png"), QByteArray(300, 'x')),
        dir.write(QStringLiteral("truncated.png"), Png(Solid(QSize(50, 50), Qt::blue)).left(40)),
        dir.path(),
        QString(),
    };
    for (const QString& address : bad) {
        THTMLPicture picture;
        ASSERT_TRUE(picture.LoadFromFile(good));
        EXPECT_FALSE(picture.LoadFromAddress(address)) << address.toStdString();
        EXPECT_TRUE(picture.Empty()) << "a failed load leaves no stale picture";
        EXPECT_EQ(picture.Size(), QSize(0, 0));
        EXPECT_TRUE(picture.Image().isNull());
    }
}

TEST(HTMLPicture, PipesAreNotReadFrom)
{
    TempDir dir;
    const QString fifo = dir.file(QStringLiteral("pipe.png"));
    if (QProcess::execute(QStringLiteral("mkfifo"), { fifo }) != 0)
        GTEST_SKIP() << "no named pipes here";
    THTMLPicture picture;
    EXPECT_FALSE(picture.LoadFromAddress(QUrl::fromLocalFile(fifo).toString())) << "and it returns at all";
}

TEST(HTMLPicture, HugePicturesAreRefusedWithoutDecoding)
{
    TempDir dir;
    for (const QSize& size : { QSize(20000, 10), QSize(10, 16385), QSize(16000, 16000) }) {
        const QString path
            = dir.write(QStringLiteral("huge.png"), PngHeaderOnly(size.width(), size.height()));
        THTMLPicture picture;
        EXPECT_FALSE(picture.LoadFromFile(path)) << size.width() << "x" << size.height();
        EXPECT_TRUE(picture.Empty());
    }
}

TEST(HTMLPicture, AnimationFramesAreComposedOntoTheFullCanvas)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("anim.gif"),
        Gif(QSize(4, 4), { { QRect(0, 0, 4, 4), 0 }, { QRect(1, 1, 2, 2), 1 }, { QRect(3, 0, 1, 1), 2 } }));
    THTMLPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    ASSERT_EQ(picture.FrameCount(), 3);
    EXPECT_EQ(picture.MaxFrameSize(), QSize(4, 4));
    EXPECT_EQ(picture.Image().pixel(2, 2), qRgb(255, 0, 0));
    picture.SetFrame(1);
    EXPECT_EQ(picture.Size(), QSize(4, 4));
    EXPECT_EQ(picture.FrameOffset(), QPoint(0, 0));
    EXPECT_EQ(picture.Image().pixel(2, 2), qRgb(0, 255, 0));
    EXPECT_EQ(picture.Image().pixel(0, 0), qRgb(255, 0, 0));
    picture.SetFrame(2);
    EXPECT_EQ(picture.Image().pixel(3, 0), qRgb(0, 0, 255));
    EXPECT_EQ(picture.Image().pixel(1, 1), qRgb(0, 255, 0));
    for (const int outside : { 3, -1, 100 }) {
        picture.SetFrame(outside);
        EXPECT_EQ(picture.Image().pixel(3, 0), qRgb(0, 0, 255)) << outside;
    }
}

TEST(HTMLPictureCache, FindsByExactAddressAndKeepsPicturesHandedOut)
{
    THTMLPictureCache cache;
    EXPECT_EQ(cache.Find(QStringLiteral("file:///a.png")), nullptr);
    THTMLPicture* a = cache.Add(QStringLiteral("file:///a.png"));
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->Empty());
    a->SetImage(Solid(QSize(1, 1), Qt::red));
    THTMLPicture* b = cache.Add(QStringLiteral("file:///A.png"));
    EXPECT_NE(a, b);
    EXPECT_EQ(cache.Find(QStringLiteral("file:///a.png")), a);
    EXPECT_EQ(cache.Find(QStringLiteral("file:///A.png")), b);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.Add(QStringLiteral("file:///a.png")), a);
    EXPECT_TRUE(a->Empty());
    EXPECT_EQ(cache.Count(), 2);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.Find(QStringLiteral("file:///a.png")), nullptr);
}

TEST(PictureContainer, NamesIgnoreCaseAndAddingANameAgainReplacesItsPicture)
{
    TPictureContainer container;
    THTMLPicture* logo = container.Add(QStringLiteral("Logo"), Solid(QSize(2, 3), Qt::red));
    EXPECT_EQ(container.FindPicture(QStringLiteral("logo")), logo);
    EXPECT_EQ(container.FindPicture(QStringLiteral("LOGO")), logo);
    EXPECT_EQ(container.FindPicture(QStringLiteral("Logo2")), nullptr);
    EXPECT_EQ(container.Add(QStringLiteral("LOGO"), Solid(QSize(4, 4), Qt::blue)), logo);
    EXPECT_EQ(logo->Size(), QSize(4, 4));
    EXPECT_EQ(container.Count(), 1);
    container.Add(QStringLiteral("empty"), QImage());
    EXPECT_TRUE(container.FindPicture(QStringLiteral("Empty"))->Empty());
    container.Clear();
    EXPECT_EQ(container.Count(), 0);
    EXPECT_EQ(container.FindPicture(QStringLiteral("logo")), nullptr);
}

} // namespace
