// SPDX-License-Identifier: MIT
#pragma once

#include "RecordingShell.h"
#include "Services.h"
#include "TempDir.h"
#include "_mainUnit.h"
#include "_manualUnit.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The user at the dialogs: answers the file chooser from a script and records every box and modal.
class FakeDialogs : public TUserDialogs {
public:
    // Next answers of the chooser: a name, or nullopt for Cancel. With none left the chooser is cancelled.
    std::vector<std::optional<QString>> answers;
    QStringList initialDirs; // the chooser's initial folder at each run
    QStringList errorBoxes;
    int modalShown = 0;
    std::function<void()> onErrorBox; // runs while the box is "open"
    std::function<void()> onModal;

    bool ExecuteOpen(TOpenDialog& dialog, QWidget* owner) override;
    void ErrorBox(const QString& text) override;
    void ShowModal(QDialog& dialog) override;
};

class FakeDesktop : public TDesktop {
public:
    QString documents;
    QString DocumentsFolder() override { return documents; }
};

class FixedClock : public TClock {
public:
    QDateTime now { QDate(2011, 1, 4), QTime(15, 9, 1) };
    QDateTime Now() override { return now; }
};

// The pass's wait without the time: dispatches queued events and runs a hook at each step.
class FakeWaiter : public TWaiter {
public:
    int calls = 0;
    bool ending = false; // report the application as ending
    std::function<void(int step)> onStep;
    bool WaitAndPump(int milliseconds) override;
};

// One program start in a sandbox: a temporary Documents folder and configuration folder, fakes for
// the dialogs, desktop, clock and wait, the real settings store, files and widgets.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();

    // Creates the windows as the program entry does; a second call is the next program start.
    T_mainForm& start();
    T_mainForm& form() { return *m_form; }
    QString documents() const { return m_documents; }
    QString configFolder() const { return m_root.file(QStringLiteral("config")); }
    QString iniFile() const { return configFolder() + QStringLiteral("/quillon/quillon.ini"); }
    // The remembered folder as stored, or nullopt when absent.
    std::optional<QString> storedPath() const;
    QStringList log() const;
    // Chooses `path` with "..." .
    void choose(const QString& path);

    TempDir files; // where test sources live (outside Documents)
    FakeDialogs dialogs;
    FakeDesktop desktop;
    RecordingShell shell;
    FixedClock clock;
    FakeWaiter waiter;
    TRepairEngine* engine = nullptr; // none: the pass repairs nothing

private:
    TempDir m_root;
    QString m_documents;
    std::unique_ptr<T_mainForm> m_form;
    T_manualForm* m_manual = nullptr;
};
