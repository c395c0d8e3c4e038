// The pause menu (see pause_menu.h).
#include "ui/pause_menu.h"

#include <algorithm>
#include <string>

#include "app/application.h"
#include "app/debug.h"
#include "app/textures.h"
#include "rwd3d8raster.h"
#include "ui/game_play_screen.h"
#include "ui/status_tab_kit.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"
#include "ui/ui_trace.h"

CSPauseMenu *g_pReturnQuestionMenu = nullptr;

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr uint32_t kUISoundResume = 6600050;
constexpr uint32_t kUISoundQuestion = 6600070;
constexpr int32_t kReturnQuestionWord = 2;
constexpr uint8_t kCursorAlpha = 255;
constexpr uint8_t kOtherEntryAlpha = 150;
constexpr float kArrowWidth = 55.0f;
constexpr float kArrowSource[4] = {455, 47, 510, 91};

struct PlacedPicture {
    UIRect screen;
    UIRect source;  // WORD pixels
};
// [language set][0 the title, 1..4 the entries]
constexpr PlacedPicture kMenuPictures[2][5] = {
    {{{260, 86, 342, 108}, {4, 466, 168, 510}},
     {{228, 135, 372, 169}, {6, 4, 294, 72}},
     {{228, 190, 372, 224}, {6, 74, 294, 142}},
     {{228, 245, 372, 279}, {6, 142, 294, 210}},
     {{228, 300, 372, 334}, {106, 384, 292, 440}}},
    {{{243, 86, 361, 107}, {2, 464, 238, 506}},
     {{209, 135, 408, 169}, {2, 2, 400, 70}},
     {{168, 190, 422, 224}, {2, 72, 510, 140}},
     {{252, 245, 352, 279}, {2, 142, 202, 210}},
     {{175, 300, 448, 334}, {204, 156, 510, 210}}},
};

// Languages 2 to 14 take the language-1 pictures.

// The rectangle of a trail's arrow at entry i: right of the entry picture
// (side 0) or left of it (side 1).
UIRect ArrowRect(int side, int32_t entry)
{
    const UIRect &e = kMenuPictures[UILanguageColumn()][1 + entry].screen;
    const float top = 121.0f + 55.0f * static_cast<float>(entry);
    return side == 0 ? UIRect{e.x1, top, e.x1 + kArrowWidth, top + 55.0f}
                     : UIRect{e.x0 - kArrowWidth, top, e.x0, top + 55.0f};
}

void ReturnToTitleAnswer(uint32_t choice, uint32_t)
{
    if (g_pReturnQuestionMenu != nullptr) {
        g_pReturnQuestionMenu->OnReturnToTitleAnswer(choice);
    }
}

RwTexture *OverlayBase() { return g_pGamePlay != nullptr ? g_pGamePlay->BaseTexture() : nullptr; }

}  // namespace

CSPauseMenu::CSPauseMenu() = default;

CSPauseMenu::~CSPauseMenu()
{
    ReleasePages();
    if (g_pReturnQuestionMenu == this) {
        g_pReturnQuestionMenu = nullptr;
    }
}

void CSPauseMenu::BuildPictures()
{
    const int32_t set = UILanguageColumn();
    background_.SetUV(OverlayBase(), 0, 0, 1, 1, 0, 0, 640, 480, kOpaqueWhite);
    const PlacedPicture &t = kMenuPictures[set][0];
    title_.Set(wordArt_, t.source.x0, t.source.y0, t.source.x1, t.source.y1, t.screen.x0, t.screen.y0, t.screen.x1,
               t.screen.y1, kOpaqueWhite);
    for (int i = 0; i < kEntries; ++i) {
        const PlacedPicture &e = kMenuPictures[set][1 + i];
        entries_[i].Set(wordArt_, e.source.x0, e.source.y0, e.source.x1, e.source.y1, e.screen.x0, e.screen.y0,
                        e.screen.x1, e.screen.y1, kOpaqueWhite);
    }
    RwTexture *player = g_pUIManager != nullptr ? g_pUIManager->PlayerArt() : nullptr;
    for (int side = 0; side < 2; ++side) {
        for (Arrow &arrow : arrows_[side]) {
            // The left-hand arrows are the right-hand ones mirrored.
            const float s0 = side == 0 ? kArrowSource[0] : kArrowSource[2];
            const float s1 = side == 0 ? kArrowSource[2] : kArrowSource[0];
            arrow.picture.Set(player, s0, kArrowSource[1], s1, kArrowSource[3], 0, 0, 0, 0, kOpaqueWhite);
            PlaceArrow(side, &arrow);
        }
    }
}

void CSPauseMenu::Open()
{
    if (open_) {
        return;
    }
    open_ = true;
    TraceMenuOpen(true);
    if (UI().pauseMusic != nullptr) {
        UI().pauseMusic();
    }
    PlayTabSound(kUISoundConfirm);
    wordArt_ = g_pUIManager != nullptr ? g_pUIManager->WordArt() : nullptr;
    mapBasePack_.Close();
    if (mapPage_ == nullptr) {
        mapPage_ = std::make_unique<CSStageMapPage>();
    }
    if (statusPage_ == nullptr) {
        statusPage_ = std::make_unique<CSCharacterPage>();
        statusPage_->Init(kStatusPagePauseMode);
    }
    if (UI().reloadSceneCamera != nullptr) {
        UI().reloadSceneCamera();
    }
    // The last closing put the cursor and its trail back on resume, with no
    // page shown.
    BuildPictures();
    mapBasePack_.Request(std::string(UIDataRoot()) + "\\PACK\\PAUSE\\MAPBASE.STR");
}

void CSPauseMenu::Close()
{
    if (!open_) {
        return;
    }
    open_ = false;
    TraceMenuOpen(false);
    if (UI().resumeMusic != nullptr) {
        UI().resumeMusic();
    }
    cursor_ = 0;
    for (int side = 0; side < 2; ++side) {
        for (Arrow &arrow : arrows_[side]) {
            arrow.from = arrow.to = 0;
            arrow.elapsed = 0.0f;
            arrow.moving = 0;
            PlaceArrow(side, &arrow);
        }
    }
    pageOpen_ = false;
    shownPage_ = -1;
    ReleasePages();
}

void CSPauseMenu::ReleasePages()
{
    statusPage_.reset();
    mapPage_.reset();
    DestroyTexture(mapBase_);
    mapBase_ = nullptr;
    mapBasePack_.CloseOpenedPack();
    mapBasePack_.Close();
}

void CSPauseMenu::LoadMapBase()
{
    if (!mapBasePack_.Complete()) {
        return;
    }
    if (mapBasePack_.Buffer()->fileSize == 0) {
        DebugPrint("%s is empty: the status page goes on without it\n", mapBasePack_.Path().c_str());
    } else if (mapBasePack_.OpenPack()) {
        RwImageSetPath((std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\PAUSE\\").c_str());
        if (mapBase_ == nullptr) {
            mapBase_ = LoadTextureWithMask("MAPBASE.BMP", "MAPBASEA.BMP");
        }
        RwImageSetPath("");
        mapBasePack_.CloseOpenedPack();
    }
    mapBasePack_.Close();
}

// ---- The cursor's trail

void CSPauseMenu::PlaceArrow(int side, Arrow *arrow) const
{
    const UIRect a = ArrowRect(side, arrow->from);
    const UIRect b = ArrowRect(side, arrow->to);
    float t = 1.0f;
    if (arrow->moving != 0) {
        const float travel = kTravelSeconds / arrow->speed;
        t = std::min(arrow->elapsed / travel, 1.0f);
    }
    UIPicture &p = arrow->picture.picture;
    p.left = a.x0 + (b.x0 - a.x0) * t;
    p.top = a.y0 + (b.y0 - a.y0) * t;
    p.right = a.x1 + (b.x1 - a.x1) * t;
    p.bottom = a.y1 + (b.y1 - a.y1) * t;
    p.Place();
}

void CSPauseMenu::MoveCursor(int32_t entry, float speed)
{
    for (int side = 0; side < 2; ++side) {
        for (int k = 0; k < kTrailCopies; ++k) {
            Arrow &arrow = arrows_[side][k];
            arrow.from = arrow.to;
            arrow.to = entry;
            arrow.elapsed = 0.0f;
            arrow.speed = speed - static_cast<float>(k) * (speed - 0.1f) / static_cast<float>(kTrailCopies);
            arrow.moving = 1;
            PlaceArrow(side, &arrow);
        }
    }
}

void CSPauseMenu::StepCursor(float seconds)
{
    for (int side = 0; side < 2; ++side) {
        for (Arrow &arrow : arrows_[side]) {
            if (arrow.moving == 0) {
                continue;
            }
            arrow.elapsed += seconds;
            if (arrow.elapsed >= kTravelSeconds / arrow.speed) {
                arrow.moving = 0;
                arrow.from = arrow.to;
            }
            PlaceArrow(side, &arrow);
        }
    }
}

// ---- The frame

void CSPauseMenu::Update(float seconds)
{
    if (!open_) {
        return;
    }
    const bool loadingFlag = g_pUIManager != nullptr && g_pUIManager->GetLoadingFlag() != 0;
    if (!mapBasePack_.InProgress() && !mapBasePack_.Complete() && loadingFlag) {
        if (UI().reloadSceneCamera != nullptr) {
            UI().reloadSceneCamera();
        }
    } else {
        LoadMapBase();
        mapBasePack_.Step();
    }

    if (pageOpen_) {
        if (g_pUIManager != nullptr && g_pUIManager->IsBaseMapCovering()) {
            return;
        }
        if (shownPage_ == kPauseStatus && statusPage_ != nullptr && statusPage_->IsActive()) {
            statusPage_->Update(seconds);
            return;
        }
        if (shownPage_ == kPauseMap && mapPage_ != nullptr && mapPage_->active != 0) {
            mapPage_->Update();
            return;
        }
        // (While the return question shows, the manager updates no screen:
        // its answer closes the page.) The status or map page has closed.
        pageOpen_ = false;
        shownPage_ = -1;
        TracePage("closed");
        if (g_pUIManager != nullptr) {
            g_pUIManager->StartBaseMapReveal();
        }
        return;
    }

    StepCursor(seconds);
    const PadState &pad = InterfacePad();
    if (pad.connected == 0) {
        return;
    }
    if (pad.buttons[kPadUp] == kPadPressedState || pad.buttons[kPadDown] == kPadPressedState) {
        const bool up = pad.buttons[kPadUp] == kPadPressedState;
        cursor_ = up ? (cursor_ == 0 ? kEntries - 1 : cursor_ - 1) : (cursor_ == kEntries - 1 ? 0 : cursor_ + 1);
        MoveCursor(cursor_, 1.0f);
        TraceMenuEntry(cursor_);
        PlayTabSound(kUISoundMove);
    } else if (ConfirmPressed(pad) || UIMousePressed()) {
        Select();
    } else if (BackPressed(pad)) {
        Close();
    }
}

void CSPauseMenu::Select()
{
    if (arrows_[0][0].moving != 0) {
        return;  // the cursor is still on its way
    }
    switch (cursor_) {
    case kPauseResume:
        PlayTabSound(kUISoundResume);
        Close();
        break;
    case kPauseStatus:
        mapBasePack_.Finish();
        LoadMapBase();
        if (g_pUIManager != nullptr) {
            g_pUIManager->StartBaseMapReveal();
        }
        PlayTabSound(kUISoundConfirm);
        statusPage_->SetBackground(mapBase_);
        statusPage_->SetActive(1);
        pageOpen_ = true;
        shownPage_ = kPauseStatus;
        TracePage("status");
        break;
    case kPauseMap:
        if (g_pUIManager != nullptr) {
            g_pUIManager->StartBaseMapReveal();
        }
        PlayTabSound(kUISoundConfirm);
        mapPage_->SetActive(1, UI().stageId != nullptr ? UI().stageId() : 0);
        pageOpen_ = true;
        shownPage_ = kPauseMap;
        TracePage("map");
        break;
    case kPauseToTitle:
        pageOpen_ = true;
        shownPage_ = kPauseToTitle;
        TracePage("question");
        if (g_pUIManager != nullptr) {
            g_pReturnQuestionMenu = this;
            g_pUIManager->ShowModalBox(g_pUIManager->words.Word(kReturnQuestionWord), ReturnToTitleAnswer,
                                       OverlayBase(), 0);
        }
        PlayTabSound(kUISoundQuestion);
        break;
    default:
        break;
    }
}

void CSPauseMenu::OnReturnToTitleAnswer(uint32_t choice)
{
    // The answer reaches only the menu that asked: its question is over.
    g_pReturnQuestionMenu = nullptr;
    TracePage("closed");
    if (choice != 1) {
        // No: back to the menu, the cursor still on the question's entry.
        pageOpen_ = false;
        shownPage_ = -1;
        return;
    }
    // Yes: the closing takes the question away with the menu.
    Close();
    if (UI().requestStageExit != nullptr) {
        UI().requestStageExit();
    }
}

bool CSPauseMenu::CoversScreen() const
{
    const UIPicture &picture = background_.picture;
    if (!open_ || picture.texture == nullptr || RwD3D8TextureHasAlpha(picture.texture)) {
        return false;
    }
    if (picture.left > 0.0f || picture.top > 0.0f || picture.right < 640.0f || picture.bottom < 480.0f) {
        return false;
    }
    for (const RwIm2DVertex &corner : background_.quad.v) {
        if ((corner.emissiveColor >> 24) != 0xFFu) {
            return false;
        }
    }
    return true;
}

void CSPauseMenu::DrawPromptBar(uint8_t mask) const { DrawTabFooter(mask); }

void CSPauseMenu::Render()
{
    if (!open_) {
        return;
    }
    CursorRequest = 1;
    // The stage's fog is no part of the menu.
    void *fog = nullptr;
    RwGetRenderState(rwRENDERSTATEFOGENABLE, &fog);
    if (fog != nullptr) {
        RwSetRenderState(rwRENDERSTATEFOGENABLE, nullptr);
    }
    background_.picture.Draw();
    if (pageOpen_) {
        if (shownPage_ == kPauseStatus && statusPage_ != nullptr && statusPage_->IsActive()) {
            statusPage_->Render();
        } else if (shownPage_ == kPauseMap && mapPage_ != nullptr && mapPage_->active != 0) {
            mapPage_->Render();
            DrawPromptBar(2);
        } else if (shownPage_ == kPauseToTitle) {
            entries_[kPauseToTitle].picture.Draw();
            DrawPromptBar(3);
        }
    } else {
        title_.picture.Draw();
        for (int i = 0; i < kEntries; ++i) {
            SetQuadAlpha(entries_[i].quad.v, i == cursor_ ? kCursorAlpha : kOtherEntryAlpha);
            entries_[i].picture.Draw();
        }
        for (int side = 0; side < 2; ++side) {
            for (int k = kTrailCopies - 1; k >= 0; --k) {
                Arrow &arrow = arrows_[side][k];
                if (arrow.moving == 0 && k != 0) {
                    continue;
                }
                SetQuadAlpha(arrow.picture.quad.v, static_cast<uint8_t>(255 - (205 - 41 * k)));
                arrow.picture.picture.Draw();
            }
        }
        DrawPromptBar(3);
    }
    if (fog != nullptr) {
        RwSetRenderState(rwRENDERSTATEFOGENABLE, fog);
    }
}
