// What the lobby's pages share to draw: pictures placed by a screen
// rectangle of the 640 x 480 interface screen and a source rectangle in
// texture coordinates (0..1), drawn grey 240 unless said; the pictures
// read from a folder of the data root; the sounds the pages play.
#pragma once

#include <cstdint>

#include "ui/ui_quad.h"
#include "ui/ui_rect.h"

struct RwTexture;

inline constexpr uint32_t kLobbyPictureColour = 0xFFF0F0F0u;
inline constexpr uint32_t kSoundPageBack = 6600050;
inline constexpr uint32_t kSoundQuestion = 6600070;
inline constexpr uint32_t kSoundBanner = 6600140;

void PlacePicture(UIQuad *quad, const UIRect &screen, const UIRect &source, uint32_t argb = kLobbyPictureColour);
void DrawPicture(const RwTexture *texture, const UIRect &screen, const UIRect &source,
                 uint32_t argb = kLobbyPictureColour);
inline void DrawPicture(const RwTexture *texture, const UIPlaced &placed, uint32_t argb = kLobbyPictureColour)
{
    DrawPicture(texture, placed.screen, placed.source, argb);
}

// Reads "<root><folder>NAME.BMP" with its mask (inside whatever pack is
// open); null when it is missing.
RwTexture *ReadFolderPicture(const char *folder, const char *name, const char *mask);

// The source rectangle of cell n of the stage photos (STAGPHO, 512 x 512,
// seven 69-pixel cells to a row, 71 apart).
UIRect StagePhotoCell(int32_t n);
