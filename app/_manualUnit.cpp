// SPDX-License-Identifier: MIT
#include "_manualUnit.h"

#include "FormPanel.h"
#include "FormStyle.h"
#include "Links.h"
#include "Loadable.h"
#include "WindowPlacement.h"

#include <QScreen>

T_manualForm::T_manualForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    LoadForm([this] {
        setupUi(this);
        ApplyDesignFonts(this); // before loading completes, so the label sizes itself once
        LoadStoredPanelValues(*MainAdvPanel);
        // The text continues the caption, hence its small first letter.
        ManualHTMLabel->setHTMLText({ Links::ManualRepairMarkup(u'y') });
    });
    setFixedSize(412, 83);
    KeepCentred(*this, [this] {
        const QWidget* owner = parentWidget();
        return owner ? owner->window()->frameGeometry() : screen()->availableGeometry();
    });
}
