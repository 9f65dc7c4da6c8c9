// SPDX-License-Identifier: MIT
#include "SettingsKey.h"

#include <QSettings>
#include <optional>

namespace {

const QString kParent = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE");
const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\quillon");

class TRegistrySettingsKey final : public TSettingsKey {
public:
    bool OpenKey(bool canCreate) override
    {
        if (!canCreate) {
            QSettings parent(kParent, QSettings::NativeFormat);
            if (!parent.childGroups().contains(QStringLiteral("quillon"), Qt::CaseInsensitive))
                return false;
        }
        m_settings.emplace(kKey, QSettings::NativeFormat);
        return m_settings->status() == QSettings::NoError;
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
    return std::make_unique<TRegistrySettingsKey>();
}
