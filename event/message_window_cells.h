// Where the message window's pieces lie in the 512 x 512 interface atlas
// (the overlay's PLAYER picture), in its pixels: left, top, right, bottom.
// The sample-data maker paints the same cells.
#pragma once

struct EventAtlasCell {
    float left, top, right, bottom;
};

// The nine frame pieces, row by row: top left, top, top right, left,
// middle, right, bottom left, bottom, bottom right. The top left is fixed;
// the others are 8 x 5 cells 4 apart in two columns, so that the filtering
// of a piece stretched over the box reads its own colour to its edge.
inline constexpr EventAtlasCell kWindowFrameCells[9] = {
    {313, 42, 321, 47},   {420, 100, 428, 105}, {432, 100, 440, 105},
    {420, 109, 428, 114}, {432, 109, 440, 114}, {420, 118, 428, 123},
    {432, 118, 440, 123}, {420, 132, 428, 137}, {432, 132, 440, 137},
};
// The bar behind the chosen entry of a choice list.
inline constexpr EventAtlasCell kWindowHighlightCell = {386, 164, 414, 180};
// The speech markers of kinds 0 and 1 (kind 2 is the action key's picture).
inline constexpr EventAtlasCell kWindowMarkerCells[2] = {{27, 94, 43, 124}, {5, 94, 21, 124}};
inline constexpr EventAtlasCell kWindowPortraitBorderCell = {370, 2, 453, 93};
// The name plate: left cap, middle, right cap.
inline constexpr EventAtlasCell kWindowPlateCells[3] = {{453, 0, 459, 29}, {462, 0, 466, 29}, {469, 0, 483, 29}};
// The continue arrow (the money counter's coin shares its place).
inline constexpr EventAtlasCell kWindowArrowCell = {284, 95, 311, 122};
