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
    {313, 42, 321, 47},   {292, 260, 300, 265}, {304, 260, 312, 265},
    {292, 269, 300, 274}, {304, 269, 312, 274}, {292, 278, 300, 283},
    {304, 278, 312, 283}, {324, 260, 332, 265}, {336, 260, 344, 265},
};
// The bar behind the chosen entry of a choice list.
inline constexpr EventAtlasCell kWindowHighlightCell = {354, 260, 382, 276};
// The speech markers of kinds 0 and 1 (kind 2 is the action key's picture).
inline constexpr EventAtlasCell kWindowMarkerCells[2] = {{27, 94, 43, 124}, {5, 94, 21, 124}};
inline constexpr EventAtlasCell kWindowPortraitBorderCell = {370, 2, 453, 93};
// The name plate: left cap, middle, right cap.
inline constexpr EventAtlasCell kWindowPlateCells[3] = {{453, 0, 459, 29}, {462, 0, 466, 29}, {469, 0, 483, 29}};
// The continue arrow (the money counter's coin shares its place).
inline constexpr EventAtlasCell kWindowArrowCell = {284, 95, 311, 122};
