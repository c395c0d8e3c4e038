// The id table against the lists of event_id_lists.h, which were written
// apart from it: every id of the object-and-set-up lists and of the
// run-time lists resolves to the kind, object and event type those lists
// give, each kind holds as many ids as listed, the ids whose routines
// differ from their kind's are exactly those named (and share a variant
// only where they share every routine), every per-id constant of the loads
// reaches its id, and every dispatch runs on every id.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "event/event_factory.h"
#include "event/event_manager.h"
#include "event/event_objects.h"
#include "event_id_lists.h"
#include "event_test_support.h"

namespace event_id_lists_test {

namespace {

using event_lists::KindList;
using event_lists::ValueList;

// "a, b-c, d": ranges step by 100, or by 1 below 10. The effect-burst
// band counts by its hundreds here (the table takes it whole; see the edge
// ids of event_id_table_test.cpp).
std::vector<int32_t> ParseIds(const char *text)
{
    std::vector<int32_t> ids;
    const char *p = text;
    while (*p != '\0') {
        char *end = nullptr;
        const long first = std::strtol(p, &end, 10);
        if (end == p) {
            ADD_FAILURE() << "not an id list at: " << p;
            break;
        }
        long last = first;
        p = end;
        if (*p == '-') {
            last = std::strtol(p + 1, &end, 10);
            p = end;
        }
        const long step = last < 10 ? 1 : 100;
        for (long id = first; id <= last; id += step) {
            ids.push_back(static_cast<int32_t>(id));
        }
        while (*p == ',' || *p == ' ') {
            ++p;
        }
    }
    return ids;
}

using event_test::OwnedRecord;

// What the object-and-set-up lists say of each of their kinds.
struct FactoryKind {
    const char *name;
    std::set<EventKind> kinds;  // the run-time kinds its ids may have
    EventObject object;         // the object of its ids without extra fields
    int32_t eventType;
};

const std::vector<FactoryKind> &FactoryKinds()
{
    using K = EventKind;
    using O = EventObject;
    static const std::vector<FactoryKind> kinds = {
        {"door", {K::kDoor}, O::kDoor, 1},
        {"last NPC", {K::kLastNpc}, O::kLastNpc, 2},
        {"NPC appear", {K::kNpcAppear}, O::kNpcAppear, 3},
        {"dialogue", {K::kTalk}, O::kTalk, 4},
        {"in-game animation", {K::kInGameAnm}, O::kInGameAnm, 5},
        {"toxic gas", {K::kToxicGas}, O::kToxicGas, 6},
        {"scene effect", {K::kSceneEffect}, O::kSceneEffect, 7},
        {"type 10", {K::kBridge}, O::kBridge, 10},
        {"type 12", {K::kTimed}, O::kTimed, 12},
        {"type 13", {K::kTrapNotice}, O::kTrapNotice, 13},
        {"type 15", {K::kWater}, O::kWater, 15},
        {"type 16", {K::kLinkStarter}, O::kLinkStarter, 16},
        {"movie", {K::kMovie}, O::kMovie, 17},
        {"star effect", {K::kStarEffect}, O::kStarEffect, 18},
        {"material animation", {K::kMatAnim}, O::kMatAnim, 19},
        {"stage exit", {K::kStageExit}, O::kStageExit, 20},
        {"NPC conversation", {K::kNpcTalk}, O::kNpcTalk, 21},
        {"give item", {K::kGiveItem}, O::kGiveItem, 22},
        {"move object", {K::kMoveObject}, O::kMoveObject, 23},
        {"hero zone", {K::kHeroZone}, O::kHeroZone, 0},
        {"NPC signal", {K::kNpcSignal}, O::kNpcSignal, 0},
        {"random points", {K::kVineHazard}, O::kVineHazard, 0},
        {"condition value", {K::kTalkStarter}, O::kTalkStarter, 0},
        {"plain", {K::kFirstEvent, K::kEndAtOnce, K::kEffectBurst}, O::kBare, 0},
        {"idle", {K::kMarker}, O::kBare, 0},
    };
    return kinds;
}

// The ids whose objects carry extra fields.
const std::map<int32_t, EventObject> &ExtraObjects()
{
    using O = EventObject;
    static const std::map<int32_t, EventObject> extras = {
        {79042100, O::kDoorWithFlags},      {79042200, O::kDoorWithFlags},      {79042300, O::kDoorWithFlags},
        {79010700, O::kTalkWithWord},       {79270300, O::kTalkWithWord},       {79020800, O::kInGameAnmWithFlag},
        {79022000, O::kInGameAnmWithFlag},  {79032000, O::kInGameAnmWithFlag},  {79041800, O::kInGameAnmWithFlag},
        {79061600, O::kInGameAnmWithFlag},  {79041500, O::kInGameAnm79041500},
    };
    return extras;
}

const std::map<std::string, EventKind> &DispatchKinds()
{
    using K = EventKind;
    static const std::map<std::string, EventKind> kinds = {
        {"CSDoorEvent", K::kDoor},
        {"marker events", K::kMarker},
        {"effect-burst events", K::kEffectBurst},
        {"CSNpcAppearEvent", K::kNpcAppear},
        {"CSLastNpcEvent", K::kLastNpc},
        {"CSTalkEvent", K::kTalk},
        {"CSToxicGasEvent", K::kToxicGas},
        {"CSInGameAnmEvent", K::kInGameAnm},
        {"CSMovieEvent", K::kMovie},
        {"CSStageExitEvent", K::kStageExit},
        {"CSHeroZoneEvent", K::kHeroZone},
        {"CSTrapNoticeEvent", K::kTrapNotice},
        {"CSSceneEffectEvent", K::kSceneEffect},
        {"end-at-once events", K::kEndAtOnce},
        {"talk starter events", K::kTalkStarter},
        {"CSGiveItemEvent", K::kGiveItem},
        {"CSStarEffectEvent", K::kStarEffect},
        {"CSMatAnimEvent", K::kMatAnim},
        {"CSMoveObjectEvent", K::kMoveObject},
        {"CSNpcSignalEvent", K::kNpcSignal},
        {"CSWaterEvent", K::kWater},
        {"bridge events", K::kBridge},
        {"link starter events", K::kLinkStarter},
        {"CSNpcTalkEvent", K::kNpcTalk},
        {"vine hazard events", K::kVineHazard},
        {"event 79362800", K::kTimed},
        {"event 79010000", K::kFirstEvent},
    };
    return kinds;
}

// Every listed id once, from the run-time lists.
std::vector<int32_t> AllListedIds()
{
    std::vector<int32_t> ids;
    for (const KindList &list : event_lists::kDispatchKinds) {
        const std::vector<int32_t> some = ParseIds(list.ids);
        ids.insert(ids.end(), some.begin(), some.end());
    }
    return ids;
}

// The ids of `list` with their table rows: each id once in all lists
// (`seen`), in the table, and as many as the list counts.
std::vector<std::pair<int32_t, const EventIdRow *>> ListedRows(const KindList &list, std::set<int32_t> *seen)
{
    const std::vector<int32_t> ids = ParseIds(list.ids);
    EXPECT_EQ(static_cast<int32_t>(ids.size()), list.count) << list.name;
    std::vector<std::pair<int32_t, const EventIdRow *>> rows;
    for (const int32_t id : ids) {
        EXPECT_TRUE(seen->insert(id).second) << id << " is in two lists";
        const EventIdRow *row = FindEventRow(id);
        EXPECT_NE(row, nullptr) << list.name << " " << id;
        if (row != nullptr) {
            rows.emplace_back(id, row);
        }
    }
    return rows;
}

TEST(EventIdLists, TheObjectAndSetUpListsAgreeWithTheTable)
{
    ASSERT_EQ(std::size(event_lists::kFactoryKinds), FactoryKinds().size());
    std::set<int32_t> seen;
    for (size_t k = 0; k < FactoryKinds().size(); ++k) {
        const KindList &list = event_lists::kFactoryKinds[k];
        const FactoryKind &expected = FactoryKinds()[k];
        ASSERT_STREQ(list.name, expected.name);
        for (const auto &[id, row] : ListedRows(list, &seen)) {
            EXPECT_EQ(expected.kinds.count(row->kind), 1u) << list.name << " " << id;
            const auto extra = ExtraObjects().find(id);
            EXPECT_EQ(row->object, extra != ExtraObjects().end() ? extra->second : expected.object)
                << list.name << " " << id;
            OwnedRecord owned(id);
            ASSERT_NE(owned.record, nullptr) << id;
            EXPECT_EQ(owned.record->EventType, expected.eventType) << list.name << " " << id;
        }
    }
    EXPECT_EQ(seen.size(), 1358u);
}

TEST(EventIdLists, TheRunTimeListsAgreeWithTheTableAndCountAsListed)
{
    std::set<int32_t> seen;
    std::map<EventKind, int32_t> counted;
    for (const KindList &list : event_lists::kDispatchKinds) {
        const auto kind = DispatchKinds().find(list.name);
        ASSERT_NE(kind, DispatchKinds().end()) << list.name;
        for (const auto &[id, row] : ListedRows(list, &seen)) {
            EXPECT_EQ(row->kind, kind->second) << list.name << " " << id;
            ++counted[row->kind];
        }
    }
    EXPECT_EQ(seen.size(), 1358u);
    // The table names no id beyond the lists (the effect-burst band aside,
    // which it takes whole).
    int32_t rowCount = 0;
    const EventIdRow *rows = EventIdRows(&rowCount);
    for (int32_t r = 0; r < rowCount; ++r) {
        for (int32_t id = rows[r].first; id <= rows[r].last; id += rows[r].step) {
            if (!IsEffectBurstId(id) || id % 100 == 0) {
                EXPECT_EQ(seen.count(id), 1u) << id << " is in the table but in no list";
            }
        }
    }
}

// The routines of the ids whose routines differ from their kind's, by
// operation; the other operations follow the kind.
struct Routines {
    int32_t id;
    const char *update;
    const char *draw;
    const char *step;
    const char *condition;
};

const std::vector<Routines> &DifferingRoutines()
{
    static const std::vector<Routines> routines = [] {
        std::vector<Routines> r = {
            {79042100, "79042100", "", "", "79042100"},
            {79042200, "79042100", "", "", "79042200"},
            {79042300, "79042100", "", "", ""},
            {79164900, "79164900", "", "79164900", "79164900"},
            {79165000, "79165000", "", "79164900", "79164900"},
            {79165100, "79165100", "", "79164900", "79164900"},
            {79165200, "79165200", "", "79164900", ""},
            {79165300, "79165300", "", "79164900", ""},
            {79050300, "", "79050300", "", ""},
            {79101100, "", "79101100", "", ""},
            {79187100, "", "", "79187100", ""},
            {79020600, "", "", "", "79020600"},
            {79062300, "", "", "", "79062300"},
            {79070800, "", "", "", "79070800"},
            {79072500, "", "", "", "79072500"},
            {79314100, "", "", "", "79314100"},
            {79314200, "", "", "", "79314200"},
            {79314300, "", "", "", "79314300"},
            {79342600, "", "", "", "79342600"},
            {79072600, "", "", "", "79072600"},
            {79101800, "", "", "", "79072600"},
            {79011300, "", "", "", "false"},
            {79011400, "", "", "", "false"},
            {79031000, "", "", "", "79031000"},
            {79041600, "", "", "", "79041600"},
            {79061700, "", "", "", "79061700"},
            {79010700, "79010700", "", "", ""},
            {79270300, "79270300", "", "", "79270300"},
            {79080400, "", "", "", "79080400"},
            {79232600, "", "", "", "79232600"},
            {79022000, "79022000", "", "", ""},
            {79032000, "79022000", "", "", ""},
            {79041500, "79041500", "79041500", "", ""},
            {79041800, "79041800", "", "", ""},
            {79061600, "79061600", "", "", ""},
            {79342100, "79342100", "", "", ""},
            {79361900, "79361900", "", "", "79361900"},
            {79362000, "79361900", "", "", "79362000"},
            {79020800, "", "", "", "79020800"},
            {79232100, "", "", "", "79232100"},
            {79360200, "", "", "", "79360200"},
            {79080500, "", "", "", "79080500"},
            {79080600, "", "", "", "79080500"},
            {79241300, "", "", "", "79241300"},
        };
        for (int32_t id = 79206400; id <= 79206800; id += 100) {
            r.push_back({id, "", "", "79187100", ""});
        }
        return r;
    }();
    return routines;
}

TEST(EventIdLists, VariantsAreExactlyTheIdsWhoseRoutinesDiffer)
{
    // Ids of one kind share a variant exactly when they share every routine.
    std::map<EventVariant, std::pair<EventKind, std::string>> signatureOf;
    std::set<int32_t> differing;
    for (const Routines &r : DifferingRoutines()) {
        differing.insert(r.id);
        const EventIdRow *row = FindEventRow(r.id);
        ASSERT_NE(row, nullptr) << r.id;
        EXPECT_NE(row->variant, EventVariant::kNone) << r.id;
        const std::string signature =
            std::string(r.update) + "/" + r.draw + "/" + r.step + "/" + r.condition;
        const auto [at, fresh] = signatureOf.emplace(row->variant, std::make_pair(row->kind, signature));
        if (!fresh) {
            EXPECT_EQ(at->second, std::make_pair(row->kind, signature)) << r.id << " shares a variant";
        }
    }
    std::set<std::pair<EventKind, std::string>> distinct;
    for (const auto &[variant, signature] : signatureOf) {
        EXPECT_TRUE(distinct.insert(signature).second) << signature.second << " has two variants";
    }
    for (const int32_t id : AllListedIds()) {
        if (differing.count(id) == 0) {
            EXPECT_EQ(FindEventRow(id)->variant, EventVariant::kNone) << id;
        }
    }
}

// Loads `id` (Param `param`) and hands the record to `check`.
template <class Check>
void Loaded(int32_t id, int32_t param, Check check)
{
    OwnedRecord owned(id);
    ASSERT_NE(owned.record, nullptr) << id;
    owned.record->Param = param;
    owned.record->Load();
    check(owned.record);
}

// Every id of `kind` in the run-time lists.
std::set<int32_t> IdsOfKind(EventKind kind)
{
    std::set<int32_t> ids;
    for (const int32_t id : AllListedIds()) {
        if (FindEventRow(id)->kind == kind) {
            ids.insert(id);
        }
    }
    return ids;
}

// Each id of the value lists once, and together every id of the kind.
template <size_t N>
void ExpectCovers(const ValueList (&lists)[N], EventKind kind, int32_t onlyA = -1)
{
    std::set<int32_t> covered;
    for (const ValueList &list : lists) {
        if (onlyA >= 0 && list.a != onlyA) {
            continue;
        }
        for (const int32_t id : ParseIds(list.ids)) {
            EXPECT_TRUE(covered.insert(id).second) << id;
        }
    }
    EXPECT_EQ(covered, IdsOfKind(kind));
}

TEST(EventIdLists, EveryLoadConstantReachesItsId)
{
    for (const ValueList &list : event_lists::kMovieKinds) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                EXPECT_EQ(static_cast<CSMovieEvent *>(r)->StartCondition, list.a) << id;
                EXPECT_EQ(static_cast<CSMovieEvent *>(r)->ExitAfter, list.b) << id;
            });
        }
    }
    ExpectCovers(event_lists::kMovieKinds, EventKind::kMovie);
    for (const ValueList &list : event_lists::kGasKinds) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                auto *gas = static_cast<CSToxicGasEvent *>(r);
                ASSERT_NE(gas->Outlets, nullptr) << id;
                EXPECT_EQ(gas->Outlets->count, list.a) << id;
                ASSERT_NE(gas->File1, nullptr) << id;
                EXPECT_EQ(gas->File2 != nullptr, list.b == 1) << id;
            });
        }
    }
    ExpectCovers(event_lists::kGasKinds, EventKind::kToxicGas);
    for (const ValueList &list : event_lists::kStarEffects) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                EXPECT_EQ(static_cast<CSStarEffectEvent *>(r)->Condition, list.a) << id;
                EXPECT_EQ(static_cast<CSStarEffectEvent *>(r)->TimeLimit, static_cast<float>(list.b)) << id;
            });
        }
    }
    ExpectCovers(event_lists::kStarEffects, EventKind::kStarEffect);
    for (const ValueList &list : event_lists::kConditionCodes) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                const int32_t code = list.a == 0 ? static_cast<CSNpcSignalEvent *>(r)->Condition
                                                 : static_cast<CSNpcAppearEvent *>(r)->Condition;
                EXPECT_EQ(code, list.b) << id;
            });
        }
    }
    ExpectCovers(event_lists::kConditionCodes, EventKind::kNpcSignal, 0);
    ExpectCovers(event_lists::kConditionCodes, EventKind::kNpcAppear, 1);
    for (const ValueList &list : event_lists::kLastNpcPayloads) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                EXPECT_EQ(static_cast<CSLastNpcEvent *>(r)->Payload, list.a) << id;
                EXPECT_EQ(static_cast<CSLastNpcEvent *>(r)->UseLinked, list.b) << id;
            });
            // A Param other than 0 names the payload itself.
            Loaded(id, 5401007, [&](EventRecord *r) {
                EXPECT_EQ(static_cast<CSLastNpcEvent *>(r)->Payload, 5401007) << id;
            });
        }
    }
    ExpectCovers(event_lists::kLastNpcPayloads, EventKind::kLastNpc);
    for (const ValueList &list : event_lists::kConditionValues) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                int32_t value = 0;
                switch (list.a) {
                case 16: value = static_cast<CSLinkStarterEvent *>(r)->Condition; break;
                case 13: value = static_cast<CSTrapNoticeEvent *>(r)->Condition; break;
                default: value = static_cast<CSTalkStarterEvent *>(r)->Condition; break;
                }
                EXPECT_EQ(value, list.b) << id;
            });
        }
    }
    ExpectCovers(event_lists::kConditionValues, EventKind::kLinkStarter, 16);
    ExpectCovers(event_lists::kConditionValues, EventKind::kTalkStarter, 0);
    ExpectCovers(event_lists::kConditionValues, EventKind::kTrapNotice, 13);
    for (const ValueList &list : event_lists::kStageExits) {
        for (const int32_t id : ParseIds(list.ids)) {
            Loaded(id, 0, [&](EventRecord *r) {
                auto *exit = static_cast<CSStageExitEvent *>(r);
                EXPECT_EQ(exit->Condition, list.a) << id;
                EXPECT_EQ(exit->Flag, list.b) << id;
                EXPECT_EQ(exit->Target, (id - 79000000) / 10000) << id;
            });
        }
    }
    ExpectCovers(event_lists::kStageExits, EventKind::kStageExit);
    // The boss gauge: asked for by exactly the listed loads.
    const std::vector<int32_t> gauge = ParseIds(event_lists::kBossGaugeIds);
    for (const int32_t id : AllListedIds()) {
        const bool asks = std::find(gauge.begin(), gauge.end(), id) != gauge.end();
        Loaded(id, 0, [&](EventRecord *r) { EXPECT_EQ(r->BossGaugeRequest, asks ? 1 : 0) << id; });
    }
}

// Every dispatch runs on every id of a loaded stage: the fixed conditions
// answer as listed, and the kinds that end at once have ended after one
// update (counted once), while the others keep running.
TEST(EventIdLists, EveryDispatchRunsOnEveryId)
{
    const std::map<int32_t, uint8_t> fixedConditions = {
        {79011300, 0}, {79011400, 0}, {79010000, 1}, {79305000, 0}, {79425000, 0},
    };
    CSEventManager manager;
    for (const int32_t id : AllListedIds()) {
        OwnedRecord owned(id);
        EventRecord *r = owned.record;
        ASSERT_NE(r, nullptr) << id;
        r->manager = &manager;
        r->MaxOccur = 1;
        r->Load();
        const uint8_t condition = r->CheckCondition(0.016f);
        EXPECT_LE(condition, 1) << id;
        const auto fixed = fixedConditions.find(id);
        if (fixed != fixedConditions.end()) {
            EXPECT_EQ(condition, fixed->second) << id;
        }
        switch (r->kind) {
        case EventKind::kMarker: EXPECT_EQ(condition, 0) << id; break;
        case EventKind::kEffectBurst:
        case EventKind::kSceneEffect:
        case EventKind::kBridge: EXPECT_EQ(condition, 1) << id; break;
        default: break;
        }
        r->IsOccur = 1;
        r->Update(0.016f);
        r->Step(0.016f);
        r->Render();
        r->RenderLate();
        // With nothing bound, no stage and no link, these kinds are done at
        // their first update (an appear event without actors has none to
        // show, a switch without its puzzle is spent, a door without its
        // model has nothing to open).
        static const std::set<EventKind> kEndsAtOnce = {
            EventKind::kEndAtOnce, EventKind::kStageExit, EventKind::kLinkStarter, EventKind::kTrapNotice,
            EventKind::kNpcSignal, EventKind::kLastNpc,   EventKind::kNpcAppear,   EventKind::kWater,
            EventKind::kToxicGas,  EventKind::kGiveItem,  EventKind::kMatAnim,     EventKind::kDoor,
        };
        // The hero's training movie has no file without a hero.
        const bool endsAtOnce = kEndsAtOnce.count(r->kind) != 0 || id == 79010100;
        EXPECT_EQ(r->IsOccur, endsAtOnce ? 0 : 1) << id;
        EXPECT_EQ(r->OccurCount, endsAtOnce ? 1 : 0) << id;
        EXPECT_EQ(r->OccurLogged, 1) << id;
        // Released and destroyed twice (the holder destroys once more): the
        // second time frees nothing.
        r->Release();
        r->Release();
        r->Destroy();
        r->Destroy();
    }
}

}  // namespace

namespace {

// The steps: what each id's step plays while its one-shot sound is due.
// Only the gift plays at every step (an interface sound); the gas and the
// water play once per emission or surge, and only while they run; a door
// plays its sound once (the crusher doors and the key doors of 79187100
// their own), a door of sound kind 0 none; every other id plays nothing.
TEST(EventIdLists, TheStepDispatchPlaysEachKindsSoundAsListed)
{
    event_test::FakeStage stage;
    event_test::StageLinks links(&stage);
    CSEventManager manager;
    for (const int32_t id : AllListedIds()) {
        OwnedRecord owned(id);
        EventRecord *r = owned.record;
        r->manager = &manager;
        r->Load();
        stage.sounds.clear();
        stage.uiSounds.clear();
        r->Step(0.016f);
        r->Step(0.016f);
        if (r->kind == EventKind::kGiveItem) {
            EXPECT_EQ(stage.uiSounds, (std::vector<int32_t>{6600170, 6600170})) << id;
        } else {
            EXPECT_TRUE(stage.uiSounds.empty()) << id;
        }
        if (r->kind == EventKind::kDoor) {
            int32_t sound = static_cast<CSDoorEvent *>(r)->DoorSound;
            if (id >= 79164900 && id <= 79165300) {
                sound = 6500140;
            } else if (id == 79187100 || (id >= 79206400 && id <= 79206800)) {
                sound = 6500410;
            }
            EXPECT_EQ(stage.sounds, sound != 0 ? std::vector<int32_t>{sound} : std::vector<int32_t>{}) << id;
            EXPECT_EQ(r->SoundDone, sound != 0 ? 1 : 0) << id;
            r->Release();
            continue;
        }
        EXPECT_TRUE(stage.sounds.empty()) << id;
        EXPECT_EQ(r->SoundDone, 0) << id;
        // Running, the gas and the water sound once however often stepped.
        if (r->kind == EventKind::kToxicGas || r->kind == EventKind::kWater) {
            if (r->kind == EventKind::kToxicGas) {
                static_cast<CSToxicGasEvent *>(r)->Emitting = 1;
            } else {
                static_cast<CSWaterEvent *>(r)->Risen = 1;
            }
            r->Step(0.016f);
            r->Step(0.016f);
            EXPECT_EQ(stage.sounds, (std::vector<int32_t>{r->kind == EventKind::kToxicGas ? 6500220 : 6500020})) << id;
            EXPECT_EQ(r->SoundDone, 1) << id;
        }
        r->Release();
    }
}

TEST(EventIdLists, TheOneShotGuardPlaysOnceAndASoundOfZeroNever)
{
    event_test::FakeStage stage;
    event_test::StageLinks links(&stage);
    OwnedRecord owned(79011200);  // a door
    EventRecord *r = owned.record;
    EventPlaySoundOnce(r, 0);
    EXPECT_TRUE(stage.sounds.empty());
    EXPECT_EQ(r->SoundDone, 0);
    EventPlaySoundOnce(r, 6500140);
    EventPlaySoundOnce(r, 6500140);
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{6500140}));
    EXPECT_EQ(r->SoundDone, 1);
    // A stage without sounds skips the sound and still marks it played.
    g_eventLinks.playSound = nullptr;
    r->SoundDone = 0;
    EventPlaySoundOnce(r, 6500140);
    EXPECT_EQ(r->SoundDone, 1);
    // The load makes it due again.
    r->Load();
    EXPECT_EQ(r->SoundDone, 0);
}

}  // namespace

}  // namespace event_id_lists_test
