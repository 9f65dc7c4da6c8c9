// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the program's command line asks for: quillon [-h | --help | -v | --version] [FILE].
struct TCommandLine {
    bool Help = false;
    bool Version = false;
    std::optional<QString> File; // the damaged file to start with, as given
    QString Error; // why the arguments were not understood; empty when they were
};

// The exit status for arguments that were not understood (EX_USAGE of sysexits).
constexpr int CommandLineUsageStatus = 64;

// Reads `arguments`, the program's name first, as given to the process: Qt's own options (-platform,
// -style, ...) are passed over, so the result is the same before and after the application object
// has taken them out.
TCommandLine ParseCommandLine(const QStringList& arguments);

// The text printed for --help.
QString CommandLineHelp();

// The text printed for --version: the product name and version from the program's version resource.
QString CommandLineVersion();
