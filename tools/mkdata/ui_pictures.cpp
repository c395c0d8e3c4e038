// The sample interface pictures (see ui_pictures.h).
#include "tools/mkdata/ui_pictures.h"

#include "tools/mkdata/result_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "event/message_window_cells.h"
#include "rtbmp.h"
#include "tools/mkdata/font_builder.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/lobby_data.h"
#include "tools/mkdata/option_data.h"
#include "tools/mkdata/pause_data.h"
#include "tools/mkdata/sample_photos.h"

namespace mkdata {

namespace {

namespace fs = std::filesystem;

// ---- Cells, from the screens' layouts (pixels of each picture).

PictureCell C(const std::string &label, float x0, float y0, float x1, float y1)
{
    return NamedCell(label, x0, y0, x1, y1);
}

PictureCell Frame(const std::string &label, float x0, float y0, float x1, float y1)
{
    PictureCell cell = C(label, x0, y0, x1, y1);
    cell.outlineOnly = true;
    return cell;
}

PictureCell Digit(char digit, float x0, float y0, float x1, float y1)
{
    PictureCell cell = C(std::string(1, digit), x0, y0, x1, y1);
    cell.digit = digit;
    return cell;
}

// A row of digit cells "0".."9" between t0 and t1 at the given s pairs.
void DigitRow(std::vector<PictureCell> *cells, float t0, float t1, const float (*s)[2], int count, const char *digits)
{
    for (int i = 0; i < count; ++i) {
        cells->push_back(Digit(digits[i], s[i][0], t0, s[i][1], t1));
    }
}

PictureCell Shifted(PictureCell cell, float hueShift)
{
    cell.hueShift = hueShift;
    return cell;
}

// What the overlay cuts from PLAYER: the hero panel's frames (see-through
// where the bars show under them), its three digit sets, the hit counter's
// ornament, the boss gauge's frame and spare-bar marker, and
// the popup's box. The hit counter's label differs by language (below).
void AddOverlayCells(std::vector<PictureCell> *cells)
{
    cells->push_back(Frame("", 1, 1, 122, 90));           // portrait frame
    cells->push_back(C("PANEL", 66, 50, 120, 86));        // its name plate, below the bars
    cells->push_back(Frame("", 136, 46, 149, 63));        // a bar's middle tile
    cells->push_back(Frame("", 151, 46, 184, 63));        // a bar's end cap
    cells->push_back(Shifted(C("", 172, 48, 182, 61), 40.0f));  // the cap's knob
    cells->push_back(Frame("", 185, 46, 240, 63));        // the power bar's left part
    for (int d = 0; d < 10; ++d) {
        const char digit = static_cast<char>('0' + d);
        const float k = static_cast<float>(d);
        cells->push_back(Digit(digit, 136 + 15 * k, 70, 151 + 15 * k, 90));  // small
        cells->push_back(Digit(digit, 140 + 23 * k, 1, 162 + 23 * k, 43));   // large
        cells->push_back(Digit(digit, 89 + 13 * k, 148, 101 + 13 * k, 162)); // count
    }
    cells->push_back(Shifted(C("", 150, 65, 310, 70), 120.0f));     // ornament line
    cells->push_back(Frame("", 1, 193, 236, 255));                 // boss gauge frame
    cells->push_back(C("BOSS", 4, 198, 44, 250));
    cells->push_back(Shifted(C("", 236, 193, 254, 211), 160.0f));   // spare-bar marker
    cells->push_back(Shifted(C("", 455, 31, 462, 40), 180.0f));     // popup box
}

// What the events' message window cuts from PLAYER (the cells of
// event/message_window_cells.h): its frame (light edges round a dark,
// slightly see-through middle), the highlight of a choice (a frame), the speech
// markers, the portrait's border (see-through inside, over the portrait)
// and the name plate. They come first, so that where the window's fixed
// cells touch others' (its top left corner a large digit's last row, its
// arrow the coin) the others' pictures stand.
void AddMessageWindowCells(std::vector<PictureCell> *cells)
{
    // Each piece with a margin of its own colour, first, then the piece.
    for (int i = 0; i < 9; ++i) {
        const EventAtlasCell &at = kWindowFrameCells[i];
        PictureCell piece = Shifted(C("", at.left, at.top, at.right, at.bottom), 200.0f);
        piece.borderless = true;
        piece.value = i == 4 ? 0.16f : 0.42f;
        piece.alpha = i == 4 ? 240 : 250;
        PictureCell margin = piece;
        margin.x0 -= 2.0f;
        margin.y0 -= 2.0f;
        margin.x1 += 2.0f;
        margin.y1 += 2.0f;
        cells->push_back(margin);
        cells->push_back(piece);
    }
    // The highlight is drawn over the chosen entry's text, in the text's
    // own blinking colour: a frame round it, see-through inside, so that
    // the text reads through it.
    const EventAtlasCell &h = kWindowHighlightCell;
    cells->push_back(Shifted(Frame("", h.left, h.top, h.right, h.bottom), 60.0f));
    const char *markers[2] = {"!", "?"};
    for (int i = 0; i < 2; ++i) {
        const EventAtlasCell &m = kWindowMarkerCells[i];
        cells->push_back(Shifted(C(markers[i], m.left, m.top, m.right, m.bottom), 50.0f));
    }
    const EventAtlasCell &b = kWindowPortraitBorderCell;
    cells->push_back(Shifted(Frame("", b.left, b.top, b.right, b.bottom), 30.0f));
    for (const EventAtlasCell &p : kWindowPlateCells) {
        PictureCell piece = Shifted(C("", p.left, p.top, p.right, p.bottom), 220.0f);
        piece.borderless = true;
        piece.value = 0.45f;
        cells->push_back(piece);
    }
}

std::vector<PictureCell> PlayerCells()
{
    std::vector<PictureCell> cells;
    AddMessageWindowCells(&cells);
    // The modal box's nine frame pieces.
    const float pieces[9][4] = {{318, 176, 322, 180}, {322, 176, 328, 180}, {328, 176, 332, 180},
                                {318, 180, 322, 184}, {322, 180, 328, 188}, {328, 180, 332, 184},
                                {318, 188, 322, 192}, {322, 188, 326, 192}, {328, 188, 332, 192}};
    // Stretched over a box, each piece is one colour to its edge: light
    // edges round a dark middle that text stands out on.
    for (int i = 0; i < 9; ++i) {
        PictureCell piece = C("", pieces[i][0], pieces[i][1], pieces[i][2], pieces[i][3]);
        piece.borderless = true;
        piece.value = i == 4 ? 0.18f : 0.9f;
        if (i == 4) {
            piece.alpha = 230;
        }
        cells.push_back(piece);
    }
    // Key pictures of the three prompts, then the six single keys.
    cells.push_back(C("Ent", 91, 97, 116, 122));
    cells.push_back(C("Esc", 119, 97, 144, 122));
    cells.push_back(C("Tri", 147, 98, 172, 123));
    cells.push_back(C("K8", 175, 97, 200, 122));
    cells.push_back(C("K16", 203, 97, 228, 122));
    cells.push_back(C("K32", 232, 97, 257, 122));
    cells.push_back(C("K64", 260, 97, 285, 122));
    cells.push_back(C("", 52, 101, 67, 116));
    cells.push_back(C("K256", 45, 88, 73, 103.5f));
    // Small, large and medium digits.
    static const float kSmall[11][2] = {{88, 100},  {100, 112}, {114, 126}, {127, 139}, {141, 153}, {153, 165},
                                        {166, 178}, {179, 191}, {191, 203}, {205, 217}, {287, 299}};
    DigitRow(&cells, 148, 162, kSmall, 11, "0123456789/");
    static const float kLarge[10][2] = {{87, 110},  {108, 131}, {130, 153}, {154, 177}, {174, 197},
                                        {198, 221}, {219, 242}, {241, 264}, {263, 286}, {286, 309}};
    DigitRow(&cells, 125, 148, kLarge, 10, "0123456789");
    static const float kMedium[10][2] = {{137, 152}, {151, 166}, {166, 181}, {181, 196}, {196, 211},
                                         {211, 226}, {226, 241}, {241, 256}, {257, 272}, {271, 286}};
    DigitRow(&cells, 73, 90, kMedium, 10, "0123456789");
    // The monsters' health bar: its frame and its fill.
    cells.push_back(Frame("", 289, 84, 354, 89));
    PictureCell fill = C("", 360, 85, 365, 90);
    fill.hueShift = 160.0f;
    cells.push_back(fill);
    AddOverlayCells(&cells);
    // The save slots' detail frame: corners, edges and its see-through middle.
    const float frame[9][4] = {{1, 126, 15, 141},  {16, 126, 72, 141}, {72, 126, 87, 141},
                               {1, 143, 16, 175},  {16, 143, 72, 175}, {72, 143, 87, 175},
                               {1, 174, 16, 189},  {16, 174, 72, 189}, {72, 174, 87, 189}};
    for (int i = 0; i < 9; ++i) {
        PictureCell piece = C("", frame[i][0], frame[i][1], frame[i][2], frame[i][3]);
        piece.hueShift = 30.0f;
        if (i == 4) {
            piece.alpha = 150;
        }
        cells.push_back(piece);
    }
    // The money coin, which is also a completed game's mark in the save
    // slots: the counter cuts (286, 98)-(311, 122), the slots (288, 100)-
    // (313, 125), so one picture over both serves each.
    cells.push_back(Shifted(C("$", 286, 98, 313, 125), 250.0f));
    AddPausePlayerCells(&cells);
    return cells;
}

// The save slots' own art.
std::vector<PictureCell> SaveLoadCells()
{
    // The photo's clamps (the screens flip the picture for the upper one)
    // hold it on the rail the slots draw in the same teal.
    // A see-through margin round it keeps its edges clean.
    PictureCell margin = C("", 411, 273, 511, 387);
    margin.paint = [](int32_t, float, float) { return RwRGBA{0, 0, 0, 0}; };
    PictureCell clamp = C("", 412, 274, 510, 386);
    clamp.paint = PhotoClampPixel;
    return {C("left strip", 193, 2, 336, 454),  C("", 1, 410, 174, 472), C("<", 337, 4, 392, 86),
            C("no hero", 1, 2, 96, 204),        C("HERO 1", 97, 2, 192, 204),  C("HERO 2", 1, 206, 96, 408),
            C("photo frame", 412, 2, 510, 270), margin, clamp};
}

// SLWORD is 256 x 128: the screens give its labels in 512ths of its width
// and height, its digits in pixels (15 x 17, five to a row, two rows).
PictureCell Word(const std::string &label, float s0, float t0, float s1, float t1)
{
    return C(label, s0 / 2.0f, t0 / 4.0f, s1 / 2.0f, t1 / 4.0f);
}

std::vector<PictureCell> SlotDigitCells()
{
    std::vector<PictureCell> cells;
    for (int d = 0; d < 10; ++d) {
        const float x = 180.0f + 15.0f * static_cast<float>(d % 5);
        const float y = 62.0f + 20.0f * static_cast<float>(d / 5);
        cells.push_back(Digit(static_cast<char>('0' + d), x, y, x + 15, y + 17));
    }
    cells.push_back(Word("HERO 2", 408, 420, 510, 504));
    return cells;
}

std::vector<PictureCell> SlotWordCells(bool chinese)
{
    if (chinese) {
        return {Word("HP", 296, 8, 424, 88),         Word("Pow", 336, 92, 420, 172),   Word("Money", 426, 8, 510, 88),
                Word("Stages", 220, 176, 376, 240),  Word("Time", 2, 176, 218, 260),   Word("Empty", 2, 264, 222, 356),
                Word("HERO 1", 2, 88, 260, 172)};
    }
    return {Word("HP", 304, 92, 354, 156),      Word("Pow", 260, 92, 302, 156),    Word("Money", 384, 172, 510, 236),
            Word("Stages", 246, 4, 510, 88),    Word("Time", 0, 164, 342, 248),    Word("Empty slot", 2, 252, 310, 344),
            Word("HERO 1", 2, 76, 258, 160)};
}

// Twenty-nine stage photos, seven to a row, by stage index, each a small
// painted view of its stage (sample_photos.h).
std::vector<PictureCell> StagePhotoCells()
{
    std::vector<PictureCell> cells;
    for (int i = 0; i < 29; ++i) {
        const float x = 1.0f + 71.0f * static_cast<float>(i % 7);
        const float y = 1.0f + 71.0f * static_cast<float>(i / 7);
        PictureCell cell = C(std::to_string(i), x, y, x + 69, y + 69);
        cell.paint = StagePhotoPixel;
        cell.paintArg = i;
        cells.push_back(cell);
    }
    return cells;
}

std::vector<PictureCell> EquipCells()
{
    std::vector<PictureCell> cells;
    // Sixteen weapon icons, a quarter of the height each row (rows of 128).
    for (int k = 0; k < 16; ++k) {
        const float c = static_cast<float>(k % 4);
        const float r = static_cast<float>(k / 4);
        const float shift = static_cast<float>(k / 8);
        cells.push_back(C("W" + std::to_string(k), 32 * c, 32 * r + shift, 32 * c + 31, 32 * r + 31 + shift));
    }
    // Ten equipment strips.
    static const float kStrips[10][2] = {{130, 160}, {161, 191}, {192, 222}, {223, 253}, {254, 284},
                                         {290, 320}, {321, 351}, {352, 382}, {383, 413}, {414, 444}};
    for (int i = 0; i < 10; ++i) {
        cells.push_back(C("E" + std::to_string(i), kStrips[i][0], 1, kStrips[i][1], 127));
    }
    return cells;
}

std::vector<PictureCell> LogoCells()
{
    std::vector<PictureCell> cells;
    PictureCell overlay = C("overlay", 325, 2, 509, 140);
    overlay.alpha = 48;
    cells.push_back(overlay);
    cells.push_back(C("SAMPLE GAME", 1, 257, 438, 511));
    cells.push_back(C("Press Start", 1, 1, 151, 28));
    cells.push_back(C("PRESS START", 152, 1, 302, 28));
    static const char *const kItems[4] = {"New Game", "Load", "Options", "Quit"};
    for (int i = 0; i < 4; ++i) {
        const float t0 = 29.0f + 28.0f * i;
        cells.push_back(C(kItems[i], 1, t0, 151, t0 + 27));
        cells.push_back(C(std::string("> ") + kItems[i] + " <", 152, t0, 302, t0 + 27));
    }
    return cells;
}

std::vector<PictureCell> SelcharCells()
{
    std::vector<PictureCell> cells;
    cells.push_back(C("side panel", 1, 254, 397, 511));
    cells.push_back(C("Hero 1: UIBRE", 168, 39, 334, 86));
    cells.push_back(C("Hero 2: UIELV", 168, 87, 334, 134));
    cells.push_back(C("<", 343, 1, 411, 30));
    static const char *const kLabels[4] = {"HP", "Power", "Attack", "Defence"};
    for (int k = 0; k < 4; ++k) {
        const float t0 = 214.0f + 26.0f * k;
        cells.push_back(C(kLabels[k], 398, t0, 505, t0 + 25));
    }
    static const float kDigitRows[2][5][2] = {{{398, 415}, {416, 433}, {434, 451}, {452, 469}, {470, 488}},
                                              {{398, 415}, {416, 433}, {434, 451}, {452, 469}, {470, 488}}};
    DigitRow(&cells, 318, 343, kDigitRows[0], 5, "12345");
    DigitRow(&cells, 344, 369, kDigitRows[1], 5, "67890");
    return cells;
}

std::vector<PictureCell> LoadingBarCells()
{
    // The bar's fill stands out from the band it lies on.
    PictureCell fill = C("", 1, 486, 134, 510);
    fill.hueShift = 180.0f;
    return {C("LOADING", 1, 2, 511, 184), C("GFLOAD bottom band", 1, 186, 511, 458), Frame("", 1, 460, 134, 484),
            fill};
}

// An item icon sheet: 4 x 4 cells of 32, each showing its icon number.
std::vector<PictureCell> IconSheetCells(int sheet)
{
    std::vector<PictureCell> cells;
    for (int cell = 0; cell < 16; ++cell) {
        const float x = 32.0f * static_cast<float>(cell % 4);
        const float y = 32.0f * static_cast<float>(cell / 4);
        cells.push_back(Shifted(C(std::to_string(16 * sheet + cell), x, y, x + 32, y + 32), 22.5f * cell));
    }
    return cells;
}

std::vector<PictureCell> SceneCells(int n)
{
    const std::string name = "GFSCENE" + std::to_string(n);
    return {C(name + " A", 1, 1, 255, 217), C(name + " B", 1, 219, 255, 435)};
}

PictureSpec Spec(const std::string &name, const std::string &folder, bool perLanguage, RwInt32 w, RwInt32 h, float hue,
                 bool mask, std::vector<PictureCell> cells)
{
    return MakePicture(name, folder, perLanguage, w, h, hue, mask, std::move(cells));
}

std::vector<PictureSpec> MakePictures()
{
    std::vector<PictureSpec> list;
    PictureSpec player = Spec("PLAYER", "RESOURCE/UITEXT/PLAYERUI", true, 512, 512, 200, true, PlayerCells());
    player.engCells = {C("HITS", 257, 44, 313, 57)};
    player.chiCells = {C("HITS", 263, 44, 313, 66)};
    for (const PictureCell &cell : LobbyPlayerCells()) {
        player.cells.push_back(cell);
    }
    list.push_back(player);
    PictureSpec word = Spec("WORD", "RESOURCE/UITEXT/PAUSE", true, 512, 512, 40, true, {});
    word.engCells = {C("Enter", 2, 220, 62, 260), C("Back", 60, 220, 166, 260), C("Special", 164, 220, 254, 260)};
    word.chiCells = {C("Enter", 216, 214, 290, 264), C("Back", 216, 272, 290, 322), C("Special", 168, 458, 296, 508)};
    AddPauseWordCells(&word.engCells, &word.chiCells);
    list.push_back(word);
    list.push_back(Spec("BASEMAP", "RESOURCE/UITEXT/PAUSE", false, 512, 512, 100, false,
                        {C("BASEMAP", 0, 0, 512, 512)}));
    list.push_back(Spec("EQUIP", "RESOURCE/UITEXT/PAUSE", false, 512, 128, 20, true, EquipCells()));
    list.push_back(Spec("WARNING", "RESOURCE/UITEXT/WARNING", true, 512, 512, 0, false,
                        {C("WARNING: sample data", 1, 32, 511, 480)}));
    list.push_back(Spec("LOGO3", "RESOURCE/UITEXT/LOGO3", false, 512, 256, 280, false, {C("LOGO3", 0, 0, 512, 256)}));
    PictureSpec logo = Spec("LOGO", "RESOURCE/UITEXT/LOGO", true, 512, 512, 50, true, LogoCells());
    logo.backgroundAlpha = 0;
    list.push_back(logo);
    PictureSpec notice = Spec("COPYRIT", "RESOURCE/UITEXT/LOGO", true, 256, 64, 0, false,
                              {C("(C) sample data, no rights", 0, 0, 256, 64)});
    notice.selfMask = true;
    list.push_back(notice);
    PictureSpec base = Spec("SPBASE", "RESOURCE/UITEXT/SELCHAR", false, 512, 512, 160, true, {});
    // The sky box shows through the window where the heroes stand.
    PictureCell window = C("", 216, 24, 496, 392);
    window.alpha = 0;
    base.cells = {C("SPBASE", 0, 400, 512, 512), window};
    list.push_back(base);
    PictureSpec selchar = Spec("SELCHAR", "RESOURCE/UITEXT/SELCHAR", true, 512, 512, 320, true, SelcharCells());
    selchar.backgroundAlpha = 0;
    list.push_back(selchar);
    for (int n = 1; n <= 7; ++n) {
        list.push_back(Spec("GFSCENE" + std::to_string(n), "RESOURCE/UITEXT/LOADING", false, 256, 512,
                            static_cast<float>(n * 45 % 360), false, SceneCells(n)));
    }
    PictureSpec bar = Spec("GFLOAD", "RESOURCE/UITEXT/LOADING", true, 512, 512, 220, true, LoadingBarCells());
    bar.backgroundAlpha = 0;
    list.push_back(bar);
    list.push_back(Spec("SKYBOX", "RESOURCE/SKYBOX/UI", false, 256, 256, 210, false, {}));
    list.push_back(Spec("MAPBASE", "RESOURCE/UITEXT/PAUSE", false, 512, 512, 140, true,
                        {C("MAPBASE", 0, 0, 512, 512)}));
    PictureSpec lobby = Spec("LOBBY", "RESOURCE/UITEXT/PAUSE", true, 512, 512, 260, true, LobbyCells());
    lobby.chiCells = LobbyChiCells();
    lobby.engCells = LobbyEngCells();
    // The ranking's cells of the same art.
    for (const PictureCell &cell : RankingLobbyCells()) {
        lobby.cells.push_back(cell);
    }
    for (const PictureCell &cell : RankingLobbyLanguageCells(true)) {
        lobby.chiCells.push_back(cell);
    }
    for (const PictureCell &cell : RankingLobbyLanguageCells(false)) {
        lobby.engCells.push_back(cell);
    }
    list.push_back(lobby);
    PictureSpec selstag = Spec("SELSTAG", "RESOURCE/UITEXT/PAUSE", true, 256, 256, 30, true, SelstagCells());
    selstag.backgroundAlpha = 0;
    list.push_back(selstag);
    list.push_back(Spec("SAVLOD", "RESOURCE/UITEXT/SAVELOAD", false, 512, 512, 180, true, SaveLoadCells()));
    PictureSpec words = Spec("SLWORD", "RESOURCE/UITEXT/SAVELOAD", true, 256, 128, 70, true, SlotDigitCells());
    words.backgroundAlpha = 0;
    words.engCells = SlotWordCells(false);
    words.chiCells = SlotWordCells(true);
    list.push_back(words);
    PictureSpec photos = Spec("STAGPHO", "RESOURCE/UITEXT/PAUSE", false, 512, 512, 0, true, StagePhotoCells());
    for (const PictureCell &cell : MonsterPhotoCells()) {
        photos.cells.push_back(cell);
    }
    list.push_back(photos);
    list.push_back(Spec("BASE", "RESOURCE/UITEXT/PAUSE", false, 512, 512, 330, false, {C("BASE", 0, 0, 512, 512)}));
    for (PictureSpec &spec : OptionPictures()) {
        list.push_back(std::move(spec));
    }
    for (int sheet = 0; sheet < kItemIconSheets; ++sheet) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d", sheet + 1);
        list.push_back(Spec(name, ItemIconFolder(), false, 128, 128, 30.0f * static_cast<float>(sheet), true,
                            IconSheetCells(sheet)));
    }
    for (PictureSpec &spec : PausePictures()) {
        list.push_back(std::move(spec));
    }
    for (PictureSpec &spec : ResultScreenPictures()) {
        list.push_back(std::move(spec));
    }
    return list;
}

// ---- Drawing

struct Rgb {
    float r, g, b;
};

Rgb HueColour(float hue, float saturation, float value)
{
    const float h = std::fmod(hue, 360.0f) / 60.0f;
    const float c = value * saturation;
    const float x = c * (1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f));
    const float m = value - c;
    Rgb rgb{0, 0, 0};
    switch (static_cast<int>(h)) {
    case 0: rgb = {c, x, 0}; break;
    case 1: rgb = {x, c, 0}; break;
    case 2: rgb = {0, c, x}; break;
    case 3: rgb = {0, x, c}; break;
    case 4: rgb = {x, 0, c}; break;
    default: rgb = {c, 0, x}; break;
    }
    return {(rgb.r + m) * 255.0f, (rgb.g + m) * 255.0f, (rgb.b + m) * 255.0f};
}

RwRGBA Pixel(const Rgb &c, RwUInt8 alpha)
{
    return {static_cast<RwUInt8>(c.r), static_cast<RwUInt8>(c.g), static_cast<RwUInt8>(c.b), alpha};
}

// The label fonts, built once at a few pixel sizes.
class LabelFonts {
public:
    static const LabelFonts &Get()
    {
        static LabelFonts fonts;
        return fonts;
    }
    // Sizes from the largest down.
    const std::vector<std::pair<int, game::FontFile>> &Sizes() const { return sizes_; }

private:
    LabelFonts()
    {
        for (int size : {48, 32, 24, 16, 12, 9, 7}) {
            FontBuildSpec spec;
            spec.outlinePath = SampleOutlineFontPath();
            spec.pixelSize = size;
            for (char16_t c = 0x20; c <= 0x7E; ++c) {
                spec.codes.push_back(c);
            }
            spec.pageSide = size >= 32 ? 1024 : 256;
            game::FontFile font;
            std::string error;
            if (BuildBitmapFont(spec, &font, &error)) {
                sizes_.emplace_back(size, std::move(font));
            } else {
                std::fprintf(stderr, "mkdata: label font %d: %s\n", size, error.c_str());
            }
        }
    }
    std::vector<std::pair<int, game::FontFile>> sizes_;
};

int TextWidth(const game::FontFile &font, const std::string &text)
{
    int width = 0;
    for (char c : text) {
        if (const game::FontGlyph *g = game::FindFontGlyph(font, static_cast<char16_t>(c))) {
            width += g->advance;
        }
    }
    return width;
}

class Canvas {
public:
    explicit Canvas(RwImage *image) : image_(image) {}

    RwRGBA *At(int x, int y)
    {
        return reinterpret_cast<RwRGBA *>(image_->cpPixels + y * image_->stride) + x;
    }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < image_->width && y < image_->height; }

    void Fill(int x0, int y0, int x1, int y1, RwRGBA colour)
    {
        for (int y = std::max(y0, 0); y < std::min(y1, image_->height); ++y) {
            for (int x = std::max(x0, 0); x < std::min(x1, image_->width); ++x) {
                *At(x, y) = colour;
            }
        }
    }

    // The text's coverage blended over the pixels, alpha kept.
    void Text(const game::FontFile &font, const std::string &text, int x, int y, const Rgb &colour)
    {
        for (char c : text) {
            const game::FontGlyph *g = game::FindFontGlyph(font, static_cast<char16_t>(c));
            if (g == nullptr) {
                continue;
            }
            const std::vector<uint8_t> &page = font.pages[g->page];
            for (int gy = 0; gy < g->h; ++gy) {
                for (int gx = 0; gx < g->w; ++gx) {
                    const int px = x + g->xOffset + gx;
                    const int py = y + g->yOffset + gy;
                    if (!Inside(px, py)) {
                        continue;
                    }
                    const float a = page[size_t(g->y + gy) * font.pageWidth + size_t(g->x + gx)] / 255.0f;
                    RwRGBA *p = At(px, py);
                    p->red = static_cast<RwUInt8>(p->red + (colour.r - p->red) * a);
                    p->green = static_cast<RwUInt8>(p->green + (colour.g - p->green) * a);
                    p->blue = static_cast<RwUInt8>(p->blue + (colour.b - p->blue) * a);
                }
            }
            x += g->advance;
        }
    }

    // The text centred in the box at the largest size that fits; false when
    // none does.
    bool FitText(const std::string &text, int x0, int y0, int x1, int y1, const Rgb &colour)
    {
        for (const auto &[size, font] : LabelFonts::Get().Sizes()) {
            const int w = TextWidth(font, text);
            const int h = font.lineHeight;
            if (w <= x1 - x0 - 2 && h <= y1 - y0 + 2) {
                Text(font, text, x0 + (x1 - x0 - w) / 2, y0 + (y1 - y0 - h) / 2, colour);
                return true;
            }
        }
        return false;
    }

private:
    RwImage *image_;
};

void DrawCell(Canvas *canvas, const PictureCell &cell, float pictureHue)
{
    const float hue = pictureHue + cell.hueShift;
    const int x0 = static_cast<int>(std::floor(cell.x0));
    const int y0 = static_cast<int>(std::floor(cell.y0));
    const int x1 = static_cast<int>(std::ceil(cell.x1));
    const int y1 = static_cast<int>(std::ceil(cell.y1));
    const RwRGBA border = Pixel(HueColour(hue, 0.35f, 1.0f), cell.alpha);
    const RwRGBA fill = Pixel(HueColour(hue, 0.6f, cell.value), cell.alpha);
    canvas->Fill(x0, y0, x1, y1, cell.borderless ? fill : border);
    if (!cell.borderless && x1 - x0 > 2 && y1 - y0 > 2) {
        canvas->Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, cell.outlineOnly ? RwRGBA{0, 0, 0, 0} : fill);
    }
    if (!cell.label.empty() && !cell.outlineOnly) {
        canvas->FitText(cell.label, x0, y0, x1, y1, cell.digit != 0 ? Rgb{255, 255, 255} : Rgb{250, 250, 235});
    }
}

// A painted cell, pixel by pixel from its routine.
void PaintCell(Canvas *canvas, const PictureCell &cell)
{
    const int x0 = static_cast<int>(std::floor(cell.x0));
    const int y0 = static_cast<int>(std::floor(cell.y0));
    const int x1 = static_cast<int>(std::ceil(cell.x1));
    const int y1 = static_cast<int>(std::ceil(cell.y1));
    const float w = std::max(cell.x1 - cell.x0, 1.0f);
    const float h = std::max(cell.y1 - cell.y0, 1.0f);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (canvas->Inside(x, y)) {
                *canvas->At(x, y) = cell.paint(cell.paintArg, (static_cast<float>(x) + 0.5f - cell.x0) / w,
                                (static_cast<float>(y) + 0.5f - cell.y0) / h);
            }
        }
    }
}

// The grid's lines every 32 pixels, over everything drawn, blended in at a
// fifth so that cells show where they lie; the alpha is kept.
void DrawGridLines(Canvas *canvas, const PictureSpec &spec, float hue)
{
    const Rgb line = HueColour(hue, 0.3f, 0.95f);
    auto blend = [&](int x, int y) {
        RwRGBA *p = canvas->At(x, y);
        p->red = static_cast<RwUInt8>(p->red + (line.r - p->red) * 0.2f);
        p->green = static_cast<RwUInt8>(p->green + (line.g - p->green) * 0.2f);
        p->blue = static_cast<RwUInt8>(p->blue + (line.b - p->blue) * 0.2f);
    };
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            if (x % 32 == 0 || y % 32 == 0) {
                blend(x, y);
            }
        }
    }
}

// The grid's ground, each 64-pixel square labelled with its corner, the
// picture's name in the first.
void DrawGrid(Canvas *canvas, const PictureSpec &spec, const std::string &language, float hue, RwUInt8 alpha)
{
    canvas->Fill(0, 0, spec.width, spec.height, Pixel(HueColour(hue, 0.7f, 0.28f), alpha));
    const auto &sizes = LabelFonts::Get().Sizes();
    if (sizes.empty()) {
        return;
    }
    const game::FontFile &small = sizes.back().second;
    const Rgb dim = HueColour(hue, 0.5f, 0.6f);
    for (int y = 0; y < spec.height; y += 64) {
        for (int x = 0; x < spec.width; x += 64) {
            const std::string text = x == 0 && y == 0 ? spec.name + (language.empty() ? "" : " " + language)
                                                      : std::to_string(x) + "," + std::to_string(y);
            canvas->Text(small, text, x + 2, y + 2, dim);
        }
    }
}

}  // namespace

PictureCell NamedCell(const std::string &label, float x0, float y0, float x1, float y1)
{
    return PictureCell{label, x0, y0, x1, y1};
}

PictureSpec MakePicture(const std::string &name, const std::string &folder, bool perLanguage, RwInt32 w, RwInt32 h,
                        float hue, bool mask, std::vector<PictureCell> cells)
{
    PictureSpec spec;
    spec.name = name;
    spec.folder = folder;
    spec.perLanguage = perLanguage;
    spec.width = w;
    spec.height = h;
    spec.hue = hue;
    spec.mask = mask;
    spec.cells = std::move(cells);
    return spec;
}

const std::vector<PictureSpec> &InterfacePictures()
{
    static const std::vector<PictureSpec> list = MakePictures();
    return list;
}

const PictureSpec *FindInterfacePicture(const std::string &name)
{
    for (const PictureSpec &spec : InterfacePictures()) {
        if (spec.name == name) {
            return &spec;
        }
    }
    return nullptr;
}

RwImage *RenderPicture(const PictureSpec &spec, const std::string &language)
{
    RwImage *image = RwImageCreate(spec.width, spec.height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    Canvas canvas(image);
    // The Chinese picture of a pair is a shade apart in hue.
    const float hue = spec.hue + (language == "CHI" ? 24.0f : 0.0f);
    if (spec.selfMask) {
        // Grey text on black: the picture is its own mask.
        canvas.Fill(0, 0, spec.width, spec.height, {0, 0, 0, 255});
        for (const PictureCell &cell : spec.cells) {
            canvas.FitText(cell.label + (language == "CHI" ? " [CHI]" : ""), static_cast<int>(cell.x0),
                           static_cast<int>(cell.y0), static_cast<int>(cell.x1), static_cast<int>(cell.y1),
                           Rgb{235, 235, 235});
        }
        return image;
    }
    DrawGrid(&canvas, spec, language, hue, spec.backgroundAlpha);
    const std::vector<PictureCell> &own = language == "CHI" ? spec.chiCells : spec.engCells;
    for (const std::vector<PictureCell> *cells : {&spec.cells, &own}) {
        for (const PictureCell &cell : *cells) {
            if (cell.paint == nullptr) {
                DrawCell(&canvas, cell, hue);
            }
        }
    }
    DrawGridLines(&canvas, spec, hue);
    for (const std::vector<PictureCell> *cells : {&spec.cells, &own}) {
        for (const PictureCell &cell : *cells) {
            if (cell.paint != nullptr) {
                PaintCell(&canvas, cell);
            }
        }
    }
    return image;
}

std::vector<std::string> PictureFiles(const PictureSpec &spec)
{
    std::vector<std::string> files;
    const std::vector<std::string> languages =
        spec.perLanguage ? std::vector<std::string>{"ENG", "CHI"} : std::vector<std::string>{""};
    for (const std::string &language : languages) {
        const std::string folder = spec.folder + "/" + (language.empty() ? "" : language + "/");
        files.push_back(folder + spec.name + ".BMP");
        if (spec.mask) {
            files.push_back(folder + spec.name + "A.BMP");
        }
    }
    return files;
}

bool WritePictureFiles(const std::string &root, const PictureSpec &spec)
{
    const std::vector<std::string> languages =
        spec.perLanguage ? std::vector<std::string>{"ENG", "CHI"} : std::vector<std::string>{""};
    for (const std::string &language : languages) {
        const fs::path folder = fs::path(root) / spec.folder / language;
        std::error_code error;
        fs::create_directories(folder, error);
        RwImage *image = RenderPicture(spec, language);
        if (error || image == nullptr) {
            if (image != nullptr) {
                RwImageDestroy(image);
            }
            return false;
        }
        bool ok = RtBmpWrite(image, (folder / (spec.name + ".BMP")).string().c_str()) != nullptr;
        if (ok && spec.mask) {
            RwImage *mask = MakeMaskImage(image);
            ok = mask != nullptr && RtBmpWrite(mask, (folder / (spec.name + "A.BMP")).string().c_str()) != nullptr;
            if (mask != nullptr) {
                RwImageDestroy(mask);
            }
        }
        RwImageDestroy(image);
        if (!ok) {
            return false;
        }
    }
    return true;
}

}  // namespace mkdata
