// The rating rules, table by table: the time bonus of every stage group at
// each of its limits, the hit points, the grade's score limits and bonus,
// the money's ceiling, the rewards by stage and hero, where the ranking
// leads, what it records, and the final grade over the stage grades.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/stage_rating.h"
#include "ui/stage_table.h"

namespace stage_rating_test {

namespace {

struct Group {
    std::vector<int32_t> stages;
    uint32_t limits[5];
};

const std::vector<Group> &Groups()
{
    static const std::vector<Group> groups = {
        {{2, 3, 17, 34}, {150, 300, 600, 900, 1500}},
        {{4, 6, 10, 28, 30, 31, 33, 36, 40, 41, 42}, {240, 600, 900, 1200, 1500}},
        {{5, 16, 19, 23, 25, 29}, {180, 420, 900, 1200, 1500}},
        {{8, 15, 22}, {90, 180, 300, 600, 1200}},
        {{27, 32, 37, 38}, {120, 240, 420, 660, 1380}},
    };
    return groups;
}

TEST(StageRating, EveryGroupAtEachOfItsLimits)
{
    const int32_t bonus[6] = {2600, 500, 300, 150, 50, 0};
    for (const Group &group : Groups()) {
        for (int32_t stage : group.stages) {
            EXPECT_EQ(StageTimeBonus(stage, 0), 2600) << stage;
            for (int i = 0; i < 5; ++i) {
                // Just under a limit is the band below it; the limit itself the next.
                EXPECT_EQ(StageTimeBonus(stage, group.limits[i] - 1), bonus[i]) << stage << " limit " << i;
                EXPECT_EQ(StageTimeBonus(stage, group.limits[i]), bonus[i + 1]) << stage << " limit " << i;
            }
            EXPECT_EQ(StageTimeBonus(stage, 0xFFFFFFFFu), 0) << stage;
        }
    }
}

TEST(StageRating, StageEightIn89SecondsAndStagesWithoutLimits)
{
    EXPECT_EQ(StageTimeBonus(8, 89), 2600);
    EXPECT_EQ(StageTimeBonus(8, 1200), 0);
    EXPECT_EQ(StageTimeBonus(8, 5000), 0);
    // Stage 1 and the numbers no group holds give nothing, however fast.
    for (int32_t stage : {1, 0, 7, 9, 11, 18, 20, 35, 39, 43, -1, 2000000}) {
        EXPECT_EQ(StageTimeBonus(stage, 0), 0) << stage;
        EXPECT_EQ(StageTimeBonus(stage, 1), 0) << stage;
    }
    // The rating reads whole seconds of the play time.
    EXPECT_EQ(RateStage(8, 89999, 0, 0, 0).timeBonus, 2600);
    EXPECT_EQ(RateStage(8, 90000, 0, 0, 0).timeBonus, 500);
    EXPECT_EQ(RateStage(1, 1000, 0, 0, 0).timeBonus, 0);
}

TEST(StageRating, HitPoints)
{
    const std::pair<int32_t, int32_t> cases[] = {{-5, 0},  {0, 0},     {5, 0},    {6, 50},  {15, 50},   {16, 100},
                                                 {25, 100}, {26, 200},  {35, 200}, {36, 300}, {45, 300}, {46, 450},
                                                 {55, 450}, {56, 600},  {65, 600}, {66, 1000}, {100000, 1000}};
    for (const auto &[hits, points] : cases) {
        EXPECT_EQ(HitCountPoints(hits), points) << hits;
    }
}

TEST(StageRating, GradesAndTheirBonus)
{
    EXPECT_EQ(GradeOfScore(3000), 0u);
    EXPECT_EQ(GradeOfScore(2999), 1u);
    EXPECT_EQ(GradeOfScore(2400), 1u);
    EXPECT_EQ(GradeOfScore(2399), 2u);
    EXPECT_EQ(GradeOfScore(1850), 2u);
    EXPECT_EQ(GradeOfScore(1849), 3u);
    EXPECT_EQ(GradeOfScore(1400), 3u);
    EXPECT_EQ(GradeOfScore(1399), 4u);
    EXPECT_EQ(GradeOfScore(-50), 4u);
    const int32_t bonus[5] = {500, 300, 200, 100, 0};
    for (uint32_t grade = 0; grade < 5; ++grade) {
        EXPECT_EQ(GradeBonus(grade), bonus[grade]);
    }
    EXPECT_EQ(GradeBonus(5), 0);
    EXPECT_EQ(GradeBonus(255), 0);
}

TEST(StageRating, ScoreGradeAndMoneyOfOneStage)
{
    // Stage 8 in 100 s (T 500), 2000 earned (E), 36 hits (P 300): S 2800, grade 1, B 300.
    const StageRating r = RateStage(8, 100000, 2000, 36, 1000);
    EXPECT_EQ(r.seconds, 100u);
    EXPECT_EQ(r.timeBonus, 500);
    EXPECT_EQ(r.hitPoints, 300);
    EXPECT_EQ(r.score, 2800);
    EXPECT_EQ(r.grade, 1u);
    EXPECT_EQ(r.bonus, 300);
    EXPECT_EQ(r.newMoney, 1000 + 300 + 2000);
    // S of exactly 3000 is grade 0 and pays 500.
    const StageRating best = RateStage(8, 1000, 400, 0, 0);
    EXPECT_EQ(best.score, 3000);
    EXPECT_EQ(best.grade, 0u);
    EXPECT_EQ(best.newMoney, 900);
    EXPECT_EQ(RateStage(8, 1000, 399, 0, 0).grade, 1u);
}

TEST(StageRating, MoneyIsHeldWithin0And999999)
{
    EXPECT_EQ(RateStage(8, 1000, 5000, 0, 999000).newMoney, 999999);
    EXPECT_EQ(RateStage(8, 1000, 0x7FFFFFFF, 0, 0x7FFFFFFF).newMoney, 999999);
    EXPECT_EQ(RateStage(1, 1000000, -100000, 0, 50).newMoney, 0);
}

TEST(StageRating, RewardsByStageAndHero)
{
    struct Row {
        int32_t stage, hero0, hero1;
    };
    const Row rows[] = {{8, 5100170, 5100220},  {15, 5100110, 5100110}, {22, 5100180, 5100230},
                        {27, 5100040, 5100040}, {32, 5100190, 5100240}, {40, 5100140, 5100140},
                        {41, 5100150, 5100150}, {42, 5100200, 5100250}};
    for (const Row &row : rows) {
        EXPECT_EQ(StageRewardItem(row.stage, 0), row.hero0) << row.stage;
        EXPECT_EQ(StageRewardItem(row.stage, 1), row.hero1) << row.stage;
    }
    for (int32_t stage = -1; stage <= 43; ++stage) {
        bool listed = false;
        for (const Row &row : rows) {
            listed = listed || row.stage == stage;
        }
        if (!listed) {
            EXPECT_EQ(StageRewardItem(stage, 0), kNoRewardItem) << stage;
            EXPECT_EQ(StageRewardItem(stage, 1), kNoRewardItem) << stage;
        }
    }
}

TEST(StageRating, TheFinalStagesLeadToTheStageClear)
{
    for (int32_t stage = -1; stage <= 43; ++stage) {
        EXPECT_EQ(ScreenAfterRanking(stage), stage == 37 || stage == 38 ? 17u : 11u) << stage;
    }
}

TEST(StageRating, RecordingAddsTheTimeRaisesTheBestAndPlacesTheGrade)
{
    CarriedProgress progress = NewGameProgress();
    CarriedHero hero = NewGameHero();
    progress.playTimeMs = 1000;
    RecordStageResult(&progress, &hero, 10, 65000, 20, 2);
    EXPECT_EQ(progress.playTimeMs, 66000u);
    EXPECT_EQ(progress.bestHitCount, 20u);
    EXPECT_EQ(hero.grades[StageNumberToSlot(10)], 2);  // slot 6
    EXPECT_EQ(hero.grades[6], 2);
    // A lower count never lowers the best; a negative one counts as 0.
    RecordStageResult(&progress, &hero, 8, 1000, 12, 0);
    EXPECT_EQ(progress.bestHitCount, 20u);
    EXPECT_EQ(hero.grades[7], 0);
    RecordStageResult(&progress, &hero, 8, 1000, -7, 4);
    EXPECT_EQ(progress.bestHitCount, 20u);
    EXPECT_EQ(hero.grades[7], 4);
    RecordStageResult(&progress, &hero, 37, 1000, 21, 1);
    EXPECT_EQ(progress.bestHitCount, 21u);
    EXPECT_EQ(hero.grades[27], 1);
    EXPECT_EQ(progress.playTimeMs, 69000u);
    // A stage outside the table has no slot: no grade is written anywhere.
    const CarriedHero before = hero;
    RecordStageResult(&progress, &hero, 7, 1000, 0, 3);
    EXPECT_EQ(std::memcmp(before.grades, hero.grades, sizeof hero.grades), 0);
}

TEST(StageRating, AFirstStageWithoutHitsLeavesTheBestAtZero)
{
    // A new game's first stage cleared without a single hit (or with the
    // counter's "none" below zero) shows a best of 0 hits, not 1.
    CarriedProgress progress = NewGameProgress();
    CarriedHero hero = NewGameHero();
    RecordStageResult(&progress, &hero, 10, 30000, 0, 0);
    EXPECT_EQ(progress.bestHitCount, 0u);
    RecordStageResult(&progress, &hero, 10, 30000, -1, 0);
    EXPECT_EQ(progress.bestHitCount, 0u);
    RecordStageResult(&progress, &hero, 10, 30000, 1, 0);
    EXPECT_EQ(progress.bestHitCount, 1u);
}

// Grades for slots 1..n all `grade`, the others none.
void FillGrades(uint8_t grades[kStageSlots], std::initializer_list<uint8_t> list)
{
    std::memset(grades, kNoGrade, kStageSlots);
    int slot = 1;
    for (uint8_t g : list) {
        grades[slot++] = g;
    }
}

TEST(StageRating, FinalGradeByAverage)
{
    uint8_t grades[kStageSlots];
    uint32_t graded = 99;
    // Averages 41 (50 and nine 40: 410 / 10), 40, 28, 26, 25, 16, 15, 10, 11 and 13.
    struct Case {
        std::initializer_list<uint8_t> grades;
        uint32_t average;
        uint32_t grade;
    };
    const Case cases[] = {
        {{0, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 41, 0},
        {{1}, 40, 1},
        {{2, 2, 2, 2, 3}, 28, 2},
        {{2, 2, 2, 3, 3}, 26, 2},  // 130 / 5
        {{2, 3}, 25, 3},           // 50 / 2
        {{3, 3, 3, 4, 4}, 16, 3},  // 80 / 5
        {{3, 4}, 15, 4},           // 30 / 2
        {{4, 4, 4, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}, 10, 4},
        {{3, 4, 4, 4, 4, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}, 11, 4},
        {{4, 4, 3}, 13, 4},
    };
    for (const Case &c : cases) {
        FillGrades(grades, c.grades);
        EXPECT_EQ(FinalGrade(grades, &graded), c.grade) << "average " << c.average;
        EXPECT_EQ(graded, c.grades.size());
    }
    // Every stage grade 0 gives 0; every grade 4 (average 10) gives 4.
    std::memset(grades, 0, sizeof grades);
    EXPECT_EQ(FinalGrade(grades, &graded), 0u);
    EXPECT_EQ(graded, 28u);
    std::memset(grades, 4, sizeof grades);
    EXPECT_EQ(FinalGrade(grades, &graded), 4u);
}

TEST(StageRating, FinalGradeSkipsSlotZeroAndNoGrades)
{
    uint8_t grades[kStageSlots];
    uint32_t graded = 99;
    // Nothing graded has no average: grade 4, none counted (no division).
    std::memset(grades, kNoGrade, sizeof grades);
    EXPECT_EQ(FinalGrade(grades, &graded), 4u);
    EXPECT_EQ(graded, 0u);
    // Slot 0 (stage 1) never counts, nor bytes above 4.
    grades[0] = 0;
    grades[5] = 5;
    grades[6] = 200;
    EXPECT_EQ(FinalGrade(grades, &graded), 4u);
    EXPECT_EQ(graded, 0u);
    grades[28] = 0;
    EXPECT_EQ(FinalGrade(grades, &graded), 0u);
    EXPECT_EQ(graded, 1u);
}

TEST(StageRating, PlayTimeTexts)
{
    char text[32];
    FormatPlayTime(3723, 0, false, text, sizeof text);
    EXPECT_STREQ(text, "1:02:03");
    FormatPlayTime(59, 0, false, text, sizeof text);
    EXPECT_STREQ(text, "0:00:59");
    FormatPlayTime(36000 + 600 + 10, 0, false, text, sizeof text);
    EXPECT_STREQ(text, "10:10:10");
    // The stage clear pads the hours and shows 100 hours or more as 99.
    FormatPlayTime(3723, 99, true, text, sizeof text);
    EXPECT_STREQ(text, "01:02:03");
    FormatPlayTime(100u * 3600u, 99, true, text, sizeof text);
    EXPECT_STREQ(text, "99:00:00");
    FormatPlayTime(1000u * 3600u + 61, 99, true, text, sizeof text);
    EXPECT_STREQ(text, "99:01:01");
}

}  // namespace

}  // namespace stage_rating_test
