// Screen 11: the lobby between stages. It shows the hero's portrait, name
// plate and figures (maximum HP and power, money, stages cleared, play
// time), the photo of the last stage, and a menu of five entries: the
// stage-select panel, the character status page, the store, the save
// panel and the return to the title (after a question). The lobby owns one
// object of each page; while a page is open it forwards its update and
// drawing to it and shows nothing of its own. Pages open and close under
// the base-map cover and reveal.
//
// Its own pictures (SLWORD, STAGPHO) come from the UILOBBY pack, streamed
// after the screen opens; the menu takes no input until the pack is read.
// A pack that cannot be read is a missing file the lobby needs: the fatal
// message, and the game returns to the title. A picture missing inside the
// pack draws untextured.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/cursor_trail.h"
#include "ui/pack_stream.h"
#include "ui/ui_quad.h"

class CSStageSelect;
class CSLobbyStore;
class CSSaveGame;
class LobbyStatusPage;
struct RwTexture;

class CSLobby {
public:
    static constexpr int32_t kEntries = 5;
    // What is open: the menu, a page (entry + 1) or the quit box.
    enum Page : uint32_t {
        kMenu = 0,
        kStageSelectPage = 1,
        kStatusPage = 2,
        kStorePage = 3,
        kSavePage = 4,
        kQuitBox = 5,
    };

    CSLobby();
    ~CSLobby();
    CSLobby(const CSLobby &) = delete;
    CSLobby &operator=(const CSLobby &) = delete;

    void SetActive(bool on);
    void Update(float seconds);
    void Render();
    // The manager's teardown: the owned pictures, the pages, the cursor.
    void Release();
    // What the manager frees of the screens it is not showing.
    void ReleaseTextures();

    // The quit box's answer (1 yes): yes leaves for the title.
    static void OnQuitAnswer(uint32_t answer, uint32_t context);

    bool Active() const { return active != 0; }
    uint32_t OpenPage() const { return openPage; }
    int32_t CursorEntry() const { return cursorEntry; }
    bool PagePending() const { return pagePending; }
    // Whether the pack's pictures have been read (input starts then).
    bool PicturesRead() const { return picturesRead_; }
    const CursorTrail &Cursor() const { return cursor; }
    const CursorRect &EntryTarget(int32_t entry) const { return targets[entry]; }
    RwTexture *StagePhotos() const { return stagePhotos; }
    RwTexture *SlotWords() const { return slotWords; }
    // The figures the status panel shows: maximum HP, maximum power and
    // money (the first hero's, else the hero block's) and the stages cleared.
    struct Figures {
        int32_t maxHP, maxPower, money, stagesCleared;
    };
    static Figures StatusFigures();

    CSStageSelect *StageSelect() const { return stageSelect.get(); }
    CSLobbyStore *Store() const { return store.get(); }
    CSSaveGame *SavePanel() const { return savePanel.get(); }
    LobbyStatusPage *StatusPage() const { return statusPage.get(); }

    // The pages, created with the lobby's first activation and kept: a
    // page that leaves the lobby (the stage start) runs on while the
    // lobby releases it.
    std::unique_ptr<CSStageSelect> stageSelect;
    std::unique_ptr<CSLobbyStore> store;
    std::unique_ptr<CSSaveGame> savePanel;
    std::unique_ptr<LobbyStatusPage> statusPage;
    // Borrowed from the manager, never freed here.
    RwTexture *baseMap = nullptr;
    RwTexture *lobbyArt = nullptr;
    RwTexture *playerArt = nullptr;
    RwTexture *wordArt = nullptr;
    RwTexture *mapBase = nullptr;
    // Owned.
    RwTexture *slotWords = nullptr;    // SLWORD: status labels and digits
    RwTexture *stagePhotos = nullptr;  // STAGPHO
    bool active = false;
    bool pagePending = false;
    int32_t cursorEntry = 0;
    UIPackStream stream;
    CursorTrail cursor;
    CursorRect targets[kEntries] = {};
    uint32_t openPage = kMenu;

private:
    void CreatePages();
    void ReleasePages();
    void LayOut();
    void BorrowTextures();
    void LoadTextures();
    void StreamPack();
    void UpdateMenu();
    void UpdatePage(float seconds);
    void OpenPendingPage();
    void ConfirmEntry();
    void DrawMenu() const;
    void DrawCursor() const;
    void DrawStagePanel() const;
    void DrawStatus() const;

    bool picturesRead_ = false;
};

// The one lobby (null outside its life): the pages borrow its pictures
// through it.
extern CSLobby *g_pLobby;
