// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

// Shows `form`, lets what showing it queued (layout, painting) run, and saves its picture as a PNG
// file; false when the file cannot be written.
bool SaveFormPicture(QWidget& form, const QString& path);

// The main of a control's demo form: starts the application with the design fonts, builds the form
// from the command-line arguments (the program's name first, without `--grab FILE`) and shows it.
// With `--grab FILE` it saves a picture of the shown form and quits (exit code 1 if it cannot).
int RunDemoForm(
    int argc, char** argv, const std::function<std::unique_ptr<QWidget>(const QStringList& args)>& makeForm);
