// SPDX-License-Identifier: MIT
#pragma once

#include "ui__manualForm.h"

#include <QDialog>

// The manual-repair offer, shown modally after a pass that found data. No behaviour of its own: the
// close button of its title bar hides it for the next time.
class T_manualForm : public QDialog, public Ui::_manualForm {
    Q_OBJECT

public:
    explicit T_manualForm(QWidget* parent = nullptr);
};
