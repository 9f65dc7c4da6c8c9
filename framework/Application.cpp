// SPDX-License-Identifier: MIT
#include "Application.h"

#include "ErrorBox.h"

#include <QCloseEvent>
#include <exception>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The loop ends with the main form, not with whichever window happens to close last.
    setQuitOnLastWindowClosed(false);
    connect(this, &QCoreApplication::aboutToQuit, this, [this] { m_terminated = true; });
}

TApplication* TApplication::Instance()
{
    return qobject_cast<TApplication*>(QCoreApplication::instance());
}

int TApplication::Run()
{
    m_terminated = false;
    if (m_mainForm)
        m_mainForm->show();
    return exec();
}

void TApplication::ShowException(const QString& message)
{
    if (OnException)
        OnException(message);
    else
        ShowMessageBox(message, m_title, TMessageKind::Error);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        const bool result = QApplication::notify(receiver, event);
        if (event->type() == QEvent::Close && receiver == m_mainForm && event->isAccepted()) {
            m_terminated = true;
            quit();
        }
        return result;
    } catch (const std::exception& e) {
        ShowException(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowException(QStringLiteral("Unknown error"));
    }
    return false;
}
