// SPDX-License-Identifier: MIT
// Every writable property of the edit field and its settings objects tells of its changes: a new
// value emits the property's signal once, the same value again emits nothing.
#include "AdvEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A value other than `v` that the property takes as it is.
QVariant Other(const QMetaProperty& p, const QVariant& v)
{
    if (p.isEnumType())
        return (v.toInt() + 1) % p.enumerator().keyCount();
    switch (p.metaType().id()) {
    case QMetaType::Bool:
        return !v.toBool();
    case QMetaType::Int:
        return v.toInt() + 1;
    case QMetaType::UInt:
        return v.toUInt() ^ 0x010203u;
    case QMetaType::Double:
        return v.toDouble() + 1;
    case QMetaType::QString:
        return v.toString() == QLatin1String("x") ? QStringLiteral("y") : QStringLiteral("x");
    case QMetaType::QStringList:
        return v.toStringList() << QStringLiteral("x");
    case QMetaType::QFont: {
        QFont f = v.value<QFont>();
        f.setPointSize(f.pointSize() + 3);
        return f;
    }
    default:
        return {};
    }
}

using Make = std::function<QObject*(QWidget& parent, const QString& property)>;

// Walks the writable properties the object declares itself (a fresh object per property, so one
// change cannot hide another); `exempt` may stay without a signal.
void WalkProperties(const Make& make, const QStringList& exempt = {})
{
    QWidget probe;
    const QMetaObject* meta = make(probe, QString())->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        SCOPED_TRACE(p.name());
        if (!p.isWritable())
            continue;
        if (exempt.contains(QLatin1String(p.name()))) {
            EXPECT_FALSE(p.hasNotifySignal());
            continue;
        }
        ASSERT_TRUE(p.hasNotifySignal());
        QWidget parent;
        QObject* o = make(parent, QLatin1String(p.name()));
        const QVariant changed = Other(p, p.read(o));
        ASSERT_TRUE(changed.isValid()) << "no other value for " << p.typeName();
        QSignalSpy spy(o, p.notifySignal());
        ASSERT_TRUE(p.write(o, changed));
        EXPECT_EQ(spy.count(), 1);
        ASSERT_TRUE(p.write(o, p.read(o)));
        EXPECT_EQ(spy.count(), 1);
    }
}

TAdvEdit* NewField(QWidget& parent, const QString& property = QString())
{
    auto* e = new TAdvEdit(&parent);
    e->setFont(QFont(QStringLiteral("Arial"), 9)); // the label's font counts only then
    if (property == QLatin1String("IntValue"))
        e->setEditType(TAdvEdit::etNumeric); // a text field keeps its value
    return e;
}

TEST(AdvEditNotify, EveryPropertyNotifiesItsChanges)
{
    WalkProperties(
        [](QWidget& parent, const QString& p) { return NewField(parent, p); }, { QStringLiteral("Version") });
    WalkProperties([](QWidget& parent, const QString&) { return NewField(parent)->Lookup(); });
    WalkProperties([](QWidget& parent, const QString&) { return NewField(parent)->Persistence(); });
}

TEST(AdvEditNotify, ChangesMadeByTheProgramAndSubObjects)
{
    QWidget parent;
    TAdvEdit* e = NewField(parent);
    const QMetaObject* meta = e->metaObject();
    for (const char* name : { "Lookup", "Persistence" })
        EXPECT_TRUE(meta->property(meta->indexOfProperty(name)).isConstant()) << name;

    // the label is made by the first caption, once
    QSignalSpy label(e, &TAdvEdit::editLabelChanged);
    e->setLabelCaption(QStringLiteral("Name"));
    e->setLabelCaption(QStringLiteral("Other"));
    EXPECT_EQ(label.count(), 1);

    // a password field cannot undo: the field switches CanUndo off itself and says so
    QSignalSpy undo(e, &TAdvEdit::canUndoChanged);
    e->setEditType(TAdvEdit::etPassword);
    EXPECT_EQ(undo.count(), 1);
    EXPECT_FALSE(e->CanUndo());

    // typing is a change of the value and of Modified
    TAdvEdit* typed = NewField(parent);
    QSignalSpy value(typed, &TAdvEdit::valueChanged);
    QSignalSpy modified(typed, &TAdvEdit::modifiedChanged);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(typed, &key);
    EXPECT_EQ(value.count(), 1);
    EXPECT_EQ(modified.count(), 1);
}

TEST(AdvEditNotify, WidenedFieldAsksForItsWidth)
{
    QWidget window;
    TAdvEdit* e = NewField(window);
    auto* other = new QLineEdit(&window);
    e->setFocusWidthInc(30);
    window.show();
    const int plain = e->sizeHint().width();
    e->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(e->hasFocus());
    EXPECT_EQ(e->sizeHint().width(), plain + 30);
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(e->sizeHint().width(), plain);
}

} // namespace
