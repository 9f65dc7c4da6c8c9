// SPDX-License-Identifier: MIT
#include "ClickLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

class ClickLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickLabelAccessible(ClickLabel* label)
        : QAccessibleWidget(label, QAccessible::Link)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<ClickLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString& name) override
    {
        auto* label = static_cast<ClickLabel*>(widget());
        if (name == pressAction() && label->isEnabled())
            emit label->clicked();
    }
};

QAccessibleInterface* AccessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("ClickLabel") && object && object->isWidgetType())
        return new ClickLabelAccessible(static_cast<ClickLabel*>(object));
    return nullptr;
}

} // namespace

ClickLabel::ClickLabel(QWidget* parent)
    : TLabel(parent)
{
    static const bool installed = (QAccessible::installFactory(AccessibleFor), true);
    Q_UNUSED(installed);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
        TLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    // A held key would otherwise open one folder window after another.
    if (!event->isAutoRepeat() && isEnabled())
        emit clicked();
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    TLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
