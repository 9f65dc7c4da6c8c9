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

// Reads `arguments`, the program's name first. Qt's own options (-platform, -style, ...) must have
// been taken out already, as the application object does; before that only Help and Version count.
TCommandLine ParseCommandLine(const QStringList& arguments);

// The text printed for --help.
QString CommandLineHelp();

// The text printed for --version: the product name and version from the program's version resource.
QString CommandLineVersion();
