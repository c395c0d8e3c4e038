// BMP toolkit: reads Windows and OS/2 bitmap files (1, 4, 8, 15, 16, 24 and
// 32 bits, run-length 4 and 8, bottom-up or top-down, 12- to 124-byte info
// headers) into images, and writes images as 24-bit bitmaps.
#pragma once

#include "rwimage.h"

static constexpr RwInt32 rwID_BMPTOOLKIT = 0x19D;

enum RtBmpHeaderKind : RwInt32 {
    rtBMPHEADERWINDOWS = 1,
    rtBMPHEADEROS2 = 2,
};

RwImage *RtBmpRead(const RwChar *imageName);
RwImage *RtBmpWrite(RwImage *image, const RwChar *imageName);
// Reads a bitmap from a stream positioned at its "BM" signature.
RwImage *RtBmpStreamRead(RwStream *stream);

// Layout of the files of each header kind (0 for an unknown kind).
RwInt32 RtBmpFileHeaderSize(RwInt32 kind);
RwInt32 RtBmpInfoHeaderSize(RwInt32 kind);
RwInt32 RtBmpRowBytes(RwInt32 kind, RwInt32 bitCount, RwInt32 width);
RwInt32 RtBmpHeaderSize(RwInt32 kind);
