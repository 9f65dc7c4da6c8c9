// SPDX-License-Identifier: MIT
#include "AdvEdit.h"
#include "ui_AdvEditForm.h"

#include <gtest/gtest.h>

namespace {

TEST(AdvEditForm, PropertiesFromAFormDefinitionTakeEffectAfterLoading)
{
    QWidget form;
    Ui::AdvEditForm ui;
    LoadForm([&] { ui.setupUi(&form); });
    TAdvEdit* e = ui.FileAdvEdit;
    EXPECT_EQ(e->geometry(), QRect(10, 111, 746, 21));
    EXPECT_TRUE(e->isReadOnly());
    EXPECT_EQ(e->Prefix(), "> ");
    EXPECT_EQ(e->FocusAlign(), TAdvEdit::eaCenter);
    // stored disabled: the disabled colour shows once loading is over, the normal one after enabling
    EXPECT_EQ(e->Color(), 0xC0C0C0u);
    e->setEnabled(true);
    EXPECT_EQ(e->Color(), clWindow);
}

} // namespace
