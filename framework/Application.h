// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <functional>

// The program's application object. It keeps the program's title (used by its message boxes; window
// captions are left alone), ends the message loop when the main form closes, and reports an exception
// that escapes an event handler in a message box, after which the loop goes on.
class TApplication : public QApplication {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)

public:
    TApplication(int& argc, char** argv);

    QString Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

    // The window whose closing ends Run(); other windows closing do not.
    QWidget* MainForm() const { return m_mainForm; }
    void SetMainForm(QWidget* form) { m_mainForm = form; }

    // Shows the main form and runs the message loop until it closes; returns the exit code.
    int Run();

    // True once the main form has closed or quit() was called: loops nested in handlers stop.
    bool Terminated() const { return m_terminated; }

    // Called with the message of an exception that escaped a handler. When empty, a message box with
    // the error icon and the program's title shows it. Tests set it to collect the messages.
    std::function<void(const QString& message)> OnException;

    // The default report: the message box, or OnException when set.
    void ShowException(const QString& message);

    bool notify(QObject* receiver, QEvent* event) override;

    static TApplication* Instance();

private:
    QString m_title;
    QPointer<QWidget> m_mainForm;
    bool m_terminated = false;
};
