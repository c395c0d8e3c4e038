// The rules that rate a finished stage and the whole game, apart from the
// screens that show them: the time bonus by stage group, the points of the
// best hit count, the score's grade (0 best .. 4) and its money bonus, the
// reward item of the eight reward stages, the screen the ranking leads to,
// and the final grade over every graded stage.
#pragma once

#include <cstddef>
#include <cstdint>

#include "actor/save_file.h"

inline constexpr uint32_t kGradeCount = 5;
inline constexpr int32_t kNoRewardItem = -1;

// T: the time bonus of stage number `stage` finished in `seconds`; 0 for a
// stage without time limits (stage 1 among them).
int32_t StageTimeBonus(int32_t stage, uint32_t seconds);
// P: the points of the best hit count (below 6: none).
int32_t HitCountPoints(int32_t bestHits);
// The grade of the score S = T + E + P.
uint32_t GradeOfScore(int64_t score);
// B: the money bonus of a grade (0 outside 0..4).
int32_t GradeBonus(uint32_t grade);
// The item the stage gives hero `hero` (0 or 1); kNoRewardItem for none.
int32_t StageRewardItem(int32_t stage, int32_t hero);
// Screen 17 (the stage clear) after the final stages 37 and 38, else 11.
uint32_t ScreenAfterRanking(int32_t stage);

// One stage's rating, everything the ranking shows and pays.
struct StageRating {
    uint32_t seconds = 0;   // t
    int32_t earnings = 0;   // E
    int32_t bestHits = 0;   // H
    int32_t timeBonus = 0;  // T
    int32_t hitPoints = 0;  // P
    int64_t score = 0;      // S
    uint32_t grade = 4;
    int32_t bonus = 0;      // B
    int32_t newMoney = 0;   // money + B + E, kept within 0..999999
};
StageRating RateStage(int32_t stage, uint32_t playMs, int32_t earnings, int32_t bestHits, int32_t money);

// What the ranking writes into the progress: the stage's play time added
// to the total, the best hit count raised (never lowered; a negative count
// counts as 0), the grade in the stage's slot of the hero block (nothing
// for a stage outside the table).
void RecordStageResult(CarriedProgress *progress, CarriedHero *hero, int32_t stage, uint32_t playMs, int32_t bestHits,
                       uint32_t grade);

// The game's final grade over the grades of stage slots 1..28 (slot 0 is
// not counted; values above 4 are no grade). With nothing graded the grade
// is 4 and *graded 0.
uint32_t FinalGrade(const uint8_t grades[kStageSlots], uint32_t *graded);

// "H:MM:SS" of a play time in seconds; the hours are held at `maxHours`
// (0: no limit) and written with two digits at least when `padHours`.
void FormatPlayTime(uint32_t seconds, uint32_t maxHours, bool padHours, char *out, size_t size);
