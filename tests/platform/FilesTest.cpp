// SPDX-License-Identifier: MIT
#include "Files.h"
#include "Paths.h"
#include "TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString MakeFifo(const TempDir& dir)
{
    QString path = dir.file(QStringLiteral("pipe"));
    if (::mkfifo(EncodePath(path).constData(), 0600) != 0)
        throw std::runtime_error("mkfifo");
    return path;
}

TEST(FileSize, ReportsBytesOrMinusOne)
{
    TempDir dir;
    EXPECT_EQ(FileSize(dir.write(QStringLiteral("empty"), {})), 0);
    EXPECT_EQ(FileSize(dir.write(QStringLiteral("three"), "abc")), 3);
    EXPECT_EQ(FileSize(dir.file(QStringLiteral("missing"))), -1);
    EXPECT_EQ(FileSize(QString()), -1);
}

TEST(FileSize, IsSixtyFourBitBeyondFourGiB)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("big"), {});
    const qint64 size = (qint64(5) << 30) + 7;
    ASSERT_EQ(::truncate(EncodePath(path).constData(), off_t(size)), 0); // sparse: no disk space used
    EXPECT_EQ(FileSize(path), size);
}

TEST(FileExists, FilesYesFoldersNo)
{
    TempDir dir;
    EXPECT_TRUE(FileExists(dir.write(QStringLiteral("a.doc"), "x")));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("missing.doc"))));
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("a.doc/below"))));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(FileExists(MakeFifo(dir))); // not a folder
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_FALSE(DirectoryExists(dir.file(QStringLiteral("a.doc"))));
    EXPECT_FALSE(DirectoryExists(dir.file(QStringLiteral("missing"))));
    EXPECT_FALSE(DirectoryExists(QString()));
}

TEST(FileExists, NamesThatAreNotAscii)
{
    TempDir dir;
    EXPECT_TRUE(FileExists(dir.write(QStringLiteral("\u00DCbung \u0444\u0430\u0439\u043B.doc"), "x")));

    // Bytes that are not UTF-8: reachable only through the lossless decoding.
    const QString name = DecodePath(EncodePath(dir.path()) + "/bad\xff\xfe.doc");
    const int fd = ::open(EncodePath(name).constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "abc", 3), 3);
    ::close(fd);
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(FileSize(name), 3);
    std::array<char, 8> buffer {};
    EXPECT_EQ(ReadFileHead(name, buffer.data(), 8), 3);
}

TEST(ReadFileHead, ReadsFromTheStartUpToCount)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("data"), "0123456789");
    std::array<char, 16> buffer {};
    EXPECT_EQ(ReadFileHead(path, buffer.data(), 4), 4);
    EXPECT_EQ(QByteArray(buffer.data(), 4), "0123");
    EXPECT_EQ(ReadFileHead(path, buffer.data(), 16), 10);
    EXPECT_EQ(ReadFileHead(dir.write(QStringLiteral("empty"), {}), buffer.data(), 16), 0);
}

TEST(ReadFileHead, UnopenableSourcesThrowNamingFileAndReason)
{
    TempDir dir;
    std::array<char, 16> buffer {};
    struct Case {
        QString path;
        QString reason;
    };
    const Case cases[] = {
        { dir.file(QStringLiteral("missing.doc")), QStringLiteral("No such file or directory") },
        { dir.path(), QStringLiteral("Is a directory") },
        { MakeFifo(dir), QStringLiteral("Not a regular file") },
        { QStringLiteral("/dev/zero"), QStringLiteral("Not a regular file") },
    };
    for (const Case& c : cases) {
        QElapsedTimer clock;
        clock.start();
        try {
            ReadFileHead(c.path, buffer.data(), 16);
            ADD_FAILURE() << c.path.toStdString();
        } catch (const EFOpenError& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()),
                QStringLiteral("Cannot open file \"%1\". %2").arg(c.path, c.reason));
        }
        EXPECT_LT(clock.elapsed(), 1000) << "must not block on " << c.path.toStdString();
    }
}

TEST(ReadFileHead, SocketIsRefused)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("sock"));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = EncodePath(path);
    ASSERT_LT(size_t(native.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::array<char, 16> buffer {};
    EXPECT_THROW(ReadFileHead(path, buffer.data(), 16), EFOpenError);
    ::close(s);
}

TEST(ReadFileHead, FailedReadGivesZeroAndTheReason)
{
    // Reading a process's own memory at address 0 fails after a successful open.
    std::array<char, 16> buffer {};
    QString reason;
    EXPECT_EQ(ReadFileHead(QStringLiteral("/proc/self/mem"), buffer.data(), 16, &reason), 0);
    EXPECT_FALSE(reason.isEmpty());
}

} // namespace
