// The rating rules (see stage_rating.h).
#include "ui/stage_rating.h"

#include <algorithm>
#include <cstdio>

#include "actor/hero.h"
#include "ui/stage_table.h"

namespace {


// The stages of one group share five time limits in seconds.
struct TimeLimits {
    int32_t stages[11];
    uint32_t limits[5];
};

constexpr TimeLimits kTimeLimits[] = {
    {{2, 3, 17, 34}, {150, 300, 600, 900, 1500}},
    {{4, 6, 10, 28, 30, 31, 33, 36, 40, 41, 42}, {240, 600, 900, 1200, 1500}},
    {{5, 16, 19, 23, 25, 29}, {180, 420, 900, 1200, 1500}},
    {{8, 15, 22}, {90, 180, 300, 600, 1200}},
    {{27, 32, 37, 38}, {120, 240, 420, 660, 1380}},
};
constexpr int32_t kTimeBonus[5] = {2600, 500, 300, 150, 50};

// Hit counts above each threshold and their points, highest first.
struct HitStep {
    int32_t above;
    int32_t points;
};
constexpr HitStep kHitSteps[] = {{65, 1000}, {55, 600}, {45, 450}, {35, 300}, {25, 200}, {15, 100}, {5, 50}};

constexpr int64_t kGradeScores[4] = {3000, 2400, 1850, 1400};
constexpr int32_t kGradeBonus[kGradeCount] = {500, 300, 200, 100, 0};

struct RewardRow {
    int32_t stage;
    int32_t items[2];  // hero 0, hero 1
};
constexpr RewardRow kRewards[] = {
    {8, {5100170, 5100220}},  {15, {5100110, 5100110}}, {22, {5100180, 5100230}}, {27, {5100040, 5100040}},
    {32, {5100190, 5100240}}, {40, {5100140, 5100140}}, {41, {5100150, 5100150}}, {42, {5100200, 5100250}},
};

// Points of one stage grade in the final grade (0 best .. 4).
constexpr uint32_t kGradePoints[kGradeCount] = {50, 40, 30, 20, 10};

}  // namespace

int32_t StageTimeBonus(int32_t stage, uint32_t seconds)
{
    for (const TimeLimits &group : kTimeLimits) {
        if (std::find(std::begin(group.stages), std::end(group.stages), stage) == std::end(group.stages) ||
            stage == 0) {
            continue;
        }
        for (int i = 0; i < 5; ++i) {
            if (seconds < group.limits[i]) {
                return kTimeBonus[i];
            }
        }
        return 0;
    }
    return 0;
}

int32_t HitCountPoints(int32_t bestHits)
{
    for (const HitStep &step : kHitSteps) {
        if (bestHits > step.above) {
            return step.points;
        }
    }
    return 0;
}

uint32_t GradeOfScore(int64_t score)
{
    for (uint32_t grade = 0; grade < 4; ++grade) {
        if (score >= kGradeScores[grade]) {
            return grade;
        }
    }
    return 4;
}

int32_t GradeBonus(uint32_t grade) { return grade < kGradeCount ? kGradeBonus[grade] : 0; }

int32_t StageRewardItem(int32_t stage, int32_t hero)
{
    for (const RewardRow &row : kRewards) {
        if (row.stage == stage) {
            return row.items[hero > 0 ? 1 : 0];
        }
    }
    return kNoRewardItem;
}

uint32_t ScreenAfterRanking(int32_t stage) { return stage == 37 || stage == 38 ? 17u : 11u; }

StageRating RateStage(int32_t stage, uint32_t playMs, int32_t earnings, int32_t bestHits, int32_t money)
{
    StageRating r;
    r.seconds = playMs / 1000;
    r.earnings = earnings;
    r.bestHits = bestHits;
    r.timeBonus = StageTimeBonus(stage, r.seconds);
    r.hitPoints = HitCountPoints(bestHits);
    r.score = static_cast<int64_t>(r.timeBonus) + earnings + r.hitPoints;
    r.grade = GradeOfScore(r.score);
    r.bonus = GradeBonus(r.grade);
    const int64_t paid = static_cast<int64_t>(money) + r.bonus + earnings;
    r.newMoney = static_cast<int32_t>(std::clamp<int64_t>(paid, 0, kHeroMoneyMax));
    return r;
}

void RecordStageResult(CarriedProgress *progress, CarriedHero *hero, int32_t stage, uint32_t playMs, int32_t bestHits,
                       uint32_t grade)
{
    progress->playTimeMs += playMs;
    progress->bestHitCount = std::max(progress->bestHitCount, static_cast<uint32_t>(std::max(bestHits, 0)));
    const int32_t slot = StageNumberToSlot(stage);
    if (slot >= 0) {
        hero->grades[slot] = static_cast<uint8_t>(grade);
    }
}

uint32_t FinalGrade(const uint8_t grades[kStageSlots], uint32_t *graded)
{
    uint32_t sum = 0;
    uint32_t count = 0;
    for (int32_t slot = 1; slot < kStageSlots; ++slot) {
        if (grades[slot] < kGradeCount) {
            sum += kGradePoints[grades[slot]];
            ++count;
        }
    }
    *graded = count;
    // Nothing graded has no average: the lowest grade.
    if (count == 0) {
        return 4;
    }
    const uint32_t average = sum / count;
    if (average > 40) {
        return 0;
    }
    if (average > 32) {
        return 1;
    }
    if (average >= 26) {
        return 2;
    }
    if (average >= 16) {
        return 3;
    }
    return 4;
}

void FormatPlayTime(uint32_t seconds, uint32_t maxHours, bool padHours, char *out, size_t size)
{
    uint32_t hours = seconds / 3600;
    if (maxHours != 0) {
        hours = std::min(hours, maxHours);
    }
    const uint32_t minutes = seconds % 3600 / 60;
    std::snprintf(out, size, padHours ? "%02u:%02u:%02u" : "%u:%02u:%02u", hours, minutes, seconds % 60);
}
