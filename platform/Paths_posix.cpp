// SPDX-License-Identifier: MIT
#include "Paths.h"

#include <QDir>
#include <QUrl>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the well-formed UTF-8 sequence at `p` (1..4), or 0 when it is not one.
int Utf8SequenceLength(const unsigned char* p, qsizetype left)
{
    const unsigned char c = p[0];
    int n;
    char32_t min;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
    } else
        return 0;
    if (left < n)
        return 0;
    char32_t cp = c & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

QString PathDelimiters()
{
    return QStringLiteral("/");
}
QChar PathSeparator()
{
    return QLatin1Char('/');
}

QString DecodePath(const QByteArray& path)
{
    QString out;
    out.reserve(path.size());
    const auto* p = reinterpret_cast<const unsigned char*>(path.constData());
    const qsizetype size = path.size();
    qsizetype i = 0;
    while (i < size) {
        const int n = Utf8SequenceLength(p + i, size - i);
        if (n == 0) {
            out.append(QChar(char16_t(kEscapeBase + p[i])));
            ++i;
        } else {
            out.append(QString::fromUtf8(reinterpret_cast<const char*>(p + i), n));
            i += n;
        }
    }
    return out;
}

QByteArray EncodePath(const QString& path)
{
    QByteArray out;
    out.reserve(path.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path.at(i).unicode();
        // The low half of a surrogate pair is text, not an escaped byte.
        const bool paired = i > 0 && path.at(i - 1).isHighSurrogate();
        if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF && !paired) {
            out.append(path.mid(start, i - start).toUtf8());
            out.append(char(u - kEscapeBase));
            start = i + 1;
        }
    }
    out.append(path.mid(start).toUtf8());
    return out;
}

QStringList ProgramArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << DecodePath(QByteArray(argv[i]));
    return arguments;
}

QString AbsolutePath(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    // The current folder as the system names it; QDir::currentPath() would lose bytes that are not UTF-8.
    QByteArray current(PATH_MAX, Qt::Uninitialized);
    while (!::getcwd(current.data(), size_t(current.size()))) {
        if (errno != ERANGE)
            return QDir::cleanPath(QDir::currentPath() + QLatin1Char('/') + path);
        current.resize(current.size() * 2);
    }
    current.truncate(qsizetype(std::strlen(current.constData())));
    return QDir::cleanPath(DecodePath(current) + QLatin1Char('/') + path);
}

QUrl LocalFileUrl(const QString& path)
{
    return QUrl::fromEncoded("file://" + EncodePath(path).toPercentEncoding("/"));
}
