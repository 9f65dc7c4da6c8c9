// SPDX-License-Identifier: MIT
#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>

// Writing `property` of `object` again with the value it holds emits its notify signal never;
// writing `value` (which must differ) emits it once.
inline void ExpectNotifiesOnChangeOnly(QObject& object, const char* property, const QVariant& value)
{
    SCOPED_TRACE(property);
    const QMetaObject* meta = object.metaObject();
    const QMetaProperty p = meta->property(meta->indexOfProperty(property));
    ASSERT_TRUE(p.isValid());
    ASSERT_TRUE(p.hasNotifySignal());
    QSignalSpy spy(&object, p.notifySignal());
    ASSERT_TRUE(object.setProperty(property, object.property(property)));
    EXPECT_EQ(spy.count(), 0);
    ASSERT_NE(object.property(property), value);
    ASSERT_TRUE(object.setProperty(property, value));
    EXPECT_EQ(object.property(property), value);
    EXPECT_EQ(spy.count(), 1);
}

// The writable properties that `object`'s own class declares and that have no notify signal.
inline QStringList PropertiesWithoutNotify(const QObject& object)
{
    QStringList silent;
    const QMetaObject* meta = object.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (p.isWritable() && !p.hasNotifySignal())
            silent << QString::fromLatin1(p.name());
    }
    return silent;
}
