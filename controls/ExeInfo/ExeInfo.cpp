// SPDX-License-Identifier: MIT
#include "ExeInfo.h"

#include "ExeInfoSystem.h"
#include "ExecutableResource.h"
#include "Property.h"
#include "VersionInfoParser.h"
#include "VersionText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

const char* const Keys[] = { "CompanyName", "FileDescription", "FileVersion", "InternalName",
    "LegalCopyright", "LegalTradeMarks", "OriginalFileName", "ProductName", "ProductVersion", "Comments" };

} // namespace

TExeInfo::TExeInfo(QObject* owner)
    : QObject(owner)
{
    const QString updated = QStringLiteral("Updated at run-time");
    for (QString* f : { &FCompanyName, &FFileDescription, &FFileVersion, &FInternalName, &FLegalCopyright,
             &FLegalTradeMark, &FOriginalFileName, &FProductName, &FProductVersion, &FComments })
        *f = updated;
    TExeInfo::ReadOwnVersionInfo();
    FComputerName = TExeInfo::ReadComputerName();
}

QString TExeInfo::OwnExecutablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

void TExeInfo::ReadOwnVersionInfo()
{
    // The running executable cannot change under the process: its resource is read from the file once
    // per language asked for, and every later reader takes the bytes kept from that read.
    struct Kept {
        QString path;
        std::uint16_t language = 0;
        std::optional<QByteArray> resource;
    };
    static std::optional<Kept> kept;
    const QString path = OwnExecutablePath();
    const std::uint16_t language = UserInterfaceLanguage();
    if (!kept || kept->path != path || kept->language != language)
        kept = Kept { path, language, VersionResourceOf(path, language) };
    if (kept->resource)
        ApplyVersionResource(*kept->resource);
}

std::optional<QByteArray> TExeInfo::VersionResourceOf(const QString& fileName, std::uint16_t language)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray owned;
    QByteArrayView image;
    if (uchar* mapped = file.map(0, file.size()))
        image = QByteArrayView(reinterpret_cast<const char*>(mapped), file.size());
    else {
        owned = file.readAll();
        image = owned;
    }
    const std::optional<TResourceSpan> span = FindVersionResource(image, language);
    if (!span)
        return std::nullopt;
    return image.sliced(span->offset, span->size).toByteArray();
}

void TExeInfo::GetVersionInfoOfApp(const QString& AAppName)
{
    if (const std::optional<QByteArray> resource = VersionResourceOf(AAppName, UserInterfaceLanguage()))
        ApplyVersionResource(*resource);
}

void TExeInfo::ApplyVersionResource(QByteArrayView resource)
{
    const std::optional<TVersionInfo> info = ParseVersionInfo(resource);
    if (!info)
        return;

    // A resource without a fixed block or translation leaves those numbers 0 and the texts empty.
    const TFixedFileInfo fixed = info->fixed.value_or(TFixedFileInfo {});
    FFileFlags = int(fixed.fileFlags & fixed.fileFlagsMask);
    FFileOS = int(fixed.fileOS);
    FFileType = int(fixed.fileType);
    FFileCreation = FileTimeToDateTime((std::uint64_t(fixed.fileDateMS) << 32) | fixed.fileDateLS);

    const QString table
        = info->translations.empty() ? QString() : TranslationName(info->translations.front());
    QString* fields[] = { &FCompanyName, &FFileDescription, &FFileVersion, &FInternalName, &FLegalCopyright,
        &FLegalTradeMark, &FOriginalFileName, &FProductName, &FProductVersion, &FComments };
    bool changed = false;
    for (int i = 0; i < 10; ++i)
        changed |= StoreIfChanged(*fields[i],
            table.isEmpty() ? QString() : info->value(table, QLatin1String(Keys[i])).value_or(QString()));
    if (changed)
        emit versionInfoChanged();
}

void TExeInfo::SetText(QString& field, const QString& value)
{
    if (StoreIfChanged(field, value))
        emit versionInfoChanged();
}

std::uint16_t TExeInfo::UserInterfaceLanguage() const
{
    return m_uiLanguage ? *m_uiLanguage : ExeInfoSystem::userInterfaceLanguage();
}

QString TExeInfo::ReadComputerName() const
{
    return ExeInfoSystem::computerName();
}

void TExeInfo::WriteComputerName(const QString& value)
{
    ExeInfoSystem::setComputerName(value);
}

QString TExeInfo::GetOperatingSystem() const
{
    return ExeInfoSystem::operatingSystemName();
}
QString TExeInfo::WindowsDir() const
{
    return ExeInfoSystem::windowsDirectory();
}
QString TExeInfo::SystemDir() const
{
    return ExeInfoSystem::systemDirectory();
}
QString TExeInfo::TempDir() const
{
    return ExeInfoSystem::tempDirectory();
}
QString TExeInfo::Version() const
{
    return VersionText(VersionNumber());
}
int TExeInfo::FileVersionInt() const
{
    return PackedFileVersion(FFileVersion);
}

double FileTimeToDateTime(std::uint64_t fileTime)
{
    // Whole milliseconds, as the calendar conversion keeps them.
    constexpr double DaysFrom1601To1899 = 109205;
    const std::uint64_t ms = fileTime / 10000;
    const std::uint64_t days = ms / 86400000;
    const double dayFraction = double(ms % 86400000) / 86400000.0;
    return double(days) - DaysFrom1601To1899 + dayFraction;
}

int PackedFileVersion(const QString& fileVersion)
{
    if (fileVersion.isEmpty())
        return -1;
    QString digits;
    for (QString part : fileVersion.split(QLatin1Char('.'))) {
        while (part.size() < 2)
            part.prepend(QLatin1Char('0'));
        digits += part.left(2);
    }
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok)
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid integer value").arg(digits).toStdString());
    return value;
}

QString WindowsVersionName(unsigned platformId, unsigned major, unsigned minor, const QString& servicePack)
{
    if (platformId == 1 && major == 4) {
        if (minor == 0)
            return QStringLiteral("Windows 95");
        if (minor == 10)
            return servicePack.size() > 1 && servicePack[1] == QLatin1Char('A')
                ? QStringLiteral("Windows 98 SE")
                : QStringLiteral("Windows 98");
        if (minor == 90)
            return QStringLiteral("Windows ME");
    }
    if (platformId == 2) {
        if (major <= 4)
            return QStringLiteral("Windows NT");
        if (major == 5 && minor == 0)
            return QStringLiteral("Windows 2000");
        if (major == 5 && minor == 1)
            return QStringLiteral("Windows XP");
        if (major == 5 && minor == 2)
            return QStringLiteral("Windows 2003");
        if (major == 6 && minor == 0)
            return QStringLiteral("Windows Vista");
        if (major == 6 && minor == 1)
            return QStringLiteral("Windows 7");
    }
    return QStringLiteral("Unknown");
}
