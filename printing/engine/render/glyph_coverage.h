#pragma once

// Whether the installed fonts can print a text's characters: Qt falls back from the text's
// font to any font with the character, and prints an empty box when none has it.

#include <QHash>
#include <QString>

#include "printing/engine/render/display_list.h"

namespace pbp::render {

class GlyphCoverage {
  public:
    // How many characters of the paragraph no installed font can print. Latin text is taken as
    // printable without looking (the fonts the renderer substitutes cover it), so that only
    // rarer scripts and symbol fonts' private characters cost a look-up, once per font and
    // character.
    qsizetype unprintable(const TextParagraph& paragraph);

  private:
    bool printable(const QFont& font, char32_t character);

    QHash<QString, bool> known_;  // font family and character -> printable
};

}  // namespace pbp::render
