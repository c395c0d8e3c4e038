// The stage tuning pages: the camera limits, the ambient light, the
// starts, the fog and rain, each a table of rows over the tuning record
// (where its label and value stand, which field it changes and how), and
// the particle counts (see dev_menu.h).
#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "app/game_system.h"
#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"
#include "fx/weather.h"
#include "stage/stage_manager.h"

namespace {

enum class RowKind : uint8_t {
    kBack,     // circle leaves the page
    kReal,     // "%f", +/- step
    kWhole,    // "%d", +/- 1
    kByte,     // "%d", + 1 up to 255, - 1 with 0 going to 255
    kOnOff,    // "On" / "Off": right sets 1, left 0
    kONOFF,    // "ON" / "OFF": the same
    kRain,     // the rain state's name, 0..3
};

struct PageRow {
    const char *label;
    float labelX;
    float y;
    float valueX;
    RowKind kind;
    size_t field;  // offset in StageInfo
    float step;
    bool notBelowZero;
};

constexpr float kTitleX = 50.0f;
constexpr float kTitleY = 100.0f;
constexpr float kLabelX = 100.0f;
constexpr float kValueX = 350.0f;
constexpr float kCharacterValueX = 400.0f;
constexpr float kCameraStep = 0.01f;

#define FIELD(member) offsetof(StageInfo, member)

constexpr PageRow kCameraRows[] = {
    {"Pitch Degree Min", kLabelX, 120, kValueX, RowKind::kReal, FIELD(camera1.pitchDegreeMin), kCameraStep, false},
    {"Pitch Degree Max", kLabelX, 140, kValueX, RowKind::kReal, FIELD(camera1.pitchDegreeMax), kCameraStep, false},
    {"Distance Min", kLabelX, 160, kValueX, RowKind::kReal, FIELD(camera1.distanceMin), kCameraStep, false},
    {"Distance Max", kLabelX, 180, kValueX, RowKind::kReal, FIELD(camera1.distanceMax), kCameraStep, false},
    {"Initial Rotate Degree", kLabelX, 200, kValueX, RowKind::kReal, FIELD(camera1.initialRotateDegree), kCameraStep,
     false},
    {"Initial Pitch Degree", kLabelX, 220, kValueX, RowKind::kReal, FIELD(camera1.initialPitchDegree), kCameraStep,
     false},
    {"2P Pitch Degree Min", kLabelX, 240, kValueX, RowKind::kReal, FIELD(camera2.pitchDegreeMin), kCameraStep, false},
    {"2P Pitch Degree Max", kLabelX, 260, kValueX, RowKind::kReal, FIELD(camera2.pitchDegreeMax), kCameraStep, false},
    {"2P Distance Min", kLabelX, 280, kValueX, RowKind::kReal, FIELD(camera2.distanceMin), kCameraStep, false},
    {"2P Distance Max", kLabelX, 300, kValueX, RowKind::kReal, FIELD(camera2.distanceMax), kCameraStep, false},
    {"2P Initial Rotate Degree", kLabelX, 320, kValueX, RowKind::kReal, FIELD(camera2.initialRotateDegree),
     kCameraStep, false},
    {"2P Initial Pitch Degree", kLabelX, 340, kValueX, RowKind::kReal, FIELD(camera2.initialPitchDegree),
     kCameraStep, false},
    {"Back", kLabelX, 360, kValueX, RowKind::kBack, 0, 0, false},
};

constexpr PageRow kAmbientRows[] = {
    {"Ambient Alpha", kLabelX, 120, kValueX, RowKind::kByte, FIELD(ambientAlpha), 1, false},
    {"Ambient Red", kLabelX, 140, kValueX, RowKind::kByte, FIELD(ambientRed), 1, false},
    {"Ambient Green", kLabelX, 160, kValueX, RowKind::kByte, FIELD(ambientGreen), 1, false},
    {"Ambient Blue", kLabelX, 180, kValueX, RowKind::kByte, FIELD(ambientBlue), 1, false},
    {"Back", kLabelX, 200, kValueX, RowKind::kBack, 0, 0, false},
};

constexpr float kCV = kCharacterValueX;
constexpr PageRow kCharacterRows[] = {
    {"Character Start Position X", kLabelX, 120, kCV, RowKind::kReal, FIELD(start1.x), 1.0f, false},
    {"Character Start Position Y", kLabelX, 140, kCV, RowKind::kReal, FIELD(start1.y), 1.0f, false},
    {"Character Start Position Z", kLabelX, 160, kCV, RowKind::kReal, FIELD(start1.z), 1.0f, false},
    {"Character Start Front X", kLabelX, 180, kCV, RowKind::kReal, FIELD(start1.frontX), 1.0f, false},
    {"Character Start Front Y", kLabelX, 200, kCV, RowKind::kReal, FIELD(start1.frontY), 1.0f, false},
    {"Character Start Front Z", kLabelX, 220, kCV, RowKind::kReal, FIELD(start1.frontZ), 1.0f, false},
    {"Character Set Bonus", kLabelX, 240, kCV, RowKind::kWhole, FIELD(characterBonus), 1, false},
    {"2P Character Start Position X", kLabelX, 260, kCV, RowKind::kReal, FIELD(start2.x), 1.0f, false},
    {"2P Character Start Position Y", kLabelX, 280, kCV, RowKind::kReal, FIELD(start2.y), 1.0f, false},
    {"2P Character Start Position Z", kLabelX, 300, kCV, RowKind::kReal, FIELD(start2.z), 1.0f, false},
    {"2P Character Start Front X", kLabelX, 320, kCV, RowKind::kReal, FIELD(start2.frontX), 1.0f, false},
    {"2P Character Start Front Y", kLabelX, 340, kCV, RowKind::kReal, FIELD(start2.frontY), 1.0f, false},
    {"2P Character Start Front Z", kLabelX, 360, kCV, RowKind::kReal, FIELD(start2.frontZ), 1.0f, false},
    // One row lower than the step would put it.
    {"Back", kLabelX, 400, kCV, RowKind::kBack, 0, 0, false},
};

constexpr PageRow kFogRows[] = {
    {"Set Fog", kLabelX, 120, 200, RowKind::kOnOff, FIELD(fog), 0, false},
    {"Set Fog Color Alpha:", kLabelX, 140, kValueX, RowKind::kByte, FIELD(fogAlpha), 1, false},
    {"Set Fog Color Red:", kLabelX, 160, kValueX, RowKind::kByte, FIELD(fogRed), 1, false},
    {"Set Fog Color Green:", kLabelX, 180, kValueX, RowKind::kByte, FIELD(fogGreen), 1, false},
    {"Set Fog Color Blue:", kLabelX, 200, kValueX, RowKind::kByte, FIELD(fogBlue), 1, false},
    {"Set Fog Distance:", kLabelX, 220, kValueX, RowKind::kReal, FIELD(fogDistance), 1.0f, false},
    {"Set Fog Time", kLabelX, 240, kValueX, RowKind::kReal, FIELD(fogTime), 1.0f, true},
    // VFog's switch and height share a line.
    {"Enable VFog", kLabelX, 260, 250, RowKind::kONOFF, FIELD(vFog), 0, false},
    {"Set VFog High", 300, 260, 450, RowKind::kReal, FIELD(vFogHigh), 1.0f, false},
    {"Enable Rain", kLabelX, 280, kValueX, RowKind::kRain, FIELD(rain), 0, false},
    {"Back", kLabelX, 300, kValueX, RowKind::kBack, 0, 0, false},
};
// With the fog off the page shows "Set Fog" and, here, "Back".
constexpr float kFogOffBackY = 140.0f;

#undef FIELD

template <size_t N>
constexpr int32_t RowCount(const PageRow (&)[N])
{
    return static_cast<int32_t>(N);
}

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
    case RowKind::kReal: {
        float &value = Field<float>(record, row);
        value += static_cast<float>(direction) * row.step;
        if (row.notBelowZero && value < 0.0f) {
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
bool UpdateRows(CSDevMenu *menu, DevMenuPage page, const PageRow *rows, int32_t count)
{
    const DevMenuPad pad = ReadDevMenuPad();
    if (!pad.Connected()) {
        return false;
    }
    int32_t &cursor = menu->pageCursors[page];
    if (pad.Pressed(kPadUp)) {
        cursor = std::max(cursor - 1, 0);
    }
    if (pad.Pressed(kPadDown)) {
        cursor = std::min(cursor + 1, count - 1);
    }
    cursor = std::clamp(cursor, 0, count - 1);
    const PageRow &row = rows[cursor];
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

void LayoutRows(std::vector<DevMenuText> *texts, const char *title, const StageInfo &record, const PageRow *rows,
                int32_t count, int32_t cursor)
{
    texts->push_back({title, kTitleX, kTitleY, kMenuTextColour});
    for (int32_t i = 0; i < count; ++i) {
        AddRow(texts, record, rows[i], i == cursor);
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
    if (UpdateRows(this, kPageCamera, kCameraRows, RowCount(kCameraRows))) {
        BackToTuningMenu(this, kPageCamera);
    }
}

void CSDevMenu::UpdateCharacterPage()
{
    if (UpdateRows(this, kPageCharacter, kCharacterRows, RowCount(kCharacterRows))) {
        BackToTuningMenu(this, kPageCharacter);
    }
}

void CSDevMenu::UpdateAmbientPage()
{
    if (UpdateRows(this, kPageAmbient, kAmbientRows, RowCount(kAmbientRows))) {
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
    if (UpdateRows(this, kPageFog, kFogRows, RowCount(kFogRows))) {
        LeaveDirectPage(this, kPageFog, [this] { ApplyFog(this); });
    }
}

void CSDevMenu::UpdateParticlePage()
{
    const DevMenuPad pad = ReadDevMenuPad();
    if (!pad.Connected()) {
        return;
    }
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
    LayoutRows(texts, "Stage Camera Setting", tuning, kCameraRows, RowCount(kCameraRows), pageCursors[kPageCamera]);
}

void CSDevMenu::LayoutAmbientPage(std::vector<DevMenuText> *texts) const
{
    LayoutRows(texts, "Stage Ambient Setting", tuning, kAmbientRows, RowCount(kAmbientRows),
               pageCursors[kPageAmbient]);
}

void CSDevMenu::LayoutCharacterPage(std::vector<DevMenuText> *texts) const
{
    LayoutRows(texts, "Stage Character Position Setting", tuning, kCharacterRows, RowCount(kCharacterRows),
               pageCursors[kPageCharacter]);
}

void CSDevMenu::LayoutFogPage(std::vector<DevMenuText> *texts) const
{
    const int32_t cursor = pageCursors[kPageFog];
    if (tuning.fog != 0) {
        LayoutRows(texts, "Stage Fog ON or OFF", tuning, kFogRows, RowCount(kFogRows), cursor);
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
