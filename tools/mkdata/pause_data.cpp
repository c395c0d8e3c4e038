// The sample data of the pause menu, the stage map and the status page
// (see pause_data.h).
#include "tools/mkdata/pause_data.h"

#include <cstring>
#include <filesystem>

#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/ui_text.h"
#include "ui/stage_map_page.h"

namespace mkdata {

namespace {

namespace fs = std::filesystem;

PictureCell Cell(const std::string &label, float x0, float y0, float x1, float y1, float hueShift = 0.0f)
{
    PictureCell cell{label, x0, y0, x1, y1};
    cell.hueShift = hueShift;
    return cell;
}

// A cell given in texture coordinates of a 512 x 512 atlas.
PictureCell UVCell(const std::string &label, float s0, float t0, float s1, float t1, float hueShift = 0.0f)
{
    return Cell(label, s0 * 512.0f, t0 * 512.0f, s1 * 512.0f, t1 * 512.0f, hueShift);
}

// A tab's two looks: the current one bright, the other dim.
void AddTab(std::vector<PictureCell> *cells, const std::string &label, const float current[4], const float other[4])
{
    PictureCell on = UVCell(label, current[0], current[1], current[2], current[3], 60.0f);
    on.value = 0.85f;
    PictureCell off = UVCell(label, other[0], other[1], other[2], other[3], 60.0f);
    off.value = 0.35f;
    cells->push_back(on);
    cells->push_back(off);
}

// The words of one language set (0 the Chinese picture, 1 the English).
std::vector<PictureCell> WordCells(int set)
{
    std::vector<PictureCell> cells;
    static const float kTitle[2][4] = {{4, 466, 168, 510}, {2, 464, 238, 506}};
    static const float kEntries[2][4][4] = {
        {{6, 4, 294, 72}, {6, 74, 294, 142}, {6, 142, 294, 210}, {106, 384, 292, 440}},
        {{2, 2, 400, 70}, {2, 72, 510, 140}, {2, 142, 202, 210}, {204, 156, 510, 210}}};
    static const char *const kEntryWords[4] = {"Resume", "Status", "Map", "To title"};
    cells.push_back(Cell("PAUSE", kTitle[set][0], kTitle[set][1], kTitle[set][2], kTitle[set][3], 200.0f));
    for (int i = 0; i < 4; ++i) {
        const float *r = kEntries[set][i];
        cells.push_back(Cell(kEntryWords[i], r[0], r[1], r[2], r[3], 30.0f * static_cast<float>(i)));
    }
    // The hero names (texture coordinates).
    static const float kNames[2][2][4] = {
        {{0.00390625f, 0.66015625f, 0.50390625f, 0.74609375f}, {0.0078125f, 0.7421875f, 0.19921875f, 0.828125f}},
        {{0.484375f, 0.921875f, 0.96484375f, 0.984375f}, {0.79296875f, 0.015625f, 0.99609375f, 0.078125f}}};
    cells.push_back(UVCell("HERO 1", kNames[set][0][0], kNames[set][0][1], kNames[set][0][2], kNames[set][0][3], 90.0f));
    cells.push_back(UVCell("HERO 2", kNames[set][1][0], kNames[set][1][1], kNames[set][1][2], kNames[set][1][3], 90.0f));
    // The tabs: current and other look.
    static const float kTabs[2][3][2][4] = {
        {{{0.625f, 0.48046875f, 0.88671875f, 0.62109375f}, {0.62890625f, 0.01171875f, 0.890625f, 0.15234375f}},
         {{0.62890625f, 0.63671875f, 0.890625f, 0.77734375f}, {0.640625f, 0.16796875f, 0.90234375f, 0.30859375f}},
         {{0.6484375f, 0.79296875f, 0.91015625f, 0.93359375f}, {0.64453125f, 0.328125f, 0.90625f, 0.46875f}}},
        {{{0.0390625f, 0.51953125f, 0.3984375f, 0.64453125f}, {0.453125f, 0.51953125f, 0.8125f, 0.64453125f}},
         {{0.015625f, 0.64453125f, 0.40625f, 0.78515625f}, {0.4296875f, 0.63671875f, 0.8203125f, 0.77734375f}},
         {{0.02734375f, 0.78125f, 0.375f, 0.90625f}, {0.4453125f, 0.78515625f, 0.79296875f, 0.91015625f}}}};
    static const char *const kTabWords[3] = {"Items", "Equip", "Skills"};
    for (int tab = 0; tab < 3; ++tab) {
        AddTab(&cells, kTabWords[tab], kTabs[set][tab][0], kTabs[set][tab][1]);
    }
    // The five labels.
    static const float kLabels[2][5][4] = {
        {{0.00390625f, 0.41015625f, 0.16796875f, 0.48828125f},
         {0.17578125f, 0.4140625f, 0.4140625f, 0.4921875f},
         {0.00390625f, 0.4921875f, 0.16015625f, 0.5703125f},
         {0.17578125f, 0.49609375f, 0.4296875f, 0.57421875f},
         {0.00390625f, 0.578125f, 0.25f, 0.65625f}},
        {{0.5f, 0.41796875f, 0.74609375f, 0.49609375f},
         {0.82421875f, 0.5859375f, 0.953125f, 0.6640625f},
         {0.82421875f, 0.66015625f, 0.953125f, 0.73828125f},
         {0.82421875f, 0.7421875f, 0.9921875f, 0.8203125f},
         {0.82421875f, 0.828125f, 0.9921875f, 0.90625f}}};
    static const char *const kLabelWords[5] = {"Money", "Life", "Power", "Attack", "Defence"};
    for (int i = 0; i < 5; ++i) {
        const float *r = kLabels[set][i];
        cells.push_back(UVCell(kLabelWords[i], r[0], r[1], r[2], r[3], 150.0f));
    }
    return cells;
}

// A status picture of a hero: the portrait in the middle, see-through round it.
PictureSpec PortraitSpec(int hero)
{
    PictureSpec spec;
    spec.name = hero == 0 ? "CHAR01" : "CHAR02";
    spec.folder = "RESOURCE/UITEXT/PAUSE";
    spec.perLanguage = false;
    spec.width = 256;
    spec.height = 256;
    spec.hue = hero == 0 ? 0.0f : 45.0f;
    spec.mask = true;
    spec.backgroundAlpha = 0;
    // The portrait's source is 0.0078..0.992 x 0.002..0.775 of the picture.
    PictureCell figure = Cell(hero == 0 ? "HERO 1" : "HERO 2", 70, 8, 190, 196);
    figure.alpha = 230;
    spec.cells = {figure, Cell("head", 104, 12, 156, 60, 30.0f)};
    return spec;
}

// A weapon picture: the main picture's part, and for the second hero's
// weapons the small second picture below it.
PictureSpec WeaponSpec(int id)
{
    const bool secondHero = id >= 5100210;
    PictureSpec spec;
    spec.name = std::to_string(id);
    spec.folder = "RESOURCE/UITEXT/PAUSE";
    spec.perLanguage = false;
    spec.width = 128;
    spec.height = 128;
    spec.hue = static_cast<float>((id / 10) % 10) * 36.0f;
    spec.mask = true;
    spec.backgroundAlpha = 0;
    const std::string label = "W" + std::to_string(id % 1000);
    if (secondHero) {
        spec.cells = {Cell(label, 20, 4, 100, 100), Cell("2nd", 2, 104, 28, 124, 120.0f)};
    } else {
        spec.cells = {Cell(label, 30, 4, 90, 118)};
    }
    return spec;
}

// A stage map: the name in the middle and its four corners labelled.
PictureSpec StageMapSpec(int stageId)
{
    PictureSpec spec;
    spec.name = StageMapPictureName(stageId);
    spec.folder = StageMapFolder(stageId);
    spec.perLanguage = false;
    spec.width = 128;
    spec.height = 96;
    spec.hue = static_cast<float>((stageId / 10000) * 47 % 360);
    spec.mask = true;
    spec.cells = {Cell(spec.name, 24, 36, 104, 60, 180.0f), Cell("TL", 0, 0, 18, 12, 90.0f),
                  Cell("TR", 110, 0, 128, 12, 90.0f), Cell("BL", 0, 84, 18, 96, 90.0f),
                  Cell("BR", 110, 84, 128, 96, 90.0f)};
    return spec;
}

struct SkillLine {
    int ability;
    const char *name;
    const char *command;
    const char *describe;
};

// Hero 0: always listed (1, 2, 12, 9), gated on abilities 3, 5 and 8; a
// base skill ("12 A-B"), "&", "+" groups, "-", and characters that have no
// picture ("b", blanks).
constexpr SkillLine kHero0Skills[] = {
    {1, "Slash", "A", "A single cut with the sword."},
    {2, "Dash Cut", "R+A-B", "Run in and cut; the run and the cut go together."},
    {12, "Rising Blade", "XY", "Throws the foe upwards."},
    {3, "Whirlwind", "12 A-B", "A spin after the rising blade."},
    {5, "Thunder Call", "X&Y", "Calls down lightning on all around."},
    {9, "Guard Break", "R *b", "Breaks a guard. Lower-case keys are not shown."},
    {8, "Final Storm", "*+X+Y", "The last art: all at once."},
};
constexpr SkillLine kHero1Skills[] = {
    {1, "Quick Stab", "B", "A short, fast stab."},
    {12, "Leap", "YY", "Jumps high."},
    {3, "Falling Star", "12 X-A", "Strikes down from the leap."},
    {4, "Twin Fang", "A&B", "Two blades at once."},
    {9, "Sweep", "X+Y-R", "A low sweep, then a roll."},
};

}  // namespace

void AddPausePlayerCells(std::vector<PictureCell> *cells)
{
    // The pause menu's trail arrow and the text list's pointer are the
    // lobby's cursor arrow (LobbyPlayerCells).
    // The stage map's corner ornament and the hero marker.
    cells->push_back(Cell("", 218, 296, 241, 342, 300.0f));
    cells->push_back(Cell("", 242, 296, 265, 342, 320.0f));
    PictureCell marker = Cell("^", 485, 1, 497, 25, 0.0f);
    marker.value = 0.95f;
    cells->push_back(marker);
    // The text list: the selection bar and the arrow (drawn flipped for down).
    PictureCell bar = Cell("", 109, 186, 306, 192, 60.0f);
    bar.value = 0.95f;
    bar.borderless = true;
    cells->push_back(bar);
    cells->push_back(Cell("^", 313, 98, 333, 128, 160.0f));
    // The status page: three stat frames (see-through inside) and the name plate.
    static const float kStatFrames[3][4] = {{341, 93, 510, 167}, {341, 168, 510, 209}, {341, 210, 510, 254}};
    for (const float *r : kStatFrames) {
        PictureCell frame = Cell("", r[0], r[1], r[2], r[3], 100.0f);
        frame.alpha = 120;
        cells->push_back(frame);
    }
    cells->push_back(Cell("", 253, 216, 341, 254, 40.0f));
    // Property icons A and B, and the armour row's backing (kept clear of
    // the boss gauge's frame below it).
    cells->push_back(Cell("A", 108, 163, 125, 184, 0.0f));
    cells->push_back(Cell("B", 125, 163, 142, 184, 220.0f));
    cells->push_back(Cell("", 87, 163, 108, 192, 260.0f));
    // The skill commands' key pictures.
    cells->push_back(Cell("X", 5, 420, 68, 432, 10.0f));
    cells->push_back(Cell("A", 5, 435, 71, 447, 60.0f));
    cells->push_back(Cell("B", 5, 448, 65, 460, 110.0f));
    cells->push_back(Cell("R", 5, 463, 62, 475, 160.0f));
    cells->push_back(Cell("Y", 5, 478, 52, 490, 210.0f));
    cells->push_back(Cell("*", 5, 492, 65, 504, 260.0f));
}

void AddPauseWordCells(std::vector<PictureCell> *eng, std::vector<PictureCell> *chi)
{
    std::vector<PictureCell> english = WordCells(1);
    std::vector<PictureCell> chinese = WordCells(0);
    eng->insert(eng->begin(), english.begin(), english.end());
    chi->insert(chi->begin(), chinese.begin(), chinese.end());
}

std::string StageMapPictureName(int stageId)
{
    char name[32];
    const char *folder = nullptr;
    StageMapPicture(stageId, name, sizeof name, &folder);
    std::string text = name;
    return text.substr(0, text.size() - 4);
}

std::string StageMapFolder(int stageId)
{
    char name[32];
    const char *folder = nullptr;
    StageMapPicture(stageId, name, sizeof name, &folder);
    std::string path = folder + 1;  // without the leading backslash
    path.pop_back();
    for (char &c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

std::vector<PictureSpec> PausePictures()
{
    std::vector<PictureSpec> list = {PortraitSpec(0), PortraitSpec(1)};
    for (int id = 5100160; id <= 5100250; id += 10) {
        list.push_back(WeaponSpec(id));
    }
    int32_t count = 0;
    const StageMapInfo *maps = StageMapTable(&count);
    for (int32_t i = 0; i < count; ++i) {
        list.push_back(StageMapSpec(maps[i].stageId));
    }
    return list;
}

const std::vector<PagePack> &PagePacks()
{
    static const std::vector<PagePack> packs = [] {
        std::vector<PagePack> list = {{"PACK/PAUSE", "MAPBASE", {"MAPBASE"}}};
        for (int hero = 0; hero < 2; ++hero) {
            PagePack pack{"PACK/PAUSE", hero == 0 ? "CHAR01" : "CHAR02", {hero == 0 ? "CHAR01" : "CHAR02"}};
            for (int k = 0; k < 5; ++k) {
                pack.pictures.push_back(std::to_string((hero == 0 ? 5100160 : 5100210) + 10 * k));
            }
            list.push_back(pack);
        }
        int32_t count = 0;
        const StageMapInfo *maps = StageMapTable(&count);
        for (int32_t i = 0; i < count; ++i) {
            list.push_back({std::string("PACK/") + maps[i].folder, maps[i].pack,
                            {StageMapPictureName(maps[i].stageId)}});
        }
        return list;
    }();
    return packs;
}

std::u16string SampleSkillText(int hero, const std::string &language)
{
    const std::u16string mark = language == "CHA" ? u"[CHI] " : u"";
    auto widen = [](const std::string &text) { return std::u16string(text.begin(), text.end()); };
    const SkillLine *lines = hero == 0 ? kHero0Skills : kHero1Skills;
    const size_t count = hero == 0 ? std::size(kHero0Skills) : std::size(kHero1Skills);
    std::u16string text = u"SkillCount: " + widen(std::to_string(count)) + u"\r\n";
    for (size_t i = 0; i < count; ++i) {
        const SkillLine &line = lines[i];
        text += u"#" + widen(std::to_string(i + 1)) + u"\r\n";
        text += u"Ability: " + widen(std::to_string(line.ability)) + u"\r\n";
        text += mark + widen(line.name) + u"\r\n";
        text += widen(line.command) + u"\r\n";
        text += mark + widen(line.describe) + u"\r\n";
        text += u"\r\n";
    }
    return text;
}

bool WriteSkillFiles(const std::string &root)
{
    bool ok = true;
    for (const char *language : {"USA", "CHA"}) {
        for (int hero = 0; hero < 2; ++hero) {
            const fs::path path = fs::path(root) / "RESOURCE/UITEXT/SKILL" / language /
                                  (hero == 0 ? "CHAR01.SKL" : "CHAR02.SKL");
            ok = ok && WriteText(path, EncodeUtf16Le(SampleSkillText(hero, language)));
        }
    }
    return ok;
}

}  // namespace mkdata
