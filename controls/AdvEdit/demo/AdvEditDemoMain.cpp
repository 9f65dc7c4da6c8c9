// SPDX-License-Identifier: MIT
// The edit field's demo form, to try by hand: build/controls/AdvEdit/advedit_demo [INI file]
// (default: the program's own INI file) [--grab FILE] (save a picture of the form and quit).
#include "AdvEditDemo.h"
#include "DemoForm.h"

int main(int argc, char** argv)
{
    return RunDemoForm(argc, argv, [](const QStringList& args) {
        return std::make_unique<TAdvEditDemo>(args.size() > 1 ? args[1] : Persist::DefaultIniFile());
    });
}
