// UTF-8 of the game's UTF-16 texts, for diagnostics, the system message box
// and the keyword reader's wide lines.
#pragma once

#include <string>

// Pairs of surrogates become one code point; a lone half becomes U+FFFD.
std::string ToUtf8(const std::u16string &wide);
