// The stage tuning menu: seven rows, five opening the pages of the stage's
// camera, ambient light, starts, fog and rain and particle counts, then
// "Done Let's Go!!!!!" and "Save File"; and the main items "Fog" and
// "Ambient", which open their page straight away (see dev_menu.h).
#include <algorithm>

#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"

namespace {

constexpr const char *kTuningRowTexts[kTuningRows] = {
    "Set Camera Info", "Set Ambit Light Info", "Set Character Info", "Set Fog Info",
    "Set Particle Number", "Done Let's Go!!!!!", "Save File",
};
constexpr float kTuningRowX = 200.0f;
constexpr float kTuningFirstRowY = 120.0f;
constexpr float kRowStep = 20.0f;

}  // namespace

void CSDevMenu::ResetTuning()
{
    tuning = StageInfo{};
    std::fill(std::begin(pageFlags), std::end(pageFlags), false);
    tuningCursor = 0;
    std::fill(std::begin(pageCursors), std::end(pageCursors), 0);
    EmptyParticleKinds();
    directItem = 0;
    lastListedStageId = 0;
    tuningStageId = kNoStageRead;
}

void CSDevMenu::UpdateTuningMenu()
{
    // A pad that is not connected presses nothing.
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Pressed(kPadUp)) {
        tuningCursor = std::max(tuningCursor - 1, 0);
    }
    if (pad.Pressed(kPadDown)) {
        tuningCursor = std::min(tuningCursor + 1, kTuningRows - 1);
    }
    if (pad.Pressed(kPadCircle)) {
        pageFlags[kPageTuningMenu] = 0;
        if (tuningCursor <= kTuneParticle) {
            pageFlags[kPageCamera + tuningCursor] = 1;
        }
        activeItem = kItemTuningPage;
    } else if (pad.Pressed(kPadCross)) {
        pageFlags[kPageTuningMenu] = 0;
        activeItem = kItemSelectStage;
    }
}

void CSDevMenu::LayoutTuningMenu(std::vector<DevMenuText> *texts) const
{
    for (int32_t row = 0; row < kTuningRows; ++row) {
        texts->push_back({kTuningRowTexts[row], kTuningRowX, kTuningFirstRowY + kRowStep * static_cast<float>(row),
                          row == tuningCursor ? kMenuHighlightColour : kMenuTextColour});
    }
}

// Before the stage list has shown a stage, the direct items edit the
// running stage's files (the selected stage, as opening the menu set it).
static int32_t DirectItemStage(const CSDevMenu &menu)
{
    return menu.lastListedStageId != 0 ? menu.lastListedStageId : menu.selectedStageId;
}

static void OpenDirectPage(CSDevMenu *menu, int32_t row, DevMenuPage page)
{
    menu->directItem = 1;
    menu->ReadStageInfo(DirectItemStage(*menu));
    menu->activeItem = kItemTuningPage;
    menu->tuningCursor = row;
    std::fill(std::begin(menu->pageFlags), std::end(menu->pageFlags), false);
    menu->pageFlags[page] = 1;
}

void CSDevMenu::OpenFogItem() { OpenDirectPage(this, kTuneFog, kPageFog); }

void CSDevMenu::OpenAmbientItem() { OpenDirectPage(this, kTuneAmbient, kPageAmbient); }
