// The interface's texts in the sample tree: the two bitmap fonts
// (RESOURCE/FONT/CHIFONT.XBF for language 0, ENGFONT.XBF for the others)
// and the message tables RESOURCE/UITEXT/MESSAGE/ENG.TCR and CHI.TCR.
#pragma once

#include <string>

#include "app/font_file.h"
#include "app/message_table.h"

namespace mkdata {

inline const char *FontFolder() { return "RESOURCE/FONT"; }
inline const char *MessageFolder() { return "RESOURCE/UITEXT/MESSAGE"; }

// The sample font (DejaVu Sans at 16 pixels over SampleFontCodes()).
bool BuildSampleFont(game::FontFile *font, std::string *error);

// The sample message table of a language code ("ENG" or "CHI"; the sample
// has no Chinese text, so the CHI table is the English one, each text
// marked "[CHI]"): entries 1, 13, 18, 21 and 22 (29 stage names).
game::MessageTable SampleMessageTable(const std::string &code);

// UTF-16LE with a byte-order mark.
std::string EncodeUtf16Le(const std::u16string &text);
// ASCII text as wide text, character for character.
inline std::u16string Widen(const std::string &text) { return std::u16string(text.begin(), text.end()); }

// Writes both fonts and both tables under `root`, each read back and
// compared before it counts as written.
bool WriteUiText(const std::string &root);

}  // namespace mkdata
