// CSUIManager, the screen manager: the game's mode machine and the owner
// of what the screens share. It holds one object per screen (numbers 1 to
// 17, see screen_numbers.h; 5 has none), switches between them by number
// and ticks and draws the current one, and keeps what outlives a screen:
// the colour fade, letterbox bars and base-map fade (ui_fade.cpp), the
// interface sounds and music (ui_sound.cpp), the modal box, key prompts,
// word table and icon tables (ui_boxes.cpp), the shared interface
// textures (ui_textures.cpp), the monsters' health bars (ui_hud_bars.cpp),
// the stage ids and the stage play clock, and the carried progress and
// hero blocks (ui_progress.cpp).
//
// A request takes effect at the start of the next Update: the old screen
// is deactivated (freeing its textures), the new one activated (loading
// them), and that frame runs neither the new screen's update nor the fade
// step. While the modal box is open only the box is updated.
//
// Screens are plain classes dispatched by a switch on the number
// (ui_screens.cpp); there is one manager, reached through g_pUIManager.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/pad_state.h"
#include "actor/save_file.h"
#include "stage/stage_paths.h"
#include "ui/icon_tables.h"
#include "ui/screen_numbers.h"
#include "ui/ui_quad.h"
#include "ui/word_table.h"

class AiObject;
class CSTextBlock;
class CSWarning;
class CSPublisherLogo;
class CSMakerLogo;
class CSStillLogo;
class CSOpeningMovie;
class CSTitle;
class CSSelectCharacter;
class CSSaveLoad;
class CSLobby;
class CSEnterStage;
class CSGamePlay;
class CSGameOver;
class CSStageEnd;
class CSRanking;
class CSOption;
class CSStageClear;
struct RwTexture;
struct RawFileBuffer;

struct UISoundPair {
    uint32_t id;
    uint32_t handle;
};

struct UISettings {
    float musicVolume = 1.0f;
    float soundVolume = 1.0f;
    uint8_t flag = 1;
};

// The modal box's callback: (choice, context).
typedef void (*UIModalCallback)(uint32_t choice, uint32_t context);

inline constexpr int kUISounds = 25;
inline constexpr uint32_t kUIFirstSoundId = 6600000;
inline constexpr uint32_t kUILastSoundId = 6600240;
inline constexpr uint32_t kUISoundMove = 6600010;
inline constexpr uint32_t kUISoundConfirm = 6600060;
inline constexpr uint32_t kUISoundCancel = 6600000;
inline constexpr uint32_t kUINoTimer = 0xFFFFFFFFu;
inline constexpr uint32_t kUINoMusic = 0xFFFFFFFFu;
inline constexpr int kHudActorLimit = 100;
inline constexpr int kPromptTexts = 9;
inline constexpr uint32_t kExtraStageAbsent = 2;

class CSUIManager {
public:
    CSUIManager();
    ~CSUIManager();
    CSUIManager(const CSUIManager &) = delete;
    CSUIManager &operator=(const CSUIManager &) = delete;

    // ---- Life and tick (ui_manager.cpp) ----
    // One frame of `ms`; the new screen's number in a switch frame, 0 while
    // the modal box is open, else the requested number.
    int32_t Update(uint32_t ms);
    // One frame with the game system's frame time.
    int32_t Update();
    void Render();
    // Stores the request; 5 and numbers outside 1..17 are ignored.
    void RequestModule(uint32_t number);
    // Carries out a pending switch at once; true when it switched.
    bool SwitchModule();
    void CheckHoldToTitle(uint32_t ms);
    uint32_t CurrentScreen() const { return currentScreen_; }
    uint32_t RequestedScreen() const { return requestedScreen_; }
    // `--screen N`: the start-up loads of the screens before N, then N at once.
    void StartAtScreen(uint32_t number);

    // ---- Stage ids, progress and the clock (ui_progress.cpp) ----
    void SetStageId(uint32_t id) { stageIdToEnter_ = id; }
    uint32_t GetStageId() const { return stageIdToEnter_; }
    void SetLastStageId(int32_t numberOrId);
    uint32_t GetLastStageId() const { return lastStageId_; }
    // Message entry 22's name of the stage, null for an id not in the table.
    const char16_t *GetStageName(int32_t id) const;
    int32_t MarkStageCleared(int32_t number);
    int32_t SetStageFlag(int32_t number, uint8_t value);
    void ApplyCarriedState();
    void CheckExtraStages();
    uint32_t ExtraStageAvailability(int i) const { return extraStages_[i]; }
    void AddStageTime(uint32_t ms);
    void ResetStageClock();
    uint32_t GetStageTime() const { return stagePlayMs_; }
    uint32_t GetLastStageTime() const { return lastStagePlayMs_; }
    void CopyHeroBestCounter();
    void CopyHeroValue();
    int32_t GetStageBestValue() const { return heroBestCounter_; }
    int32_t GetStageMoneyValue() const { return heroStageValue_; }
    void MarkStartValue() { startMark_ = 0; }
    uint32_t GetStartValue() const { return startMark_; }
    uint8_t GetUnlockFlag() const { return unlockFlag_; }
    void SetUnlockFlag(uint8_t value) { unlockFlag_ = value; }
    // The blocks' new-game values.
    void ResetHeroBlock() { heroBlock = NewGameHero(); }
    void ClearProgressBlock() { progress = NewGameProgress(); }
    // The byte that is set while a stage loads behind the loading screen
    // (and while a scene holds it): the events wait for it to clear.
    void SetLoadingFlag() { loadingFlag_ = 1; }
    void ClearLoadingFlag() { loadingFlag_ = 0; }
    uint8_t GetLoadingFlag() const { return loadingFlag_; }

    // The pad the screens read (-1: none chosen).
    int32_t GetUIPad() const { return uiPad_; }
    void SetUIPad(int32_t pad) { uiPad_ = pad; }

    // ---- Forwards to the in-game overlay (nothing without one) ----
    void OpenPauseMenu(int32_t page);
    uint8_t IsPauseMenuOpen() const;
    // True while the screen shown hides the whole stage scene drawn before
    // it (the pause menu over its opaque background, the game-over picture):
    // the stage need not be drawn.
    bool HidesStage() const;
    RwTexture *GetHudTexture() const;
    void UpdateHitCounter();
    void ShowMoneyGain(int32_t amount);
    void ResetStageHUD();
    void RequestBossGauge();
    // The overlay's item popup: Show (flag, item id) and whether it shows.
    void ShowItemPopup(uint8_t flag, int32_t itemId);
    bool IsItemPopupShown() const;

    // ---- Health bars (ui_hud_bars.cpp) ----
    void AddHudActor(AiObject *actor);
    void DrawHudBars();
    bool DrawHudBar(AiObject *actor);
    // The bar's placing, apart from the actor: the projected top of the
    // actor (camera space) and its health. False when no bar shows.
    bool PlaceHudBar(const RwV3d &cameraPoint, float hitTimer, int32_t life, int32_t maxLife);
    // Where the last bar placed would have stood before the screen's edges
    // held it (its frame's top left, 640 x 480 units).
    float HudBarUnclampedX() const { return hudBarUnclamped_[0]; }
    float HudBarUnclampedY() const { return hudBarUnclamped_[1]; }
    int32_t HudActorCount() const { return hudActorCount_; }
    const UIQuad &HudFrameQuad() const { return *hudFrame_; }
    const UIQuad &HudFillQuad() const { return *hudFill_; }

    // ---- Fades and letterbox (ui_fade.cpp) ----
    void StartFade(uint32_t argb, uint32_t ms);
    void StartFadeIn(uint32_t argb, uint32_t ms);
    uint8_t IsFading() const { return fadeShown_ ? 1 : 0; }
    // A colour fade is counting (not merely still drawn).
    bool IsFadeRunning() const { return fadeRunning_; }
    bool HasFadeOutTimer() const { return fadeOutElapsed_ != kUINoTimer; }
    void StepFade(uint32_t ms);
    void DrawFade();
    uint32_t FadeAlpha() const { return fadeQuad_->v[0].emissiveColor >> 24; }
    const UIQuad &FadeQuad() const { return *fadeQuad_; }
    // The fade is drawn this frame at full alpha over all of a width x height frame.
    bool FadeCovers(float width, float height) const;
    void ShowLetterbox(int32_t ms);
    void HideLetterbox(int32_t ms);
    void StepLetterbox(uint32_t ms);
    void DrawLetterbox();
    bool IsLetterboxOn() const { return letterboxOn_; }
    const UIQuad &LetterboxQuad(int i) const { return i == 0 ? *letterboxTop_ : *letterboxBottom_; }
    void StartBaseMapReveal() { baseMapRevealMs_ = 0; }
    void StartBaseMapCover() { baseMapCoverMs_ = 0; }
    // Each phase of the base-map fade lasts this long.
    static constexpr uint32_t kBaseMapPhaseMs = 500;
    bool IsBaseMapCovering() const { return baseMapCoverMs_ < kBaseMapPhaseMs; }
    bool IsBaseMapRevealing() const { return baseMapRevealMs_ < kBaseMapPhaseMs; }
    void DrawBaseMapFade(uint32_t ms);
    void DrawBaseMapFade();

    // ---- Interface sounds and music (ui_sound.cpp) ----
    void InitUISoundIds();
    void LoadUISounds();
    void ReleaseUISounds();
    bool PlayUISound(uint32_t id, uint8_t loop);
    void PlayBGM(const char *path);
    void StopBGM(int32_t ms);
    void StepMusicFade(uint32_t ms);
    void SetMusicVolume(float volume);
    void SetSoundVolume(float volume);
    void ResetVolumes();
    uint32_t MusicHandle() const { return musicHandle_; }
    bool UISoundsLoaded() const { return uiSounds_ != nullptr; }
    const UISettings &Settings() const { return settings_; }
    // Stores the settings as they are, applying nothing.
    void StoreSettings(const UISettings &settings) { settings_ = settings; }

    // ---- Modal box, prompts, waiting notice, icons (ui_boxes.cpp) ----
    bool LoadWordTable();
    void ReleaseWordTable() { words.Clear(); }
    void ShowModalBox(const char16_t *text, UIModalCallback callback, RwTexture *picture, uint32_t context);
    void UpdateModalBox(float seconds);
    void DrawModalBox();
    void ReleaseModalBox();
    bool IsModalBoxOpen() const { return modalOpen_; }
    uint8_t ModalChoice() const { return modalChoice_; }
    void CreateKeyPrompts();
    void ReleaseKeyPrompts();
    UIPicture *GetKeyPrompt(uint32_t bit);
    void DrawKeyPrompts(uint8_t mask);
    void DrawPromptText(uint8_t mask);
    void ShowWaitingNotice();
    void InitShadePanel();
    void DrawShadeRect(float x0, float y0, float x1, float y1);
    bool HasShadePanel() const { return shadePanel_ != nullptr; }
    const UIIconCell *GetWeaponIcon(uint32_t itemId) const { return CellAt(weaponIcons_, WeaponIconIndex(itemId)); }
    const UIIconCell *GetEquipArt(uint32_t itemId) const { return CellAt(equipArt_, EquipArtIndex(itemId)); }
    const UIIconCell *GetSmallDigit(uint32_t index) const
    {
        return CellAt(smallDigits_, index == 0xFFFFFFFFu ? kSmallDigitCells - 1 : static_cast<int64_t>(index));
    }
    const UIIconCell *GetLargeDigit(uint32_t index) const { return CellAt(largeDigits_, index); }
    const UIIconCell *GetMediumDigit(uint32_t index) const { return CellAt(mediumDigits_, index); }
    CSTextBlock *PromptText(int i) const { return promptTexts_[i]; }
    // The word picture of prompt pair i (0..2), null before the prompts exist.
    const UIPicture *PromptWord(int i) const { return promptWords_ != nullptr ? &promptWords_[i].picture : nullptr; }

    // ---- Shared textures and packs (ui_textures.cpp) ----
    // Opens "<root>\PACK\UI0\<name>" (.LST, .STR), from `memory` when
    // given; false when refused.
    bool OpenInterfacePack(const char *name, const RawFileBuffer *memory = nullptr);
    void LoadCommonTextures();
    void LoadFrontEndTextures();
    void ReleaseFrontEndTextures();
    void LoadLobbyTextures(const RawFileBuffer *memory);
    void ReleaseLobbyTextures();
    void ReleaseOtherUIModuleTexture();
    void LoadEquipArt();
    void CreateEquipArt();
    void CreateWeaponIcons();
    void CreateSmallDigits();
    void CreateLargeDigits();
    void CreateMediumDigits();
    RwTexture *PlayerArt() const { return playerArt_; }
    RwTexture *WordArt() const { return wordArt_; }
    RwTexture *BaseMap() const { return baseMap_; }
    RwTexture *LobbyArt() const { return lobbyArt_; }
    RwTexture *MapBase() const { return mapBase_; }
    RwTexture *EquipArtTexture() const { return equipArtTexture_; }

    // The screens (null for 5).
    CSWarning *Warning() const { return warning_.get(); }
    CSPublisherLogo *PublisherLogo() const { return publisherLogo_.get(); }
    CSMakerLogo *MakerLogo() const { return makerLogo_.get(); }
    CSStillLogo *StillLogo() const { return stillLogo_.get(); }
    CSOpeningMovie *OpeningMovie() const { return openingMovie_.get(); }
    CSTitle *Title() const { return title_.get(); }
    CSSelectCharacter *SelectCharacter() const { return selectCharacter_.get(); }
    CSSaveLoad *SaveLoad() const { return saveLoad_.get(); }
    CSLobby *Lobby() const { return lobby_.get(); }
    CSEnterStage *EnterStage() const { return enterStage_.get(); }
    CSGamePlay *GamePlay() const { return gamePlay_.get(); }
    CSStageEnd *StageEnd() const { return stageEnd_.get(); }
    CSOption *Option() const { return option_.get(); }
    CSGameOver *GameOver() const { return gameOver_.get(); }
    CSRanking *Ranking() const { return ranking_.get(); }
    CSStageClear *StageClear() const { return stageClear_.get(); }

    // The carried blocks (the in-memory form of parts of a save record: the
    // load screen fills them, the save screen writes them) and the word table.
    CarriedProgress progress = NewGameProgress();
    CarriedHero heroBlock = NewGameHero();
    WordTable words;

private:
    // Screen dispatch (ui_screens.cpp).
    void ActivateScreen(uint32_t number, bool on);
    void UpdateScreen(uint32_t number, uint32_t ms);
    void RenderScreen(uint32_t number);
    void ReleaseScreens();
    void LayOutManagerQuads();
    void StartColourFade(uint32_t argb, uint32_t ms, bool in);
    void LayOutPromptTexts();

    // The screens 1 to 6 (5 has none), the prompt texts, then the others.
    std::unique_ptr<CSWarning> warning_;
    std::unique_ptr<CSPublisherLogo> publisherLogo_;
    std::unique_ptr<CSMakerLogo> makerLogo_;
    std::unique_ptr<CSStillLogo> stillLogo_;
    std::unique_ptr<CSStillLogo> stillLogo2_;
    std::unique_ptr<CSOpeningMovie> openingMovie_;
    CSTextBlock *promptTexts_[kPromptTexts] = {};
    std::unique_ptr<CSTitle> title_;
    std::unique_ptr<CSSelectCharacter> selectCharacter_;
    std::unique_ptr<CSSaveLoad> saveLoad_;
    std::unique_ptr<CSLobby> lobby_;
    std::unique_ptr<CSEnterStage> enterStage_;
    std::unique_ptr<CSGamePlay> gamePlay_;
    std::unique_ptr<CSGameOver> gameOver_;
    std::unique_ptr<CSStageEnd> stageEnd_;
    std::unique_ptr<CSRanking> ranking_;
    std::unique_ptr<CSOption> option_;
    std::unique_ptr<CSStageClear> stageClear_;

    std::unique_ptr<UISoundPair[]> uiSounds_;

    std::unique_ptr<UIQuad> fadeQuad_;
    std::unique_ptr<UIQuad> letterboxTop_;
    std::unique_ptr<UIQuad> letterboxBottom_;
    std::unique_ptr<UIQuad> hudFrame_;
    float hudBarUnclamped_[2] = {0.0f, 0.0f};
    std::unique_ptr<UIQuad> hudFill_;
    RwImVertexIndex *indexList_ = g_uiQuadIndices;

    RwTexture *playerArt_ = nullptr;
    RwTexture *wordArt_ = nullptr;
    RwTexture *baseMap_ = nullptr;
    RwTexture *lobbyArt_ = nullptr;
    RwTexture *mapBase_ = nullptr;
    RwTexture *equipArtTexture_ = nullptr;

    uint32_t holdToTitleMs_ = kUINoTimer;
    uint32_t currentScreen_ = kUINoScreen;
    uint32_t requestedScreen_ = kUIWarning;
    uint32_t stageIdToEnter_ = kFirstStageId;
    uint32_t lastStageId_ = kFirstStageId;

    // Colour fade, letterbox and base-map fade.
    bool fadeRunning_ = false;
    bool fadeShown_ = false;
    bool letterboxOn_ = false;
    bool letterboxTargetOn_ = false;
    bool letterboxChanging_ = false;
    uint32_t letterboxMs_ = 0;
    uint32_t letterboxDurationMs_ = 0;
    uint32_t fadeColour_ = 0;
    uint32_t fadeOutDurationMs_ = 0;
    uint32_t fadeOutElapsed_ = kUINoTimer;
    uint32_t fadeInDurationMs_ = 0;
    uint32_t fadeInElapsed_ = kUINoTimer;
    uint32_t baseMapRevealMs_ = kUINoTimer;
    uint32_t baseMapCoverMs_ = kUINoTimer;
    // The screens' music and its fade.
    uint32_t musicHandle_ = kUINoMusic;
    uint32_t musicFadeDurationMs_ = 0;
    uint32_t musicFadeElapsedMs_ = 0;
    std::string musicName_;  // the piece's file name, for the trace

    uint32_t stagePlayMs_ = 0;
    uint32_t lastStagePlayMs_ = 0;
    int32_t heroBestCounter_ = 0;
    int32_t heroStageValue_ = 0;
    int32_t uiPad_ = -1;
    uint32_t startMark_ = 0;
    UISettings settings_;
    uint8_t unlockFlag_ = 0;

    AiObject *hudActors_[kHudActorLimit] = {};
    int32_t hudActorCount_ = 0;

    // The modal box.
    std::unique_ptr<OwnedPicture[]> modalPieces_;
    const char16_t *modalText_ = nullptr;
    CSTextBlock *modalMessage_ = nullptr;
    CSTextBlock *modalLeft_ = nullptr;
    CSTextBlock *modalRight_ = nullptr;
    bool modalOpen_ = false;
    uint8_t modalChoice_ = 0;
    UIModalCallback modalCallback_ = nullptr;
    uint32_t modalContext_ = 0;
    std::unique_ptr<OwnedPicture> modalPicture_;

    uint32_t extraStages_[3] = {kExtraStageAbsent, kExtraStageAbsent, kExtraStageAbsent};

    // Key prompts (three pairs of key and word pictures, six single keys),
    // the shade panel and the icon and digit tables.
    std::unique_ptr<OwnedPicture[]> promptKeys_;   // 3 pair keys, then 6 single keys
    std::unique_ptr<OwnedPicture[]> promptWords_;  // 3
    std::unique_ptr<OwnedPicture> shadePanel_;
    std::vector<UIIconCell> weaponIcons_;
    std::vector<UIIconCell> equipArt_;
    std::vector<UIIconCell> smallDigits_;
    std::vector<UIIconCell> largeDigits_;
    std::vector<UIIconCell> mediumDigits_;

    // The loading flag (see SetLoadingFlag).
    uint8_t loadingFlag_ = 0;
};

// The one screen manager (null outside its life).
extern CSUIManager *g_pUIManager;
// The manager's PLAYER picture (null without a manager).
inline RwTexture *UIPlayerArt() { return g_pUIManager != nullptr ? g_pUIManager->PlayerArt() : nullptr; }

// The data root every resource and pack path begins with.
const char *UIDataRoot();
// The game's language index (0 Chinese, 1..14 the others).
int32_t UILanguage();
// The column of a two-language table: 0 for Chinese, 1 for the others.
inline int UILanguageColumn() { return UILanguage() == 0 ? 0 : 1; }
// The images of `folder` under the data root are read from now on.
void SetUIImagePath(const char *folder);
// The game system's frame time in ms (16 without a game system).
uint32_t UIFrameMs();
// The screen size chosen at start-up (without an application, the client
// area's).
struct UIScreenExtent {
    uint32_t width;
    uint32_t height;
};
UIScreenExtent UIScreenSize();
// The screens' pad state of pad `index` (0..3; an empty pad outside).
const PadState &UIPadState(int32_t index);
// The left mouse button was pressed this frame.
bool UIMousePressed();
// "\CHI\" for language 0, "\ENG\" for the others: the picture folders.
const char *UILanguageFolder();
