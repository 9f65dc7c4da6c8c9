// SPDX-License-Identifier: MIT
#include "_manualUnit.h"

#include "FormStyle.h"
#include "Loadable.h"

T_manualForm::T_manualForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    LoadForm([this] { setupUi(this); });
    ApplyDesignFonts(this);
    setFixedSize(412, 83);
}
