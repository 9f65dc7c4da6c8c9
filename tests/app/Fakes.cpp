// SPDX-License-Identifier: MIT
#include "Fakes.h"

#include "OpenDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

bool FakeDialogs::ExecuteOpen(TOpenDialog& dialog, QWidget*)
{
    initialDirs << dialog.InitialDir;
    if (answers.empty())
        return false;
    const std::optional<QString> answer = answers.front();
    answers.erase(answers.begin());
    if (!answer)
        return false;
    dialog.FileName = *answer;
    return true;
}

void FakeDialogs::ErrorBox(const QString& text)
{
    errorBoxes << text;
    if (onErrorBox)
        onErrorBox();
}

void FakeDialogs::ShowModal(QDialog&)
{
    ++modalShown;
    if (onModal)
        onModal();
}

bool FakeWaiter::WaitAndPump(int)
{
    const int step = calls++;
    if (onStep)
        onStep(step);
    QCoreApplication::processEvents();
    return !ending;
}

Sandbox::Sandbox()
{
    m_documents = m_root.file(QStringLiteral("Documents"));
    QDir().mkpath(m_documents);
    QDir().mkpath(configFolder());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configFolder());
    desktop.documents = m_documents;
}

Sandbox::~Sandbox() = default;

T_mainForm& Sandbox::start()
{
    m_form.reset();
    TServices services { &dialogs, &desktop, &clock, &waiter, &CreateUserSettingsKey, engine };
    m_form = std::make_unique<T_mainForm>(services);
    m_manual = new T_manualForm(m_form.get());
    m_form->SetManualForm(m_manual);
    return *m_form;
}

std::optional<QString> Sandbox::storedPath() const
{
    QSettings s(iniFile(), QSettings::IniFormat);
    if (!s.contains(QStringLiteral("path")))
        return std::nullopt;
    return s.value(QStringLiteral("path")).toString();
}

QStringList Sandbox::log() const
{
    return m_form->LogMemo->toPlainText().split(QLatin1Char('\n'));
}

void Sandbox::choose(const QString& path)
{
    dialogs.answers.push_back(path);
    m_form->ChangeSpeedButtonClick();
}
