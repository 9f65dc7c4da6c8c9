// SPDX-License-Identifier: MIT
// A form to try the edit field's typed input by hand: one field per edit type with settings that
// show its rules, the value each field holds read back as Text, FloatValue and IntValue, and a
// choice of number format (the application's default locale) to type in. Run
// build/controls/AdvEdit/advedit_demo; with --grab FILE it saves a picture of the form and quits.
#include "AdvEdit.h"
#include "Fonts.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <vector>

namespace {

struct Row {
    const char* caption;
    TAdvEdit::TAdvEditType type;
    void (*setUp)(TAdvEdit&);
};

const Row kRows[] = {
    { "String", TAdvEdit::etString, [](TAdvEdit&) {} },
    { "Numeric (signed, 6 digits, moves on when full)", TAdvEdit::etNumeric,
        [](TAdvEdit& e) {
            e.setSigned(true);
            e.setLengthLimit(6);
            e.setTabOnFullLength(true);
        } },
    { "Float (2 decimals, signed)", TAdvEdit::etFloat,
        [](TAdvEdit& e) {
            e.setPrecision(2);
            e.setSigned(true);
            e.setText(QStringLiteral("-3.14159"));
        } },
    { "Money (2 decimals, keypad decimal key)", TAdvEdit::etMoney,
        [](TAdvEdit& e) {
            e.setPrecision(2);
            e.setExcelStyleDecimalSeparator(true);
            e.setPrefix(QStringLiteral("$ "));
            e.setFloatValue(1234567.5);
        } },
    { "Uppercase", TAdvEdit::etUppercase, [](TAdvEdit&) {} },
    { "Mixed case (type: old mcdonald ii)", TAdvEdit::etMixedCase, [](TAdvEdit&) {} },
    { "Lower case", TAdvEdit::etLowerCase, [](TAdvEdit&) {} },
    { "Password", TAdvEdit::etPassword, [](TAdvEdit& e) { e.setText(QStringLiteral("secret")); } },
    { "Range", TAdvEdit::etRange, [](TAdvEdit& e) { e.setText(QStringLiteral("1-3,7;9")); } },
    { "Hexadecimal", TAdvEdit::etHex, [](TAdvEdit&) {} },
    { "Letters and digits", TAdvEdit::etAlphaNumeric, [](TAdvEdit&) {} },
    { "Valid characters (ACGT)", TAdvEdit::etValidChars,
        [](TAdvEdit& e) { e.setValidChars(QStringLiteral("ACGT")); } },
};

QString ReadBack(const TAdvEdit& e)
{
    QString shown
        = e.EditType() == TAdvEdit::etPassword ? QString(e.Text().size(), QLatin1Char('*')) : e.Text();
    QString line = QStringLiteral("Text \"%1\"   FloatValue %2   IntValue %3")
                       .arg(shown)
                       .arg(e.FloatValue(), 0, 'g', 15)
                       .arg(e.IntValue());
    if (e.EditType() == TAdvEdit::etRange) {
        TRangeList list;
        const bool ok = e.RangeStrToList(list);
        line += QStringLiteral("   %1 values%2")
                    .arg(list.Count())
                    .arg(ok ? QString() : QStringLiteral(", not all valid"));
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterDesignFonts();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Typed input of the edit field"));
    auto* outer = new QVBoxLayout(&window);
    auto* locale = new QComboBox;
    const QLocale locales[] = { QLocale(), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland) };
    for (const QLocale& l : locales)
        locale->addItem(QStringLiteral("%1  (decimal \"%2\", thousands \"%3\")")
                            .arg(l.name(), l.decimalPoint(), l.groupSeparator()));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Number format"), locale);
    outer->addLayout(form);
    std::vector<std::function<void()>> readBacks;
    for (const Row& row : kRows) {
        auto* e = new TAdvEdit;
        e->setEditType(row.type);
        row.setUp(*e);
        e->setMinimumWidth(260);
        auto* readBack = new QLabel;
        readBack->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* cell = new QVBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(e);
        cell->addWidget(readBack);
        form->addRow(QString::fromUtf8(row.caption), cell);
        const auto update = [e, readBack] { readBack->setText(ReadBack(*e)); };
        QObject::connect(e, &QLineEdit::textChanged, readBack, update);
        update();
        readBacks.push_back(update);
    }
    QObject::connect(locale, &QComboBox::currentIndexChanged, &window, [&locales, &readBacks](int i) {
        // the fields read the separators at each use; only the read-backs need a refresh
        QLocale::setDefault(locales[i]);
        for (const auto& update : readBacks)
            update();
    });
    window.show();
    // --grab FILE: save a picture of the form and quit (for documentation and checks)
    if (const qsizetype i = app.arguments().indexOf(QStringLiteral("--grab"));
        i > 0 && i + 1 < app.arguments().size()) {
        QApplication::processEvents();
        return window.grab().save(app.arguments().at(i + 1)) ? 0 : 1;
    }
    return app.exec();
}
