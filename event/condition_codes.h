// The tests that the events' condition codes name. Each kind numbers them
// its own way (codes 100 to 600 in steps of 100, or 1 to 5 for the
// give-item events); a kind's table says which test each of its codes
// stands for, so that its condition is one look-up.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class EventRecord;

enum class ConditionTest : uint8_t {
    kNever,
    kAlways,
    kOwnActorsGone,     // every actor bound to the event is removed
    kLinkedActorsGone,  // every actor bound to LinkEvent is removed
    kLinkEnded,         // LinkEvent has ended at least once
    kLinkRunning,       // LinkEvent is running
};

// Whether `test` holds for `record` now (a missing LinkEvent fails every
// test of the link).
bool ConditionHolds(EventRecord *record, ConditionTest test);

// LinkEvent is running / has ended at least once (false without one).
bool LinkRunning(const EventRecord *record);
bool LinkEnded(const EventRecord *record);

// The test of `code` in a kind's table of the codes 100, 200, 300 ...
// (entry code / 100 - 1); any other code never holds.
template <size_t N>
constexpr ConditionTest TestOfHundred(const std::array<ConditionTest, N> &codes, int32_t code)
{
    if (code < 100 || code % 100 != 0 || code / 100 > static_cast<int32_t>(N)) {
        return ConditionTest::kNever;
    }
    return codes[static_cast<size_t>(code / 100 - 1)];
}

// 1 when the test of `code` holds (the form of the kinds' Check).
template <size_t N>
uint8_t CheckHundredCode(EventRecord *record, const std::array<ConditionTest, N> &codes, int32_t code)
{
    return ConditionHolds(record, TestOfHundred(codes, code)) ? 1 : 0;
}
