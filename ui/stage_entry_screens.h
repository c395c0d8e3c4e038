// The screens that carry the game into a stage and out of it: the stage
// entry (12), which frees the front end, builds the stage manager's parts
// and the heroes behind the loading screen and switches on at once (to the
// in-game overlay with the first stage of a new game, else to the lobby),
// and the stage end (15), which releases the finished stage, records it in
// the progress block and lays the base map over the screen before the
// lobby (after stage 1) or the ranking.
#pragma once

#include <cstdint>

struct RwTexture;

class CSEnterStage {
public:
    static constexpr uint32_t kFirstStageChangeMs = 2000;

    void SetActive(bool on);
    // The activation switches away within the same switch: nothing to do.
    void Update() {}

    bool active = false;
};

class CSStageEnd {
public:
    static constexpr uint32_t kCoverMs = 500;

    void SetActive(bool on);
    void Update(uint32_t ms);
    void Render();
    void Release() { picture = nullptr; }

    bool active = false;
    RwTexture *picture = nullptr;  // the manager's BASEMAP, borrowed
    uint32_t timerMs = 0;
    int32_t finishedStage = 0;
};
