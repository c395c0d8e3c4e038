// The event movies frame by frame through the manager over the fake stage,
// with a stand-in for the movie player that reports playing until a test
// says the movie is over: the movie files by id, language and character,
// the start conditions, the music stopped and started again around the
// movie, the boss gauge asked once, the skip with the stage's exit after
// it, and the training movie of no hero, which ends without a movie.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/path.h"
#include "event/event_objects.h"
#include "event_test_support.h"

namespace movie_event_test {

namespace {

using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::RunFrame;
using event_test::StageLinks;

constexpr int32_t kStage1 = 2010000;
constexpr int32_t kStage8 = 2080000;
constexpr int32_t kBossMovie = 79080100;   // condition 100, gauge
constexpr int32_t kClosingMovie = 79080300;  // condition 200, exit after
constexpr int32_t kStage8Exit = 79080800;
constexpr int32_t kHeroTraining = 79010100;
constexpr int32_t kTraining = 79015000;    // condition 600

// The stand-in player and the hero's character, read by the links.
struct FakePlayer {
    bool playing = false;
    std::vector<std::string> calls;  // "play <path>", "stop"
    int32_t character = 0;
};
FakePlayer *g_player = nullptr;

std::string EndOf(const std::string &text, size_t count)
{
    return text.size() <= count ? text : text.substr(text.size() - count);
}

class MovieEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_player = &player;
        hero.aiType = 0;
        stage.heroes.push_back(&hero);
        links = std::make_unique<StageLinks>(&stage);
        g_eventLinks.playMovie = [](const char *path) {
            g_player->calls.push_back(std::string("play ") + path);
            g_player->playing = true;
        };
        g_eventLinks.stopMovie = [] {
            g_player->calls.push_back("stop");
            g_player->playing = false;
        };
        g_eventLinks.isMoviePlaying = [] { return g_player->playing; };
        g_eventLinks.playStageBGM = [] { g_player->calls.push_back("stage music"); };
        g_eventLinks.heroCharacter = [](AiObject *) { return g_player->character; };
    }
    void TearDown() override
    {
        links.reset();
        g_player = nullptr;
        SetLanguageIndex(1);
    }

    CSMovieEvent *Load(const std::vector<EventTableEntry> &entries, int32_t stageId, int32_t id)
    {
        manager = MakeManager(entries);
        manager->LoadStageEvents(stageId, static_cast<int32_t>(stage.heroes.size()));
        return static_cast<CSMovieEvent *>(manager->FindEvent(id));
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            RunFrame(*manager, stage, 1.0f / 60.0f);
        }
    }
    int Ended(int32_t id) const
    {
        const std::string line = std::to_string(id) + " movie ended";
        return static_cast<int>(std::count_if(stage.trace.begin(), stage.trace.end(),
                                               [&](const std::string &t) { return t.rfind(line, 0) == 0; }));
    }

    FakePlayer player;
    FakeStage stage;
    FakeActor hero;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
};

TEST(MovieFiles, NumbersBelowAThousandTakeALeadingZero)
{
    EXPECT_EQ(MovieFileName(150), "0150.BIK");
    EXPECT_EQ(MovieFileName(801), "0801.BIK");
    EXPECT_EQ(MovieFileName(999), "0999.BIK");
    EXPECT_EQ(MovieFileName(1000), "1000.BIK");
    EXPECT_EQ(MovieFileName(1701), "1701.BIK");
}

TEST(MovieFiles, StageOneTrainsAndTheOtherStagesShowTheirEventMoviesInTheLanguagesFolder)
{
    EXPECT_EQ(MovieEventFile(79015000, 1, 0), "\\ENGTRAIN\\0150.BIK");
    EXPECT_EQ(MovieEventFile(79016800, 5, 0), "\\ENGTRAIN\\0168.BIK");
    EXPECT_EQ(MovieEventFile(79015000, 0, 0), "\\CHITRAIN\\0150.BIK");
    EXPECT_EQ(MovieEventFile(79170100, 1, 0), "\\ENGEVTMV\\1701.BIK");
    EXPECT_EQ(MovieEventFile(79170100, 0, 1), "\\CHIEVTMV\\1701.BIK");
    EXPECT_EQ(MovieEventFile(79080100, 14, -1), "\\ENGEVTMV\\0801.BIK");
    EXPECT_EQ(MovieEventFile(79380200, 0, -1), "\\CHIEVTMV\\3802.BIK");
    EXPECT_EQ(MovieEventFile(79020100, 1, 0), "\\ENGEVTMV\\0201.BIK");
}

TEST(MovieFiles, TheHerosTrainingMovieFollowsItsCharacterAndNoOtherHasOne)
{
    EXPECT_EQ(MovieEventFile(kHeroTraining, 1, 0), "\\ENGTRAIN\\ROREVOV.BIK");
    EXPECT_EQ(MovieEventFile(kHeroTraining, 1, 1), "\\ENGTRAIN\\ZEDEVI.BIK");
    EXPECT_EQ(MovieEventFile(kHeroTraining, 0, 0), "\\CHITRAIN\\ROREVOV.BIK");
    EXPECT_EQ(MovieEventFile(kHeroTraining, 0, 1), "\\CHITRAIN\\ZEDEVI.BIK");
    for (const int32_t character : {-1, 2, 100, -7}) {
        EXPECT_EQ(MovieEventFile(kHeroTraining, 1, character), "") << character;
    }
}

TEST_F(MovieEvents, TheLoadPutsTheFileUnderTheDataRootInTheGamesLanguage)
{
    player.character = 1;
    SetLanguageIndex(0);
    CSMovieEvent *hero = Load({event_test::BareEntry(kHeroTraining), event_test::BareEntry(kTraining)}, kStage1,
                              kHeroTraining);
    ASSERT_NE(hero, nullptr);
    ASSERT_NE(hero->MoviePath, nullptr);
    EXPECT_EQ(std::string(hero->MoviePath), std::string(GetDataRootPath()) + "\\CHITRAIN\\ZEDEVI.BIK");
    auto *training = static_cast<CSMovieEvent *>(manager->FindEvent(kTraining));
    EXPECT_EQ(std::string(training->MoviePath), std::string(GetDataRootPath()) + "\\CHITRAIN\\0150.BIK");
    EXPECT_EQ(training->StartCondition, 600);
    EXPECT_EQ(training->ExitAfter, 0);
    // A second load keeps one path; the release frees it.
    manager->ReleaseStageEvents();
    EXPECT_EQ(training->MoviePath, nullptr);
    SetLanguageIndex(1);
    manager->LoadStageEvents(kStage1, 1);
    EXPECT_EQ(EndOf(training->MoviePath, 18), "\\ENGTRAIN\\0150.BIK");
}

TEST_F(MovieEvents, ATrainingMovieWaitsForSixHundredEndsReportedToIt)
{
    CSMovieEvent *movie = Load({event_test::BareEntry(kTraining)}, kStage1, kTraining);
    ASSERT_NE(movie, nullptr);
    Frames(3);
    EXPECT_EQ(movie->IsOccur, 0);
    movie->LinkEndNum = 599;
    Frames(1);
    EXPECT_EQ(movie->IsOccur, 0);
    movie->LinkEndNum = 601;
    Frames(1);
    EXPECT_EQ(movie->IsOccur, 0);
    EXPECT_TRUE(player.calls.empty());
    movie->LinkEndNum = 600;
    Frames(1);
    EXPECT_EQ(movie->IsOccur, 1);
    ASSERT_EQ(player.calls.size(), 1u);
    EXPECT_EQ(EndOf(player.calls[0], 18), "\\ENGTRAIN\\0150.BIK");
}

TEST_F(MovieEvents, TheCodesOneHundredToFiveHundredAreTheSharedTests)
{
    CSMovieEvent *movie = Load({event_test::BareEntry(kBossMovie)}, kStage8, kBossMovie);
    ASSERT_NE(movie, nullptr);
    // 100 always; 200 the bound actors gone (none bound); 300 and 400 and
    // 500 ask for a LinkEvent that there is not.
    const std::pair<int32_t, uint8_t> cases[] = {{100, 1}, {200, 1}, {300, 0}, {400, 0}, {500, 0}, {0, 1}, {150, 0}};
    for (const auto &[code, verdict] : cases) {
        movie->StartCondition = code;
        EXPECT_EQ(movie->Check(0.0f), verdict) << code;
    }
}

TEST_F(MovieEvents, TheMoviePlaysOverTheStoppedMusicAndTheMusicReturnsWhenThePlayerStops)
{
    CSMovieEvent *movie = Load({event_test::BareEntry(kBossMovie)}, kStage8, kBossMovie);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->BossGaugeRequest, 1);
    Frames(1);
    EXPECT_EQ(stage.music, (std::vector<std::string>{"stop 0"}));
    ASSERT_EQ(player.calls.size(), 1u);
    EXPECT_EQ(player.calls[0], "play " + std::string(GetDataRootPath()) + "\\ENGEVTMV\\0801.BIK");
    EXPECT_EQ(movie->Playing, 1);
    EXPECT_EQ(manager->GetMovieEventId(), kBossMovie);
    EXPECT_EQ(stage.bossGaugeRequests, 1);
    // While the player plays: nothing more, the gauge asked once.
    Frames(30);
    EXPECT_EQ(player.calls.size(), 1u);
    EXPECT_EQ(stage.music.size(), 1u);
    EXPECT_EQ(stage.bossGaugeRequests, 1);
    EXPECT_EQ(movie->BossGaugeRequest, 2);
    EXPECT_EQ(Ended(kBossMovie), 0);
    // The movie is over: stopped, the stage's music, the end.
    player.playing = false;
    Frames(1);
    EXPECT_EQ(player.calls, (std::vector<std::string>{player.calls[0], "stop", "stage music"}));
    EXPECT_EQ(movie->Playing, 0);
    EXPECT_EQ(movie->IsOccur, 0);
    EXPECT_EQ(movie->OccurCount, 1);
    EXPECT_EQ(Ended(kBossMovie), 1);
    EXPECT_EQ(manager->GetMovieEventId(), 0);
    EXPECT_TRUE(stage.stageChanges.empty());  // no exit after this one
    // Played once (MaxOccur 1), the gauge never asked again.
    Frames(10);
    EXPECT_EQ(player.calls.size(), 3u);
    EXPECT_EQ(stage.bossGaugeRequests, 1);
}

TEST_F(MovieEvents, AMovieWaitsWhileAnotherPlays)
{
    player.playing = true;
    CSMovieEvent *movie = Load({event_test::BareEntry(kBossMovie)}, kStage8, kBossMovie);
    Frames(5);
    EXPECT_EQ(movie->IsOccur, 1);
    EXPECT_EQ(movie->Playing, 0);
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(stage.music.empty());
    player.playing = false;
    Frames(1);
    EXPECT_EQ(movie->Playing, 1);
    EXPECT_EQ(player.calls.size(), 1u);
}

TEST_F(MovieEvents, TheSkipEndsTheMovieAsItsEndWouldAndStartsTheStagesExit)
{
    EventTableEntry exit = event_test::BareEntry(kStage8Exit);
    exit.corners[0] = {500.0f, 0.0f, 500.0f};  // far away: only the movie starts it
    exit.corners[1] = {510.0f, 0.0f, 500.0f};
    exit.corners[2] = {510.0f, 0.0f, 510.0f};
    exit.corners[3] = {500.0f, 0.0f, 510.0f};
    CSMovieEvent *movie = Load({event_test::BareEntry(kClosingMovie), exit}, kStage8, kClosingMovie);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->ExitAfter, 1);
    Frames(2);
    ASSERT_EQ(movie->Playing, 1);
    EXPECT_EQ(manager->GetMovieEventId(), kClosingMovie);
    EXPECT_EQ(stage.bossGaugeRequests, 0);  // not a boss movie
    manager->SkipCurrentScene();
    EXPECT_EQ(player.calls.size(), 3u);
    EXPECT_EQ(player.calls[1], "stop");
    EXPECT_EQ(player.calls[2], "stage music");
    EXPECT_EQ(movie->Playing, 0);
    EXPECT_EQ(movie->IsOccur, 0);
    EXPECT_EQ(Ended(kClosingMovie), 1);
    ASSERT_EQ(stage.stageChanges.size(), 1u);
    EXPECT_EQ(stage.stageChanges[0].target, 8);
    EXPECT_EQ(stage.stageChanges[0].ms, 2000);
    EXPECT_EQ(manager->GetMovieEventId(), 0);
    // The skip has nothing left to skip.
    manager->SkipCurrentScene();
    Frames(3);
    EXPECT_EQ(player.calls.size(), 3u);
    EXPECT_EQ(stage.stageChanges.size(), 1u);
}

TEST_F(MovieEvents, TheEndOfAMovieWithExitAfterStartsTheExitToo)
{
    CSMovieEvent *movie =
        Load({event_test::BareEntry(kClosingMovie), event_test::SquareEntry(kStage8Exit, 1.0f)}, kStage8, kClosingMovie);
    hero.position = {300.0f, 0.0f, 300.0f};
    Frames(1);
    ASSERT_EQ(movie->Playing, 1);
    player.playing = false;
    Frames(1);
    EXPECT_EQ(Ended(kClosingMovie), 1);
    EXPECT_EQ(stage.stageChanges.size(), 1u);
}

TEST_F(MovieEvents, TheHerosTrainingWithoutAHeroEndsWithoutAMovie)
{
    stage.heroes.clear();
    CSMovieEvent *movie = Load({event_test::BareEntry(kHeroTraining)}, kStage1, kHeroTraining);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->MoviePath, nullptr);
    // Another event makes it occur (no hero can trigger it).
    movie->IsOccur = 1;
    Frames(1);
    EXPECT_EQ(movie->IsOccur, 0);
    EXPECT_EQ(Ended(kHeroTraining), 1);
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(stage.music.empty());
    // Skipped before its update: it ends, and nothing plays or stops.
    movie->IsOccur = 1;
    movie->Skip();
    EXPECT_EQ(Ended(kHeroTraining), 2);
    EXPECT_TRUE(player.calls.empty());
}

TEST_F(MovieEvents, TheHerosTrainingForAnUnknownCharacterEndsWithoutAMovie)
{
    player.character = 7;
    CSMovieEvent *movie = Load({event_test::BareEntry(kHeroTraining)}, kStage1, kHeroTraining);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->MoviePath, nullptr);
    Frames(1);
    EXPECT_EQ(Ended(kHeroTraining), 1);
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(stage.music.empty());
    // A known character has its movie.
    player.character = 0;
    manager->ReleaseStageEvents();
    manager->LoadStageEvents(kStage1, 1);
    ASSERT_NE(movie->MoviePath, nullptr);
    Frames(1);
    ASSERT_EQ(player.calls.size(), 1u);
    EXPECT_EQ(EndOf(player.calls[0], 21), "\\ENGTRAIN\\ROREVOV.BIK");
}

TEST_F(MovieEvents, TheStageReleaseStopsTheMovieOfItsEvent)
{
    CSMovieEvent *movie = Load({event_test::BareEntry(kBossMovie)}, kStage8, kBossMovie);
    Frames(1);
    ASSERT_TRUE(player.playing);
    manager->ReleaseStageEvents();
    EXPECT_FALSE(player.playing);
    EXPECT_EQ(movie->Playing, 0);
    EXPECT_EQ(movie->MoviePath, nullptr);
}

}  // namespace

}  // namespace movie_event_test
