// The save panel: the 20 save slots (save_slot_view.h) as a page that a
// host screen owns (the lobby, and the stage clear after the final
// stages). The host activates it, forwards its update and drawing while
// it is active and reads its active byte. Confirming an empty slot writes
// the running game into it; a slot that holds a game, or a damaged file
// that shows as empty, first asks whether to overwrite it, starting on
// "no". A written slot shows its new game at
// once, on the same cursor; a failed write shows what went wrong until it
// is confirmed. Back closes the question, or leaves the panel under the
// base-map cover. After the final stages the host sets the
// return-to-title flag: leaving the panel then returns to the title
// (closing the question does not, so the game can still be saved in
// another slot).
//
// SAVLOD is the panel's own (the UISAVGAM pack). SLWORD and STAGPHO are
// borrowed from a host that offers them (the lobby) unless the game is on
// its way back to the title; otherwise the panel reads its own from the
// UILOBBY pack. Constructing a panel makes the save folder.
#pragma once

#include <cstdint>
#include <string>

#include "ui/save_slot_view.h"

class CSTextBlock;

// Set by the stage clear before it opens its panel; cleared by the panel.
extern bool g_saveReturnToTitle;

class CSSaveGame {
public:
    static constexpr int32_t kMusicFadeMs = 400;

    CSSaveGame();
    ~CSSaveGame() { Release(); }
    CSSaveGame(const CSSaveGame &) = delete;
    CSSaveGame &operator=(const CSSaveGame &) = delete;

    // The host's SLWORD and STAGPHO, lent for its life (null: none).
    void OfferPictures(RwTexture *slotWords, RwTexture *stagePhotos);

    void SetActive(bool on);
    void Update();
    void Render();
    void Release();

    bool RefreshSlots();
    // Writes the running game into the slot under the cursor.
    bool SaveSelectedSlot();

    bool QuestionOpen() const { return questionOpen; }
    bool MessageShown() const { return message != nullptr; }
    // Whether SLWORD and STAGPHO are the panel's own (else borrowed).
    bool OwnsWordArt() const { return ownWords_; }
    bool OwnsPhotoArt() const { return ownPhotos_; }

    SaveSlotView view;
    CSTextBlock *message = nullptr;      // a failed write's text, while shown
    CSTextBlock *question = nullptr;     // the overwrite question
    CSTextBlock *spareText = nullptr;
    CSTextBlock *rowText = nullptr;      // the rows' stage names
    CSTextBlock *spareText2 = nullptr;
    CSTextBlock *leftAnswer = nullptr;   // "yes"
    CSTextBlock *rightAnswer = nullptr;  // "no"
    bool active = false;
    bool leaving = false;
    bool questionOpen = false;
    uint8_t answer = 0;                  // 1 the left answer, 0 the right one
    uint32_t spareWord = 0;

private:
    void LoadPictures();
    void ReleasePictures();
    void Confirm();
    void Back();
    void OpenQuestion();
    void CloseQuestion();
    void ShowFailure();
    void CloseMessage();
    void Write();
    void DrawQuestion() const;
    void DrawMessage() const;

    RwTexture *offeredWords_ = nullptr;
    RwTexture *offeredPhotos_ = nullptr;
    bool ownWords_ = false;
    bool ownPhotos_ = false;
};
