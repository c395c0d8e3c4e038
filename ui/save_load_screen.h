// Screen 9, the load screen, reached from the title's load item: the 20
// save slots (save_slot_view.h) under the selection's music. Up and down
// move the cursor; confirming a slot that holds a game reads it again,
// checks it and puts it into the screen manager's carried blocks, then
// fades to the stage entry (screen 12), which goes on to the lobby. A
// slot without a game, or one whose file went or changed since the scan,
// is refused with a sound (the list is scanned again). Back fades to the
// title. Nothing is read during the fade out.
//
// Its pictures come with the front end's (the UIMAP pack) and go with them.
#pragma once

#include <cstdint>

#include "ui/save_slot_view.h"

class CSTextBlock;

class CSSaveLoad {
public:
    static constexpr uint32_t kFadeMs = 1000;
    static constexpr int32_t kMusicFadeMs = 700;
    static constexpr int kTexts = 4;  // the last holds the rows' stage names

    CSSaveLoad() = default;
    ~CSSaveLoad() { Release(); }
    CSSaveLoad(const CSSaveLoad &) = delete;
    CSSaveLoad &operator=(const CSSaveLoad &) = delete;

    void SetActive(bool on);
    void Update();
    void Render();
    // SAVLOD, SLWORD and STAGPHO, inside the open front-end pack.
    void LoadTextures();
    void ReleaseTextures();
    // At the end of the screen's life (its destructor): everything goes.
    void Release();

    bool RefreshSlots() { return view.Refresh(); }
    // Loads the slot under the cursor; false when it is refused.
    bool LoadSelectedSlot();

    SaveSlotView view;
    CSTextBlock *texts[kTexts] = {};
    bool active = false;
    bool leaving = false;
    bool loaded = false;  // once a load was taken
};
