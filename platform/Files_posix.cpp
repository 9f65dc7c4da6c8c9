// SPDX-License-Identifier: MIT
#include "Files.h"

#include "Paths.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A name that stat() could not reach for a reason other than its absence may still be listed by
// its folder (the folder is readable but the entry is not); then it exists unless it is a folder.
bool ListedAsNonFolder(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : path.left(slash));
    const QByteArray name = path.mid(slash + 1);
    if (name.isEmpty())
        return false;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(dir)) {
        if (name == e->d_name) {
            found = e->d_type != DT_DIR;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

qint64 FileSize(const QString& path)
{
    struct stat st { };
    if (path.isEmpty() || ::stat(EncodePath(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_size);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = EncodePath(path);
    struct stat st { };
    if (::stat(native.constData(), &st) == 0)
        return !S_ISDIR(st.st_mode);
    if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
        return false;
    return ListedAsNonFolder(native);
}

bool DirectoryExists(const QString& path)
{
    struct stat st { };
    return !path.isEmpty() && ::stat(EncodePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

qint64 ReadFileHead(const QString& path, char* buffer, qint64 count, QString* readError)
{
    // Non-blocking so that a FIFO without a writer or a terminal cannot hold the program.
    const int fd = ::open(EncodePath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError(path, SystemReason(errno));
    struct stat st { };
    const bool statFailed = ::fstat(fd, &st) != 0;
    if (statFailed || !S_ISREG(st.st_mode)) {
        const int error = statFailed ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0);
        ::close(fd);
        throw EFOpenError(path, error ? SystemReason(error) : QStringLiteral("Not a regular file"));
    }
    qint64 total = 0;
    while (total < count) {
        const ssize_t n = ::read(fd, buffer + total, size_t(count - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (readError)
                *readError = SystemReason(errno);
            total = 0;
            break;
        }
        if (n == 0)
            break;
        total += n;
    }
    ::close(fd);
    return total;
}
