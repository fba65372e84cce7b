#pragma once

#include <QString>

namespace pbp {

// The program's string table: captions and messages keyed by their resource numbers.
// Texts come in the user's language where translated; an unknown number gives an empty text.
QString LoadResString(int id);

// The program's own version, compiled in from the project version.
struct ProgramVersion {
    int major;
    int minor;
    int revision;
};
ProgramVersion programVersion();

}  // namespace pbp
