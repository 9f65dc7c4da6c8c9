// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

// Version information of the running executable, read once at construction by parsing the
// executable file's own version resource, plus a few questions about the machine.
class TExeInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString CompanyName READ CompanyName WRITE setCompanyName NOTIFY versionInfoChanged)
    Q_PROPERTY(
        QString FileDescription READ FileDescription WRITE setFileDescription NOTIFY versionInfoChanged)
    Q_PROPERTY(QString FileVersion READ FileVersion WRITE setFileVersion NOTIFY versionInfoChanged)
    Q_PROPERTY(QString InternalName READ InternalName WRITE setInternalName NOTIFY versionInfoChanged)
    Q_PROPERTY(QString LegalCopyright READ LegalCopyright WRITE setLegalCopyright NOTIFY versionInfoChanged)
    Q_PROPERTY(QString LegalTradeMark READ LegalTradeMark WRITE setLegalTradeMark NOTIFY versionInfoChanged)
    Q_PROPERTY(
        QString OriginalFileName READ OriginalFileName WRITE setOriginalFileName NOTIFY versionInfoChanged)
    Q_PROPERTY(QString ProductName READ ProductName WRITE setProductName NOTIFY versionInfoChanged)
    Q_PROPERTY(QString ProductVersion READ ProductVersion WRITE setProductVersion NOTIFY versionInfoChanged)
    Q_PROPERTY(QString Comments READ Comments WRITE setComments NOTIFY versionInfoChanged)
    Q_PROPERTY(QString ComputerName READ ReadComputerName WRITE WriteComputerName)
    Q_PROPERTY(QString OSName READ GetOperatingSystem WRITE setOSName)
    Q_PROPERTY(QString WindowsDir READ WindowsDir WRITE setWindowsDir)
    Q_PROPERTY(QString SystemDir READ SystemDir WRITE setSystemDir)
    Q_PROPERTY(QString TempDir READ TempDir WRITE setTempDir)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)

public:
    explicit TExeInfo(QObject* owner = nullptr);

    // Reads the version resource of any file (PE image or our own executable) into the ten texts
    // and the fixed-block numbers. A file without one leaves every field as it was.
    void GetVersionInfoOfApp(const QString& AAppName);

    // The user's interface language (a Windows language id) that chooses among the languages of a
    // multi-language resource; the system's until set. Takes effect at the next GetVersionInfoOfApp.
    std::uint16_t UserInterfaceLanguage() const;
    void setUserInterfaceLanguage(std::uint16_t language) { m_uiLanguage = language; }

    virtual std::uint32_t VersionNumber() const { return 0x01020200; }
    virtual void ReadOwnVersionInfo();
    virtual QString ReadComputerName() const; // live, at most 15 characters
    virtual void WriteComputerName(const QString& value);
    virtual QString GetOperatingSystem() const; // Windows table there, the system's pretty name elsewhere

    QString CompanyName() const { return FCompanyName; }
    QString FileDescription() const { return FFileDescription; }
    QString FileVersion() const { return FFileVersion; }
    QString InternalName() const { return FInternalName; }
    QString LegalCopyright() const { return FLegalCopyright; }
    QString LegalTradeMark() const { return FLegalTradeMark; }
    QString OriginalFileName() const { return FOriginalFileName; }
    QString ProductName() const { return FProductName; }
    QString ProductVersion() const { return FProductVersion; }
    QString Comments() const { return FComments; }
    void setCompanyName(const QString& v) { SetText(FCompanyName, v); }
    void setFileDescription(const QString& v) { SetText(FFileDescription, v); }
    void setFileVersion(const QString& v) { SetText(FFileVersion, v); }
    void setInternalName(const QString& v) { SetText(FInternalName, v); }
    void setLegalCopyright(const QString& v) { SetText(FLegalCopyright, v); }
    void setLegalTradeMark(const QString& v) { SetText(FLegalTradeMark, v); }
    void setOriginalFileName(const QString& v) { SetText(FOriginalFileName, v); }
    void setProductName(const QString& v) { SetText(FProductName, v); }
    void setProductVersion(const QString& v) { SetText(FProductVersion, v); }
    void setComments(const QString& v) { SetText(FComments, v); }

    // The name read at construction.
    QString storedComputerName() const { return FComputerName; }

    // The setters only store; the getters always ask the system.
    void setOSName(const QString& v) { FOsName = v; }
    QString WindowsDir() const;
    void setWindowsDir(const QString& v) { FWindowsDir = v; }
    QString SystemDir() const;
    void setSystemDir(const QString& v) { FSystemDir = v; }
    QString TempDir() const;
    void setTempDir(const QString& v) { FTempDir = v; }

    QString Version() const;
    void setVersion(const QString&) { }

    int FileFlags() const { return FFileFlags; }
    int FileOS() const { return FFileOS; }
    int FileType() const { return FFileType; }
    double FileCreation() const { return FFileCreation; } // days since 1899-12-30
    // FileVersion's parts, each made two digits, read as one number ("2.1.0.0" gives 2010000);
    // -1 when FileVersion is empty. Throws std::invalid_argument when that is not a number.
    int FileVersionInt() const;

    // Full path of the running executable.
    static QString OwnExecutablePath();

signals:
    // One or more of the ten version texts changed, written or read from a file.
    void versionInfoChanged();

private:
    void SetText(QString& field, const QString& value);
    // The bytes of the version resource of `fileName` that `language` chooses; none when the file cannot
    // be read or holds no resource.
    static std::optional<QByteArray> VersionResourceOf(const QString& fileName, std::uint16_t language);
    // Fills the texts and numbers from a resource; one that does not parse leaves every field as it was.
    void ApplyVersionResource(QByteArrayView resource);

    QString FCompanyName, FFileDescription, FFileVersion, FInternalName, FLegalCopyright, FLegalTradeMark,
        FOriginalFileName, FProductName, FProductVersion, FComments;
    QString FComputerName;
    QString FOsName, FWindowsDir, FSystemDir, FTempDir;
    int FFileFlags = 0, FFileOS = 0, FFileType = 0;
    double FFileCreation = 0;
    std::optional<std::uint16_t> m_uiLanguage;
};

// A 64-bit file time (100 ns units since 1601-01-01) as days since 1899-12-30.
double FileTimeToDateTime(std::uint64_t fileTime);
// The FileVersionInt rule on any text.
int PackedFileVersion(const QString& fileVersion);
