// SPDX-License-Identifier: MIT
#pragma once

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

// Everything the main window reaches outside itself. The program wires the real services; tests wire
// their own. None of the pointers may be null.
struct TServices {
    TUserDialogs* Dialogs = nullptr;
    TDesktop* Desktop = nullptr;
    TClock* Clock = nullptr;
    TWaiter* Waiter = nullptr;
    std::function<std::unique_ptr<TSettingsKey>()> SettingsKey;
};

// The real services of the running program.
TServices RealServices();
