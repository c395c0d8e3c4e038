// Item icons. An item's Icon number (its ItemContent record) names a cell
// of a 4 x 4 sheet in its low four bits and the sheet in the rest; sheet s
// is the picture \RESOURCE\ITEM\TEXTURES\<s+1, three digits>.BMP with its
// mask <...>A.BMP (sheet 0 is 001.BMP). CSWorldItemManager holds the
// sheets, loaded once with the effects pack.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rwcore.h"

class CSItemManager;

inline constexpr int32_t kIconCellsPerSheet = 16;
inline constexpr float kIconCellSize = 0.25f;
// The most icon sheets the game looks for.
inline constexpr int32_t kMaxIconSheets = 16;
inline constexpr const char *kIconSheetFolder = "\\RESOURCE\\ITEM\\TEXTURES\\";

// "001.BMP" for sheet 0.
std::string IconSheetName(int32_t sheet);

class CSWorldItemManager {
public:
    CSWorldItemManager() = default;
    ~CSWorldItemManager() { Release(); }
    CSWorldItemManager(const CSWorldItemManager &) = delete;
    CSWorldItemManager &operator=(const CSWorldItemManager &) = delete;

    // Loads every sheet that exists, from the open pack or the disk.
    // The number loaded.
    int32_t LoadIconSheets();
    // The texture of the icon's sheet (icon / 16); null for a negative icon
    // or a sheet not loaded.
    RwTexture *GetItemTexture(int32_t icon) const;
    void Release();

private:
    std::vector<RwTexture *> sheets_;  // by sheet number; null where missing
};

// The icon number of an item: its ItemContent's Icon, -1 when it has none
// (or without an item manager; null uses the running stage's).
int32_t GetItemIconIndex(int32_t itemId, const CSItemManager *items = nullptr);
// The icon's cell on its sheet as texture coordinates (steps of 0.25):
// left, top, right, bottom. Without an icon all four are 0 and the result false.
bool GetIconCellUV(int32_t icon, float *s0, float *t0, float *s1, float *t1);
bool GetItemIconUV(int32_t itemId, float *s0, float *t0, float *s1, float *t1,
                   const CSItemManager *items = nullptr);
