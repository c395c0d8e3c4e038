// The event movies (see movie_event.h).
#include "event/movie_event.h"

#include <array>

#include "app/game_system.h"
#include "app/language.h"
#include "app/memory.h"
#include "app/path.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"

namespace {

constexpr int32_t kTrainingEvent = 79010100;
constexpr int32_t kTrainingStage = 1;
constexpr int32_t kChineseLanguage = 0;
// The skip hands the stage's exit this step, as a frame would.
constexpr float kSkipExitDt = 0.002f;

// The training movie of each hero character.
constexpr const char *kCharacterTraining[] = {"ROREVOV.BIK", "ZEDEVI.BIK"};

int32_t MovieLanguage() { return g_pGameSystem != nullptr ? g_pGameSystem->language : GetLanguageIndex(); }

// Hero 1's character; -1 without a hero.
int32_t FirstHeroCharacter()
{
    AiObject *hero = EventHero(0);
    if (hero == nullptr) {
        return -1;
    }
    return g_eventLinks.heroCharacter != nullptr ? g_eventLinks.heroCharacter(hero) : -1;
}

bool MoviePlaying() { return g_eventLinks.isMoviePlaying != nullptr && g_eventLinks.isMoviePlaying(); }

}  // namespace

std::string MovieFileName(int32_t movieNumber)
{
    return (movieNumber >= 1000 ? "" : "0") + std::to_string(movieNumber) + ".BIK";
}

std::string MovieEventFile(int32_t eventId, int32_t language, int32_t character)
{
    const bool chinese = language == kChineseLanguage;
    const int32_t movie = (eventId - 79000000) / 100;
    if (movie / 100 != kTrainingStage) {
        return std::string(chinese ? "\\CHIEVTMV\\" : "\\ENGEVTMV\\") + MovieFileName(movie);
    }
    const std::string folder = chinese ? "\\CHITRAIN\\" : "\\ENGTRAIN\\";
    if (eventId != kTrainingEvent) {
        return folder + MovieFileName(movie);
    }
    if (character < 0 || character >= static_cast<int32_t>(std::size(kCharacterTraining))) {
        return "";
    }
    return folder + kCharacterTraining[character];
}

void CSMovieEvent::Setup(int32_t startCondition, uint8_t exitAfter)
{
    StartCondition = startCondition;
    ExitAfter = exitAfter;
    Playing = 0;
    // A load without the release before it keeps no old path.
    zuStrFree(MoviePath);
    MoviePath = nullptr;
    const std::string file = MovieEventFile(EventID, MovieLanguage(), FirstHeroCharacter());
    if (!file.empty()) {
        MoviePath = zuStrDup((std::string(GetDataRootPath()) + file).c_str());
    }
}

uint8_t CSMovieEvent::Check(float)
{
    using enum ConditionTest;
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kOwnActorsGone, kLinkedActorsGone, kLinkRunning, kLinkEnded,
    };
    if (StartCondition >= 100 && StartCondition <= 500 && StartCondition % 100 == 0) {
        return CheckHundredCode(this, kCodes, StartCondition);
    }
    // Any other code waits for that many ends of the events reporting here.
    return LinkEndNum == StartCondition ? 1 : 0;
}

void CSMovieEvent::Update(float dt)
{
    if (MoviePath == nullptr) {
        // Nothing to play (the training movie of no hero): the event ends
        // rather than asking the player for a file that does not exist.
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
        return;
    }
    if (Playing == 0) {
        if (MoviePlaying()) {
            return;  // another movie first
        }
        if (g_eventLinks.stopBGM != nullptr) {
            g_eventLinks.stopBGM(0);
        }
        EventTraceStep(this, "play", (EventID - 79000000) / 100);
        if (g_eventLinks.playMovie != nullptr) {
            g_eventLinks.playMovie(MoviePath);
        }
        Playing = 1;
        return;
    }
    if (!MoviePlaying()) {
        Finish(dt);
    }
}

void CSMovieEvent::Skip()
{
    if (MoviePath == nullptr) {
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
        return;
    }
    EventTraceStep(this, "skip", (EventID - 79000000) / 100);
    Finish(kSkipExitDt);
}

void CSMovieEvent::Finish(float exitDt)
{
    Playing = 0;
    if (g_eventLinks.stopMovie != nullptr) {
        g_eventLinks.stopMovie();
    }
    if (g_eventLinks.playStageBGM != nullptr) {
        g_eventLinks.playStageBGM();
    }
    if (manager != nullptr) {
        if (ExitAfter == 1) {
            manager->StartStageExit(static_cast<int32_t>(exitDt * 1000.0f));
        }
        manager->EndEvent(this);
    }
}

void CSMovieEvent::Release()
{
    if (Playing != 0 && g_eventLinks.stopMovie != nullptr) {
        g_eventLinks.stopMovie();
    }
    Playing = 0;
    zuStrFree(MoviePath);
    MoviePath = nullptr;
}
