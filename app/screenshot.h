// Screenshots: the camera raster of the frame just drawn, read back through
// the engine's raster and image code and written as a BMP.
#pragma once

#include <string>

#include "rwcore.h"

namespace game {

// Reads the camera's raster into an image and writes it to `path`; false
// when either step fails.
bool WriteScreenshot(RwCamera *camera, const std::string &path);

}  // namespace game
