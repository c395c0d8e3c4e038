// The stage list of "Select Stage" and the stage change of "Done Let's
// Go!!!!!" (see dev_menu.h, stage_list.h).
#include "devmenu/stage_list.h"

#include <algorithm>
#include <cstdio>

#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"
#include "stage/stage_manager.h"

const DevMenuStage kDevMenuStages[kDevMenuStageCount] = {
    {2010000, "0-1(00)"},      {2020000, "1-1(01)"},      {2030000, "1-2(02)"},     {2040000, "1-3(03)"},
    {2050000, "1-4(04)"},      {2060000, "1-5(05)"},      {2080000, "1-7(07)"},     {2100000, "2-2(09)"},
    {2150000, "2-7(14)"},      {2160000, "3-1(15)"},      {2170000, "3-2(16)"},     {2190000, "3-4(18)"},
    {2220000, "3-7(21)"},      {2230000, "4-1(22)"},      {2250000, "4-3(24)"},     {2270000, "4-5(26)"},
    {2280000, "5-1(27)"},      {2290000, "5-2(28)"},      {2300000, "5-3(29)"},     {2310000, "5-4(30)"},
    {2320000, "5-5(31)"},      {2330000, "6-1(32)"},      {2340000, "6-2(33)"},     {2360000, "6-4(35)"},
    {2370000, "6-5(36)"},      {2380000, "6-6(37)"},      {2400000, "DEVIL 1 (39)"}, {2410000, "DEVIL 2 (40)"},
    {2420000, "DEVIL 3 (41)"},
};

namespace {

// Both stage changes of "Done Let's Go!!!!!" take this time, without transition.
constexpr uint32_t kStageChangeMs = 2000;

}  // namespace

int32_t DevMenuStageIndex(int32_t stageId)
{
    for (int32_t i = 0; i < kDevMenuStageCount; ++i) {
        if (kDevMenuStages[i].id == stageId) {
            return i;
        }
    }
    return 0;
}

void CSDevMenu::UpdateStageList()
{
    int32_t index = DevMenuStageIndex(selectedStageId);
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Connected()) {
        if (pad.Pressed(kPadCircle)) {
            // The stage shown before this frame's step is the one read.
            ReadStageInfo(selectedStageId);
            ReadParticleKinds(selectedStageId);
            pageFlags[kPageTuningMenu] = 1;
            activeItem = kItemTuningMenu;
        } else if (pad.Pressed(kPadCross)) {
            inItem = 0;
        }
        if (pad.Pressed(kPadLeft)) {
            index = std::max(index - 1, 0);
        } else if (pad.Pressed(kPadRight)) {
            index = std::min(index + 1, kDevMenuStageCount - 1);
        }
    }
    selectedStageId = kDevMenuStages[index].id;
    lastListedStageId = selectedStageId;
    std::snprintf(label, sizeof label, "Change to Stage %s", kDevMenuStages[index].name);
}

void CSDevMenu::ChangeStage()
{
    EmptyParticleKinds();
    activeItem = kItemSelectStage;
    if (CSStageManager *stage = g_pStageManager) {
        stage->RequestStageChange(0, 0, kStageChangeMs);
        stage->RequestStageChange(selectedStageId, 0, kStageChangeMs);
    }
    Close();
}
