// SPDX-License-Identifier: MIT
#include "Services.h"

#include "ChildEngine.h"
#include "Documents.h"
#include "ErrorBox.h"
#include "OpenDialog.h"
#include "Pump.h"

#include <QDialog>

namespace {

class TRealDialogs final : public TUserDialogs {
public:
    bool ExecuteOpen(TOpenDialog& dialog, QWidget* owner) override { return dialog.Execute(owner); }
    void ErrorBox(const QString& text) override { ShowErrorBox(text); }
    void ShowModal(QDialog& dialog) override { dialog.exec(); }
};

class TRealDesktop final : public TDesktop {
public:
    QString DocumentsFolder() override { return ::DocumentsFolder(); }
};

class TRealClock final : public TClock {
public:
    QDateTime Now() override { return QDateTime::currentDateTime(); }
};

class TRealWaiter final : public TWaiter {
public:
    bool WaitAndPump(int milliseconds) override { return ::WaitAndPump(milliseconds); }
};

} // namespace

TServices RealServices()
{
    static TRealDialogs dialogs;
    static TRealDesktop desktop;
    static TRealClock clock;
    static TRealWaiter waiter;
    static TChildEngine engine(EngineProgram());
    return TServices { &dialogs, &desktop, &clock, &waiter, &CreateUserSettingsKey, &engine };
}
