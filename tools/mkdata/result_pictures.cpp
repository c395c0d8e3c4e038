// The result screens' sample pictures (see result_pictures.h). Cells are
// the screens' source rectangles, in pixels of each picture.
#include "tools/mkdata/result_pictures.h"

#include <string>

namespace mkdata {

namespace {

PictureCell ResultCell(const std::string &label, float x0, float y0, float x1, float y1)
{
    return NamedCell(label, x0, y0, x1, y1);
}

constexpr int kFirstWeapon[2] = {5100160, 5100210};

// CLEAR's digit cells 0..9 and the colon from a base cell, 16 apart.
void ClearDigits(std::vector<PictureCell> *cells, float u, float v)
{
    for (int c = 0; c <= 10; ++c) {
        const char shown = c == 10 ? ':' : static_cast<char>('0' + c);
        PictureCell cell = ResultCell(std::string(1, shown), u + 16 * c, v, u + 16 * c + 15, v + 18);
        cell.digit = shown;
        cells->push_back(cell);
    }
}

std::vector<PictureCell> ClearCells(bool chinese)
{
    std::vector<PictureCell> cells;
    if (chinese) {
        cells = {ResultCell("Time", 235, 1, 357, 25),        ResultCell("Graded", 207, 29, 329, 53),
                 ResultCell("Hits", 417, 1, 510, 25),        ResultCell("Grade", 207, 54, 280, 78),
                 ResultCell("RESULTS", 207, 79, 310, 101),   ResultCell("Hero 1", 104, 142, 250, 169),
                 ResultCell("Hero 2", 177, 1, 234, 28),      ResultCell("A", 1, 123, 103, 169),
                 ResultCell("B", 104, 76, 206, 122),         ResultCell("C", 1, 76, 103, 122),
                 ResultCell("D", 104, 29, 206, 75),          ResultCell("E", 1, 29, 103, 75)};
        ClearDigits(&cells, 1, 1);
    } else {
        cells = {ResultCell("Play time", 197, 1, 374, 19),   ResultCell("Stages graded", 197, 20, 333, 38),
                 ResultCell("Best hits", 356, 209, 476, 227), ResultCell("Final grade", 375, 1, 496, 19),
                 ResultCell("RESULTS", 339, 79, 453, 98),    ResultCell("HERO 1", 1, 1, 196, 39),
                 ResultCell("HERO 2", 210, 102, 296, 140),   ResultCell("A", 125, 102, 209, 160),
                 ResultCell("B", 339, 40, 490, 78),          ResultCell("C", 1, 40, 140, 101),
                 ResultCell("D", 1, 102, 124, 160),          ResultCell("E", 141, 40, 338, 98)};
        ClearDigits(&cells, 334, 20);
    }
    // The route marker, in both.
    PictureCell marker = ResultCell("", 477, 208, 511, 255);
    marker.hueShift = 180.0f;
    marker.value = 0.95f;
    cells.push_back(marker);
    return cells;
}

}  // namespace

std::vector<std::string> RankPicturePictures(int hero)
{
    std::vector<std::string> names = {hero == 0 ? "CHAR01" : "CHAR02"};
    for (int i = 0; i < 5; ++i) {
        names.push_back(std::to_string(kFirstWeapon[hero] + 10 * i));
    }
    return names;
}

std::vector<PictureCell> RankingLobbyCells()
{
    return {ResultCell("RANKING", 1, 1, 172, 29)};
}

std::vector<PictureCell> RankingLobbyLanguageCells(bool chinese)
{
    if (chinese) {
        return {ResultCell("Time", 173, 1, 263, 26),   ResultCell("Earned", 264, 1, 354, 26), ResultCell("Hits", 355, 1, 445, 26),
                ResultCell("Grade", 1, 29, 113, 54),  ResultCell("Bonus", 114, 29, 204, 54), ResultCell("Money", 205, 29, 295, 54),
                ResultCell("A", 14, 457, 116, 503),   ResultCell("B", 304, 75, 406, 121),    ResultCell("C", 407, 75, 509, 121),
                ResultCell("D", 304, 28, 406, 74),    ResultCell("E", 407, 28, 509, 74)};
    }
    return {ResultCell("Time", 172, 2, 232, 27),       ResultCell("Earnings", 213, 87, 312, 112), ResultCell("Best hits", 360, 2, 490, 27),
            ResultCell("Grade", 235, 2, 359, 27),      ResultCell("Bonus", 211, 332, 339, 357),   ResultCell("Money", 184, 113, 312, 138),
            ResultCell("A", 427, 28, 511, 86),         ResultCell("B", 280, 28, 426, 60),         ResultCell("C", 140, 28, 279, 86),
            ResultCell("D", 16, 28, 139, 86),          ResultCell("E", 313, 87, 510, 145)};
}

std::vector<PictureSpec> ResultScreenPictures()
{
    std::vector<PictureSpec> list;
    for (const char *language : {"ENG", "CHI"}) {
        PictureSpec over = MakePicture(std::string("OVER_") + language, "RESOURCE/UITEXT/GAMEOVER", false, 512, 512,
                                   language[0] == 'E' ? 215.0f : 250.0f, false);
        over.cells = {ResultCell(std::string("GAME OVER (") + language + ")", 40, 176, 472, 336)};
        list.push_back(over);
    }
    PictureSpec base = MakePicture("RANKBAS", "RESOURCE/UITEXT/CLEAR", false, 512, 512, 230, true);
    base.backgroundAlpha = 200;
    base.cells = {ResultCell("RANKBAS", 2, 2, 510, 40)};
    list.push_back(base);
    PictureSpec clear = MakePicture("CLEAR", "RESOURCE/UITEXT/CLEAR", true, 512, 256, 45, true);
    clear.backgroundAlpha = 0;
    clear.chiCells = ClearCells(true);
    clear.engCells = ClearCells(false);
    list.push_back(clear);
    return list;
}

}  // namespace mkdata
