// The pictures of the sample's photo sheet STAGPHO, painted pixel by pixel
// rather than drawn as labelled cells: each stage's photo (its sky in the
// stage's fog colour or weather, the yard's brick wall, grass and path, and
// what stands in it: the map stages' row of crates, a boss, the first
// stage's monster and villagers, the arena's fighters), the monster lists'
// pictures (a figure in the list's colours), and the clamp by which a photo
// hangs on the lobby's and the save slots' rail.
#pragma once

#include <cstdint>

#include "rwcore.h"

namespace mkdata {

// The number of the stage whose photo is cell `index` of the sheet (the
// game's stage index, 0..28: 1, 2, 3, 4, 5, 6, 8, 10, 15 ...); 0 outside.
int32_t PhotoStageNumber(int32_t index);

// The pixel at (u, v), 0..1 across the cell from its top left corner.
RwRGBA StagePhotoPixel(int32_t index, float u, float v);
RwRGBA MonsterPhotoPixel(int32_t list, float u, float v);
// The clamp below a photo, whose middle row lies on the frame's bottom edge
// (the screens flip it for the clamp above): a bar along that edge and a
// post from it to the picture's bottom, where the rail comes in, in the
// rail's teal; see-through elsewhere, so that the figures beside it stay
// readable.
RwRGBA PhotoClampPixel(int32_t unused, float u, float v);

// The rail's colour: the save slots draw it untextured in this colour, and
// the lobby's rail and both clamps take it.
inline constexpr RwRGBA kPhotoRailColour = {38, 180, 126, 255};

}  // namespace mkdata
