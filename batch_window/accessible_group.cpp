#include "batch_window/accessible_group.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace pbp {

namespace {
const char* const kGroupProperty = "pbpAccessibleGroup";

QAccessibleInterface* groupInterface(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->property(kGroupProperty).toBool()) return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Grouping);
}
}  // namespace

void MakeNamedGroup(QWidget& container, const QString& name) {
    static const bool installed = (QAccessible::installFactory(groupInterface), true);
    Q_UNUSED(installed);
    container.setProperty(kGroupProperty, true);
    container.setAccessibleName(name);
}

}  // namespace pbp
