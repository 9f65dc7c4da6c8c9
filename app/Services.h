// SPDX-License-Identifier: MIT
#pragma once

#include "RepairReport.h"
#include "SettingsKey.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class QDialog;
class QWidget;
class TOpenDialog;

// What the front end asks of the user: the file chooser, the error box, a modal window.
class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    virtual bool ExecuteOpen(TOpenDialog& dialog, QWidget* owner) = 0;
    virtual void ErrorBox(const QString& text) = 0;
    virtual void ShowModal(QDialog& dialog) = 0;
};

// The desktop around the program: the Documents folder. Targets open through ShellService().
class TDesktop {
public:
    virtual ~TDesktop() = default;
    virtual QString DocumentsFolder() = 0;
};

class TClock {
public:
    virtual ~TClock() = default;
    virtual QDateTime Now() = 0;
};

// The paced wait of the repair pass: wait while processing events, then dispatch what is queued.
// False when the application is ending.
class TWaiter {
public:
    virtual ~TWaiter() = default;
    virtual bool WaitAndPump(int milliseconds) = 0;
};

// One run of the repair engine on one file, in a process of its own.
class TRepairRun {
public:
    virtual ~TRepairRun() = default; // ends a run still going, as Stop does
    // The fraction of its work the engine has reported done, 0 to 1; never goes back.
    virtual double Progress() const = 0;
    virtual bool Ended() const = 0;
    // What the engine answered; Verdict::None until the run has ended.
    virtual TRepairReport Report() const = 0;
    // Ends the run at once; the engine leaves no file behind.
    virtual void Stop() = 0;
};

// The repair engine: repairs `source` into a fixed file at `output`, which it never overwrites.
class TRepairEngine {
public:
    virtual ~TRepairEngine() = default;
    // `size` is the source's size in bytes (-1 unknown), for the run's limits. The run proceeds while the
    // caller processes events.
    virtual std::unique_ptr<TRepairRun> Start(const QString& source, const QString& output, qint64 size) = 0;
};

// Everything the main window reaches outside itself. The program wires the real services; tests wire
// their own. None of the pointers may be null, except Engine: without one the pass repairs nothing.
struct TServices {
    TUserDialogs* Dialogs = nullptr;
    TDesktop* Desktop = nullptr;
    TClock* Clock = nullptr;
    TWaiter* Waiter = nullptr;
    std::function<std::unique_ptr<TSettingsKey>()> SettingsKey;
    TRepairEngine* Engine = nullptr;
};

// The real services of the running program.
TServices RealServices();
