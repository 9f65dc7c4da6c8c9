// SPDX-License-Identifier: MIT
// The panel's demo form, to try by hand: build/controls/AdvPanel/advpanel_demo [INI file]
// (default: none, nothing is kept) [--grab FILE] (save a picture of the form and quit).
#include "AdvPanelDemo.h"
#include "DemoForm.h"

int main(int argc, char** argv)
{
    return RunDemoForm(argc, argv, [](const QStringList& args) {
        return std::make_unique<TAdvPanelDemo>(args.size() > 1 ? args[1] : QString());
    });
}
