// The id table against the lists it was made from: every id resolves to
// one kind whose object, event type and routines agree in every operation;
// the counts per kind; the ids at the edges of the classes.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "event/event_factory.h"
#include "event/event_objects.h"
#include "event/event_presets.h"
#include "event_test_support.h"

namespace event_id_table_test {

namespace {

using event_test::OwnedRecord;

// Every id the table names (the effect-burst band counted by its hundreds).
std::vector<int32_t> ListedIds()
{
    int32_t count = 0;
    const EventIdRow *rows = EventIdRows(&count);
    std::vector<int32_t> ids;
    for (int32_t r = 0; r < count; ++r) {
        const int32_t step = rows[r].first == 79292700 ? 100 : rows[r].step;
        for (int32_t id = rows[r].first; id <= rows[r].last; id += step) {
            ids.push_back(id);
        }
    }
    return ids;
}

// The class that each kind's objects must be (or derive from).
size_t KindClassSize(EventKind kind)
{
    switch (kind) {
    case EventKind::kDoor: return sizeof(CSDoorEvent);
    case EventKind::kNpcAppear: return sizeof(CSNpcAppearEvent);
    case EventKind::kLastNpc: return sizeof(CSLastNpcEvent);
    case EventKind::kTalk: return sizeof(CSTalkEvent);
    case EventKind::kToxicGas: return sizeof(CSToxicGasEvent);
    case EventKind::kInGameAnm: return sizeof(CSInGameAnmEvent);
    case EventKind::kMovie: return sizeof(CSMovieEvent);
    case EventKind::kStageExit: return sizeof(CSStageExitEvent);
    case EventKind::kHeroZone: return sizeof(CSHeroZoneEvent);
    case EventKind::kTrapNotice: return sizeof(CSTrapNoticeEvent);
    case EventKind::kSceneEffect: return sizeof(CSSceneEffectEvent);
    case EventKind::kTalkStarter: return sizeof(CSTalkStarterEvent);
    case EventKind::kGiveItem: return sizeof(CSGiveItemEvent);
    case EventKind::kStarEffect: return sizeof(CSStarEffectEvent);
    case EventKind::kMatAnim: return sizeof(CSMatAnimEvent);
    case EventKind::kMoveObject: return sizeof(CSMoveObjectEvent);
    case EventKind::kNpcSignal: return sizeof(CSNpcSignalEvent);
    case EventKind::kWater: return sizeof(CSWaterEvent);
    case EventKind::kBridge: return sizeof(CSBridgeEvent);
    case EventKind::kLinkStarter: return sizeof(CSLinkStarterEvent);
    case EventKind::kNpcTalk: return sizeof(CSNpcTalkEvent);
    case EventKind::kVineHazard: return sizeof(CSVineHazardEvent);
    case EventKind::kTimed: return sizeof(CSTimedEvent);
    default: return sizeof(EventRecord);
    }
}

TEST(EventIdTable, EveryListedIdHasOneKindAndTheKindsCountAsListed)
{
    const std::vector<int32_t> ids = ListedIds();
    EXPECT_EQ(ids.size(), 1358u);
    EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), ids.size()) << "an id is listed twice";

    std::map<EventKind, int> counts;
    for (const int32_t id : ids) {
        const EventIdRow *row = FindEventRow(id);
        ASSERT_NE(row, nullptr) << id;
        ++counts[row->kind];
        EXPECT_TRUE(id < 10 || id % 100 == 0) << id;
    }
    const std::map<EventKind, int> expected = {
        {EventKind::kDoor, 374},       {EventKind::kMarker, 203},     {EventKind::kEffectBurst, 11},
        {EventKind::kNpcAppear, 171},  {EventKind::kLastNpc, 122},    {EventKind::kTalk, 83},
        {EventKind::kToxicGas, 62},    {EventKind::kInGameAnm, 61},   {EventKind::kMovie, 42},
        {EventKind::kStageExit, 35},   {EventKind::kHeroZone, 35},    {EventKind::kTrapNotice, 33},
        {EventKind::kSceneEffect, 30}, {EventKind::kEndAtOnce, 11},   {EventKind::kTalkStarter, 7},
        {EventKind::kGiveItem, 12},    {EventKind::kStarEffect, 11},  {EventKind::kMatAnim, 10},
        {EventKind::kMoveObject, 10},  {EventKind::kNpcSignal, 9},    {EventKind::kWater, 7},
        {EventKind::kBridge, 6},       {EventKind::kLinkStarter, 5},  {EventKind::kNpcTalk, 4},
        {EventKind::kVineHazard, 2},   {EventKind::kTimed, 1},        {EventKind::kFirstEvent, 1},
    };
    EXPECT_EQ(counts, expected);
}

// The factory, the set-up and the dispatches all read the kind the
// factory cached: the object is of the kind's class, the set-up stores
// the kind's type, and the load and release of every id run.
TEST(EventIdTable, FactorySetUpLoadAndReleaseAgreeOnEveryId)
{
    for (const int32_t id : ListedIds()) {
        const EventIdRow *row = FindEventRow(id);
        OwnedRecord owned(id);
        EventRecord *record = owned.record;
        ASSERT_NE(record, nullptr) << id;
        EXPECT_EQ(record->kind, row->kind) << id;
        EXPECT_EQ(record->object, row->object) << id;
        EXPECT_EQ(record->EventType, KindFacts(row->kind).eventType) << id;
        EXPECT_GE(EventObjectSize(row->object), KindClassSize(row->kind)) << id;
        record->MaxOccur = 1;
        record->Load();
        EXPECT_EQ(record->Active, 1) << id;
        record->Release();
        EXPECT_EQ(record->OccurCount, 0) << id;
    }
}

TEST(EventIdTable, EdgeIds)
{
    // The effect-burst band is taken whole.
    for (const int32_t id : {79292700, 79292750, 79293700}) {
        const EventIdRow *row = FindEventRow(id);
        ASSERT_NE(row, nullptr) << id;
        EXPECT_EQ(row->kind, EventKind::kEffectBurst);
        EXPECT_EQ(row->object, EventObject::kBare);
    }
    ASSERT_NE(FindEventRow(79293800), nullptr);
    EXPECT_EQ(FindEventRow(79293800)->kind, EventKind::kNpcAppear);
    // Not listed: a stage-1 id in no list, stage 0 and stage 43, ids between the hundreds.
    for (const int32_t id : {79014000, 79000000, 79430000, 79012450, 10, -1, 79999999}) {
        EXPECT_EQ(FindEventRow(id), nullptr) << id;
        EXPECT_EQ(CreateEventRecord(id), nullptr) << id;
    }
    for (int32_t id = 0; id <= 9; ++id) {
        OwnedRecord owned(id);
        ASSERT_NE(owned.record, nullptr);
        EXPECT_EQ(owned.record->EventType, 19);
    }
    OwnedRecord first(79010000);
    EXPECT_EQ(first.record->kind, EventKind::kFirstEvent);
    // The extra fields of a few ids.
    EXPECT_EQ(FindEventRow(79042100)->object, EventObject::kDoorWithFlags);
    EXPECT_EQ(FindEventRow(79041900)->object, EventObject::kDoor);
    EXPECT_EQ(FindEventRow(79041500)->object, EventObject::kInGameAnm79041500);
    // Kinds that keep EventType 0 after the set-up.
    for (const int32_t id : {79230300, 79231200, 79253000, 79012900, 79010400, 79305000}) {
        OwnedRecord owned(id);
        EXPECT_EQ(owned.record->EventType, 0) << id;
    }
    // The set-up values that are not zero.
    OwnedRecord signal(79231200);
    EXPECT_EQ(static_cast<CSNpcSignalEvent *>(signal.record)->Condition, 200);
    OwnedRecord talk(79010300);
    EXPECT_EQ(static_cast<CSNpcTalkEvent *>(talk.record)->Ready, 1);
    OwnedRecord zone(79230300);
    EXPECT_EQ(static_cast<CSHeroZoneEvent *>(zone.record)->Ninth, 8);
}

TEST(EventIdTable, FixedConditionResults)
{
    auto condition = [](int32_t id) {
        OwnedRecord owned(id);
        owned.record->Load();
        return owned.record->CheckCondition(0.0f);
    };
    EXPECT_EQ(condition(79305000), 0);  // marker
    EXPECT_EQ(condition(79425000), 0);
    EXPECT_EQ(condition(79011300), 0);  // a door that never occurs
    EXPECT_EQ(condition(79011400), 0);  // an NPC appear that never occurs
    EXPECT_EQ(condition(79292750), 1);  // effect burst
    EXPECT_EQ(condition(79160200), 1);  // scene effect
    EXPECT_EQ(condition(79170200), 1);  // bridge
    EXPECT_EQ(condition(79010000), 1);  // the first event
    EXPECT_EQ(condition(79012400), 1);  // a stage exit with code 400
}

TEST(EventIdTable, PresetSpotChecks)
{
    auto loaded = [](int32_t id, int32_t param) {
        EventRecord *record = CreateEventRecord(id);
        record->SetUp();
        record->Param = param;
        record->Load();
        return record;
    };
    auto drop = [](EventRecord *record) {
        record->Destroy();
        FreeEventObject(record);
    };
    // Stage exits: the target is the event's own stage.
    for (const auto &[id, condition, flag, target] :
         std::vector<std::tuple<int32_t, int32_t, int, int32_t>>{{79012400, 400, 1, 1},
                                                                 {79062200, 300, 1, 6},
                                                                 {79422000, 500, 1, 42},
                                                                 {79080800, 500, 0, 8}}) {
        EventRecord *record = loaded(id, 0);
        auto *exit = static_cast<CSStageExitEvent *>(record);
        EXPECT_EQ(exit->Condition, condition) << id;
        EXPECT_EQ(exit->Flag, flag) << id;
        EXPECT_EQ(exit->Target, target) << id;
        drop(record);
    }
    // Last NPC: the preset's payload unless Param names another.
    EventRecord *last = loaded(79040200, 0);
    EXPECT_EQ(static_cast<CSLastNpcEvent *>(last)->Payload, 5401004);
    drop(last);
    last = loaded(79040200, 5401007);
    EXPECT_EQ(static_cast<CSLastNpcEvent *>(last)->Payload, 5401007);
    drop(last);
    last = loaded(79161800, 0);
    EXPECT_EQ(static_cast<CSLastNpcEvent *>(last)->Payload, 0);
    EXPECT_EQ(static_cast<CSLastNpcEvent *>(last)->UseLinked, 1);
    drop(last);
    // Movies, gas, stars, codes and values.
    EventRecord *movie = loaded(79015500, 0);
    EXPECT_EQ(static_cast<CSMovieEvent *>(movie)->StartCondition, 600);
    drop(movie);
    EventRecord *boss = loaded(79080100, 0);
    EXPECT_EQ(boss->BossGaugeRequest, 1);
    drop(boss);
    EventRecord *gas = loaded(79181400, 0);
    ASSERT_NE(static_cast<CSToxicGasEvent *>(gas)->Outlets, nullptr);
    EXPECT_EQ(static_cast<CSToxicGasEvent *>(gas)->Outlets->count, 2);
    EXPECT_EQ(static_cast<CSToxicGasEvent *>(gas)->File2, nullptr);
    drop(gas);
    EventRecord *star = loaded(79334100, 0);
    EXPECT_EQ(static_cast<CSStarEffectEvent *>(star)->TimeLimit, 50.0f);
    drop(star);
    EventRecord *appear = loaded(79293800, 0);
    EXPECT_EQ(static_cast<CSNpcAppearEvent *>(appear)->Condition, 400);
    drop(appear);
    EventRecord *link = loaded(79013500, 0);
    EXPECT_EQ(static_cast<CSLinkStarterEvent *>(link)->Condition, 1);
    drop(link);
    EventRecord *starter = loaded(79070600, 0);
    EXPECT_EQ(static_cast<CSTalkStarterEvent *>(starter)->Condition, 200);
    drop(starter);
    EventRecord *trap = loaded(79421700, 0);
    EXPECT_EQ(static_cast<CSTrapNoticeEvent *>(trap)->Condition, 300);
    drop(trap);
    EventRecord *timed = loaded(79362800, 45);
    EXPECT_EQ(static_cast<CSTimedEvent *>(timed)->Code, 300);
    EXPECT_EQ(static_cast<CSTimedEvent *>(timed)->Time, 45.0f);
    drop(timed);
}

TEST(EventIdTable, EveryPresetRowNamesARowOfItsKindsArray)
{
    int32_t count = 0;
    const EventIdRow *rows = EventIdRows(&count);
    for (int32_t r = 0; r < count; ++r) {
        const EventIdRow &row = rows[r];
        size_t size = 0;
        switch (row.kind) {
        case EventKind::kMovie: size = std::size(kMoviePresets); break;
        case EventKind::kToxicGas: size = std::size(kToxicGasPresets); break;
        case EventKind::kStarEffect: size = std::size(kStarEffectPresets); break;
        case EventKind::kNpcSignal: size = std::size(kNpcSignalCodes); break;
        case EventKind::kNpcAppear: size = std::size(kNpcAppearCodes); break;
        case EventKind::kLastNpc: size = std::size(kLastNpcPresets); break;
        case EventKind::kLinkStarter: size = std::size(kLinkStarterValues); break;
        case EventKind::kTalkStarter: size = std::size(kTalkStarterValues); break;
        case EventKind::kTrapNotice: size = std::size(kTrapNoticeValues); break;
        case EventKind::kStageExit: size = std::size(kStageExitPresets); break;
        default: break;
        }
        if (size == 0) {
            EXPECT_EQ(row.preset, 0) << row.first;
        } else {
            EXPECT_GE(row.preset, 1) << row.first;
            EXPECT_LE(row.preset, size) << row.first;
        }
    }
}

}  // namespace

}  // namespace event_id_table_test
