// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Opens a target in the user's default handler: a web address ("…://…", "www.…"), a "mailto:"
// address, or a local folder or file path. Every control and window opens targets through the
// service in effect; the program runs with the desktop's, a test puts its own in effect for its
// scope. A target that cannot be opened is dropped, as a failed shell open is.
class TShellService {
public:
    virtual ~TShellService() = default;
    virtual void Open(const QString& target) = 0;
};

// The service in effect.
TShellService& ShellService();

// Puts `service` in effect for this object's lifetime; the one before returns afterwards.
class TScopedShellService {
public:
    explicit TScopedShellService(TShellService& service);
    ~TScopedShellService();
    TScopedShellService(const TScopedShellService&) = delete;
    TScopedShellService& operator=(const TScopedShellService&) = delete;

private:
    TShellService* m_previous;
};
