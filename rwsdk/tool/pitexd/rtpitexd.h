// Platform-independent texture dictionary toolkit: reads a dictionary whose
// textures are stored as images (one image chunk per mip level), makes a
// raster for each on the current device and names the textures.
#pragma once

#include "rwtexture.h"

static constexpr RwInt32 rwID_PITEXDICTIONARYTOOLKIT = 0x1B3;

// Reads the body of a platform-independent dictionary chunk (the stream is
// positioned after its header); null when nothing could be read.
RwTexDictionary *RtPITexDStreamRead(RwStream *stream);
