// SPDX-License-Identifier: MIT
#include "Application.h"
#include "CommandLine.h"
#include "Fonts.h"
#include "Paths.h"
#include "_mainUnit.h"
#include "_manualUnit.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // Help and version are answered before the windowing system starts, so they work without a display.
    const TCommandLine early = ParseCommandLine(ProgramArguments(argc, argv));
    if (early.Help || early.Version) {
        const QCoreApplication core(argc, argv); // names the program in the usage line
        const QString text = early.Help ? CommandLineHelp() : CommandLineVersion();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    TApplication application(argc, argv); // takes Qt's own options out of argv
    const TCommandLine line = ParseCommandLine(ProgramArguments(argc, argv));
    if (!line.Error.isEmpty()) {
        std::fprintf(
            stderr, "%s: %s\nTry '%s --help'.\n", argv[0], line.Error.toLocal8Bit().constData(), argv[0]);
        return 1;
    }
    application.SetTitle(QStringLiteral("Quillon"));
    // Ties the window to the installed desktop entry (its icon and name in the dock on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillon.Quillon"));
    RegisterDesignFonts();

    T_mainForm mainForm(RealServices());
    T_manualForm manualForm(&mainForm);
    mainForm.SetManualForm(&manualForm);
    if (line.File)
        mainForm.take_command_line_file(*line.File);
    application.SetMainForm(&mainForm);
    return application.Run();
}
