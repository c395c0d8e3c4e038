// The source rectangles the screens cut from the shared atlases: weapon
// icons and equipment pictures of the EQUIP art, and three sizes of digit
// glyphs of the PLAYER art. A lookup outside its table gives no cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct RwTexture;

struct UIIconCell {
    float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
    RwTexture *texture = nullptr;
};

inline constexpr int kWeaponIconCells = 16;
inline constexpr int kEquipArtStrips = 10;
inline constexpr int kSmallDigitCells = 11;
inline constexpr int kLargeDigitCells = 10;
inline constexpr int kMediumDigitCells = 10;

std::vector<UIIconCell> MakeWeaponIcons(RwTexture *equip);
std::vector<UIIconCell> MakeEquipArt(RwTexture *equip);
std::vector<UIIconCell> MakeSmallDigits(RwTexture *player);
std::vector<UIIconCell> MakeLargeDigits(RwTexture *player);
std::vector<UIIconCell> MakeMediumDigits(RwTexture *player);

// Cell (id mod 1000) / 10 for an item id whose hundred-thousands are 51.
int32_t WeaponIconIndex(uint32_t itemId);
// Strip (id mod 1000) / 10 - 16 for an item id whose hundred-thousands are 51.
int32_t EquipArtIndex(uint32_t itemId);

// Cell `index` of a table, null outside it.
inline const UIIconCell *CellAt(const std::vector<UIIconCell> &table, int64_t index)
{
    return index >= 0 && index < static_cast<int64_t>(table.size()) ? &table[static_cast<size_t>(index)] : nullptr;
}
