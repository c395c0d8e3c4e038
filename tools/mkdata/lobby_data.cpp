// The sample data of the lobby and its pages (see lobby_data.h).
#include "tools/mkdata/lobby_data.h"

#include <filesystem>

#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/sample_photos.h"
#include "tools/mkdata/ui_text.h"
#include "ui/store_messages.h"

namespace mkdata {

namespace {

namespace fs = std::filesystem;

PictureCell C(const std::string &label, float x0, float y0, float x1, float y1)
{
    return PictureCell{label, x0, y0, x1, y1};
}

PictureCell Outline(const std::string &label, float x0, float y0, float x1, float y1)
{
    PictureCell cell = C(label, x0, y0, x1, y1);
    cell.outlineOnly = true;
    return cell;
}

// A piece that is stretched: one colour to its edge.
PictureCell Plain(float x0, float y0, float x1, float y1, float value, float hueShift = 0.0f)
{
    PictureCell cell = C("", x0, y0, x1, y1);
    cell.borderless = true;
    cell.value = value;
    cell.hueShift = hueShift;
    return cell;
}

PictureCell Painted(float x0, float y0, float x1, float y1, RwRGBA (*paint)(int32_t, float, float))
{
    PictureCell cell = C("", x0, y0, x1, y1);
    cell.paint = paint;
    return cell;
}

PictureCell Translucent(PictureCell cell, RwUInt8 alpha)
{
    cell.alpha = alpha;
    return cell;
}

RwRGBA ClearPixel(int32_t, float, float) { return {0, 0, 0, 0}; }

// The lobby's rail, in the photo band's teal (the save slots draw theirs
// untextured in it).
RwRGBA RailPixel(int32_t, float, float) { return kPhotoRailColour; }

// The stages of the map in node order, with a place name each.
struct SampleStageName {
    int32_t id;
    const char *place;
};
constexpr SampleStageName kStageNames[29] = {
    {2010000, "Gate Yard"},     {2020000, "Arena"},         {2030000, "Old Barracks"},  {2040000, "Thrower's Court"},
    {2050000, "Switch Hall"},   {2060000, "Hill Path"},     {2100000, "Watchtower"},    {2080000, "Boss Gate"},
    {2150000, "Upper Keep"},    {2160000, "Long Bridge"},   {2400000, "Extra Ring I"},  {2170000, "River Mill"},
    {2190000, "Dark Wood"},     {2220000, "Salt Marsh"},    {2250000, "Red Cliffs"},    {2410000, "Extra Ring II"},
    {2270000, "Sunken Road"},   {2230000, "Stone Circle"},  {2280000, "North Camp"},    {2290000, "Ash Field"},
    {2310000, "Copper Mine"},   {2330000, "Glass Lake"},    {2300000, "Deep Vault"},    {2320000, "Iron Works"},
    {2420000, "Extra Ring III"}, {2340000, "Sky Stair"},    {2360000, "High Gate"},     {2370000, "Throne Hall"},
    {2380000, "Star Tower"},
};

// The store's messages in English. The question (6) asks before a purchase,
// a sale and an upgrade alike.
const char *const kStoreTexts[45] = {
    "Buy what helps in a fight.",
    "Sell what you carry for 80% of its price.",
    "Grow stronger and learn new moves.",
    "Total:",
    "You get:",
    "Price:",
    "Is it a deal?",
    "Not enough money.",
    "You cannot carry more of it.",
    "Herb",
    "Elixir",
    "Spirit Tonic",
    "Great Tonic",
    "Antidote",
    "Smoke Bomb",
    "Fire Flask",
    "Thunder Orb",
    "HP level up",
    "Power level up",
    "Whirl Slash",
    "Rising Edge",
    "Sky Cutter",
    "Storm Blade",
    "Thousand Cuts",
    "Dragon Fang",
    "Shadow Step",
    "Spirit Palm",
    "Flame Kick",
    "Thunder Fist",
    "Tiger Rush",
    "Heaven Drop",
    "Raises the HP level by one: 500 more life.",
    "Raises the power level by one: 100 more power.",
    "A spinning slash that hits all around.",
    "An upward blow that lifts the foe.",
    "A leap and a cut from above.",
    "Follows Sky Cutter with a storm of blows.",
    "A flurry after the storm.",
    "A bite of steel that breaks guards.",
    "A quick step behind the foe.",
    "A palm strike of pure spirit.",
    "A kick wrapped in fire.",
    "A punch that calls the thunder.",
    "A charge that knocks all aside.",
    "A drop from the sky that shakes the ground.",
};

const char *const kStoreLanguages[15] = {"CHI", "ENG", "FRE", "GER", "ITA", "SPA", "JAP", "SWE",
                                         "NOR", "DAN", "FIN", "POR", "DUT", "KOR", "GRE"};

std::string TextPath(const std::string &file) { return std::string(MessageFolder()) + "/" + file; }

bool AddText(const std::string &root, const std::string &name, const std::string &bytes, PackWriter *pack,
             std::vector<std::string> *packed)
{
    if (!WriteText(fs::path(root) / name, bytes) || !pack->AddFileFrom(root, name)) {
        return false;
    }
    packed->push_back(name);
    return true;
}

}  // namespace

std::vector<PictureCell> LobbyCells()
{
    std::vector<PictureCell> cells = {
        C("left strip", 1, 87, 144, 326),
        // The stage panel: its frame, the rail and the two caps (clamps
        // that hold the photo on the rail, see-through round their bar and
        // post).
        C("photo frame", 164, 139, 262, 273),
        // The rail and a margin of its colour (the screen draws 200 rows
        // into 40, whose smaller copies take in the neighbours).
        Painted(144, 87, 150, 289, RailPixel),
        // The clamp, with a see-through margin so that its edges take in
        // nothing of what lies round it.
        Painted(163, 273, 263, 331, ClearPixel),
        Painted(164, 274, 262, 330, PhotoClampPixel),
        C("HERO 2", 1, 327, 96, 428),
        C("HERO 1", 97, 327, 192, 428),
        // The badge lies across the photo's middle: a see-through label.
        Translucent(C("Last stage", 386, 392, 456, 421), 170),
        // The store: panels, tabs (plain and lit), the quantity picker.
        C("panel A", 341, 147, 510, 339),
        C("panel B", 302, 360, 508, 388),
        C("Buy", 264, 191, 340, 235),
        C("> BUY <", 264, 146, 340, 190),
        C("Sell", 264, 277, 340, 316),
        C("> SELL <", 264, 237, 340, 276),
        C("Upgrade", 405, 472, 494, 511),
        C("> UPGRADE <", 405, 432, 494, 471),
        C("qty", 457, 396, 508, 430),
        C("<", 217, 392, 270, 428),
        C(">", 273, 392, 326, 428),
    };
    for (int d = 0; d < 10; ++d) {
        PictureCell digit = C(std::string(1, static_cast<char>('0' + d)), 341.0f + 15.0f * d, 340, 355.0f + 15.0f * d,
                              359);
        digit.digit = static_cast<char>('0' + d);
        cells.push_back(digit);
    }
    return cells;
}

std::vector<PictureCell> LobbyChiCells()
{
    return {C("Stage select", 261, 432, 404, 467), C("Status", 261, 468, 404, 503), C("Store", 117, 432, 260, 467),
            C("Save", 117, 468, 260, 503),         C("Title", 160, 86, 303, 121),  C("HERO 1", 115, 55, 243, 76),
            C("HERO 2", 244, 55, 295, 76),         C("Price", 5, 60, 81, 76)};
}

std::vector<PictureCell> LobbyEngCells()
{
    return {C("Stage select", 1, 477, 136, 511), C("Status", 137, 471, 311, 511), C("Store", 312, 471, 401, 511),
            C("Save game", 52, 429, 229, 470),    C("To the title", 230, 429, 401, 470),
            C("HERO 1", 298, 65, 426, 86),        C("HERO 2", 247, 360, 301, 381), C("Price", 172, 92, 210, 106)};
}

std::vector<PictureCell> SelstagCells()
{
    std::vector<PictureCell> cells = {
        Outline("photo", 1, 1, 99, 135),
        C("caption", 100, 1, 198, 57),
        C("", 199, 1, 219, 21),   // a cleared node
        C("", 199, 22, 219, 42),  // an open node
        C("last", 180, 58, 214, 105),
        C("", 142, 58, 176, 121),  // the chosen node's glow
        C("", 102, 58, 136, 121),  // and its pulse
        C("EXTRA", 74, 136, 124, 222),
    };
    cells[2].hueShift = 120.0f;
    cells[5].hueShift = 60.0f;
    cells[6].hueShift = 200.0f;
    // The map cursor's corners.
    const float corners[4][4] = {{2, 165, 19, 182}, {44, 165, 61, 182}, {2, 204, 19, 224}, {44, 204, 61, 224}};
    for (const auto &corner : corners) {
        PictureCell cell = Plain(corner[0], corner[1], corner[2], corner[3], 1.0f, 180.0f);
        cells.push_back(cell);
    }
    // The banner: its end and its middle, light so that black text reads.
    cells.push_back(Plain(166, 136, 215, 192, 0.55f));
    cells.push_back(Plain(126, 136, 163, 192, 0.95f));
    // The page arrow's four frames.
    const char *const arrows[4] = {">", ">>", ">>>", ">>>>"};
    for (int i = 0; i < 4; ++i) {
        const float x = 1.0f + 49.0f * static_cast<float>(i);
        cells.push_back(C(arrows[i], x, 227, x + 48, 249));
    }
    return cells;
}

std::vector<PictureCell> MonsterPhotoCells()
{
    // Monster list k is shown in photo cell kCells[k]: a figure in the
    // list's colours (sample_photos.h).
    static const int kCells[11] = {30, 29, 33, 34, 31, 35, 32, 36, 37, 38, 39};
    std::vector<PictureCell> cells;
    for (int list = 0; list < 11; ++list) {
        const int i = kCells[list];
        const float x = 1.0f + 71.0f * static_cast<float>(i % 7);
        const float y = 1.0f + 71.0f * static_cast<float>(i / 7);
        PictureCell cell = C("M" + std::to_string(list), x, y, x + 69, y + 69);
        cell.paint = MonsterPhotoPixel;
        cell.paintArg = list;
        cells.push_back(cell);
    }
    return cells;
}

std::vector<PictureCell> LobbyPlayerCells()
{
    // The menu cursor (an arrow that the lobby draws mirrored).
    PictureCell arrow = C("<", 455, 47, 510, 91);
    arrow.hueShift = 60.0f;
    return {arrow};
}

std::vector<StageNameText> SampleStageNames(const std::string &language)
{
    const std::u16string mark = language == "CHI" ? u"[CHI] " : u"";
    std::vector<StageNameText> names;
    for (const SampleStageName &stage : kStageNames) {
        const std::u16string number = Widen(std::to_string((stage.id - 2000000) / 10000));
        StageNameText text;
        text.id = stage.id;
        text.name = mark + number + u" " + Widen(stage.place);
        text.description[0] = mark + u"Hero 1 goes to the " + Widen(stage.place) + u".";
        text.description[1] = mark + u"Hero 2 goes to the " + Widen(stage.place) + u".";
        names.push_back(text);
    }
    return names;
}

std::vector<std::u16string> SampleMonsterLists(const std::string &language, int list)
{
    const std::u16string mark = language == "CHI" ? u"[CHI] " : u"";
    const std::u16string n = Widen(std::to_string(list));
    return {mark + u"Monsters " + n, mark + u"Who lives here, list " + n + u"."};
}

std::string EncodeStageNameFile(const std::vector<StageNameText> &names)
{
    std::u16string text = u"Stage names\r\n";
    for (const StageNameText &name : names) {
        text += u"StageID: " + Widen(std::to_string(name.id)) + u"\r\n{\r\n" + name.name + u"\r\n" +
                name.description[0] + u"\r\n" + name.description[1] + u"\r\n}\r\n";
    }
    return EncodeUtf16Le(text);
}

std::string EncodeMonsterListFile(const std::string &language)
{
    std::u16string text = u"Monster lists\r\n";
    for (int list = 0; list < 11; ++list) {
        const std::vector<std::u16string> texts = SampleMonsterLists(language, list);
        text += u"List: " + Widen(std::to_string(list)) + u"\r\n{\r\n" + texts[0] + u"\r\n" + texts[1] + u"\r\n}\r\n";
    }
    return EncodeUtf16Le(text);
}

std::vector<std::u16string> SampleStoreMessages(int language)
{
    std::vector<std::u16string> messages;
    const std::u16string mark = language == 1 ? u"" : u"[" + Widen(kStoreLanguages[language]) + u"] ";
    for (const char *text : kStoreTexts) {
        messages.push_back(mark + Widen(text));
    }
    return messages;
}

std::string EncodeStoreFile(const std::vector<std::u16string> &messages)
{
    std::u16string text = u"Store messages\r\n";
    for (const std::u16string &message : messages) {
        text += message + u"\r\n";
    }
    return EncodeUtf16Le(text);
}

SampleStageSpec MapStageVariant(const SampleStageSpec &arena, int32_t id)
{
    const int number = (id - 2000000) / 10000;
    SampleStageSpec stage = arena;
    stage.id = id;
    stage.placements = {};
    stage.territories = {};
    stage.info.fog = 1;
    stage.info.fogRed = static_cast<uint8_t>(60 + number * 37 % 160);
    stage.info.fogGreen = static_cast<uint8_t>(60 + number * 71 % 160);
    stage.info.fogBlue = static_cast<uint8_t>(60 + number * 113 % 160);
    stage.info.fogAlpha = 255;
    stage.info.fogDistance = 250.0f;
    stage.stageModels.clear();
    for (int k = 0; k <= number % 3; ++k) {
        stage.stageModels.push_back({-40.0f + 40.0f * static_cast<float>(k), 0.0f, 80.0f});
    }
    stage.sounds = {};
    stage.musicHz[0] = 150 + 7 * number;
    stage.musicHz[1] = 190 + 9 * number;
    return stage;
}

bool AddStageSelectFiles(const std::string &root, PackWriter *pack, std::vector<std::string> *packed)
{
    for (const char *language : {"ENG", "CHI"}) {
        const std::string code = language;
        if (!AddText(root, TextPath(code + "STAGE.NAM"), EncodeStageNameFile(SampleStageNames(code)), pack, packed) ||
            !AddText(root, TextPath(code + "MONST.NAM"), EncodeMonsterListFile(code), pack, packed)) {
            return false;
        }
    }
    return true;
}

bool AddStoreFiles(const std::string &root, PackWriter *pack, std::vector<std::string> *packed)
{
    for (int language = 0; language < 15; ++language) {
        if (!AddText(root, TextPath(StoreMessageFileName(language)), EncodeStoreFile(SampleStoreMessages(language)), pack,
                     packed)) {
            return false;
        }
    }
    // The icon sheet stays on disc: the items read it from there as well.
    return pack->AddFileFrom(root, "RESOURCE/ITEM/TEXTURES/001.BMP") &&
           pack->AddFileFrom(root, "RESOURCE/ITEM/TEXTURES/001A.BMP");
}

}  // namespace mkdata
