// CSPauseMenu: the menu the in-game overlay opens when a player presses
// start during play. While it is open the stage stands still (the stage
// manager skips its update) and its music is paused; the menu covers the
// screen with four entries: resume, the hero's status page (hosted here,
// view only), the stage map page, and the return to the title behind a
// yes/no question. A trail of six arrows on either side follows the
// cursor. While open it streams the MAPBASE pack in the background, 32 KB
// a frame, for the status page's background; a MAPBASE that cannot be read
// is given up with one debug line and never holds the menu up.
//
// Languages other than 0 show the language-1 pictures.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/character_page.h"
#include "ui/stage_map_page.h"
#include "ui/pack_stream.h"
#include "ui/ui_quad.h"

struct RwTexture;

enum PauseEntry : int32_t { kPauseResume = 0, kPauseStatus = 1, kPauseMap = 2, kPauseToTitle = 3 };

class CSPauseMenu {
public:
    static constexpr int kEntries = 4;
    static constexpr int kTrailCopies = 6;
    static constexpr float kTravelSeconds = 0.2f;

    // One arrow of a trail.
    struct Arrow {
        OwnedPicture picture;
        int32_t from = 0;
        int32_t to = 0;
        float elapsed = 0.0f;
        float speed = 1.0f;
        bool moving = false;
    };

    CSPauseMenu();
    ~CSPauseMenu();
    CSPauseMenu(const CSPauseMenu &) = delete;
    CSPauseMenu &operator=(const CSPauseMenu &) = delete;

    // Opening an open menu, or closing a closed one, does nothing.
    void Open();
    void Close();
    void Update(float seconds);
    void Render();
    // The answer of the return-to-title question (1: yes).
    void OnReturnToTitleAnswer(uint32_t choice);

    uint8_t IsOpen() const { return open_ ? 1 : 0; }
    // While open the menu and its pages stand on the overlay's background
    // drawn over the whole screen; true when that picture has no see-through
    // texel or corner, so that nothing drawn before the menu shows.
    bool CoversScreen() const;
    uint8_t PageOpen() const { return pageOpen_ ? 1 : 0; }
    int32_t Cursor() const { return cursor_; }
    int32_t ShownPage() const { return shownPage_; }
    const Arrow &TrailArrow(int side, int copy) const { return arrows_[side][copy]; }
    CSCharacterPage *StatusPage() const { return statusPage_.get(); }
    CSStageMapPage *MapPage() const { return mapPage_.get(); }
    const UIPackStream &MapBasePack() const { return mapBasePack_; }
    RwTexture *MapBase() const { return mapBase_; }
    const OwnedPicture &EntryPicture(int i) const { return entries_[i]; }
    const OwnedPicture &Title() const { return title_; }

    void StepCursor(float seconds);
    void MoveCursor(int32_t entry, float speed);
    void Select();

private:
    void BuildPictures();
    void ReleasePages();
    void LoadMapBase();
    void PlaceArrow(int side, Arrow *arrow) const;
    void DrawPromptBar(uint8_t mask) const;

    bool open_ = false;
    std::unique_ptr<CSStageMapPage> mapPage_;
    std::unique_ptr<CSCharacterPage> statusPage_;
    RwTexture *wordArt_ = nullptr;  // the overlay's
    UIPackStream mapBasePack_;
    OwnedPicture background_;
    OwnedPicture title_;
    OwnedPicture entries_[kEntries];
    Arrow arrows_[2][kTrailCopies];  // 0 right of the entry, 1 left of it
    int32_t cursor_ = 0;
    RwTexture *mapBase_ = nullptr;  // owned
    bool pageOpen_ = false;
    int32_t shownPage_ = -1;  // the entry whose page is shown
};

// The pause menu whose question is open (the modal box's answer goes to it).
extern CSPauseMenu *g_pReturnQuestionMenu;
