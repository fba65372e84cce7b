#include "progress/progress_box.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace pbp {

namespace {
class ProgressBoxAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit ProgressBoxAccessible(ProgressBox* box)
        : QAccessibleWidget(box, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return box()->value(); }
    // The run sets the value; nobody else may.
    void setCurrentValue(const QVariant& /*value*/) override {}
    QVariant maximumValue() const override { return box()->maximum(); }
    QVariant minimumValue() const override { return box()->minimum(); }
    QVariant minimumStepSize() const override { return 0; }

  private:
    ProgressBox* box() const { return static_cast<ProgressBox*>(widget()); }
};

QAccessibleInterface* progressBoxInterface(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<ProgressBox*>(object)) return new ProgressBoxAccessible(box);
    return nullptr;
}
}  // namespace

ProgressBox::ProgressBox(QWidget* parent) : PictureBox(parent) {
    static const bool installed = (QAccessible::installFactory(progressBoxInterface), true);
    Q_UNUSED(installed);
}

void ProgressBox::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

void ProgressBox::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
}

}  // namespace pbp
