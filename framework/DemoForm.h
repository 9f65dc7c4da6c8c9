// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

// The main of a control's demo form: starts the application with the design fonts, builds the form
// from the command-line arguments (the program's name first, without `--grab FILE`) and shows it.
// With `--grab FILE` it saves a picture of the shown form and quits (exit code 1 if it cannot).
int RunDemoForm(
    int argc, char** argv, const std::function<std::unique_ptr<QWidget>(const QStringList& args)>& makeForm);
