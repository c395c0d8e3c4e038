// The lobby pages' drawing helpers (see lobby_art.h).
#include "ui/lobby_art.h"

#include <string>

#include "app/textures.h"
#include "ui/ui_manager.h"

void PlacePicture(UIQuad *quad, const UIRect &screen, const UIRect &source, uint32_t argb)
{
    SetQuadPositions(quad->v, screen.x0, screen.y0, screen.x1, screen.y1);
    SetQuadUVs(quad->v, source.x0, source.y0, source.x1, source.y1);
    SetQuadArgb(quad->v, argb);
}

void DrawPicture(const RwTexture *texture, const UIRect &screen, const UIRect &source, uint32_t argb)
{
    UIQuad quad;
    PlacePicture(&quad, screen, source, argb);
    DrawUIQuad(quad, texture);
}

RwTexture *ReadFolderPicture(const char *folder, const char *name, const char *mask)
{
    RwImageSetPath((std::string(UIDataRoot()) + folder).c_str());
    return LoadTextureWithMask(name, mask);
}

UIRect StagePhotoCell(int32_t n)
{
    const float column = static_cast<float>(n % 7);
    const float row = static_cast<float>(n / 7);
    return {(1.0f + 71.0f * column) / 512.0f, (1.0f + 71.0f * row) / 512.0f, (70.0f + 71.0f * column) / 512.0f,
            (70.0f + 71.0f * row) / 512.0f};
}
