// SPDX-License-Identifier: MIT
#pragma once
#include "AdvEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

// A window that records the keys that reach it.
struct KeyWindow : QWidget {
    QList<int> keys;
    void keyPressEvent(QKeyEvent* e) override { keys << e->key(); }
};

// A shown, active window with the field and a second focus target.
struct Form {
    KeyWindow window;
    TAdvEdit* edit;
    QLineEdit* other;
    Form()
    {
        window.resize(800, 200);
        other = new QLineEdit(&window);
        other->setGeometry(10, 10, 100, 21);
        edit = new TAdvEdit(&window);
        edit->setGeometry(10, 111, 746, 21);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
    void focusEdit()
    {
        edit->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(edit->hasFocus());
    }
    void focusOther()
    {
        other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};

inline QMenu* popupMenu(QWidget* w)
{
    QContextMenuEvent cme(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &cme);
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(t); m && m->isVisible())
            return m;
    return nullptr;
}

inline QColor pixel(QWidget* w, int x, int y)
{
    return w->grab().toImage().pixelColor(x, y);
}
