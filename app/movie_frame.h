// The movie texture and the movie frame of the render frame: an engine raster of the
// video's size that the newest decoded picture is copied into, drawn in place of the
// stage scene scaled to fit the 640 x 480 screen with black bars.
#pragma once

#include <cstdint>

#include "rwcore.h"

namespace mov {
class Player;
}

namespace game {

// Where the picture lands in the 640 x 480 interface screen: as large as fits, its
// shape kept, centred.
struct MovieRect {
    float x0, y0, x1, y1;
};
MovieRect FitMovie(uint32_t videoWidth, uint32_t videoHeight);

// A 32-bit texture raster of the video's size; null when refused.
RwRaster *CreateMovieRaster(uint32_t width, uint32_t height);
// Copies the player's newest frame into the raster when there is a new one (the caller
// holds the render lock). True when the raster changed.
bool UploadMovieFrame(mov::Player *player, RwRaster *raster);
// Inside a camera update: black over the whole screen, then the picture.
void DrawMovieFrame(RwCamera *camera, RwRaster *raster);

}  // namespace game
