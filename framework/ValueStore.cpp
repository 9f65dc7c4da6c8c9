// SPDX-License-Identifier: MIT
#include "ValueStore.h"
#include "SettingsStore.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

int TValueStore::ReadInteger(const QString& section, const QString& name, int fallback) const
{
    bool ok = false;
    const int n = ReadString(section, name, QString()).trimmed().toInt(&ok);
    return ok ? n : fallback;
}

void TValueStore::WriteInteger(const QString& section, const QString& name, int value)
{
    WriteString(section, name, QString::number(value));
}

namespace {

// Larger files are not settings; reading them would only stall the program.
constexpr qint64 MaxIniBytes = 16 << 20;

QString SectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    return close < 0 ? QString() : t.mid(1, close - 1).trimmed();
}

bool IsSection(const QString& line)
{
    return line.trimmed().startsWith(QLatin1Char('[')) && line.contains(QLatin1Char(']'));
}

// The value as it is stored: one line, quoted when blanks or quotes at its ends would be lost.
QString Stored(const QString& value)
{
    QString v = value.left(value.indexOf(QLatin1Char('\n'))); // left() of -1 keeps it all
    v = v.left(v.indexOf(QLatin1Char('\r')));
    const bool quote = v != v.trimmed()
        || (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
            && v.back() == v.front());
    return quote ? QLatin1Char('"') + v + QLatin1Char('"') : v;
}

QString Unquoted(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
        && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

class TIniFile final : public TValueStore {
public:
    explicit TIniFile(const QString& path)
        : m_path(path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.size() > MaxIniBytes) {
            // a file that is there but cannot be read is not written over either
            m_damaged = f.exists();
            m_ok = !m_damaged;
            return;
        }
        const QByteArray bytes = f.readAll();
        QString text;
        if (bytes.startsWith("\xFF\xFE")) {
            text = QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
        } else {
            const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
            QStringDecoder utf8(QStringDecoder::Utf8);
            text = utf8(body);
            if (utf8.hasError()) // written in a one-byte code page
                text = QString::fromLatin1(body);
        }
        // not text at all: nothing is read from it, and it is not written over
        if (text.contains(QChar(0))) {
            m_damaged = true;
            m_ok = false;
            return;
        }
        text.remove(QLatin1Char('\r'));
        m_lines = text.split(QLatin1Char('\n'));
        if (!m_lines.isEmpty() && m_lines.back().isEmpty())
            m_lines.removeLast();
    }
    ~TIniFile() override { Flush(); }

    QString ReadString(const QString& section, const QString& name, const QString& fallback) const override
    {
        const qsizetype i = Find(section, name);
        return i < 0 ? fallback : Unquoted(m_lines[i].mid(m_lines[i].indexOf(QLatin1Char('=')) + 1));
    }

    void WriteString(const QString& section, const QString& name, const QString& value) override
    {
        if (const qsizetype i = Find(section, name); i >= 0) {
            // the entry keeps its name as the file spells it
            const QString line
                = m_lines[i].left(m_lines[i].indexOf(QLatin1Char('='))) + QLatin1Char('=') + Stored(value);
            if (m_lines[i] != line) {
                m_lines[i] = line;
                m_dirty = true;
            }
            return;
        }
        m_dirty = true;
        const QString line = name + QLatin1Char('=') + Stored(value);
        const qsizetype start = SectionStart(section);
        if (start < 0) {
            if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty())
                m_lines << QString();
            m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
            return;
        }
        // after the section's last entry, before the blank lines that end it
        qsizetype at = start + 1;
        for (qsizetype i = start + 1; i < m_lines.size() && !IsSection(m_lines[i]); ++i)
            if (!m_lines[i].trimmed().isEmpty())
                at = i + 1;
        m_lines.insert(at, line);
    }

    QStringList Names(const QString& section) const override
    {
        QStringList names;
        const qsizetype start = SectionStart(section);
        for (qsizetype i = start + 1; start >= 0 && i < m_lines.size() && !IsSection(m_lines[i]); ++i)
            if (const qsizetype eq = m_lines[i].indexOf(QLatin1Char('=')); eq > 0)
                names << m_lines[i].left(eq).trimmed();
        return names;
    }

    bool Flush() override
    {
        if (!m_dirty || m_damaged)
            return m_ok;
        m_dirty = false;
        QSaveFile f(m_path);
        m_ok = f.open(QIODevice::WriteOnly)
            && f.write((m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) >= 0 && f.commit();
        return m_ok;
    }

private:
    qsizetype SectionStart(const QString& section) const
    {
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            if (IsSection(m_lines[i]) && SectionOf(m_lines[i]).compare(section, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    qsizetype Find(const QString& section, const QString& name) const
    {
        const qsizetype start = SectionStart(section);
        for (qsizetype i = start + 1; start >= 0 && i < m_lines.size() && !IsSection(m_lines[i]); ++i) {
            const qsizetype eq = m_lines[i].indexOf(QLatin1Char('='));
            if (eq > 0 && m_lines[i].left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QString m_path;
    QStringList m_lines;
    bool m_dirty = false;
    bool m_damaged = false;
    bool m_ok = true;
};

} // namespace

std::unique_ptr<TValueStore> OpenIniFile(const QString& path)
{
    return std::make_unique<TIniFile>(path);
}

namespace {

class TUserStore final : public TValueStore {
public:
    explicit TUserStore(std::unique_ptr<QSettings> settings)
        : m_settings(std::move(settings))
    {
    }
    ~TUserStore() override { Flush(); }

    QString ReadString(const QString& section, const QString& name, const QString& fallback) const override
    {
        if (!Readable())
            return fallback;
        const QVariant v = m_settings->value(Key(section, name));
        if (!v.isValid())
            return fallback;
        // an unquoted list written by another program reads as one text
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1String(", "))
                                                    : v.toString();
    }

    void WriteString(const QString& section, const QString& name, const QString& value) override
    {
        if (m_settings)
            m_settings->setValue(Key(section, name), value);
    }

    QStringList Names(const QString& section) const override
    {
        if (!Readable())
            return {};
        m_settings->beginGroup(section);
        QStringList names = m_settings->childKeys();
        m_settings->endGroup();
        return names;
    }

    bool Flush() override
    {
        if (!m_settings)
            return false;
        m_settings->sync();
        return m_settings->status() == QSettings::NoError;
    }

private:
    bool Readable() const { return m_settings && m_settings->status() == QSettings::NoError; }
    static QString Key(const QString& section, const QString& name)
    {
        return section.isEmpty() ? name : section + QLatin1Char('/') + name;
    }

    std::unique_ptr<QSettings> m_settings;
};

} // namespace

std::unique_ptr<TValueStore> OpenUserStore(const QString& keyPath)
{
    return std::make_unique<TUserStore>(OpenUserSettings(keyPath));
}
