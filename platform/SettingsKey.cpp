// SPDX-License-Identifier: MIT
#include "SettingsKey.h"

#include "Paths.h"
#include "SettingsStore.h"

namespace {

// A folder name on Linux may hold bytes that are not UTF-8 (see Paths.h); as text the store would turn
// them into U+FFFD, so such a value is stored as its bytes. The store marks bytes apart from text, and
// text that merely looks like that mark is escaped, so the two are never confused.
QVariant StoredForm(const QString& value)
{
    if (QString::fromUtf8(value.toUtf8()) == value)
        return value;
    const QByteArray bytes = EncodePath(value);
    if (DecodePath(bytes) != value)
        return value; // not a system name: nothing better than text (and the registry keeps it whole)
    return bytes;
}

class TUserSettingsKey final : public TSettingsKey {
public:
    bool OpenKey(bool canCreate) override
    {
        m_settings.reset();
        m_settings = OpenUserSettingsStore(QStringLiteral("SOFTWARE\\quillon"), canCreate);
        return m_settings != nullptr;
    }

    bool ValueExists(const QString& name) override { return m_settings && m_settings->contains(name); }

    QString ReadString(const QString& name) override
    {
        if (!m_settings)
            return {};
        const QVariant value = m_settings->value(name);
        if (!value.isValid())
            return {};
        if (value.typeId() == QMetaType::QByteArray)
            return DecodePath(value.toByteArray());
        if (value.typeId() != QMetaType::QString)
            throw ESettingsError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
        return value.toString();
    }

    void WriteString(const QString& name, const QString& value) override
    {
        if (m_settings) {
            m_settings->setValue(name, StoredForm(value));
            m_settings->sync();
            if (m_settings->status() == QSettings::NoError)
                return;
        }
        throw ESettingsError(QStringLiteral("Failed to set data for '%1'").arg(name).toStdString());
    }

    bool DeleteValue(const QString& name) override
    {
        if (!m_settings)
            return false;
        m_settings->remove(name);
        m_settings->sync();
        return m_settings->status() == QSettings::NoError;
    }

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace

std::unique_ptr<TSettingsKey> CreateUserSettingsKey()
{
    return std::make_unique<TUserSettingsKey>();
}
