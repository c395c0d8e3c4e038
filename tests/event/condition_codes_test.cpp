// The condition codes of the kinds that number their tests 100, 200 ...:
// each code of each kind is tried against a link that is idle, running or
// ended once and against its own and the link's actors present or all
// removed, and the state it holds in must be the one its kind names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event/bound_actors.h"
#include "event/event_objects.h"
#include "event_test_support.h"

namespace condition_codes_test {

namespace {

using event_test::AsActor;
using event_test::BoundEntry;
using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::StageLinks;

// What a code waits for, written from the kinds' descriptions.
enum Holds { kNever, kAlways, kOwnGone, kLinkedGone, kLinkEnded, kLinkRunning };

const char *Name(Holds h)
{
    static const char *const kNames[] = {"never", "always", "own actors gone", "linked actors gone", "link ended",
                                         "link running"};
    return kNames[h];
}

// One kind: an event id of it, how to set its code and ask its condition,
// and what its codes 100 .. 600 wait for.
struct KindCodes {
    const char *kind;
    int32_t eventId;
    void (*setCode)(EventRecord *record, int32_t code);
    uint8_t (*check)(EventRecord *record);
    Holds codes[6];
};

template <typename Kind>
void SetCondition(EventRecord *record, int32_t code)
{
    static_cast<Kind *>(record)->Condition = code;
}

template <typename Kind>
uint8_t CheckOf(EventRecord *record)
{
    return static_cast<Kind *>(record)->Check(0.0f);
}

void SetTimedCode(EventRecord *record, int32_t code) { static_cast<CSTimedEvent *>(record)->Code = code; }

const KindCodes kKinds[] = {
    {"NPC appear", 79031400, SetCondition<CSNpcAppearEvent>, CheckOf<CSNpcAppearEvent>,
     {kAlways, kOwnGone, kLinkedGone, kLinkEnded, kLinkRunning, kNever}},
    {"NPC signal", 79231200, SetCondition<CSNpcSignalEvent>, CheckOf<CSNpcSignalEvent>,
     {kAlways, kOwnGone, kLinkedGone, kLinkRunning, kLinkEnded, kNever}},
    {"move object", 79170400, SetCondition<CSMoveObjectEvent>, CheckOf<CSMoveObjectEvent>,
     {kAlways, kLinkEnded, kLinkRunning, kOwnGone, kLinkedGone, kNever}},
    {"switch puzzle", 79054100, SetCondition<CSStarEffectEvent>, CheckOf<CSStarEffectEvent>,
     {kAlways, kOwnGone, kLinkedGone, kLinkEnded, kLinkRunning, kNever}},
    {"timed event", 79362800, SetTimedCode, CheckOf<CSTimedEvent>,
     {kAlways, kLinkRunning, kLinkEnded, kOwnGone, kLinkedGone, kNever}},
    {"trap notice", 79187200, SetCondition<CSTrapNoticeEvent>, CheckOf<CSTrapNoticeEvent>,
     {kAlways, kLinkRunning, kLinkEnded, kNever, kLinkedGone, kNever}},
    {"stage exit", 79021100, SetCondition<CSStageExitEvent>, CheckOf<CSStageExitEvent>,
     {kNever, kOwnGone, kLinkedGone, kAlways, kLinkEnded, kLinkRunning}},
};

// An event of the kind and its link, each with one bound actor.
struct Pair {
    FakeStage stage;
    FakeActor own;
    FakeActor linked;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
    EventRecord *record = nullptr;
    EventRecord *link = nullptr;

    explicit Pair(int32_t eventId, int32_t linkId = 79180200)
    {
        links = std::make_unique<StageLinks>(&stage);
        manager = MakeManager({BoundEntry(eventId, 1, 0, linkId), BoundEntry(linkId, 1, 0, 0)});
        record = manager->Records()[0];
        link = manager->Records()[1];
        own.group = eventId;
        linked.group = linkId;
        BindEventActor(record, AsActor(&own));
        BindEventActor(link, AsActor(&linked));
    }

    // Which state a code holds in: run `check` in each of them.
    template <typename Check>
    std::vector<Holds> StatesHolding(Check check)
    {
        std::vector<Holds> holding;
        auto reset = [&] {
            link->IsOccur = 0;
            link->OccurCount = 0;
            own.removed = false;
            linked.removed = false;
        };
        const struct {
            Holds state;
            void (*enter)(Pair &p);
        } kStates[] = {
            {kNever, [](Pair &) {}},
            {kLinkRunning, [](Pair &p) { p.link->IsOccur = 1; }},
            {kLinkEnded, [](Pair &p) { p.link->OccurCount = 1; }},
            {kOwnGone, [](Pair &p) { p.own.removed = true; }},
            {kLinkedGone, [](Pair &p) { p.linked.removed = true; }},
        };
        for (const auto &s : kStates) {
            reset();
            s.enter(*this);
            if (check() != 0) {
                holding.push_back(s.state);
            }
        }
        reset();
        return holding;
    }
};

// What the states holding say the code waits for.
Holds Classify(const std::vector<Holds> &holding)
{
    if (holding.empty()) {
        return kNever;
    }
    if (holding.size() == 5) {
        return kAlways;
    }
    if (holding.size() == 1 && holding[0] != kNever) {
        return holding[0];
    }
    return static_cast<Holds>(-1);
}

TEST(ConditionCodes, EachKindWaitsForWhatItsCodesName)
{
    for (const KindCodes &kind : kKinds) {
        SCOPED_TRACE(kind.kind);
        Pair pair(kind.eventId);
        ASSERT_EQ(pair.record->ActorNum, 1);
        ASSERT_EQ(pair.record->LinkEvent, pair.link);
        for (int32_t code = 100; code <= 600; code += 100) {
            kind.setCode(pair.record, code);
            const Holds found = Classify(pair.StatesHolding([&] { return kind.check(pair.record); }));
            const Holds wanted = kind.codes[code / 100 - 1];
            EXPECT_EQ(found, wanted) << "code " << code << " waits for " << Name(wanted);
        }
        for (int32_t code : {0, 150, 250, 700, 1000, -100}) {
            kind.setCode(pair.record, code);
            EXPECT_EQ(Classify(pair.StatesHolding([&] { return kind.check(pair.record); })), kNever) << code;
        }
        // Without a link, only the codes of its own actors and "always" can hold.
        pair.record->LinkEvent = nullptr;
        for (int32_t code = 100; code <= 600; code += 100) {
            kind.setCode(pair.record, code);
            const Holds wanted = kind.codes[code / 100 - 1];
            if (wanted != kAlways && wanted != kOwnGone) {
                pair.own.removed = true;
                EXPECT_EQ(kind.check(pair.record), 0) << "code " << code << " without a link";
                pair.own.removed = false;
            }
        }
    }
}

// NPC appear's codes 1 to 99 compare the link's count of ends.
TEST(ConditionCodes, NpcAppearBelowAHundredCountsTheLinksEnds)
{
    Pair pair(79031400);
    auto *appear = static_cast<CSNpcAppearEvent *>(pair.record);
    appear->Condition = 3;
    pair.record->LinkEndNum = 2;
    EXPECT_EQ(appear->Check(0.0f), 0);
    pair.record->LinkEndNum = 3;
    EXPECT_EQ(appear->Check(0.0f), 1);
}

// The give-item events number theirs 1 to 5, anything else always holding.
TEST(ConditionCodes, GiveItemCodesOneToFive)
{
    Pair pair(79052600);
    auto *gift = static_cast<CSGiveItemEvent *>(pair.record);
    const Holds wanted[] = {kAlways, kAlways, kLinkRunning, kLinkEnded, kOwnGone, kLinkedGone, kAlways};
    for (int32_t code = 0; code <= 6; ++code) {
        gift->Condition = code;
        EXPECT_EQ(Classify(pair.StatesHolding([&] { return gift->Check(0.0f); })), wanted[code]) << code;
    }
}

}  // namespace

}  // namespace condition_codes_test
