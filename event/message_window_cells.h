// Where the message window's pieces lie in the 512 x 512 interface atlas
// (the overlay's PLAYER picture), in its pixels: left, top, right, bottom.
// The sample-data maker paints the same cells.
#pragma once

struct EventAtlasCell {
    float left, top, right, bottom;
};

// The nine frame pieces, row by row: top left, top, top right, left,
// middle, right, bottom left, bottom, bottom right.
inline constexpr EventAtlasCell kWindowFrameCells[9] = {
    {313, 42, 321, 47},  {408, 100, 416, 105}, {416, 100, 424, 105},
    {400, 105, 408, 110}, {408, 105, 416, 110}, {416, 105, 424, 110},
    {400, 110, 408, 115}, {408, 110, 416, 115}, {416, 110, 424, 115},
};
// The bar behind the chosen entry of a choice list.
inline constexpr EventAtlasCell kWindowHighlightCell = {400, 120, 464, 136};
// The speech markers of kinds 0 and 1 (kind 2 is the action key's picture).
inline constexpr EventAtlasCell kWindowMarkerCells[2] = {{27, 94, 43, 124}, {5, 94, 21, 124}};
inline constexpr EventAtlasCell kWindowPortraitBorderCell = {370, 2, 453, 93};
// The name plate: left cap, middle, right cap.
inline constexpr EventAtlasCell kWindowPlateCells[3] = {{453, 0, 459, 29}, {462, 0, 466, 29}, {469, 0, 483, 29}};
// The continue arrow (the money counter's coin shares its place).
inline constexpr EventAtlasCell kWindowArrowCell = {284, 95, 311, 122};
