// The actor yards (see sample_actor_yards.h).
#include "tools/mkdata/sample_actor_yards.h"

namespace mkdata {
namespace {

AiPlacement Place(int32_t aiType, int32_t aiId, const RwV3d &at, const RwV3d &lookAt)
{
    AiPlacement p;
    p.aiType = aiType;
    p.aiId = aiId;
    p.position = at;
    p.lookAt = lookAt;
    p.isRender = 1;
    return p;
}

std::vector<AiPlacement> FigureYard()
{
    std::vector<AiPlacement> list;
    int32_t aiId = 10;
    // The talk's warden first: the first actor of its group is the one the
    // talk turns to.
    list.push_back(Place(100, aiId++, kFigureTalkNpcAt, {1.0f, 0.0f, -1.0f}));
    list.back().eventId = kFigureTalkEvent;
    // Four columns of figures north-east of the start, facing the way north;
    // the first 112 stands on its own (it appears as it comes into view).
    int32_t index = 0;
    for (int32_t type = 101; type <= 118; ++type) {
        if (type == 107) {
            continue;  // stage 1's trader
        }
        const float x = 30.0f + 15.0f * static_cast<float>(index % 4);
        const float z = -30.0f + 15.0f * static_cast<float>(index / 4);
        list.push_back(Place(type, aiId++, {x, 0.0f, z}, {-1.0f, 0.0f, 0.0f}));
        if (type != 112 && type < kFirstUngroupedFigure) {
            list.back().eventId = kFigureTalkEvent;
        }
        if (type == 101) {
            list.back().initState = 12;  // one of its last states, which hold it
        }
        ++index;
    }
    list.push_back(Place(1202, aiId++, kYardBlastTrapAt, {0.0f, 0.0f, -1.0f}));
    list.push_back(Place(1201, aiId++, kYardPostAt, {0.0f, 0.0f, 1.0f}));
    list.back().eventId = kFigureTalkEvent;
    list.push_back(Place(1204, aiId++, kYardTrapAt, {1.0f, 0.0f, 0.0f}));
    // A liftable object beside the post, for a hero's grab.
    list.push_back(Place(10027, aiId++, kYardLiftableAt, {1.0f, 0.0f, 0.0f}));
    // Beside the warden, unseen until the talk shows them: a trader and a
    // second 112, which the talk's end sends away for good.
    for (int32_t type : {107, 112}) {
        const float x = kFigureTalkNpcAt.x - (type == 107 ? 10.0f : 20.0f);
        list.push_back(Place(type, aiId++, {x, 0.0f, kFigureTalkNpcAt.z + 6.0f}, {1.0f, 0.0f, -1.0f}));
        list.back().eventId = kFigureTalkEvent;
        list.back().isRender = 0;
    }
    return list;
}

std::vector<AiPlacement> BreakableYard()
{
    std::vector<AiPlacement> list;
    int32_t aiId = 10;
    const RwV3d east = {1.0f, 0.0f, 0.0f};
    // The bomb, what its blast breaks and the bomb its blast lights.
    list.push_back(Place(10028, aiId++, kYardBombAt, east));
    list.push_back(Place(10020, aiId++, {kYardBombAt.x - 10.0f, 0.0f, kYardBombAt.z - 15.0f}, east));
    list.push_back(Place(10021, aiId++, {kYardBombAt.x - 10.0f, 0.0f, kYardBombAt.z + 15.0f}, east));
    list.push_back(Place(10029, aiId++, {kYardBombAt.x - 25.0f, 0.0f, kYardBombAt.z}, east));
    // East of the start, out of the blast's reach: a wall-like object.
    list.push_back(Place(10022, aiId++, kYardWallAt, {-1.0f, 0.0f, 0.0f}));
    // South of the start: the front-only target facing the start, and a
    // second one beside it with its back to the start.
    list.push_back(Place(10026, aiId++, kYardTargetAt, {0.0f, 0.0f, 1.0f}));
    list.push_back(Place(10026, aiId++, {kYardTargetAt.x + 14.0f, 0.0f, kYardTargetAt.z}, {0.0f, 0.0f, -1.0f}));
    // The others, 25 apart along the walls facing the middle.
    int32_t index = 0;
    for (int32_t type = 10000; type <= 10031; ++type) {
        if (type == 10020 || type == 10021 || type == 10022 || type == 10026 || type == 10028 || type == 10029) {
            continue;
        }
        const bool westSide = index % 2 == 1;
        const float z = -150.0f + 25.0f * static_cast<float>(index / 2);
        list.push_back(Place(type, aiId++, {westSide ? -160.0f : 160.0f, 0.0f, z},
                             westSide ? east : RwV3d{-1.0f, 0.0f, 0.0f}));
        ++index;
    }
    return list;
}

}  // namespace

std::vector<EventTableEntry> SampleActorYardEvents()
{
    // The warden's talk: from within its reach, facing the warden, the
    // action command opens it; a confirm finishes its line and the next
    // ends it. It can be held again.
    EventTableEntry talk;
    talk.eventId = kFigureTalkEvent;
    talk.label = "WARDEN";
    talk.circleCentre = kFigureTalkNpcAt;
    talk.radius = kFigureTalkReach;
    talk.npcNum = 20;
    talk.param = kFigureTalkParam;
    talk.maxOccur = 1000;
    talk.playerMask = 1;
    return {talk};
}

std::vector<AiPlacement> SampleActorYardPlacements(int32_t stageId)
{
    switch (stageId) {
    case kFigureYardStageId:
        return FigureYard();
    case kBreakableYardStageId:
        return BreakableYard();
    default:
        return {};
    }
}

}  // namespace mkdata
