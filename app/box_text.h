// The text of a system message box laid out in lines a screen holds: the box
// is as wide as its longest line and does not wrap by itself, so a long
// message (a path, a sentence) made a box wider than the screen, cut at both
// ends.
#pragma once

#include <cstddef>
#include <string>

// The width a box's line may take, in characters: at the box's font, well
// inside a 640-pixel screen.
inline constexpr size_t kBoxTextColumns = 60;

// `text` with each of its lines broken between words into lines of at most
// `columns` characters; a word longer than that (a path) is broken after a
// backslash or slash where it has one, else where the line is full.
std::u16string WrapBoxText(const std::u16string &text, size_t columns = kBoxTextColumns);
