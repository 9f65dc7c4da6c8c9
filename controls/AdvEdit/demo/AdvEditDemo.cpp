// SPDX-License-Identifier: MIT
#include "AdvEditDemo.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

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

TAdvEditDemo::TAdvEditDemo(const QString& iniFile, QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Edit field"));
    auto* outer = new QHBoxLayout(this);
    auto* typedBox = new QGroupBox(QStringLiteral("Typed input"));
    auto* featureBox = new QGroupBox(QStringLiteral("Label, lookup, persistence, drag and drop"));
    outer->addWidget(typedBox);
    outer->addWidget(featureBox, 0, Qt::AlignTop);
    auto* features = new QWidget;
    (new QVBoxLayout(featureBox))->addWidget(features);
    // the fields keep what they load: everything is created as a form is, then loaded
    LoadForm([&] {
        AddTypedFields(typedBox);
        ui.setupUi(features);
        features->setFixedSize(features->size());
        TLookupSettings* names = ui.NameAdvEdit->Lookup();
        names->setEnabled(true);
        names->setHistory(true);
        names->setDisplayList(
            { "John Smith", "Joanna Smythe", "Jonas Schmidt", "Mary Jones", "Maria Jonsson" });
        TLookupSettings* cities = ui.CitiesAdvEdit->Lookup();
        cities->setEnabled(true);
        cities->setMulti(true);
        cities->setNumChars(1);
        cities->setDisplayList(
            { "Amsterdam", "Athens", "Berlin", "Bern", "Brussels", "Lisbon", "London", "Madrid" });
        for (TAdvEdit* kept : { ui.NameAdvEdit, ui.NoteAdvEdit }) {
            kept->Persistence()->setEnable(true);
            kept->Persistence()->setKey(iniFile);
            kept->Persistence()->setSection(QStringLiteral("AdvEditDemo"));
        }
    });
}

void TAdvEditDemo::AddTypedFields(QWidget* box)
{
    auto* form = new QFormLayout(box);
    auto* locale = new QComboBox;
    m_locales = { QLocale(), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland) };
    for (const QLocale& l : m_locales)
        locale->addItem(QStringLiteral("%1  (decimal \"%2\", thousands \"%3\")")
                            .arg(l.name(), l.decimalPoint(), l.groupSeparator()));
    form->addRow(QStringLiteral("Number format"), locale);
    for (const Row& row : kRows) {
        auto* e = new TAdvEdit;
        e->setObjectName(QStringLiteral("Typed%1AdvEdit").arg(int(typed.size())));
        e->setEditType(row.type);
        row.setUp(*e);
        e->setMinimumWidth(260);
        typed.push_back(e);
        auto* readBack = new QLabel;
        readBack->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* cell = new QVBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(e);
        cell->addWidget(readBack);
        form->addRow(QString::fromUtf8(row.caption), cell);
        const auto update = [e, readBack] { readBack->setText(ReadBack(*e)); };
        connect(e, &QLineEdit::textChanged, readBack, update);
        update();
        m_readBacks.push_back(update);
    }
    connect(locale, &QComboBox::currentIndexChanged, this, [this](int i) {
        // as the desktop does when its number format changes: the fields rewrite their values
        QLocale::setDefault(m_locales[size_t(i)]);
        QEvent changed(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &changed);
        for (const auto& update : m_readBacks)
            update();
    });
}
