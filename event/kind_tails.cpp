// The operations of the kinds built elsewhere that the set-up, the load and
// the manager call (see kind_tails.h): they store their presets; what the
// kinds do with them is their own code's.
#include "event/kind_tails.h"

#include "app/memory.h"

void CSLastNpcEvent::Setup(int32_t payload, uint8_t useLinked)
{
    Payload = payload;
    UseLinked = useLinked;
}

void CSNpcAppearEvent::Setup(int32_t condition) { Condition = condition; }

void CSTalkEvent::BuildText(int32_t) {}

void CSTalkEvent::Close(int32_t) { TextShown = 0; }

void CSInGameAnmEvent::Finish() { IsOccur = 0; }

void CSToxicGasEvent::LoadParticles(int32_t gasKind, const char *first, const char *second)
{
    GasKind = gasKind;
    FirstParticles = first;
    SecondParticles = second;
}

void CSSceneEffectEvent::Destroy()
{
    if (PointStrings != nullptr) {
        for (int32_t i = 0; i < PointStringCount; ++i) {
            zuStrFree(PointStrings[i]);
        }
        zuFree(PointStrings);
        PointStrings = nullptr;
    }
    PointStringCount = 0;
    zuFree(Points);
    Points = nullptr;
    PointCount = 0;
}

void CSMovieEvent::Setup(int32_t movieKind, uint8_t flag)
{
    MovieKind = movieKind;
    Flag = flag;
}

void CSMovieEvent::Skip() {}

void CSStarEffectEvent::Setup(int32_t condition, float timeLimit)
{
    Condition = condition;
    TimeLimit = timeLimit;
}

void CSGiveItemEvent::Setup(int32_t itemId, int32_t condition)
{
    ItemId = itemId;
    Condition = condition;
}

void CSTimedEvent::SetTimer(int32_t code)
{
    Code = code;
    Time = static_cast<float>(Param);
}
