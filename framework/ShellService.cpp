// SPDX-License-Identifier: MIT
#include "ShellService.h"

#include "Shell.h"

namespace {

class TDesktopShellService final : public TShellService {
public:
    void Open(const QString& target) override { ShellOpen(target); }
};

TShellService*& Current()
{
    static TDesktopShellService desktop;
    static TShellService* current = &desktop;
    return current;
}

} // namespace

TShellService& ShellService()
{
    return *Current();
}

TScopedShellService::TScopedShellService(TShellService& service)
    : m_previous(Current())
{
    Current() = &service;
}

TScopedShellService::~TScopedShellService()
{
    Current() = m_previous;
}
