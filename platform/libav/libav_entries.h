// libavformat, libavcodec and libswscale are loaded when first used (libav_entries.cpp):
// whoever opens a movie or writes one asks first whether they load.
#pragma once

#include <string>

namespace libav {

// True once the three libraries are loaded; otherwise false, with what the loader said.
bool Available(std::string *why);

}  // namespace libav
