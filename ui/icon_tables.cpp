// The icon and digit tables (see icon_tables.h).
#include "ui/icon_tables.h"

namespace {

constexpr float kAtlas = 512.0f;

UIIconCell Cell(RwTexture *texture, float s0, float t0, float s1, float t1)
{
    UIIconCell cell;
    cell.s0 = s0;
    cell.t0 = t0;
    cell.s1 = s1;
    cell.t1 = t1;
    cell.texture = texture;
    return cell;
}

// A row of PLAYER cells between t0 and t1, s pairs in atlas pixels.
std::vector<UIIconCell> Row(RwTexture *player, float t0, float t1, const float (*s)[2], int count)
{
    std::vector<UIIconCell> cells;
    for (int i = 0; i < count; ++i) {
        cells.push_back(Cell(player, s[i][0] / kAtlas, t0 / kAtlas, s[i][1] / kAtlas, t1 / kAtlas));
    }
    return cells;
}

}  // namespace

std::vector<UIIconCell> MakeWeaponIcons(RwTexture *equip)
{
    std::vector<UIIconCell> cells;
    for (int k = 0; k < kWeaponIconCells; ++k) {
        const int c = k % 4;
        const int r = k / 4;
        const float shift = static_cast<float>(k / 8);
        cells.push_back(Cell(equip, 32.0f * c / kAtlas, (32.0f * r + shift) / 128.0f, (32.0f * c + 31.0f) / kAtlas,
                             (32.0f * r + 31.0f + shift) / 128.0f));
    }
    return cells;
}

std::vector<UIIconCell> MakeEquipArt(RwTexture *equip)
{
    static const float kStrips[kEquipArtStrips][2] = {{130, 160}, {161, 191}, {192, 222}, {223, 253}, {254, 284},
                                                      {290, 320}, {321, 351}, {352, 382}, {383, 413}, {414, 444}};
    std::vector<UIIconCell> cells;
    for (const auto &strip : kStrips) {
        cells.push_back(Cell(equip, strip[0] / kAtlas, 1.0f / 128.0f, strip[1] / kAtlas, 127.0f / 128.0f));
    }
    return cells;
}

std::vector<UIIconCell> MakeSmallDigits(RwTexture *player)
{
    static const float kS[kSmallDigitCells][2] = {{88, 100},  {100, 112}, {114, 126}, {127, 139},
                                                   {141, 153}, {153, 165}, {166, 178}, {179, 191},
                                                   {191, 203}, {205, 217}, {287, 299}};
    return Row(player, 148, 162, kS, kSmallDigitCells);
}

std::vector<UIIconCell> MakeLargeDigits(RwTexture *player)
{
    static const float kS[kLargeDigitCells][2] = {{87, 110},  {108, 131}, {130, 153}, {154, 177}, {174, 197},
                                                   {198, 221}, {219, 242}, {241, 264}, {263, 286}, {286, 309}};
    return Row(player, 125, 148, kS, kLargeDigitCells);
}

std::vector<UIIconCell> MakeMediumDigits(RwTexture *player)
{
    static const float kS[kMediumDigitCells][2] = {{137, 152}, {151, 166}, {166, 181}, {181, 196}, {196, 211},
                                                    {211, 226}, {226, 241}, {241, 256}, {257, 272}, {271, 286}};
    return Row(player, 73, 90, kS, kMediumDigitCells);
}

int32_t WeaponIconIndex(uint32_t itemId)
{
    return itemId / 100000 == 51 ? static_cast<int32_t>((itemId % 1000) / 10) : -1;
}

int32_t EquipArtIndex(uint32_t itemId)
{
    return itemId / 100000 == 51 ? static_cast<int32_t>((itemId % 1000) / 10) - 16 : -1;
}
