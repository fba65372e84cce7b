#pragma once

#include <QString>

class QWidget;

namespace pbp {

// Makes a plain container widget a named group for assistive technology (role Grouping), so
// that a screen reader says the group's name when focus enters one of its controls. Its look
// does not change.
void MakeNamedGroup(QWidget& container, const QString& name);

}  // namespace pbp
