// The ranking screen frame by frame on the real screens and the sample
// pictures: what its activation rates, pays and records; the phases and
// sounds of each confirm; no input in the first 500 ms; the grade's sound
// once; the reward given (also without a name); the way on to the lobby or
// the stage clear; a RANKPIC pack missing or empty; reviewed references
// of each phase, and each grade letter in its place in both language
// sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actor/item_records.h"
#include "actor/item_texts.h"
#include "app/text_block.h"
#include "tests/ui/result_screens_support.h"
#include "ui/ranking_screen.h"

namespace ranking_screen_test {

namespace {

using resulttest::ResultScreensTest;
using uitest::Links;

class RankingTest : public ResultScreensTest {
protected:
    // Switches to the ranking after stage `stage`.
    void Enter(int32_t stage, uint32_t playMs, int32_t earnings, int32_t bestHits, int32_t money)
    {
        hero.money = money;
        FinishStage(stage, playMs, earnings, bestHits);
        Goto(kUIRanking);
        ranking = ui->Ranking();
    }
    void PassIntro()
    {
        while (ranking->introMs < CSRanking::kIntroMs) {
            Updates(1);
        }
    }
    // Past the intro, then the count-up, the hero and the grade each
    // confirmed at once: the reward, or the way out where there is none.
    void PassToTheReward()
    {
        PassIntro();
        Confirm();
        Confirm();
        Confirm();
    }
    // Updates until the screen asks for another; how many it took (at most `limit`).
    int UntilRequest(int limit = 400)
    {
        int n = 0;
        while (ui->RequestedScreen() == kUIRanking && n < limit) {
            Updates(1);
            ui->DrawFade();  // a fade ends once drawn at its end
            ++n;
        }
        return n;
    }

    // `count` frames as the game has them: an update, then the drawing.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            Updates(1);
            DrawFrame([&] { DrawScreens(); });
        }
    }

    CSRanking *ranking = nullptr;
};

TEST_F(RankingTest, ActivationRatesPaysOnceAndRecords)
{
    StartOn("rank_rate");
    ui->progress.playTimeMs = 5000;
    ui->progress.bestHitCount = 40;
    // Stage 8 in 89 s: T 2600; E 100; 36 hits: P 300. S 3000: grade 0, B 500.
    Enter(8, 89000, 100, 36, 1000);
    ASSERT_NE(ranking, nullptr);
    const StageRating &r = ranking->Rating();
    EXPECT_EQ(r.timeBonus, 2600);
    EXPECT_EQ(r.earnings, 100);
    EXPECT_EQ(r.hitPoints, 300);
    EXPECT_EQ(r.score, 3000);
    EXPECT_EQ(ranking->grade, 0u);
    EXPECT_EQ(r.bonus, 500);
    // Money + B + E, paid once: the earnings are emptied with it.
    EXPECT_EQ(hero.money, 1600);
    EXPECT_EQ(hero.stageMoney, 0);
    EXPECT_EQ(ui->progress.playTimeMs, 94000u);
    EXPECT_EQ(ui->progress.bestHitCount, 40u);  // 36 does not lower it
    EXPECT_EQ(ui->heroBlock.grades[7], 0);
    // The texts: the time right-aligned at 550 ("0:01:29"), the money "1600".
    const CSTextBlock *time = ranking->TextBlock(CSRanking::kTimeText);
    ASSERT_NE(time, nullptr);
    ASSERT_EQ(time->Rows().size(), 1u);
    EXPECT_EQ(time->Rows()[0].text, u"0:01:29");
    EXPECT_EQ(time->Rows()[0].x + time->Rows()[0].width, 550);
    EXPECT_EQ(ranking->TextBlock(CSRanking::kMoneyText)->Rows()[0].text, u"1600");
    EXPECT_TRUE(HasScreenLine(TakeTrace(), {"rank", "8", "89", "100", "36", "3000", "0", "500", "1600"}));
    EXPECT_EQ(Fatals(), 0u);
    // Activated again while it shows: nothing is rated, paid or recorded again.
    ranking->SetActive(1);
    EXPECT_EQ(hero.money, 1600);
    EXPECT_EQ(ui->progress.playTimeMs, 94000u);
    EXPECT_TRUE(gametest::ValuesOf(TakeTrace(), "screen", "rank").empty());
}

// Without a hero on the stage (its links give none) the payment goes into
// the hero block's money, from the block's own figure.
TEST_F(RankingTest, WithoutAHeroTheBlockIsPaid)
{
    StartOn("rank_block");
    Links().hero = nullptr;
    ui->heroBlock.money = 1000;
    // Stage 8 in 89 s without earnings or hits: T 2600, S 2600: grade 1, B 300.
    FinishStage(8, 89000, 0, 0);
    Goto(kUIRanking);
    ranking = ui->Ranking();
    EXPECT_EQ(ranking->Rating().bonus, 300);
    EXPECT_EQ(ui->heroBlock.money, 1300);
    EXPECT_EQ(hero.money, 0);
}

// Without a hero on the stage the hero block's type says whose reward it
// is: stage 32's for the second hero is 5100240.
TEST_F(RankingTest, WithoutAHeroTheBlocksHeroTypeChoosesTheReward)
{
    StartOn("rank_block_hero");
    Links().hero = nullptr;
    ui->heroBlock.heroType = 1;
    Enter(32, 100000, 0, 0, 0);
    PassToTheReward();
    ASSERT_EQ(ranking->phase, CSRanking::kReward);
    EXPECT_EQ(ranking->rewardItem, 5100240);
}

// Its first 500 ms take no input, to the millisecond, counted from its
// first update; the hero's fade-in then lasts 500 ms.
TEST_F(RankingTest, ItsFirstFiveHundredMillisecondsTakeNoInput)
{
    StartOn("rank_intro");
    Enter(8, 200000, 0, 0, 0);
    Confirm(499);
    EXPECT_EQ(ranking->phase, CSRanking::kCountUp);
    Confirm(1);
    EXPECT_EQ(ranking->phase, CSRanking::kHeroFade);
    // The hero then fades in for 500 ms; the grade comes in the update past it.
    Updates(1, 500);
    EXPECT_EQ(ranking->phase, CSRanking::kHeroFade);
    Updates(1, 1);
    EXPECT_EQ(ranking->phase, CSRanking::kGradeZoom);
}

TEST_F(RankingTest, EachConfirmHasItsSoundAndPhase)
{
    StartOn("rank_phases");
    Enter(8, 200000, 0, 0, 0);  // T 300: grade 4, B 0
    TakeTrace();
    // Nothing is taken during the first 500 ms.
    for (int i = 0; i < 31; ++i) {
        Confirm();
        ASSERT_EQ(ranking->phase, CSRanking::kCountUp) << i;
    }
    EXPECT_LT(ranking->introMs, CSRanking::kIntroMs);
    EXPECT_TRUE(SoundsOf(TakeTrace()).empty());
    // Count-up: ended at once; the texts show, the pictures are read in.
    Confirm();
    ASSERT_GE(ranking->introMs, CSRanking::kIntroMs);
    EXPECT_EQ(ranking->phase, CSRanking::kHeroFade);
    EXPECT_GE(ranking->countUpMs, CSRanking::kCountUpMs);
    EXPECT_NE(ranking->pictures.HeroPicture(), nullptr);
    EXPECT_FALSE(ranking->pictures.Reading());
    // Hero: on to the grade.
    Confirm();
    EXPECT_EQ(ranking->phase, CSRanking::kGradeZoom);
    // Grade: the zoom ends with its sound; stage 8 has a reward: the band.
    Confirm();
    EXPECT_EQ(ranking->phase, CSRanking::kReward);
    EXPECT_EQ(ranking->rewardItem, 5100170);
    EXPECT_EQ(ranking->zoomMs, CSRanking::kZoomMs);
    // Reward: given to the first player's list, then the way out.
    Confirm();
    EXPECT_EQ(ranking->phase, CSRanking::kLeaving);
    EXPECT_EQ(Links().added, (std::vector<std::pair<int32_t, uint32_t>>{{1, 5100170u}}));
    const std::vector<gametest::TraceRecord> trace = TakeTrace();
    EXPECT_EQ(SoundsOf(trace), (std::vector<int64_t>{6600060, 6600060, 6600220, 6600240, 6600060}));
    EXPECT_TRUE(HasScreenLine(trace, {"reward", "5100170", "given"}));
    EXPECT_TRUE(ui->IsFading());
    // Presses while it leaves change nothing; after the fade, the lobby.
    Confirm();
    EXPECT_TRUE(Links().added.size() == 1);
    const int n = UntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), kUILobby);
    EXPECT_GE(n * 16, 1000) << n;
    EXPECT_TRUE(SoundsOf(TakeTrace()).empty());
}

// The grade's zoom lasts 500 ms to the millisecond, counted from the
// update after the one that ended the hero's fade, or after the confirm
// that cut the fade short: its sound comes at 500 ms, not a millisecond
// before.
TEST_F(RankingTest, TheGradesZoomLastsFiveHundredMillisecondsFromTheFadesEnd)
{
    StartOn("rank_zoom_ms");
    Enter(10, 100000, 0, 0, 0);
    PassIntro();
    Confirm();  // the count-up ended
    ASSERT_EQ(ranking->phase, CSRanking::kHeroFade);
    Updates(1, 501);  // past the fade's 500 ms
    ASSERT_EQ(ranking->phase, CSRanking::kGradeZoom);
    Updates(1, 499);
    EXPECT_EQ(ranking->zoomMs, 499u);
    EXPECT_FALSE(ranking->ZoomSoundPlayed());
    Updates(1, 1);
    EXPECT_TRUE(ranking->ZoomSoundPlayed());
    // Again, the fade cut short by a confirm.
    ui->RequestModule(kUILobby);
    Updates(1);
    Enter(10, 100000, 0, 0, 0);
    PassIntro();
    Confirm();
    Confirm();
    ASSERT_EQ(ranking->phase, CSRanking::kGradeZoom);
    TakeTrace();
    Updates(1, 499);
    EXPECT_EQ(ranking->zoomMs, 499u);
    EXPECT_FALSE(ranking->ZoomSoundPlayed());
    Updates(1, 1);
    EXPECT_EQ(SoundsOf(TakeTrace()), (std::vector<int64_t>{6600220}));
}

TEST_F(RankingTest, TheGradeSoundPlaysOnceAndAStageWithoutRewardLeaves)
{
    StartOn("rank_zoom");
    Enter(10, 100000, 0, 0, 0);  // stage 10: no reward
    PassIntro();
    // Left alone: the count-up, the hero's fade, the zoom and its sound.
    for (int i = 0; i < 200 && !ranking->ZoomSoundPlayed(); ++i) {
        Updates(1);
    }
    ASSERT_EQ(ranking->phase, CSRanking::kGradeZoom);
    for (int i = 0; i < 20; ++i) {
        Updates(1);
    }
    EXPECT_EQ(SoundsOf(TakeTrace()), (std::vector<int64_t>{6600220}));
    // The zoom has ended: confirm leaves with the confirm sound only.
    Confirm();
    EXPECT_EQ(ranking->phase, CSRanking::kLeaving);
    EXPECT_EQ(SoundsOf(TakeTrace()), (std::vector<int64_t>{6600060}));
    EXPECT_TRUE(Links().added.empty());
    UntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), kUILobby);
}

TEST_F(RankingTest, StageThirtySevenGoesOnToTheStageClear)
{
    StartOn("rank_final_37");
    Enter(37, 100000, 0, 0, 0);
    PassToTheReward();
    EXPECT_EQ(ranking->phase, CSRanking::kLeaving);
    UntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), kUIStageClear);
}

TEST_F(RankingTest, StageThirtyEightGoesOnToTheStageClear)
{
    StartOn("rank_final_38");
    Enter(38, 100000, 0, 0, 0);
    PassToTheReward();
    UntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), kUIStageClear);
}

TEST_F(RankingTest, ARewardWithoutANameIsStillGiven)
{
    StartOn("rank_noname");
    CSItemDescTable descriptions;  // without the reward's entry
    descriptions.SetEntries({ItemDescEntry{5300000, u"Herb", u""}});
    Links().descriptions = &descriptions;
    hero.aiType = 1;
    Enter(32, 100000, 0, 0, 0);  // hero 1's reward of stage 32: 5100240
    PassToTheReward();
    ASSERT_EQ(ranking->phase, CSRanking::kReward);
    EXPECT_EQ(ranking->rewardItem, 5100240);
    EXPECT_TRUE(ranking->TextBlock(CSRanking::kRewardText)->Empty());
    // The band draws without the name.
    DrawFrame([&] { DrawScreens(); });
    Confirm();
    EXPECT_EQ(Links().added, (std::vector<std::pair<int32_t, uint32_t>>{{1, 5100240u}}));
}

TEST_F(RankingTest, TheRewardsNameComesFromTheItemDescriptions)
{
    StartOn("rank_name");
    CSItemDescTable descriptions;
    descriptions.SetEntries({ItemDescEntry{5100110, u"Star Amulet", u"A reward."}});
    Links().descriptions = &descriptions;
    Enter(15, 100000, 0, 0, 0);
    PassToTheReward();
    const CSTextBlock *name = ranking->TextBlock(CSRanking::kRewardText);
    ASSERT_EQ(name->Rows().size(), 1u);
    EXPECT_EQ(name->Rows()[0].text, u"Star Amulet");
    // Rows centred on x = 320.
    EXPECT_NEAR(name->Rows()[0].x + name->Rows()[0].width / 2.0, 320.0, 1.0);
}

// Stage 15's reward, 5100110, is one of the four items shown by their item
// picture: once the band is open (and the hero's picture has settled) it
// fills (304, 240)-(335, 272), and an item with neither picture leaves the
// band bare.
TEST_F(RankingTest, AnItemRewardShowsItsItemPictureInTheOpenBand)
{
    StartOn("rank_item_picture");
    Enter(15, 100000, 0, 0, 0);
    PassToTheReward();
    ASSERT_EQ(ranking->phase, CSRanking::kReward);
    ASSERT_EQ(ranking->rewardItem, 5100110);
    Frames(80);
    ASSERT_GE(ranking->bandMs, CSRanking::kBandOpenMs);
    const std::vector<uint32_t> shown = DrawFrame([&] { DrawScreens(); }).pixels;
    ranking->rewardItem = 5300000;
    const std::vector<uint32_t> bare = DrawFrame([&] { DrawScreens(); }).pixels;
    int x0 = 640, y0 = 480, x1 = 0, y1 = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const size_t i = static_cast<size_t>(y) * 640 + static_cast<size_t>(x);
            if (shown[i] != bare[i]) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }
        }
    }
    EXPECT_EQ(x0, 304);
    EXPECT_EQ(y0, 240);
    EXPECT_EQ(x1, 335);
    EXPECT_EQ(y1, 272);
}

// With the hero's pack missing, or empty, the screen goes through all its
// phases without the pictures and ends.
class RankingWithoutPack : public RankingTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RankingWithoutPack, LeavesThePicturesOutAndEnds)
{
    const bool missing = GetParam();
    StartOn(missing ? "rank_nopack" : "rank_emptypack");
    if (missing) {
        resulttest::RemoveFile(root, "PACK/UI1/RANKPIC1.STR");
        resulttest::RemoveFile(root, "PACK/UI1/RANKPIC1.LST");
    } else {
        resulttest::EmptyFile(root, "PACK/UI1/RANKPIC1.STR");
    }
    Enter(8, 100000, 0, 0, 0);
    for (int i = 0; i < 600 && ui->RequestedScreen() == kUIRanking; ++i) {
        Press(0, kPadCircle);
        Updates(1);
        ui->DrawFade();
    }
    EXPECT_EQ(ui->RequestedScreen(), kUILobby);
    EXPECT_TRUE(ranking->pictures.GaveUp());
    EXPECT_EQ(ranking->pictures.HeroPicture(), nullptr);
    EXPECT_EQ(Fatals(), 0u);
}

INSTANTIATE_TEST_SUITE_P(MissingOrEmpty, RankingWithoutPack, ::testing::Bool());

// The reward band opens downwards from 200 at 0.4 pixels a millisecond to
// 280 in 200 ms, a step with each drawing.
TEST_F(RankingTest, TheRewardBandOpensOverTwoHundredMilliseconds)
{
    StartOn("rank_band");
    CSItemDescTable descriptions;
    descriptions.SetEntries({ItemDescEntry{5100170, u"Steel Sword", u"A reward."}});
    Links().descriptions = &descriptions;
    Enter(8, 200000, 0, 0, 0);
    PassToTheReward();
    ASSERT_EQ(ranking->phase, CSRanking::kReward);
    const uint32_t frameMs = gs.FrameMs();
    ASSERT_GT(frameMs, 0u);
    // The lowest row of the band's bottom line (green 38, 180, 126) at the left edge.
    const auto bandBottom = [](const win::Frame &frame) {
        int32_t lowest = -1;
        for (uint32_t y = 190; y < 300; ++y) {
            if ((frame.At(4, y) & 0xFFFFFFu) == 0x26B47Eu) {
                lowest = static_cast<int32_t>(y);
            }
        }
        return lowest;
    };
    for (uint32_t drawing = 0; drawing * frameMs < 320; ++drawing) {
        SCOPED_TRACE(drawing);
        const win::Frame frame = DrawFrame([&] { DrawScreens(); });
        const float elapsed = static_cast<float>(std::min(drawing * frameMs, CSRanking::kBandOpenMs));
        const int32_t expected = static_cast<int32_t>(200.0f + 0.4f * elapsed);
        EXPECT_NEAR(bandBottom(frame), std::max(expected - 1, 201), 1);  // the top line at 200 and 201
    }
}

// Left for another screen, the ranking gives its texts back to the pool and
// frees its pictures; a second stage's ranking starts afresh.
TEST_F(RankingTest, LeavingItGivesBackItsTextsAndPictures)
{
    StartOn("rank_leave");
    Goto(kUIGamePlay);
    const int before = uitest::TextBlocksInUse(gs);
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        Enter(8, 100000, 0, 0, 0);
        PassIntro();
        Confirm();
        EXPECT_NE(ranking->pictures.HeroPicture(), nullptr);
        EXPECT_GT(uitest::TextBlocksInUse(gs), before);
        Goto(kUIGamePlay);
        EXPECT_EQ(uitest::TextBlocksInUse(gs), before);
        EXPECT_EQ(ranking->pictures.HeroPicture(), nullptr);
        EXPECT_FALSE(ranking->pictures.Reading());
    }
}

TEST_F(RankingTest, ThePicturesStreamOnePiecePerUpdate)
{
    StartOn("rank_stream");
    Enter(8, 100000, 0, 0, 0);
    Updates(1);
    const uint32_t first = ranking->pictures.BytesRead();
    EXPECT_EQ(first, 32768u);
    Updates(1);
    EXPECT_EQ(ranking->pictures.BytesRead(), 2 * first);
}

// Reviewed references of each phase: the count-up with its three figures,
// the hero faded in, the grade letter in place, the reward band open. In
// language 0 the labels and the grade letter take their own pictures and
// places, which the grade's phase shows all of.
class RankingShots : public RankingTest, public ::testing::WithParamInterface<int32_t> {
protected:
    void ExpectPhase(const std::string &name)
    {
        if (GetParam() != 0) {
            ExpectShot(name, [&] { DrawScreens(); });
        }
    }
};

TEST_P(RankingShots, EachPhaseLooksAsReviewed)
{
    StartOn(GetParam() == 0 ? "rank_shots_chi" : "rank_shots", GetParam());
    EquipContent sword;
    sword.equipId = 5100170;
    hero.equipped[kHeroWeaponSlot] = &sword;
    CSItemDescTable descriptions;
    descriptions.SetEntries({ItemDescEntry{5100170, u"Steel Sword", u"A reward."}});
    Links().descriptions = &descriptions;
    Enter(8, 100000, 2000, 36, 1000);
    PassIntro();
    while (ranking->countUpMs < 880) {
        Frames(1);
    }
    ExpectPhase("ranking_count_up");
    // The fade advances with the update and again with each drawing: about
    // a quarter of a second when both run.
    Confirm();
    Frames(6);
    ASSERT_EQ(ranking->phase, CSRanking::kHeroFade);
    ExpectPhase("ranking_hero");
    Confirm();
    Frames(40);
    ExpectShot(GetParam() == 0 ? "ranking_grade_chi" : "ranking_grade", [&] { DrawScreens(); });
    Confirm();
    Frames(15);
    ExpectPhase("ranking_reward");
}

INSTANTIATE_TEST_SUITE_P(Languages, RankingShots, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int32_t> &info) {
                             return "Language" + std::to_string(info.param);
                         });

// Each grade's letter where its language set puts it once its zoom is
// over: the pixels the letter changes, shown at full against not yet
// seen, fill its rectangle and hold its picture. Half-way through the zoom
// the letter stands at twice its size about its place.
class RankingGradeLetters : public RankingTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RankingGradeLetters, StandInTheirPlaces)
{
    using resulttest::ScreenBox;
    const int32_t language = GetParam();
    StartOn("rank_letters_" + std::to_string(language), language);
    Enter(8, 100000, 2000, 36, 1000);
    PassIntro();
    Confirm();  // the count-up
    Frames(6);
    Confirm();  // the hero
    Frames(40);
    ASSERT_EQ(ranking->phase, CSRanking::kGradeZoom);
    const ScreenBox chinese = {397, 227, 526, 285};
    const ScreenBox places[2][5] = {
        {chinese, chinese, chinese, chinese, chinese},
        {{413, 225, 497, 283}, {374, 229, 520, 267}, {382, 219, 521, 277}, {384, 221, 507, 279}, {365, 227, 562, 285}},
    };
    auto draw = [&](uint32_t zoomMs) {
        ranking->zoomMs = zoomMs;
        return DrawFrame([&] { DrawScreens(); }).pixels;
    };
    for (uint32_t grade = 0; grade < 5; ++grade) {
        SCOPED_TRACE(grade);
        ranking->grade = grade;
        const std::vector<uint32_t> unseen = draw(0);  // three times its size at alpha 0
        const std::vector<uint32_t> shown = draw(CSRanking::kZoomMs);
        const ScreenBox &place = places[language == 0 ? 0 : 1][grade];
        EXPECT_EQ(resulttest::ChangedBox(unseen, shown), place);
        resulttest::ExpectCutLikeReference(shown, place, root,
                                           "ranking_letter_" + std::string(language == 0 ? "chi_" : "eng_") +
                                               std::to_string(grade));
        if (grade == 0 && language != 0) {
            // Widened on each side by half its width and height.
            const int w = place.x1 - place.x0;
            const int h = place.y1 - place.y0;
            const ScreenBox half = {place.x0 - w / 2, place.y0 - h / 2, place.x1 + w / 2, place.y1 + h / 2};
            EXPECT_EQ(resulttest::ChangedBox(unseen, draw(250)), half);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, RankingGradeLetters, ::testing::Values(1, 0));

}  // namespace

}  // namespace ranking_screen_test
