// SPDX-License-Identifier: MIT
#include "Application.h"
#include "CommandLine.h"
#include "DesktopIdentity.h"
#include "Fonts.h"
#include "Paths.h"
#include "_mainUnit.h"
#include "_manualUnit.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // The arguments are judged before the windowing system starts, so help, version and wrong use are
    // answered without a display.
    const TCommandLine line = ParseCommandLine(ProgramArguments(argc, argv));
    if (line.Help || line.Version || !line.Error.isEmpty()) {
        const QCoreApplication core(argc, argv); // names the program in the usage line
        if (!line.Error.isEmpty()) {
            const QString text = QStringLiteral("%1: %2\n\n%3")
                                     .arg(QCoreApplication::applicationName(), line.Error, CommandLineHelp());
            std::fputs(text.toLocal8Bit().constData(), stderr);
            return CommandLineUsageStatus;
        }
        const QString text = line.Help ? CommandLineHelp() : CommandLineVersion();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    TApplication application(argc, argv); // takes Qt's own options out of argv
    application.SetTitle(QStringLiteral("Quillon"));
    SetDesktopIdentity();
    RegisterDesignFonts();

    T_mainForm mainForm(RealServices());
    T_manualForm manualForm(&mainForm);
    mainForm.SetManualForm(&manualForm);
    if (line.File)
        mainForm.take_command_line_file(*line.File);
    application.SetMainForm(&mainForm);
    return application.Run();
}
