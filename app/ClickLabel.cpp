// SPDX-License-Identifier: MIT
#include "ClickLabel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

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
