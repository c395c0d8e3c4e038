// A plain 24-bit BMP writer for frames shown in a window (screenshots).
#pragma once

#include <string>

#include "win/window.h"

namespace game {

bool WriteFrameBmp(const win::Frame &frame, const std::string &path);

}  // namespace game
