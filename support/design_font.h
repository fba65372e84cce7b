#pragma once

#include <QFont>

namespace pbp {

// The font the twips layouts of the windows were measured for: an 8 point sans serif with
// Arial's metrics. Qt's larger default font would clip captions at the designed sizes.
QFont DesignFont();

}  // namespace pbp
