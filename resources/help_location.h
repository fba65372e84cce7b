#pragma once

#include <QString>

namespace pbp {

// The user help page. In the build tree it lies in the program's folder; an installed program
// finds it in the data folder beside its bin folder (share/plenbatchprint). When neither holds
// it, the path in the program's folder is answered, so that opening it reports the missing file.
QString HelpPagePath(const QString& programFolder);

}  // namespace pbp
