// SPDX-License-Identifier: MIT
#pragma once
#include "ui_AdvEditDemo.h"

#include <QLocale>
#include <QWidget>
#include <functional>
#include <vector>

// The edit field's demo form. On the left one field per edit type, with settings that show its
// rules, the value each holds read back as Text, FloatValue and IntValue, and a choice of number
// format to type in. On the right attached labels, lookup lists (one with a typed-entry history, one
// with several entries), drag and drop of text between two fields, and the name and the note kept
// in `iniFile` between runs.
class TAdvEditDemo : public QWidget {
public:
    explicit TAdvEditDemo(const QString& iniFile, QWidget* parent = nullptr);

    Ui::AdvEditDemo ui; // the label, lookup, persistence and drag-and-drop fields
    std::vector<TAdvEdit*> typed; // one field per edit type

private:
    void AddTypedFields(QWidget* box);

    std::vector<QLocale> m_locales;
    std::vector<std::function<void()>> m_readBacks;
};
