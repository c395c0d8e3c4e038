// Stage changes (see stage_manager.h). One request is kept at a time; a
// second one is ignored while it is pending. The target says what happens:
//   a stage id (2000000 + 10000 n)  the running stage is released and that
//                                    stage loaded, also when it is the same
//                                    one (the tuning menu reloads this way)
//   0                                the running stage is released
//   -1                               released, and the game-over screen (14)
//   a stage number 1..42             that stage is finished: the stage-end
//                                    screen (15) is asked for, and the number
//                                    stays pending until that screen releases
//                                    the stage; the release makes it the
//                                    current stage number (0 for 39)
// anything else is ignored with a diagnostic.
//
// Without transition the change is carried out inside the call while the
// in-game screen, the game-over screen or the lobby is current (or there
// is no screen manager), else by the next update. With transition the
// music fades out over half the time, the camera takes mode 1 and the
// screen fades to black (the grid distortion of the effects runs beside
// it); the update carries the change out once the time has passed and no
// colour fade runs any more.
#include <algorithm>

#include "app/debug.h"
#include "fx/screen_grid.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"
#include "stage/stage_screen_calls.h"
#include "stage/stage_trace.h"

namespace {

constexpr int32_t kLastStageNumber = 42;
constexpr int32_t kTransitionCameraMode = 1;

bool IsStageNumber(int32_t target) { return target >= 1 && target <= kLastStageNumber; }

void RequestScreen(int32_t screen)
{
    if (g_stageScreens != nullptr) {
        g_stageScreens->requestScreen(screen);
    }
}

// Where a change without transition is carried out inside the request.
bool ChangesAtOnce()
{
    if (g_stageScreens == nullptr) {
        return true;
    }
    const int32_t screen = g_stageScreens->currentScreen();
    return screen == kScreenInGame || screen == kScreenGameOver || screen == kScreenLobby;
}

}  // namespace

void CSStageManager::RequestStageChange(int32_t target, uint8_t transition, uint32_t ms)
{
    const bool known = target == 0 || target == -1 || IsStageNumber(target) || IsStageId(target);
    if (!known) {
        DebugPrint("RequestStageChange: %d is no stage change\n", target);
    }
    if (!known || stageChange.pending) {
        TraceStageRequest(target, transition, ms, false);
        return;
    }
    TraceStageRequest(target, transition, ms, true);
    stageChange = StageChangeRequest{};
    stageChange.pending = true;
    stageChange.target = target;
    stageChange.transition = transition != 0 ? 1 : 0;
    stageChange.ms = ms;
    if (stageChange.transition == 0) {
        if (ChangesAtOnce()) {
            CarryOutStageChange();
        }
        return;
    }
    StopBGM(static_cast<int32_t>(ms / 2));
    SetCameraMode(kTransitionCameraMode);
    if (screenGrid != nullptr) {
        screenGrid->Start(static_cast<float>(ms));
    }
    if (g_stageScreens != nullptr) {
        g_stageScreens->startFade(kStageFadeColour, ms);
    }
}

void CSStageManager::StepStageChange(uint32_t ms)
{
    if (!stageChange.pending || stageChange.waitingForStageEnd) {
        return;
    }
    if (stageChange.transition != 0) {
        stageChange.elapsed =
            static_cast<uint32_t>(std::min<uint64_t>(stageChange.ms, uint64_t{stageChange.elapsed} + ms));
        const bool fading = g_stageScreens != nullptr && g_stageScreens->isFading() != 0;
        if (stageChange.elapsed < stageChange.ms || fading) {
            return;
        }
    }
    CarryOutStageChange();
}

void CSStageManager::CarryOutStageChange()
{
    // The transition's grid distortion ends with it.
    if (screenGrid != nullptr) {
        screenGrid->Stop();
    }
    const int32_t target = stageChange.target;
    if (IsStageNumber(target)) {
        stageChange.waitingForStageEnd = true;
        RequestScreen(kScreenStageEnd);
        return;
    }
    stageChange = StageChangeRequest{};
    ReleaseStage();
    if (target == -1) {
        RequestScreen(kScreenGameOver);
    } else if (target != 0) {
        LoadStage(target);
    }
}
