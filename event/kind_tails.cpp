// The operations of the kinds built elsewhere that the set-up, the load and
// the manager call (see kind_tails.h): they store their presets; what the
// kinds do with them is their own code's.
#include "event/kind_tails.h"

#include "app/memory.h"
#include "event/event_blocks.h"

void CSInGameAnmEvent::Finish() { IsOccur = 0; }

void CSInGameAnmEvent::FreeSceneData()
{
    zuStrFree(CameraModel);
    zuStrFree(CameraAnimation);
    CameraModel = nullptr;
    CameraAnimation = nullptr;
    for (int32_t i = 0; Keys != nullptr && i < KeyCount; ++i) {
        zuStrFree(Keys[i].Animation);
    }
    FreeEventBlock(Keys);
    KeyCount = 0;
    HasSceneData = 0;
}

void CSInGameAnmEvent::FreeSceneAudio()
{
    FreeEventBlock(CueSounds);
    FreeEventBlock(CueFrames);
    FreeEventBlock(CuePlayed);
    CueCount = 0;
}
