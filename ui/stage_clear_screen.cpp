// The stage clear screen (see stage_clear_screen.h). Coordinates are of
// the 640 x 480 interface screen; CLEAR's sources are in its pixels (512
// wide, 256 high), the others' in 512ths.
#include "ui/stage_clear_screen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/clock.h"
#include "app/game_rand.h"
#include "app/pack.h"
#include "app/textures.h"
#include "ui/save_game_panel.h"
#include "ui/save_slot_view.h"
#include "ui/stage_rating.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"
#include "ui/ui_text_blocks.h"
#include "ui/ui_trace.h"

namespace {

constexpr float kClearWidth = 512.0f;
constexpr float kClearHeight = 256.0f;
constexpr UIPlaced kRankBase = {{50, 0, 480, 470}, {2, 2, 510, 510}};
constexpr uint32_t kResultsShade = 100u << 24;  // black at alpha 100
constexpr float kHeroPictureOffset = 330.0f;      // the ranking's places, moved right

// Where each stage slot lies on the base map.
struct Point {
    float x, y;
};
constexpr Point kRoutePoint[CSStageClear::kRoutePoints] = {
    {56, 219},  {101, 242}, {99, 187},  {144, 221}, {173, 276}, {173, 191}, {159, 153}, {202, 233},
    {187, 119}, {244, 247}, {227, 147}, {285, 218}, {327, 169}, {311, 239}, {406, 181}, {489, 128},
    {358, 252}, {399, 273}, {446, 273}, {402, 313}, {374, 354}, {446, 316}, {302, 363}, {489, 317},
    {228, 337}, {482, 358}, {535, 319}, {508, 394}, {556, 360},
};
constexpr UIRect kMarkerSource = {477, 208, 511, 255};

// The labels and title of CLEAR: [label][language 0, others].
constexpr UIPlaced kClearLabels[5][2] = {
    {{{99, 117, 221, 141}, {235, 1, 357, 25}}, {{99, 120, 276, 138}, {197, 1, 374, 19}}},
    {{{99, 146, 221, 170}, {207, 29, 329, 53}}, {{99, 149, 235, 167}, {197, 20, 333, 38}}},
    {{{99, 176, 192, 200}, {417, 1, 510, 25}}, {{99, 178, 219, 196}, {356, 209, 476, 227}}},
    {{{99, 206, 172, 230}, {207, 54, 280, 78}}, {{99, 207, 220, 225}, {375, 1, 496, 19}}},
    {{{293, 80, 396, 102}, {207, 79, 310, 101}}, {{298, 80, 412, 99}, {339, 79, 453, 98}}},
};

// The heroes' names, centred on (271, 61): [language 0, others][hero].
constexpr UIRect kHeroNames[2][2] = {
    {{104, 142, 250, 169}, {177, 1, 234, 28}},
    {{1, 1, 196, 39}, {210, 102, 296, 140}},
};
constexpr float kNameCentreX = 271.0f;
constexpr float kNameCentreY = 61.0f;

// The final grade letters by grade.
constexpr UIRect kClearChiGradeScreen = {156, 273, 320, 347};
constexpr UIRect kClearChiGradeSources[kGradeCount] = {
    {1, 123, 103, 169}, {104, 76, 206, 122}, {1, 76, 103, 122}, {104, 29, 206, 75}, {1, 29, 103, 75}};
constexpr UIPlaced kClearEngGrades[kGradeCount] = {
    {{196, 288, 280, 346}, {125, 102, 209, 160}}, {{168, 293, 319, 331}, {339, 40, 490, 78}},
    {{167, 285, 306, 326}, {1, 40, 140, 101}},    {{197, 285, 320, 343}, {1, 102, 124, 160}},
    {{145, 279, 342, 337}, {141, 40, 338, 98}}};

// The numbers: right-aligned to x = 410, cells 15 wide every 16; the
// digits 0..9 and the colon (10) from the base cell of the language.
constexpr float kClearNumberRight = 410.0f;
constexpr float kCharStep = 16.0f;
constexpr float kCharWidth = 15.0f;
constexpr float kCharHeight = 18.0f;
constexpr Point kDigitBase[2] = {{1, 1}, {334, 20}};
constexpr float kClearTimeTop = 120.0f;
constexpr float kGradedTop = 150.0f;
constexpr float kHitsTop = 178.0f;


void DrawClear(const UIPlaced &placed, const RwTexture *clear, uint32_t argb = kUIPictureColour)
{
    DrawPlaced(placed, clear, argb, kClearWidth, kClearHeight);
}

}  // namespace

CSStageClear::CSStageClear() = default;

CSStageClear::~CSStageClear() { Release(); }

void CSStageClear::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    CSUIManager *ui = g_pUIManager;
    if (on == 0) {
        pictures.Close();
        for (CSTextBlock *&block : texts) {
            GiveBackTextBlock(block);
        }
        savePanel.reset();
        ReleaseTextures();
        playerArt = wordArt = baseMap = nullptr;
        return;
    }
    phase = kRoute;
    routeMs = transitionMs = letterMs = kStopped;
    for (CSTextBlock *&block : texts) {
        block = AcquireTextBlock();
    }
    if (savePanel == nullptr) {
        savePanel = std::make_unique<CSSaveGame>();
    }
    LoadPictures();
    playerArt = ui->PlayerArt();
    wordArt = ui->WordArt();
    baseMap = ui->BaseMap();
    pictures.Start(Hero());
    finalGrade = FinalGrade(ui->heroBlock.grades, &stagesGraded);
    playSeconds = ui->progress.playTimeMs / 1000;
    bestHits = ui->progress.bestHitCount;
    TraceFinalGrade(finalGrade, stagesGraded);
    const std::string movie =
        std::string(UIDataRoot()) + (UILanguage() == 0 ? "\\CHIUIMV\\" : "\\ENGUIMV\\") + "END.BIK";
    UI().playMovie(movie.c_str());
    TraceEndingMovie("END.BIK");
}

void CSStageClear::LoadPictures()
{
    const bool packed = g_pUIManager->OpenInterfacePack("CLEAR");
    const std::string folder = std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\CLEAR";
    RwImageSetPath((folder + "\\").c_str());
    if (baseArt == nullptr) {
        baseArt = LoadTextureWithMask("RANKBAS.BMP", "RANKBASA.BMP");
    }
    RwImageSetPath((folder + UILanguageFolder()).c_str());
    if (clearArt == nullptr) {
        clearArt = LoadTextureWithMask("CLEAR.BMP", "CLEARA.BMP");
    }
    if (packed) {
        zuClosePack();
    }
}

int32_t CSStageClear::Hero() const { return g_pUIManager->heroBlock.heroType > 0 ? 1 : 0; }

void CSStageClear::Update() { Update(UIFrameMs()); }

void CSStageClear::Update(uint32_t /*ms*/)
{
    if (active == 0) {
        return;
    }
    if (phase == kSavePanel) {
        if (savePanel != nullptr && savePanel->active != 0) {
            savePanel->Update();
        }
        return;
    }
    pictures.LoadPictures();
    pictures.ReadPiece();
    if (ReadSlotInput().confirm) {
        Confirm();
    }
}

void CSStageClear::Confirm()
{
    CSUIManager *ui = g_pUIManager;
    switch (phase) {
    case kRoute:
        if (UI().isMoviePlaying()) {
            UI().stopMovie();
            TraceEndingMovie("stop");
        } else {
            phase = kWipe;
            transitionMs = 0;
            ui->PlayUISound(kUISoundConfirm, 0);
        }
        break;
    case kResults:
        ui->PlayUISound(kUISoundConfirm, 0);
        phase = kSavePanel;
        g_saveReturnToTitle = 1;
        if (savePanel != nullptr) {
            savePanel->SetActive(1);
        }
        break;
    default: break;
    }
}

int32_t CSStageClear::RoutePointsShown(uint32_t ms, int32_t slots[kRoutePoints]) const
{
    const CarriedProgress &progress = g_pUIManager->progress;
    // The word before the cleared-stage list (always 0: the start) and the list.
    uint32_t entries[kRoutePoints];
    entries[0] = progress.clearedWord;
    std::copy_n(progress.clearedList, kRoutePoints - 1, entries + 1);
    const uint32_t last = std::min(ms / kMarkerStepMs, kRoutePoints - 1);
    int32_t count = 0;
    for (uint32_t i = 0; i <= last; ++i) {
        // An empty entry after the start ends the route, and so does one
        // that is no stage slot.
        if ((i > 0 && entries[i] == 0) || entries[i] >= kRoutePoints) {
            break;
        }
        slots[count++] = static_cast<int32_t>(entries[i]);
    }
    return count;
}

void CSStageClear::Render()
{
    if (active == 0) {
        return;
    }
    if (phase == kSavePanel) {
        if (savePanel != nullptr && savePanel->active != 0) {
            DrawPlaced({kUIScreen, kUIWholePicture}, baseMap);
            savePanel->Render();
        }
        return;
    }
    if (UI().isMoviePlaying()) {
        return;
    }
    if (phase == kRoute || phase == kWipe) {
        DrawRoute();
    } else if (phase == kResults) {
        DrawResults();
    }
    g_pUIManager->DrawShadeRect(0, 410, 640, 445);
    g_pUIManager->DrawKeyPrompts(1);
    DrawTransition();
}

void CSStageClear::DrawRoute()
{
    routeMs = routeMs == kStopped ? 0 : routeMs + UIFrameMs();
    DrawPlaced({kUIScreen, kUIWholePicture}, baseMap);
    int32_t slots[kRoutePoints];
    const int32_t count = RoutePointsShown(routeMs, slots);
    for (int32_t i = 0; i < count; ++i) {
        const Point &p = kRoutePoint[slots[i]];
        const uint32_t alpha = std::min<uint32_t>(routeMs - kMarkerStepMs * static_cast<uint32_t>(i), 255);
        DrawClear({{p.x - 17, p.y - 23, p.x + 17, p.y + 24}, kMarkerSource}, clearArt, PictureArgb(alpha));
    }
}

void CSStageClear::DrawTransition()
{
    if (transitionMs == kStopped) {
        return;
    }
    if (phase == kWipe && transitionMs < kWipeMs) {
        // Black streaks from the left, each row its own length.
        game::Srand(timeGetTime() % 100);
        const float reach = 1.4f * static_cast<float>(transitionMs);
        for (int y = 0; y < 480; ++y) {
            const float w = std::min(reach + static_cast<float>(game::Rand() % 120 - 60), 640.0f);
            DrawUntexturedRect({0, static_cast<float>(y), w, static_cast<float>(y + 1)}, 0xFF000000u);
        }
        transitionMs += UIFrameMs();
        return;
    }
    if (phase == kWipe) {
        pictures.FinishReading();
        pictures.LoadPictures();
        phase = kResults;
        transitionMs = 0;
        DrawUntexturedRect(kUIScreen, 0xFF000000u);
        return;
    }
    const uint32_t alpha = 255 - std::min<uint32_t>(transitionMs * 255 / kRevealMs, 255);
    DrawUntexturedRect(kUIScreen, alpha << 24);
    if (alpha == 0) {
        letterMs = 0;
        transitionMs = kStopped;
        return;
    }
    transitionMs += UIFrameMs();
}

void CSStageClear::DrawResults()
{
    const int language = UILanguageColumn();
    DrawUntexturedRect(kUIScreen, kResultsShade);
    DrawPlaced(kRankBase, baseArt);
    for (const auto &label : kClearLabels) {
        DrawClear(label[language], clearArt);
    }
    const UIRect &name = kHeroNames[language][Hero()];
    const float w = name.x1 - name.x0;
    const float h = name.y1 - name.y0;
    const float left = kNameCentreX - static_cast<float>(static_cast<int32_t>(w) / 2);
    const float top = kNameCentreY - static_cast<float>(static_cast<int32_t>(h) / 2);
    DrawClear({{left, top, left + w, top + h}, name}, clearArt);
    pictures.Draw(Hero(), WornWeaponId(), kHeroPictureOffset, kUIPictureColour);
    char text[32];
    FormatPlayTime(playSeconds, kMaxHours, true, text, sizeof text);
    DrawNumber(text, kClearTimeTop);
    std::snprintf(text, sizeof text, "%u", stagesGraded);
    DrawNumber(text, kGradedTop);
    std::snprintf(text, sizeof text, "%u", bestHits);
    DrawNumber(text, kHitsTop);
    if (letterMs != kStopped) {
        const uint32_t alpha = std::min<uint32_t>(letterMs * 255 / kLetterMs, 255);
        const uint32_t g = std::min(finalGrade, kGradeCount - 1);
        const UIPlaced letter = language == 0 ? UIPlaced{kClearChiGradeScreen, kClearChiGradeSources[g]} : kClearEngGrades[g];
        DrawClear(letter, clearArt, PictureArgb(alpha));
        if (letterMs < kLetterMs) {
            letterMs += UIFrameMs();
        }
    }
}

void CSStageClear::DrawNumber(const char *text, float top) const
{
    const Point &base = kDigitBase[UILanguageColumn()];
    const size_t n = std::strlen(text);
    float x = kClearNumberRight - kCharStep * static_cast<float>(n);
    for (size_t i = 0; i < n; ++i, x += kCharStep) {
        const int c = text[i] == ':' ? 10 : text[i] - '0';
        if (c < 0 || c > 10) {
            continue;
        }
        const float u = base.x + kCharStep * static_cast<float>(c);
        DrawClear({{x, top, x + kCharWidth, top + kCharHeight}, {u, base.y, u + kCharWidth, base.y + kCharHeight}},
                  clearArt);
    }
}

void CSStageClear::ReleaseTextures()
{
    DestroyTexture(clearArt);
    DestroyTexture(baseArt);
    clearArt = baseArt = nullptr;
    pictures.ReleasePictures();
}

void CSStageClear::Release()
{
    pictures.Release();
    for (CSTextBlock *&block : texts) {
        GiveBackTextBlock(block);
    }
    savePanel.reset();
    ReleaseTextures();
}
