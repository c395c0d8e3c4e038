// How the sample stages end (see sample_stage_ends.h).
#include "tools/mkdata/sample_stage_ends.h"

#include <algorithm>
#include <filesystem>

#include "event/door_presets.h"
#include "event/door_rules.h"
#include "stage/stage_paths.h"
#include "tools/media/movie_clip.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/sample_bosses.h"
#include "tools/mkdata/sample_doors.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_movies.h"
#include "tools/mkdata/scene_camera.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

// Stage 15's opening movie: a circle a few steps ahead of the heroes'
// start; once it is over the appear event brings the boss out.
constexpr int32_t kOpeningMovie15 = 79150100;
constexpr RwV3d kOpeningMovieAt = {0.0f, 0.0f, -50.0f};
constexpr float kOpeningMovieRadius = 5.0f;
// The AI id of stage 2's monster 1021, west of the start.
constexpr int32_t kArenaGuardAiId = 7;
// The closing scene's camera: the sample flight, around stage 36's yard.
constexpr const char *kClosingCameraModel = "CAM02.DFF";
constexpr const char *kClosingCameraAnim = "CAM02.ANM";

EventTableEntry Entry(int32_t id, const char *label)
{
    EventTableEntry e;
    e.eventId = id;
    e.label = label;
    return e;
}

// The exit: a band behind the stage's way out, opened by `link`.
EventTableEntry ExitBand(int32_t number, int32_t id, int32_t link)
{
    EventTableEntry e = Entry(id, "STAGE_EXIT");
    const RwV3d at = SampleWayOutAt(number);
    const RwV3d facing = SampleWayOutFacing(number);
    const RwV3d across = {facing.z, 0.0f, -facing.x};
    const float sides[4][2] = {{-1.0f, kExitBandNear}, {1.0f, kExitBandNear}, {1.0f, kExitBandFar}, {-1.0f, kExitBandFar}};
    for (int i = 0; i < 4; ++i) {
        const float u = sides[i][0] * kExitBandHalfWidth;
        const float d = sides[i][1];
        e.corners[i] = {at.x + across.x * u - facing.x * d, 0.0f, at.z + across.z * u - facing.z * d};
    }
    const float middle = (kExitBandNear + kExitBandFar) * 0.5f;
    e.position = {at.x - facing.x * middle, 0.0f, at.z - facing.z * middle};
    e.linkId = link;
    return e;
}

// The way out: the wooden door facing the heroes' start, with no area of
// its own (it opens as soon as its condition holds).
EventTableEntry WayOutDoor(int32_t number, int32_t id)
{
    EventTableEntry e = Entry(id, kSampleDoorModel);
    e.position = SampleWayOutAt(number);
    e.at = SampleWayOutFacing(number);
    return e;
}

bool IsBossStage(int32_t number)
{
    const std::vector<int32_t> &bosses = SampleBossArenaTypes();
    return std::any_of(bosses.begin(), bosses.end(),
                       [number](int32_t boss) { return StageNumberOf(SampleBossStageId(boss)) == number; });
}

// The sound a door plays as it opens (its preset's sound kind).
int32_t DoorSoundOf(int32_t door)
{
    const DoorPreset *preset = FindDoorPreset(door);
    return preset != nullptr ? DoorSoundOfKind(preset->args.soundKind) : 0;
}

void AddSound(SampleStageSpec *stage, int32_t sound)
{
    if (sound != 0 && std::none_of(stage->sounds.begin(), stage->sounds.end(),
                                   [sound](const SampleSound &s) { return s.id == sound; })) {
        stage->sounds.push_back({sound, 392.0});
    }
}

EventTableEntry ExtraDoor(int32_t id, const RwV3d &at, const RwV3d &facing, int32_t link)
{
    EventTableEntry door = Entry(id, kSampleDoorModel);
    door.position = at;
    door.at = facing;
    door.linkId = link;
    return door;
}

}  // namespace

const std::vector<SampleStageEnd> &SampleStageEnds()
{
    // number, exit, holder, way out, movie, guard
    static const std::vector<SampleStageEnd> ends = {
        {2, 79021100, 79021000, 79021000, 0, false},   {3, 79031300, 79030700, 79030700, 0, false},
        {4, 79042000, 79040200, 79041900, 0, false},   {5, 79051800, kSamplePuzzle, 0, 0, false},
        {6, 79062200, 79066000, 0, 0, true},           {8, 79080800, 79080300, 0, 79080300, false},
        {10, 79101700, 79100300, 79100300, 0, true},   {15, 79150600, 79150400, 0, 79150500, false},
        {16, 79163700, 79161200, 0, 0, true},          {17, 79173200, 0, 0, 0, false},
        {19, 79194800, 0, 0, 0, false},                {22, 79220300, 79220200, 0, 79220200, false},
        {23, 79231600, 0, 0, 0, false},                {25, 79253500, 0, 0, 0, false},
        {27, 79270500, 79270200, 0, 79270200, false},  {28, 79281600, 79281500, 79281500, 0, true},
        {29, 79292400, 79290200, 0, 0, true},          {30, 79302600, 79301000, 0, 0, true},
        {31, 79313200, 79310500, 0, 0, true},          {32, 79320300, 79320200, 0, 79320200, false},
        {33, 79333000, 79332900, 79332900, 0, true},   {34, 79341700, 79340400, 0, 0, true},
        {36, 0, kBossAppear36, 0, 0, false},           {37, 79370300, 79370200, 0, 79370200, false},
        {38, 79380300, 79380200, 0, 79380200, false},  {40, 79402000, 79400300, 79400300, 0, true},
        {41, 79412000, 79410300, 79410300, 0, true},   {42, 79422000, 79420300, 79420300, 0, true},
    };
    return ends;
}

RwV3d SampleWayOutAt(int32_t number) { return number == 2 ? kArenaWayOutAt : kWayOutDoorAt; }

RwV3d SampleWayOutFacing(int32_t number) { return number == 2 ? kArenaWayOutFacing : kWayOutFacing; }

const SampleStageEnd *SampleStageEndOf(int32_t number)
{
    for (const SampleStageEnd &end : SampleStageEnds()) {
        if (end.number == number) {
            return &end;
        }
    }
    return nullptr;
}

int32_t SampleStageEndBinding(int32_t stageId, int32_t aiId)
{
    const int32_t number = StageNumberOf(stageId);
    const SampleStageEnd *end = SampleStageEndOf(number);
    if (end == nullptr || end->number == 5) {
        return 0;
    }
    // The boss takes AIID 1 (1108 AIID 2), stage 2's 1007 AIID 2, a guard AIID 1.
    if (IsBossStage(number)) {
        return aiId == (number == 36 ? 2 : 1) ? end->holder : 0;
    }
    if (number == 2) {
        return aiId == kArenaGuardAiId ? end->holder : 0;
    }
    return end->guard && aiId == 1 ? end->holder : 0;
}

void AddStageEndActors(SampleStageSpec *stage)
{
    const int32_t number = StageNumberOf(stage->id);
    const SampleStageEnd *end = SampleStageEndOf(number);
    if (end == nullptr) {
        return;
    }
    if (end->guard) {
        AiPlacement guard;
        guard.aiType = kGuardType;
        guard.aiId = 1;
        guard.position = kGuardAt;
        guard.lookAt = {0.0f, 0.0f, -1.0f};
        guard.isRender = 1;
        stage->placements.push_back(guard);
    }
    for (AiPlacement &placement : stage->placements) {
        if (const int32_t event = SampleStageEndBinding(stage->id, placement.aiId)) {
            placement.eventId = event;
        }
        // Stage 15's boss waits unseen for its appear event.
        if (number == 15 && placement.eventId == end->holder) {
            placement.isRender = 0;
        }
    }
    if (end->wayOut != 0) {
        AddSound(stage, DoorSoundOf(end->wayOut));
    }
    if (const SampleStageExtra *extra = SampleStageExtraOf(number)) {
        if (extra->door != 0) {
            AddSound(stage, DoorSoundOf(extra->door));
        }
        if (extra->crusher != 0) {
            AddSound(stage, kCrusherSound);
        }
        if (extra->heroZone != 0) {
            AiPlacement monster;
            monster.aiType = 1007;
            monster.aiId = kHeroZoneMonsterAiId;
            monster.position = kHeroZoneAt;
            monster.lookAt = {0.6f, 0.0f, 0.8f};
            monster.isRender = 1;
            stage->placements.push_back(monster);
        }
    }
}

const std::vector<SampleStageExtra> &SampleStageExtras()
{
    // number, opening, door, its link, crusher, gift
    static const std::vector<SampleStageExtra> extras = {
        {5, 0, 79054000, kSamplePuzzle, 0, 0},
        {6, 0, 79060900, 79066000, 0, 79062700},
        {16, 0, 79162300, 79161200, 79164900, 0},
        {23, 0, 0, 0, 0, 0, 79230300},
        {22, 79220100},
        {27, 79270100},
        {32, 79320100},
        {36, kOpeningScene36},
        {37, 79370100},
        {38, 79380100},
    };
    return extras;
}

const SampleStageExtra *SampleStageExtraOf(int32_t number)
{
    for (const SampleStageExtra &extra : SampleStageExtras()) {
        if (extra.number == number) {
            return &extra;
        }
    }
    return nullptr;
}

std::vector<EventTableEntry> SampleStageEndEntries()
{
    std::vector<EventTableEntry> entries;
    for (const SampleStageExtra &extra : SampleStageExtras()) {
        if (extra.opening != 0) {
            // Stage 36's yard lies away from the others (its heroes start
            // 60 behind its middle, as in every yard).
            const bool scene = extra.opening == kOpeningScene36;
            const RwV3d origin = scene ? SampleBossArenaOrigin(1108) : RwV3d{0.0f, 0.0f, 0.0f};
            EventTableEntry opening = Entry(extra.opening, scene ? "OPENING_SCENE" : "BOSS_MOVIE");
            opening.circleCentre = {origin.x + kOpeningMovieAt.x, 0.0f, origin.z + kOpeningMovieAt.z};
            opening.position = opening.circleCentre;
            opening.radius = kOpeningMovieRadius;
            entries.push_back(opening);
        }
        if (extra.door != 0) {
            entries.push_back(ExtraDoor(extra.door, kExtraDoorAt, {1.0f, 0.0f, 0.0f}, extra.doorLink));
        }
        if (extra.crusher != 0) {
            entries.push_back(ExtraDoor(extra.crusher, kCrusherAt, {0.0f, 0.0f, 1.0f}, extra.doorLink));
        }
        if (extra.heroZone != 0) {
            EventTableEntry zone = Entry(extra.heroZone, "HERO_ZONE");
            const float sides[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
            for (int i = 0; i < 4; ++i) {
                zone.corners[i] = {kHeroZoneAt.x + sides[i][0] * kHeroZoneHalf, 0.0f,
                                   kHeroZoneAt.z + sides[i][1] * kHeroZoneHalf};
            }
            zone.position = kHeroZoneAt;
            zone.maxOccur = 1000;
            entries.push_back(zone);
        }
        if (extra.gift != 0) {
            EventTableEntry gift = Entry(extra.gift, "GIFT");
            gift.param = kSampleGiftItem;
            gift.linkId = extra.door;  // given while the door opens
            entries.push_back(gift);
        }
    }
    for (const SampleStageEnd &end : SampleStageEnds()) {
        const bool bound = end.holder != 0 && end.number != 5;
        // The holder binds the boss or the guard (stage 5's is the puzzle,
        // a row of the puzzle's own).
        if (bound && end.holder != end.wayOut && end.holder != end.movie) {
            EventTableEntry holder = Entry(end.holder, "BOUND");
            holder.npcNum = 1;
            if (end.number == 15) {
                // The appear event waits for the opening movie.
                holder.linkId = kOpeningMovie15;
                EventTableEntry opening = Entry(kOpeningMovie15, "BOSS_MOVIE");
                opening.circleCentre = kOpeningMovieAt;
                opening.position = kOpeningMovieAt;
                opening.radius = kOpeningMovieRadius;
                entries.push_back(opening);
            }
            entries.push_back(holder);
        }
        if (end.wayOut != 0) {
            EventTableEntry door = WayOutDoor(end.number, end.wayOut);
            if (end.wayOut == end.holder) {
                door.npcNum = 1;  // open code 200: its own actors gone
            } else {
                door.linkId = end.holder;  // open code 500: the holder ended
            }
            entries.push_back(door);
        }
        if (end.movie != 0) {
            // No area: it plays as soon as its actors are gone (code 200), or
            // those of its link (code 300, stage 15), and starts the exit.
            EventTableEntry movie = Entry(end.movie, "CLOSING_MOVIE");
            if (end.movie == end.holder) {
                movie.npcNum = 1;
            } else {
                movie.linkId = end.holder;
            }
            entries.push_back(movie);
        }
        if (end.number == 36) {
            EventTableEntry timer = Entry(kBossTimer36, "BOSS_TIMER");
            timer.linkId = kBossAppear36;  // no Param: no time limit
            entries.push_back(timer);
            EventTableEntry scene = Entry(kClosingScene36, "CLOSING_SCENE");
            scene.linkId = kBossTimer36;
            scene.playerMask = 1;
            entries.push_back(scene);
        }
        if (end.exitEvent != 0) {
            const int32_t link = end.movie != 0 ? end.movie : (end.wayOut != 0 ? end.wayOut : end.holder);
            entries.push_back(ExitBand(end.number, end.exitEvent, link));
        }
    }
    return entries;
}

std::vector<InGameAnmEntry> ClosingSceneTable()
{
    // The camera's flight round the yard; no actor takes part. The opening
    // scene flies the same.
    std::vector<InGameAnmEntry> scenes;
    for (int32_t id : {kClosingScene36, kOpeningScene36}) {
        InGameAnmEntry scene;
        scene.eventId = id;
        scene.number = 1;
        scene.cameraModel = kClosingCameraModel;
        scene.cameraAnimation = kClosingCameraAnim;
        scenes.push_back(scene);
    }
    return scenes;
}

bool WriteSampleStageEnds(const std::string &root)
{
    media::ClipDesc clip;
    clip.durationMs = kSampleEventMovieMs;
    clip.segmentMs = kSampleEventMovieMs / 4;
    clip.toneHz = 587.0;
    std::string message;
    for (const char *folder : {"ENGEVTMV", "CHIEVTMV"}) {
        std::error_code error;
        fs::create_directories(fs::path(root) / folder, error);
        if (error) {
            return false;
        }
        for (const char *name : {"0803.BIK", "1501.BIK", "1505.BIK", "2201.BIK", "2202.BIK", "2701.BIK", "2702.BIK",
                                 "3201.BIK", "3202.BIK", "3701.BIK", "3801.BIK", "3802.BIK"}) {
            clip.label = std::string(folder).substr(0, 3) + " " + name;
            if (!media::WriteClip((fs::path(root) / folder / name).string(), clip, &message)) {
                return false;
            }
        }
    }
    // The closing scene's camera flies round stage 36's yard.
    const RwV3d origin = SampleBossArenaOrigin(1108);
    if (!WriteSceneCamera(root, kClosingCameraModel, kClosingCameraAnim, origin)) {
        return false;
    }
    bool ok = true;
    for (const char *path : {ClosingScenePackPath(), OpeningScenePackPath()}) {
        PackWriter pack;
        ok = ok && pack.AddFileFrom(root, std::string(SceneCameraModelFolder()) + "/" + kClosingCameraModel);
        ok = ok && pack.AddFileFrom(root, std::string(SceneCameraAnimFolder()) + "/" + kClosingCameraAnim);
        ok = ok && pack.Write((fs::path(root) / path).string());
    }
    return ok;
}

}  // namespace mkdata
