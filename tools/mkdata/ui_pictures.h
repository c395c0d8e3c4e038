// The interface pictures of the sample data: each a labelled grid in a hue
// of its own, on which every rectangle the screens cut from it is a named
// cell (filled brighter, outlined, labelled where the label fits; digit
// cells show their digit). The cell tables here are the maker's own,
// written from the screens' layouts. A picture with a mask comes with its
// alpha picture "<NAME>A.BMP" (grey: the alpha of each pixel).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rwcore.h"

namespace mkdata {

struct PictureCell {
    std::string label;   // drawn when it fits; empty: none
    float x0, y0, x1, y1;  // pixels of the picture
    RwUInt8 alpha = 255;
    bool outlineOnly = false;  // a frame: see-through inside its border
    char digit = 0;            // a digit cell shows this character large
    float hueShift = 0.0f;     // degrees from the picture's hue
    float value = 0.7f;        // the fill's brightness (0 black .. 1)
    bool borderless = false;   // filled to its edge: a piece that is stretched
    // A cell painted by a routine of its own (a photo, a clamp): the pixel
    // at (u, v), 0..1 across the cell, for `paintArg`, alpha included; drawn
    // over the grid's lines. Null: a labelled fill as above.
    RwRGBA (*paint)(int32_t paintArg, float u, float v) = nullptr;
    int32_t paintArg = 0;
};

struct PictureSpec {
    std::string name;      // "PLAYER" (file PLAYER.BMP)
    std::string folder;    // under the data root, "RESOURCE/UITEXT/PLAYERUI"
    bool perLanguage;      // ENG and CHI sub-folders
    RwInt32 width, height;
    float hue;             // degrees
    bool mask;             // writes NAMEA.BMP
    RwUInt8 backgroundAlpha = 255;
    bool selfMask = false;  // the picture is its own mask: grey text on black
    std::vector<PictureCell> cells;
    // Cells that only the language 0 ("CHI") or the other ("ENG") picture has.
    std::vector<PictureCell> chiCells, engCells;
};

// The item icon sheets "001" .. "006" (128 x 128, 4 x 4 cells of 32 each
// showing its icon number) and their folder.
inline constexpr int kItemIconSheets = 6;
inline const char *ItemIconFolder() { return "RESOURCE/ITEM/TEXTURES"; }

// A cell named `label` over (x0, y0)-(x1, y1), drawn in the picture's hue.
PictureCell NamedCell(const std::string &label, float x0, float y0, float x1, float y1);
// A picture of `w` x `h` in `folder` (with ENG and CHI sub-folders when
// `perLanguage`), of hue `hue`, with a mask when `mask`, holding `cells`.
PictureSpec MakePicture(const std::string &name, const std::string &folder, bool perLanguage, RwInt32 w, RwInt32 h,
                        float hue, bool mask, std::vector<PictureCell> cells = {});

// Every interface picture of the sample, by name ("PLAYER", "GFSCENE3" ...).
const std::vector<PictureSpec> &InterfacePictures();
const PictureSpec *FindInterfacePicture(const std::string &name);

// The picture of a language folder ("ENG", "CHI", or "" for one without),
// 32-bit with its alpha; null on failure.
RwImage *RenderPicture(const PictureSpec &spec, const std::string &language);
// The relative paths (forward slashes) the picture's files are written to:
// the picture then its mask, for each language folder it has.
std::vector<std::string> PictureFiles(const PictureSpec &spec);

// Writes the picture's files under `root`; false on any failure.
bool WritePictureFiles(const std::string &root, const PictureSpec &spec);

}  // namespace mkdata
