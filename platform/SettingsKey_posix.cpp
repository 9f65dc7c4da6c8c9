// SPDX-License-Identifier: MIT
#include "SettingsKey.h"

#include <QFileInfo>
#include <QSettings>
#include <optional>

namespace {

class TIniSettingsKey final : public TSettingsKey {
public:
    bool OpenKey(bool canCreate) override
    {
        m_settings.emplace(
            QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quillon"), QStringLiteral("quillon"));
        if (canCreate)
            return true;
        const QFileInfo file(m_settings->fileName());
        // An unreadable or corrupt file is treated as no key at all.
        if (!file.isFile() || !file.isReadable() || m_settings->status() != QSettings::NoError) {
            m_settings.reset();
            return false;
        }
        return true;
    }

    void CloseKey() override { m_settings.reset(); }

    bool ValueExists(const QString& name) override { return m_settings && m_settings->contains(name); }

    QString ReadString(const QString& name) override
    {
        if (!m_settings)
            return {};
        const QVariant value = m_settings->value(name);
        if (!value.isValid())
            return {};
        if (value.typeId() != QMetaType::QString)
            throw ESettingsError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
        return value.toString();
    }

    void WriteString(const QString& name, const QString& value) override
    {
        if (m_settings) {
            m_settings->setValue(name, value);
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
    std::optional<QSettings> m_settings;
};

} // namespace

std::unique_ptr<TSettingsKey> CreateUserSettingsKey()
{
    return std::make_unique<TIniSettingsKey>();
}
