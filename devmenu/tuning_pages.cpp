// The stage tuning pages: the camera limits, the ambient light, the
// starts, the fog and rain, each a table of rows over the tuning record
// (where its label and value stand, which field it changes and how), and
// the particle counts (see dev_menu.h).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <span>

#include "app/game_system.h"
#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"
#include "fx/weather.h"
#include "stage/stage_manager.h"

namespace {

enum class RowKind : uint8_t {
    kBack,          // circle leaves the page
    kReal,          // "%f", +/- step
    kRealFromZero,  // the same, never below 0
    kWhole,         // "%d", +/- 1
    kByte,          // "%d", + 1 up to 255, - 1 with 0 going to 255
    kOnOff,         // "On" / "Off": right sets 1, left 0
    kONOFF,         // "ON" / "OFF": the same
    kRain,          // the rain state's name, 0..3
};

struct PageRow {
    const char *label;
    float labelX;
    float y;
    float valueX;
    RowKind kind;
    size_t field;  // offset in StageInfo
    float step;    // a real row's
};

constexpr float kTitleX = 50.0f;
constexpr float kTitleY = 100.0f;
constexpr float kLabelX = 100.0f;
constexpr float kValueX = 350.0f;
constexpr float kCharacterValueX = 400.0f;
constexpr float kCameraStep = 0.01f;

// A row whose label stands at kLabelX (most of them) and its value at
// `valueX`; only real rows have a step.
constexpr PageRow Row(const char *label, float y, RowKind kind, size_t field, float valueX = kValueX,
                      float step = 0.0f)
{
    return {label, kLabelX, y, valueX, kind, field, step};
}

// "Back": no value, no field.
constexpr PageRow BackRow(float y) { return {"Back", kLabelX, y, kValueX, RowKind::kBack, {}, {}}; }

// The rows of a page run down from y 120, 20 apart.
constexpr float RowY(size_t row) { return 120.0f + 20.0f * static_cast<float>(row); }

#define FIELD(member) offsetof(StageInfo, member)

// The camera page: the twelve limits in the record's order (the first
// player's six, then the second's), each in hundredths.
constexpr const char *kCameraLabels[] = {
    "Pitch Degree Min",        "Pitch Degree Max",         "Distance Min",
    "Distance Max",            "Initial Rotate Degree",    "Initial Pitch Degree",
    "2P Pitch Degree Min",     "2P Pitch Degree Max",      "2P Distance Min",
    "2P Distance Max",         "2P Initial Rotate Degree", "2P Initial Pitch Degree",
};
constexpr size_t kCameraLimits = std::size(kCameraLabels);
static_assert(FIELD(camera2.initialPitchDegree) == FIELD(camera1) + (kCameraLimits - 1) * sizeof(float));

constexpr std::array<PageRow, kCameraLimits + 1> CameraRows()
{
    std::array<PageRow, kCameraLimits + 1> rows{};
    for (size_t i = 0; i < kCameraLimits; ++i) {
        rows[i] = Row(kCameraLabels[i], RowY(i), RowKind::kReal, FIELD(camera1) + i * sizeof(float), kValueX,
                      kCameraStep);
    }
    rows[kCameraLimits] = BackRow(RowY(kCameraLimits));
    return rows;
}
constexpr std::array<PageRow, kCameraLimits + 1> kCameraRows = CameraRows();

constexpr PageRow kAmbientRows[] = {
    Row("Ambient Alpha", 120, RowKind::kByte, FIELD(ambientAlpha)),
    Row("Ambient Red", 140, RowKind::kByte, FIELD(ambientRed)),
    Row("Ambient Green", 160, RowKind::kByte, FIELD(ambientGreen)),
    Row("Ambient Blue", 180, RowKind::kByte, FIELD(ambientBlue)),
    BackRow(200),
};

// The character page: the first player's start (position, then facing),
// the set bonus, the second player's start, in whole steps.
constexpr const char *kCharacterLabels[] = {
    "Character Start Position X",    "Character Start Position Y",    "Character Start Position Z",
    "Character Start Front X",       "Character Start Front Y",       "Character Start Front Z",
    "Character Set Bonus",           "2P Character Start Position X", "2P Character Start Position Y",
    "2P Character Start Position Z", "2P Character Start Front X",    "2P Character Start Front Y",
    "2P Character Start Front Z",
};
constexpr size_t kStartValues = sizeof(StageStart) / sizeof(float);
constexpr size_t kBonusRow = kStartValues;
static_assert(std::size(kCharacterLabels) == 2 * kStartValues + 1);

constexpr std::array<PageRow, 2 * kStartValues + 2> CharacterRows()
{
    std::array<PageRow, 2 * kStartValues + 2> rows{};
    for (size_t i = 0; i < kStartValues; ++i) {
        const size_t second = kBonusRow + 1 + i;
        rows[i] = Row(kCharacterLabels[i], RowY(i), RowKind::kReal, FIELD(start1) + i * sizeof(float),
                      kCharacterValueX, 1.0f);
        rows[second] = Row(kCharacterLabels[second], RowY(second), RowKind::kReal, FIELD(start2) + i * sizeof(float),
                           kCharacterValueX, 1.0f);
    }
    rows[kBonusRow] = Row(kCharacterLabels[kBonusRow], RowY(kBonusRow), RowKind::kWhole, FIELD(characterBonus),
                          kCharacterValueX);
    // "Back" one row lower than the step would put it.
    rows[rows.size() - 1] = BackRow(RowY(rows.size()));
    return rows;
}
constexpr std::array<PageRow, 2 * kStartValues + 2> kCharacterRows = CharacterRows();

constexpr PageRow kFogRows[] = {
    Row("Set Fog", 120, RowKind::kOnOff, FIELD(fog), 200),
    Row("Set Fog Color Alpha:", 140, RowKind::kByte, FIELD(fogAlpha)),
    Row("Set Fog Color Red:", 160, RowKind::kByte, FIELD(fogRed)),
    Row("Set Fog Color Green:", 180, RowKind::kByte, FIELD(fogGreen)),
    Row("Set Fog Color Blue:", 200, RowKind::kByte, FIELD(fogBlue)),
    Row("Set Fog Distance:", 220, RowKind::kReal, FIELD(fogDistance), kValueX, 1.0f),
    Row("Set Fog Time", 240, RowKind::kRealFromZero, FIELD(fogTime), kValueX, 1.0f),
    // VFog's switch and height share a line.
    Row("Enable VFog", 260, RowKind::kONOFF, FIELD(vFog), 250),
    {"Set VFog High", 300, 260, 450, RowKind::kReal, FIELD(vFogHigh), 1.0f},
    Row("Enable Rain", 280, RowKind::kRain, FIELD(rain)),
    BackRow(300),
};
// With the fog off the page shows "Set Fog" and, here, "Back".
constexpr float kFogOffBackY = 140.0f;

#undef FIELD

constexpr int32_t RowCount(std::span<const PageRow> rows) { return static_cast<int32_t>(rows.size()); }

template <typename T>
T &Field(StageInfo &record, const PageRow &row)
{
    return *reinterpret_cast<T *>(reinterpret_cast<unsigned char *>(&record) + row.field);
}

template <typename T>
const T &Field(const StageInfo &record, const PageRow &row)
{
    return *reinterpret_cast<const T *>(reinterpret_cast<const unsigned char *>(&record) + row.field);
}

constexpr const char *kRainNames[4] = {"RAINSTATE_NORAIN", "RAINSTATE_S_RAIN", "RAINSTATE_M_RAIN",
                                       "RAINSTATE_L_RAIN"};

// Right (+1) or left (-1) on a row.
void ChangeRow(StageInfo &record, const PageRow &row, int direction)
{
    switch (row.kind) {
    case RowKind::kReal:
    case RowKind::kRealFromZero: {
        float &value = Field<float>(record, row);
        value += static_cast<float>(direction) * row.step;
        if (row.kind == RowKind::kRealFromZero && value < 0.0f) {
            value = 0.0f;
        }
        break;
    }
    case RowKind::kWhole:
        Field<int32_t>(record, row) += direction;
        break;
    case RowKind::kByte: {
        uint8_t &value = Field<uint8_t>(record, row);
        if (direction > 0) {
            value = value < 255 ? static_cast<uint8_t>(value + 1) : value;
        } else {
            value = static_cast<uint8_t>(value - 1);  // 0 goes to 255
        }
        break;
    }
    case RowKind::kOnOff:
    case RowKind::kONOFF:
        Field<int32_t>(record, row) = direction > 0 ? 1 : 0;
        break;
    case RowKind::kRain: {
        int32_t &state = Field<int32_t>(record, row);
        state = std::clamp(state + direction, 0, 3);
        break;
    }
    case RowKind::kBack:
        break;
    }
}

std::string ValueText(const StageInfo &record, const PageRow &row)
{
    char text[64];
    switch (row.kind) {
    case RowKind::kReal:
    case RowKind::kRealFromZero:
        std::snprintf(text, sizeof text, "%f", static_cast<double>(Field<float>(record, row)));
        return text;
    case RowKind::kWhole:
        return std::to_string(Field<int32_t>(record, row));
    case RowKind::kByte:
        return std::to_string(Field<uint8_t>(record, row));
    case RowKind::kOnOff:
        return Field<int32_t>(record, row) != 0 ? "On" : "Off";
    case RowKind::kONOFF:
        return Field<int32_t>(record, row) != 0 ? "ON" : "OFF";
    case RowKind::kRain:
        return kRainNames[std::clamp(Field<int32_t>(record, row), 0, 3)];
    case RowKind::kBack:
        break;
    }
    return {};
}

// Up, down, and left or right on the cursor row; true when circle is
// pressed on "Back" (the last row).
bool UpdateRows(CSDevMenu *menu, DevMenuPage page, std::span<const PageRow> rows)
{
    // A pad that is not connected presses nothing.
    const int32_t count = RowCount(rows);
    const DevMenuPad pad = ReadDevMenuPad();
    int32_t &cursor = menu->pageCursors[page];
    if (pad.Pressed(kPadUp)) {
        cursor = std::max(cursor - 1, 0);
    }
    if (pad.Pressed(kPadDown)) {
        cursor = std::min(cursor + 1, count - 1);
    }
    const PageRow &row = rows[static_cast<size_t>(cursor)];
    if (pad.Pressed(kPadLeft)) {
        ChangeRow(menu->tuning, row, -1);
    } else if (pad.Pressed(kPadRight)) {
        ChangeRow(menu->tuning, row, +1);
    }
    return pad.Pressed(kPadCircle) && row.kind == RowKind::kBack;
}

void BackToTuningMenu(CSDevMenu *menu, DevMenuPage page)
{
    menu->pageFlags[page] = 0;
    menu->pageFlags[kPageTuningMenu] = 1;
    menu->activeItem = kItemTuningMenu;
}

// "Back" of a page that the main list may open straight away: opened from
// the tuning menu it goes back there; opened from the main list its values
// go to the running game first, and the stage list takes the pad.
template <typename Apply>
void LeaveDirectPage(CSDevMenu *menu, DevMenuPage page, Apply apply)
{
    if (menu->directItem == 0) {
        BackToTuningMenu(menu, page);
        return;
    }
    apply();
    menu->pageFlags[page] = 0;
    menu->activeItem = kItemSelectStage;
}

void AddRow(std::vector<DevMenuText> *texts, const StageInfo &record, const PageRow &row, bool highlighted)
{
    const uint32_t colour = highlighted ? kMenuHighlightColour : kMenuTextColour;
    texts->push_back({row.label, row.labelX, row.y, colour});
    if (row.kind != RowKind::kBack) {
        texts->push_back({ValueText(record, row), row.valueX, row.y, colour});
    }
}

void LayoutRows(std::vector<DevMenuText> *texts, const char *title, const StageInfo &record,
                std::span<const PageRow> rows, int32_t cursor)
{
    texts->push_back({title, kTitleX, kTitleY, kMenuTextColour});
    for (int32_t i = 0; i < RowCount(rows); ++i) {
        AddRow(texts, record, rows[static_cast<size_t>(i)], i == cursor);
    }
}

// The fog's and rain's values put on the running stage.
void ApplyFog(CSDevMenu *menu)
{
    const StageInfo &t = menu->tuning;
    SetStageFogDistance(t.fogDistance);
    SetStageFog(t.fog != 0, t.fogTime);
    SetStageFogColour(t.fogRed, t.fogGreen, t.fogBlue, t.fogAlpha);
    CSStageManager *stage = g_pStageManager;
    CSWeatherEffect *weather = stage != nullptr ? stage->weather : nullptr;
    if (weather == nullptr) {
        return;
    }
    if (menu->rainAssetsPending != 0) {
        weather->LoadRainTexture();
        weather->LoadRainSystems(stage->particleManager);
        menu->rainAssetsPending = 0;
    }
    weather->SetRainHeight(t.vFogHigh);
    // The level itself (small, medium, large) is taken only by a stage load.
    weather->EnableRain(t.rain != kRainNone);
    weather->SetRainDrawn(t.vFog != 0);
}

// Particle rows run down a column of 24 and on in the next, 320 to the right.
constexpr int32_t kParticleRowsPerColumn = 24;
constexpr float kParticleColumnStep = 320.0f;
constexpr float kParticleCountOffset = 200.0f;
constexpr int32_t kMaxParticleCountShown = 255;

}  // namespace

void CSDevMenu::UpdateCameraPage()
{
    if (UpdateRows(this, kPageCamera, kCameraRows)) {
        BackToTuningMenu(this, kPageCamera);
    }
}

void CSDevMenu::UpdateCharacterPage()
{
    if (UpdateRows(this, kPageCharacter, kCharacterRows)) {
        BackToTuningMenu(this, kPageCharacter);
    }
}

void CSDevMenu::UpdateAmbientPage()
{
    if (UpdateRows(this, kPageAmbient, kAmbientRows)) {
        LeaveDirectPage(this, kPageAmbient, [this] {
            if (g_pGameSystem != nullptr) {
                const uint8_t rgba[4] = {tuning.ambientRed, tuning.ambientGreen, tuning.ambientBlue,
                                         tuning.ambientAlpha};
                g_pGameSystem->SetAmbientColor(rgba);
            }
        });
    }
}

void CSDevMenu::UpdateFogPage()
{
    if (UpdateRows(this, kPageFog, kFogRows)) {
        LeaveDirectPage(this, kPageFog, [this] { ApplyFog(this); });
    }
}

void CSDevMenu::UpdateParticlePage()
{
    // A pad that is not connected presses nothing.
    const DevMenuPad pad = ReadDevMenuPad();
    const int32_t count = static_cast<int32_t>(particleKinds.kinds.size());
    int32_t &cursor = pageCursors[kPageParticle];
    if (pad.Pressed(kPadUp)) {
        cursor = std::max(cursor - 1, 0);
    }
    if (pad.Pressed(kPadDown)) {
        cursor = std::min(cursor + 1, count - 1);
    }
    // A table read again may hold fewer kinds than the cursor had reached.
    cursor = std::clamp(cursor, 0, std::max(count - 1, 0));
    if (count > 0) {
        int32_t &value = particleKinds.kinds[static_cast<size_t>(cursor)].count;
        if (pad.Pressed(kPadLeft)) {
            value = std::max(value - 1, 0);
        } else if (pad.Pressed(kPadRight)) {
            value = value < kMaxParticleCountShown ? value + 1 : value;
        }
    }
    if (pad.Pressed(kPadCircle)) {
        BackToTuningMenu(this, kPageParticle);
    }
}

void CSDevMenu::LayoutCameraPage(std::vector<DevMenuText> *texts) const
{
    LayoutRows(texts, "Stage Camera Setting", tuning, kCameraRows, pageCursors[kPageCamera]);
}

void CSDevMenu::LayoutAmbientPage(std::vector<DevMenuText> *texts) const
{
    LayoutRows(texts, "Stage Ambient Setting", tuning, kAmbientRows, pageCursors[kPageAmbient]);
}

void CSDevMenu::LayoutCharacterPage(std::vector<DevMenuText> *texts) const
{
    LayoutRows(texts, "Stage Character Position Setting", tuning, kCharacterRows, pageCursors[kPageCharacter]);
}

void CSDevMenu::LayoutFogPage(std::vector<DevMenuText> *texts) const
{
    const int32_t cursor = pageCursors[kPageFog];
    if (tuning.fog != 0) {
        LayoutRows(texts, "Stage Fog ON or OFF", tuning, kFogRows, cursor);
        return;
    }
    // The cursor still runs over every row; "Back" stands for all but the first.
    texts->push_back({"Stage Fog ON or OFF", kTitleX, kTitleY, kMenuTextColour});
    AddRow(texts, tuning, kFogRows[0], cursor == 0);
    PageRow back = kFogRows[RowCount(kFogRows) - 1];
    back.y = kFogOffBackY;
    AddRow(texts, tuning, back, cursor != 0);
}

void CSDevMenu::LayoutParticlePage(std::vector<DevMenuText> *texts) const
{
    const int32_t count = static_cast<int32_t>(particleKinds.kinds.size());
    for (int32_t i = 0; i < count; ++i) {
        const float x = kParticleColumnStep * static_cast<float>(i / kParticleRowsPerColumn);
        const float y = 20.0f * static_cast<float>(i % kParticleRowsPerColumn);
        const uint32_t colour = i == pageCursors[kPageParticle] ? kMenuHighlightColour : kMenuTextColour;
        const ParticleKind &kind = particleKinds.kinds[static_cast<size_t>(i)];
        texts->push_back({kind.name, x, y, colour});
        texts->push_back({std::to_string(kind.count), x + kParticleCountOffset, y, colour});
    }
}
