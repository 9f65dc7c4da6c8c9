// SPDX-License-Identifier: MIT
#include "Application.h"
#include "Fonts.h"
#include "_mainUnit.h"
#include "_manualUnit.h"

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    application.SetTitle(QStringLiteral("Quillon"));
    RegisterDesignFonts();

    T_mainForm mainForm(RealServices());
    T_manualForm manualForm(&mainForm);
    mainForm.SetManualForm(&manualForm);
    application.SetMainForm(&mainForm);
    return application.Run();
}
