// The status page's layout on the 640 x 480 interface screen: source
// rectangles in texture coordinates of the PLAYER and WORD atlases (or of
// the hero's own pictures) and screen rectangles, by language set (0 the
// Chinese set, 1 every other language) and hero where they differ.
#pragma once

#include <cstdint>

namespace status_layout {

struct Source {
    float s0, t0, s1, t1;
};
struct Screen {
    float x0, y0, x1, y1;
};
struct Placed {
    Source source;
    Screen screen;
};

inline constexpr uint32_t kOpaque = 0xF0F0F0F0u;     // 240, 240, 240, 240
inline constexpr uint32_t kStatFrame = 0xC8F0F0F0u;  // alpha 200

inline constexpr Screen kBackground = {245, 0, 640, 399};

inline constexpr Placed kStatFrames[3] = {
    {{0.666015625f, 0.181640625f, 0.99609375f, 0.326171875f}, {51, 107, 220, 181}},
    {{0.666015625f, 0.328125f, 0.99609375f, 0.408203125f}, {51, 181, 220, 329}},
    {{0.666015625f, 0.41015625f, 0.99609375f, 0.49609375f}, {51, 329, 220, 373}},
};
inline constexpr Placed kNamePlate = {{0.494140625f, 0.421875f, 0.666015625f, 0.49609375f}, {26, 364, 222, 402}};

// [language set][hero]
inline constexpr Placed kHeroNames[2][2] = {
    {{{0.00390625f, 0.66015625f, 0.50390625f, 0.74609375f}, {60, 372, 188, 394}},
     {{0.0078125f, 0.7421875f, 0.19921875f, 0.828125f}, {100, 372, 149, 394}}},
    {{{0.484375f, 0.921875f, 0.96484375f, 0.984375f}, {60, 375, 183, 391}},
     {{0.79296875f, 0.015625f, 0.99609375f, 0.078125f}, {100, 375, 152, 391}}},
};

// Tabs: screen x by language set, y 50 to 86 (set 0) or 90; the current
// tab's look and the other tabs' look by language set.
struct TabLayout {
    float x0[2], x1[2];
    Source current[2];
    Source other[2];
};
inline constexpr float kTabTop = 50.0f;
inline constexpr float kTabBottom[2] = {86.0f, 90.0f};
inline constexpr TabLayout kTabs[3] = {
    {{278, 278},
     {345, 371},
     {{0.625f, 0.48046875f, 0.88671875f, 0.62109375f}, {0.0390625f, 0.51953125f, 0.3984375f, 0.64453125f}},
     {{0.62890625f, 0.01171875f, 0.890625f, 0.15234375f}, {0.453125f, 0.51953125f, 0.8125f, 0.64453125f}}},
    {{391, 391},
     {458, 491},
     {{0.62890625f, 0.63671875f, 0.890625f, 0.77734375f}, {0.015625f, 0.64453125f, 0.40625f, 0.78515625f}},
     {{0.640625f, 0.16796875f, 0.90234375f, 0.30859375f}, {0.4296875f, 0.63671875f, 0.8203125f, 0.77734375f}}},
    {{504, 504},
     {571, 595},
     {{0.6484375f, 0.79296875f, 0.91015625f, 0.93359375f}, {0.02734375f, 0.78125f, 0.375f, 0.90625f}},
     {{0.64453125f, 0.328125f, 0.90625f, 0.46875f}, {0.4453125f, 0.78515625f, 0.79296875f, 0.91015625f}}},
};

// Labels: x0 65, y, source and x1 by language set, and the digits' row.
struct LabelLayout {
    float y0, y1;
    Source source[2];
    float x1[2];
    float digitsY0, digitsY1;
};
inline constexpr float kLabelLeft = 65.0f;
enum : int { kMoney = 0, kLife, kPower, kAttack, kDefence, kStatCount };
inline constexpr LabelLayout kLabels[kStatCount] = {
    {170, 190, {{0.00390625f, 0.41015625f, 0.16796875f, 0.48828125f}, {0.5f, 0.41796875f, 0.74609375f, 0.49609375f}},
     {107, 128}, 190, 204},
    {208, 228, {{0.17578125f, 0.4140625f, 0.4140625f, 0.4921875f}, {0.82421875f, 0.5859375f, 0.953125f, 0.6640625f}},
     {126, 98}, 228, 242},
    {244, 264, {{0.00390625f, 0.4921875f, 0.16015625f, 0.5703125f}, {0.82421875f, 0.66015625f, 0.953125f, 0.73828125f}},
     {105, 98}, 263, 277},
    {280, 300, {{0.17578125f, 0.49609375f, 0.4296875f, 0.57421875f}, {0.82421875f, 0.7421875f, 0.9921875f, 0.8203125f}},
     {130, 108}, 299, 313},
    {317, 337, {{0.00390625f, 0.578125f, 0.25f, 0.65625f}, {0.82421875f, 0.828125f, 0.9921875f, 0.90625f}},
     {128, 108}, 336, 350},
};

// The hero's own pictures: [hero]
inline constexpr Source kPortraitSource = {0.0078125f, 0.001953125f, 0.9921875f, 0.775390625f};
inline constexpr Screen kPortrait[2] = {{105, 44, 258, 441}, {102, 37, 233, 434}};
inline constexpr Placed kMainWeapon[2] = {
    {{0.0078125f, 0.00390625f, 0.828125f, 0.9375f}, {29, 202, 134, 441}},
    {{0.0078125f, 0.00390625f, 0.8828125f, 0.796875f}, {11, 204, 123, 407}},
};
inline constexpr Placed kSecondWeapon = {{0.0078125f, 0.80078125f, 0.234375f, 0.98046875f}, {186, 51, 215, 97}};

inline constexpr Screen kSlotIcons[2] = {{57, 111, 89, 143}, {181, 111, 213, 143}};
inline constexpr Source kSlotChoiceFrame = {0.556640625f, 0.189453125f, 0.607421875f, 0.240234375f};
inline constexpr uint32_t kSlotChoiceColour = 0xF0F03232u;  // 240, 240, 50, 50

inline constexpr Source kPropertyIcons[2] = {
    {0.2109375f, 0.318359375f, 0.244140625f, 0.359375f},
    {0.244140625f, 0.318359375f, 0.27734375f, 0.359375f},
};
inline constexpr Source kPropertyBacking = {0.169921875f, 0.31640625f, 0.2109375f, 0.37890625f};
inline constexpr float kPropertyX[2][2] = {{120, 143}, {153, 176}};
inline constexpr float kWeaponRowY[2] = {290, 320};
inline constexpr float kArmourRowY[2] = {330, 360};

// The hero packs and their pictures.
inline constexpr int32_t kWeaponPictures = 5;
inline constexpr int32_t kFirstWeaponPicture[2] = {5100160, 5100210};

}  // namespace status_layout
