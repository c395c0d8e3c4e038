// The sample's keyword-text files (see stage_files.h).
#include "tools/mkdata/stage_files.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <tuple>

#include "actor/hero.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/event_table.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/sample_talk_data.h"

namespace mkdata {
namespace {

// A text file written line by line; false once any write failed.
class TextFile {
public:
    explicit TextFile(const std::string &path) : file_(std::fopen(path.c_str(), "w")) {}
    ~TextFile()
    {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    TextFile(const TextFile &) = delete;
    TextFile &operator=(const TextFile &) = delete;

    template <typename... Args>
    void Line(const char *format, Args... args)
    {
        if (file_ != nullptr && std::fprintf(file_, format, args...) < 0) {
            failed_ = true;
        }
    }
    void Float(const char *key, float value) { Line("%s %f\n", key, static_cast<double>(value)); }
    void Int(const char *key, int value) { Line("%s %d\n", key, value); }
    bool Close()
    {
        const bool ok = file_ != nullptr && !failed_ && std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    FILE *file_;
    bool failed_ = false;
};

void Vector(TextFile &f, const char *key, const RwV3d &v)
{
    f.Line("    %s %f, %f, %f\n", key, static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z));
}

}  // namespace

const StageInfo &SampleStageInfo()
{
    static const StageInfo info = [] {
        StageInfo s;
        s.camera1 = {10.0f, 60.0f, 40.0f, 120.0f, 45.0f, 30.0f};
        s.camera2 = {15.0f, 55.0f, 50.0f, 140.0f, 135.0f, 35.0f};
        s.ambientRed = 90;
        s.ambientGreen = 90;
        s.ambientBlue = 100;
        s.ambientAlpha = 255;
        s.start1 = {-20.0f, 0.0f, -40.0f, 0.0f, 0.0f, 1.0f};
        s.start2 = {20.0f, 0.0f, -40.0f, 0.0f, 0.0f, 1.0f};
        s.characterBonus = 0;
        s.fog = 1;
        s.fogRed = 120;
        s.fogGreen = 130;
        s.fogBlue = 150;
        s.fogAlpha = 255;
        s.fogDistance = 200.0f;  // the fog starts well inside the far plane, so it shows
        s.fogTime = 2.0f;
        s.vFog = 0;
        s.vFogHigh = 0.0f;
        s.rain = kRainSmall;  // light rain
        s.farPlane1P = 600.0f;
        s.farPlane2P = 500.0f;
        s.light = 1;
        s.wall = 0;
        s.cameraWall = 1;  // CAMWALL.DFF keeps the camera in the yard
        s.stageClumpCount = 1;
        s.useAutoAdjustment = 1;
        // The game's own thinning bands (150, 250, 350, 400), written out.
        return s;
    }();
    return info;
}

const std::vector<AiPlacement> &SamplePlacements()
{
    static const std::vector<AiPlacement> placements = [] {
        // The yard's monster fights from the stage's start: it is shown
        // while in view (IsRender) and belongs to the event that waits for
        // it to be gone before the exit opens.
        AiPlacement monster;
        monster.aiType = 1000;
        monster.aiId = 1;
        monster.eventId = kSampleMonsterEvent;
        monster.position = {30.0f, 0.0f, 30.0f};
        monster.lookAt = {0.0f, 0.0f, -1.0f};
        monster.territory = 1;
        monster.isRender = 1;
        monster.itemType = kSampleMonsterDropMap;  // its drop map in PROBMAP.PBM
        std::vector<AiPlacement> list = {monster};
        // A row of breakable objects west of the heroes' start, out of the
        // starting camera's view and off the ways to the monster and to the
        // exit: two that pay money (10008, and 10005 at half the rate), one
        // whose drop map always drops a potion (10012), the sparkling crate
        // (10000), and a barrel bomb at the row's end.
        struct Place {
            int32_t aiType;
            float x;
            int32_t itemType;
        };
        const Place row[] = {{10008, -80.0f, 0},
                             {10005, -100.0f, 0},
                             {10012, -120.0f, kSampleSureDropMap},
                             {10000, -140.0f, 0},
                             {10028, -165.0f, 0}};
        int32_t id = 2;
        for (const Place &place : row) {
            AiPlacement p;
            p.aiType = place.aiType;
            p.aiId = id++;
            p.position = {place.x, 0.0f, -40.0f};
            p.lookAt = {1.0f, 0.0f, 0.0f};
            p.itemType = place.itemType;
            list.push_back(p);
        }
        // Two villagers by the west wall, standing for the talk and the
        // conversation that their events' ids name.
        for (const auto &[type, event, at] : {std::tuple{100, kSampleTalkEvent, kSampleTalkNpcAt},
                                             std::tuple{107, kSampleConversationEvent, kSampleConversationNpcAt}}) {
            AiPlacement p;
            p.aiType = type;
            p.aiId = id++;
            p.eventId = event;
            p.isRender = 1;
            p.position = at;
            p.lookAt = {1.0f, 0.0f, 0.0f};
            list.push_back(p);
        }
        return list;
    }();
    return placements;
}

const std::vector<AiPlacement> &SampleArenaPlacements()
{
    static const std::vector<AiPlacement> placements = [] {
        struct Place {
            int32_t aiType;
            RwV3d at;
            int32_t territory;
        };
        // 1006 east of the middle, 1021 west of the hero's start, and the
        // fighting character 10 beside 1004 in the south-east corner: the
        // whole yard is its territory, so it fights while a hero is in the
        // arena.
        const Place places[] = {{1005, {-150.0f, 0.0f, 150.0f}, 0},
                                {1007, {0.0f, 0.0f, 60.0f}, 0},
                                {1002, {150.0f, 0.0f, 150.0f}, 0},
                                {1003, {-150.0f, 0.0f, -150.0f}, 0},
                                {1004, {150.0f, 0.0f, -150.0f}, 0},
                                {1006, {150.0f, 0.0f, 0.0f}, 0},
                                {1021, {-120.0f, 0.0f, -60.0f}, 0},
                                {10, {120.0f, 0.0f, -150.0f}, kArenaTerritory}};
        std::vector<AiPlacement> list;
        int32_t id = 1;
        for (const Place &place : places) {
            AiPlacement p;
            p.aiType = place.aiType;
            p.aiId = id++;
            p.position = place.at;
            p.lookAt = place.aiType == 10 ? RwV3d{1.0f, 0.0f, 0.0f}
                                          : (place.aiType == 1021 ? RwV3d{1.0f, 0.0f, 0.0f} : RwV3d{0.0f, 0.0f, -1.0f});
            p.isRender = 1;
            p.territory = place.territory;
            p.itemType = place.aiType == 1006 ? kSampleMonsterDropMap : 0;
            list.push_back(p);
        }
        return list;
    }();
    return placements;
}

const std::vector<Territory> &SampleArenaTerritories()
{
    static const std::vector<Territory> territories = {
        {kArenaTerritory, {{-195.0f, -195.0f}, {195.0f, -195.0f}, {195.0f, 195.0f}, {-195.0f, 195.0f}}}};
    return territories;
}

const std::vector<Territory> &SampleTerritories()
{
    static const std::vector<Territory> territories = {{1, {{5.0f, 5.0f}, {70.0f, 5.0f}, {70.0f, 70.0f}, {5.0f, 70.0f}}}};
    return territories;
}

const MotionTable &SampleMotionTable()
{
    static const MotionTable table = [] {
        MotionTable t;
        t.motions = {{0, 60, true}, {60, 120, true}};
        return t;
    }();
    return table;
}

const MotionTable &SampleHeroMotionTable()
{
    static const MotionTable table = [] {
        // Every index has a motion (the walk unless set below), so the file lists them all.
        MotionTable t;
        t.motions.assign(53, MotionRange{0, 60, true});
        auto set = [&t](int32_t index, int32_t start, int32_t end) { t.motions[index] = {start, end, true}; };
        // Standing is the rest (arms down, breathing); dying the fall, whose
        // last frame, the hero lying, is held.
        const int32_t restStart = static_cast<int32_t>(std::lround(kCharacterRestStart * 60.0f));
        const int32_t restEnd = static_cast<int32_t>(std::lround(kCharacterRestEnd * 60.0f));
        const int32_t fallEnd = static_cast<int32_t>(std::lround(kCharacterDuration * 60.0f));
        set(kHeroStateStand, restStart, restEnd);
        set(kHeroStateMove, 0, 60);
        set(kHeroStateKnockedDown, 60, 120);
        set(kHeroStateGettingUp, 60, 90);
        set(kHeroStateHurt, 60, 90);
        set(kHeroStateHeld, 0, 60);
        set(kHeroStateDying, restEnd, fallEnd);
        set(kHeroStateGuard, 60, 90);
        set(40, 60, 90);
        set(41, 90, 120);
        set(42, 60, 120);
        // The grab, the squeeze and the grab's end.
        set(50, 90, 120);
        set(51, 60, 90);
        set(52, 90, 120);
        return t;
    }();
    return table;
}

const MotionTable &SampleMotionTableOf(const std::string &name)
{
    return name == "HERO01" || name == "HERO02" ? SampleHeroMotionTable() : SampleMotionTable();
}

CharacterParams SampleFigureParams()
{
    CharacterParams p;
    p.radius = 4.0f;
    p.catchRange = 10.0f;
    p.grabOrBleedHAngle = 30.0f;
    p.grabOrBleedRange = 12.0f;
    p.turnDeg = 180.0f;
    p.pathFindRange = 60.0f;
    p.weaponIds = {100130, 100140};
    return p;
}

CharacterParams SampleCharacterParams(const std::string &name)
{
    // Life, power and defence as the character selection shows them (the
    // attack it shows is the starting weapon's bonus, in the item tables).
    CharacterParams p = SampleFigureParams();
    const bool second = name == "HERO02";
    p.maxHP = second ? 2000 : 2500;
    p.defense = second ? 10 : 15;
    p.maxPower = second ? 400 : 300;
    p.mExtraPower = 100;
    p.attackRange = 18.0f;
    p.searchRange = 80.0f;
    p.grabValue = 10;
    return p;
}

bool WriteStageInfoFile(const std::string &path, const StageInfo &s)
{
    TextFile f(path);
    f.Line("%s", FormatStageTuningRows(s).c_str());
    f.Line("%s", FormatStageLoaderRows(s).c_str());
    return f.Close();
}

bool WritePlacementFile(const std::string &path, const std::vector<AiPlacement> &placements)
{
    TextFile f(path);
    f.Int("AINum:", static_cast<int>(placements.size()));
    for (const AiPlacement &p : placements) {
        f.Line("AI\n{\n");
        f.Line("    AIType: %d\n", p.aiType);
        f.Line("    AIID: %d\n", p.aiId);
        f.Line("    EventID: %d\n", p.eventId);
        Vector(f, "position:", p.position);
        Vector(f, "LookAt:", p.lookAt);
        Vector(f, "Up:", p.up);
        f.Line("    InitState: %d\n", p.initState);
        f.Line("    Territory: %d\n", p.territory);
        f.Line("    IsRender: %d\n", p.isRender);
        f.Line("    ItemType: %d\n", p.itemType);
        if (p.hasModel) {
            f.Line("    Model: %s\\%s\n", ModelFolderName(p.modelFolder), p.modelId);
        }
        f.Line("}\n");
    }
    return f.Close();
}

bool WriteTerritoryFile(const std::string &path, const std::vector<Territory> &territories)
{
    TextFile f(path);
    f.Int("TerritoryNum:", static_cast<int>(territories.size()));
    for (const Territory &t : territories) {
        f.Line("Territory\n{\n");
        f.Line("    ID: %d\n", t.id);
        f.Line("    PointNum: %d\n", static_cast<int>(t.points.size()));
        for (const TerritoryPoint &point : t.points) {
            f.Line("    Point: %f, %f\n", static_cast<double>(point.x), static_cast<double>(point.z));
        }
        f.Line("}\n");
    }
    return f.Close();
}

bool WriteMotionFile(const std::string &path, const MotionTable &table)
{
    TextFile f(path);
    f.Int("MotionNum:", table.Count());
    for (int32_t i = 0; i < table.Count(); ++i) {
        const MotionRange &m = table.motions[static_cast<size_t>(i)];
        if (m.defined) {
            f.Line("Motion: %d, %d, %d\n", i, m.startFrame, m.endFrame);
        }
    }
    return f.Close();
}

bool WriteCharacterParamsFile(const std::string &path, const CharacterParams &p)
{
    TextFile f(path);
    f.Float("LevelAppend:", p.levelAppend);
    f.Float("Radius:", p.radius);
    f.Int("MaxHP:", p.maxHP);
    f.Int("MaxPower:", p.maxPower);
    f.Int("MExtraPower:", p.mExtraPower);
    f.Int("Defense:", p.defense);
    f.Int("DEFAttribute:", p.defAttribute);
    f.Int("DEFBleedOrGRAB:", p.defBleedOrGrab);
    f.Int("GRABValue:", p.grabValue);
    f.Int("AttackTarget:", p.attackTarget);
    f.Float("AttackRange:", p.attackRange);
    f.Float("CatchRange:", p.catchRange);
    f.Float("AlarmCircle:", p.alarmCircle);
    f.Float("AttackHalfAngle:", p.attackHalfAngle);
    f.Float("SearchRange:", p.searchRange);
    f.Float("GraborBleedHAngle:", p.grabOrBleedHAngle);
    f.Float("GraborBleedRange:", p.grabOrBleedRange);
    f.Float("TurnDeg:", p.turnDeg);
    f.Int("Exp:", p.exp);
    f.Int("EvadeFire:", p.evadeFire);
    f.Float("PathFindRange:", p.pathFindRange);
    f.Int("NumOfWeapon:", static_cast<int>(p.weaponIds.size()));
    for (int32_t id : p.weaponIds) {
        f.Int("WeaponID:", id);
    }
    return f.Close();
}

bool WriteStageFiles(const std::string &root)
{
    const std::filesystem::path base(root);
    bool ok = true;
    for (const CharacterFiles &set : CharacterFileSets()) {
        const std::filesystem::path folder = base / set.folder;
        const std::string name = set.name;
        ok = ok && WriteMotionFile((folder / (name + ".AMF")).string(), SampleMotionTableOf(name)) &&
             WriteCharacterParamsFile((folder / (name + ".PAF")).string(), SampleCharacterParams(name));
    }
    return ok;
}

}  // namespace mkdata
