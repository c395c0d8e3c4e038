// The AI-type table (see ai_type_table.h). Model ids: the heroes' are the
// names of their folders; the bosses', traps' and breakable objects' are
// the ids of their files; the monsters and the non-player characters keep
// theirs under their type number (\RESOURCE\NPC\112\112.DFF), so does boss
// 1100, and trap 1205 shares 1200's folder.
#include "actor/ai_type_table.h"

#include "actor/hero.h"
#include "boss/boss_1100.h"
#include "boss/boss_1101.h"
#include "boss/boss_1102.h"
#include "boss/boss_1103.h"
#include "boss/boss_1104.h"
#include "boss/boss_1105.h"
#include "boss/boss_1106.h"
#include "boss/boss_1107.h"
#include "boss/boss_1108.h"
#include "boss/boss_1109.h"
#include "boss/boss_1110.h"
#include "boss/boss_update.h"
#include "boss/breakable_objects.h"
#include "boss/trap.h"
#include "monster/monster_1003.h"
#include "monster/monster_1004.h"
#include "monster/monster_1006.h"
#include "monster/monster_1007.h"
#include "monster/monster_1021.h"
#include "monster/monster_update.h"
#include "monster/npc.h"
#include "monster/npc_10.h"

#include <algorithm>
#include <map>
#include <strings.h>

namespace {

constexpr AiTypeInfo kAiTypes[] = {
    {.aiType = 0, .modelFolder = ModelFolder::kMainChar, .modelId = "HERO01", .objectSize = sizeof(CSHero),
     .construct = &ConstructActor<CSHero>, .update = HeroTypeUpdate, .release = HeroTypeRelease},
    {.aiType = 1, .modelFolder = ModelFolder::kMainChar, .modelId = "HERO02", .objectSize = sizeof(CSHero),
     .construct = &ConstructActor<CSHero>, .update = HeroTypeUpdate, .release = HeroTypeRelease},
    {.aiType = 10, .modelFolder = ModelFolder::kNpc, .modelId = "10", .objectSize = sizeof(CSMonster1003),
     .construct = &ConstructActor<CSMonster1003>, .update = &UpdateNpc, .release = &CSNpc10::ReleaseOf},
    {.aiType = 100, .modelFolder = ModelFolder::kNpc, .modelId = "100", .update = &UpdateNpc},
    {.aiType = 101, .modelFolder = ModelFolder::kNpc, .modelId = "101", .update = &UpdateNpc},
    {.aiType = 102, .modelFolder = ModelFolder::kNpc, .modelId = "102", .update = &UpdateNpc},
    {.aiType = 103, .modelFolder = ModelFolder::kNpc, .modelId = "103", .objectSize = sizeof(CSNpc103),
     .construct = &ConstructActor<CSNpc103>, .update = &UpdateNpc},
    {.aiType = 104, .modelFolder = ModelFolder::kNpc, .modelId = "104", .update = &UpdateNpc},
    {.aiType = 105, .modelFolder = ModelFolder::kNpc, .modelId = "105", .update = &UpdateNpc},
    {.aiType = 106, .modelFolder = ModelFolder::kNpc, .modelId = "106", .update = &UpdateNpc},
    {.aiType = 107, .modelFolder = ModelFolder::kNpc, .modelId = "107", .update = &UpdateNpc},
    {.aiType = 108, .modelFolder = ModelFolder::kNpc, .modelId = "108", .update = &UpdateNpc},
    {.aiType = 109, .modelFolder = ModelFolder::kNpc, .modelId = "109", .update = &UpdateNpc},
    {.aiType = 110, .modelFolder = ModelFolder::kNpc, .modelId = "110", .update = &UpdateNpc},
    {.aiType = 111, .modelFolder = ModelFolder::kNpc, .modelId = "111", .update = &UpdateNpc},
    {.aiType = 112, .modelFolder = ModelFolder::kNpc, .modelId = "112", .objectSize = sizeof(CSMonster1004),
     .construct = &ConstructActor<CSMonster1004>, .update = &UpdateNpc},
    {.aiType = 113, .modelFolder = ModelFolder::kNpc, .modelId = "113", .update = &UpdateNpc},
    {.aiType = 114, .modelFolder = ModelFolder::kNpc, .modelId = "114", .update = &UpdateNpc},
    {.aiType = 115, .modelFolder = ModelFolder::kNpc, .modelId = "115", .update = &UpdateNpc},
    {.aiType = 116, .modelFolder = ModelFolder::kNpc, .modelId = "116", .update = &UpdateNpc},
    {.aiType = 117, .modelFolder = ModelFolder::kNpc, .modelId = "117", .update = &UpdateNpc},
    {.aiType = 118, .modelFolder = ModelFolder::kNpc, .modelId = "118", .update = &UpdateNpc},
    {.aiType = 1000, .modelFolder = ModelFolder::kMonster, .modelId = "1000", .update = &UpdateMonster},
    {.aiType = 1001, .modelFolder = ModelFolder::kMonster, .modelId = "1001", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .release = &CSMonster1006::ReleaseOf},
    {.aiType = 1002, .modelFolder = ModelFolder::kMonster, .modelId = "1002", .objectSize = sizeof(CSMonster1003),
     .construct = &ConstructActor<CSMonster1003>, .update = &UpdateMonster},
    {.aiType = 1003, .modelFolder = ModelFolder::kMonster, .modelId = "1003", .objectSize = sizeof(CSMonster1003),
     .construct = &ConstructActor<CSMonster1003>, .update = &UpdateMonster},
    {.aiType = 1004, .modelFolder = ModelFolder::kMonster, .modelId = "1004", .objectSize = sizeof(CSMonster1004),
     .construct = &ConstructActor<CSMonster1004>, .update = &UpdateMonster},
    {.aiType = 1005, .modelFolder = ModelFolder::kMonster, .modelId = "1005", .update = &UpdateMonster},
    {.aiType = 1006, .modelFolder = ModelFolder::kMonster, .modelId = "1006", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .update = &UpdateMonster, .release = &CSMonster1006::ReleaseOf,
     .restartEffects = &CSMonster1006::RestartEffectsOf},
    {.aiType = 1007, .modelFolder = ModelFolder::kMonster, .modelId = "1007", .objectSize = sizeof(CSMonster1007),
     .construct = &ConstructActor<CSMonster1007>, .update = &UpdateMonster, .release = &CSMonster1007::ReleaseOf,
     .restartEffects = &CSMonster1007::RestartEffectsOf},
    {.aiType = 1008, .modelFolder = ModelFolder::kMonster, .modelId = "1008", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .release = &CSMonster1006::ReleaseOf},
    {.aiType = 1009, .modelFolder = ModelFolder::kMonster, .modelId = "1009", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .release = &CSMonster1006::ReleaseOf},
    {.aiType = 1010, .modelFolder = ModelFolder::kMonster, .modelId = "1010", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .release = &CSMonster1006::ReleaseOf},
    {.aiType = 1011, .modelFolder = ModelFolder::kMonster, .modelId = "1011", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .release = &CSMonster1006::ReleaseOf},
    {.aiType = 1012, .modelFolder = ModelFolder::kMonster, .modelId = "1012", .objectSize = sizeof(CSMonster1006),
     .construct = &ConstructActor<CSMonster1006>, .release = &CSMonster1006::ReleaseOf},
    {.aiType = 1013, .modelFolder = ModelFolder::kMonster, .modelId = "1013"},
    {.aiType = 1014, .modelFolder = ModelFolder::kMonster, .modelId = "1014"},
    {.aiType = 1015, .modelFolder = ModelFolder::kMonster, .modelId = "1015"},
    {.aiType = 1016, .modelFolder = ModelFolder::kMonster, .modelId = "1016"},
    {.aiType = 1017, .modelFolder = ModelFolder::kMonster, .modelId = "1017"},
    {.aiType = 1018, .modelFolder = ModelFolder::kMonster, .modelId = "1018"},
    {.aiType = 1019, .modelFolder = ModelFolder::kMonster, .modelId = "1019"},
    {.aiType = 1020, .modelFolder = ModelFolder::kMonster, .modelId = "1020"},
    {.aiType = 1021, .modelFolder = ModelFolder::kMonster, .modelId = "1021", .objectSize = sizeof(CSMonster1021),
     .construct = &ConstructActor<CSMonster1021>, .update = &UpdateMonster, .release = &CSMonster1021::ReleaseOf},
    {.aiType = 1100, .modelFolder = ModelFolder::kBoss, .modelId = "1100", .objectSize = sizeof(CSBoss1100),
     .construct = &ConstructActor<CSBoss1100>, .update = &UpdateBoss},
    {.aiType = 1101, .modelFolder = ModelFolder::kBoss, .modelId = "1111000", .objectSize = sizeof(CSBoss1101),
     .construct = &ConstructActor<CSBoss1101>, .update = &UpdateBoss},
    {.aiType = 1102, .modelFolder = ModelFolder::kBoss, .modelId = "1120000", .objectSize = sizeof(CSBoss1102),
     .construct = &ConstructActor<CSBoss1102>, .update = &UpdateBoss},
    {.aiType = 1103, .modelFolder = ModelFolder::kBoss, .modelId = "1121000", .objectSize = sizeof(CSBoss1103),
     .construct = &ConstructActor<CSBoss1103>, .update = &UpdateBoss},
    {.aiType = 1104, .modelFolder = ModelFolder::kBoss, .modelId = "1130000", .objectSize = sizeof(CSBoss1104),
     .construct = &ConstructActor<CSBoss1104>, .update = &UpdateBoss, .release = &CSBoss1104::ReleaseOf},
    {.aiType = 1105, .modelFolder = ModelFolder::kBoss, .modelId = "1135000", .objectSize = sizeof(CSBoss1105),
     .construct = &ConstructActor<CSBoss1105>, .update = &UpdateBoss},
    {.aiType = 1106, .modelFolder = ModelFolder::kBoss, .modelId = "1140000", .objectSize = sizeof(CSBoss1106),
     .construct = &ConstructActor<CSBoss1106>, .update = &UpdateBoss},
    {.aiType = 1107, .modelFolder = ModelFolder::kBoss, .modelId = "1150000", .objectSize = sizeof(CSBoss1107),
     .construct = &ConstructActor<CSBoss1107>, .update = &UpdateBoss, .release = &CSBoss1107::ReleaseOf},
    {.aiType = 1108, .modelFolder = ModelFolder::kBoss, .modelId = "1160000", .objectSize = sizeof(CSBoss1108),
     .construct = &ConstructActor<CSBoss1108>, .update = &UpdateBoss},
    {.aiType = 1109, .modelFolder = ModelFolder::kBoss, .modelId = "1165000", .objectSize = sizeof(CSBoss1109),
     .construct = &ConstructActor<CSBoss1109>, .update = &UpdateBoss, .release = &CSBoss1109::ReleaseOf},
    {.aiType = 1110, .modelFolder = ModelFolder::kBoss, .modelId = "1170000", .objectSize = sizeof(CSBoss1110),
     .construct = &ConstructActor<CSBoss1110>, .update = &UpdateBoss, .release = &boss::ReleaseChampion},
    {.aiType = 1200, .modelFolder = ModelFolder::kTrap, .modelId = "1510000", .objectSize = sizeof(CSTrap1200),
     .construct = &ConstructActor<CSTrap1200>, .update = &UpdateTrap, .release = &ReleaseTrap},
    {.aiType = 1201, .modelFolder = ModelFolder::kTrap, .modelId = "1520000", .objectSize = sizeof(CSTrap1201),
     .construct = &ConstructActor<CSTrap1201>, .update = &UpdateTrap},
    {.aiType = 1202, .modelFolder = ModelFolder::kTrap, .modelId = "1530000", .objectSize = sizeof(CSTrap1202),
     .construct = &ConstructActor<CSTrap1202>, .update = &UpdateTrap},
    {.aiType = 1203, .modelFolder = ModelFolder::kTrap, .modelId = "1540000", .objectSize = sizeof(CSTrap1203),
     .construct = &ConstructActor<CSTrap1203>, .update = &UpdateTrap, .release = &ReleaseTrap},
    {.aiType = 1204, .modelFolder = ModelFolder::kTrap, .modelId = "1550000", .update = &UpdateTrap},
    // The placement loader has no entry for trap 1205; it shares 1200's folder.
    {.aiType = 1205, .modelFolder = ModelFolder::kTrap, .modelId = "1510000", .objectSize = sizeof(CSTrap1200),
     .construct = nullptr, .update = &UpdateTrap, .release = &ReleaseTrap},
    BreakableAiTypeRow(10000),
    BreakableAiTypeRow(10001),
    BreakableAiTypeRow(10002),
    BreakableAiTypeRow(10003),
    BreakableAiTypeRow(10004),
    BreakableAiTypeRow(10005),
    BreakableAiTypeRow(10006),
    BreakableAiTypeRow(10007),
    BreakableAiTypeRow(10008),
    BreakableAiTypeRow(10009),
    BreakableAiTypeRow(10010),
    BreakableAiTypeRow(10011),
    BreakableAiTypeRow(10012),
    BreakableAiTypeRow(10013),
    BreakableAiTypeRow(10014),
    BreakableAiTypeRow(10015),
    BreakableAiTypeRow(10016),
    BreakableAiTypeRow(10017),
    BreakableAiTypeRow(10018),
    BreakableAiTypeRow(10019),
    BreakableAiTypeRow(10020),
    BreakableAiTypeRow(10021),
    BreakableAiTypeRow(10022),
    BreakableAiTypeRow(10023),
    BreakableAiTypeRow(10024),
    BreakableAiTypeRow(10025),
    BreakableAiTypeRow(10026),
    BreakableAiTypeRow(10027),
    BreakableAiTypeRow(10028),
    BreakableAiTypeRow(10029),
    BreakableAiTypeRow(10030),
    BreakableAiTypeRow(10031),
};

constexpr bool RisingOrder()
{
    for (size_t i = 1; i < std::size(kAiTypes); ++i) {
        if (kAiTypes[i - 1].aiType >= kAiTypes[i].aiType) {
            return false;
        }
    }
    return true;
}
static_assert(RisingOrder(), "the AI-type table is looked up by halving: rows in rising type order");

}  // namespace

bool ModelFolderFromName(const char *name, ModelFolder *folder)
{
    for (size_t i = 0; i < std::size(kModelFolderNames); ++i) {
        if (name != nullptr && strcasecmp(name, kModelFolderNames[i]) == 0) {
            *folder = static_cast<ModelFolder>(i);
            return true;
        }
    }
    return false;
}

std::span<const AiTypeInfo> AiTypeTable() { return kAiTypes; }

const AiTypeInfo *FindAiType(int32_t aiType)
{
    const auto *end = std::end(kAiTypes);
    const auto *found = std::lower_bound(std::begin(kAiTypes), end, aiType,
                                         [](const AiTypeInfo &row, int32_t type) { return row.aiType < type; });
    return found != end && found->aiType == aiType ? found : nullptr;
}

namespace {

std::map<int32_t, AiUpdateFn> &ReplacedUpdates()
{
    static std::map<int32_t, AiUpdateFn> replaced;
    return replaced;
}

}  // namespace

AiUpdateFn AiTypeUpdateOf(int32_t aiType)
{
    const std::map<int32_t, AiUpdateFn> &replaced = ReplacedUpdates();
    if (!replaced.empty()) {
        const auto found = replaced.find(aiType);
        if (found != replaced.end()) {
            return found->second;
        }
    }
    const AiTypeInfo *row = FindAiType(aiType);
    return row != nullptr ? row->update : nullptr;
}

AiUpdateFn ReplaceAiTypeUpdate(int32_t aiType, AiUpdateFn update)
{
    std::map<int32_t, AiUpdateFn> &replaced = ReplacedUpdates();
    const auto found = replaced.find(aiType);
    const AiUpdateFn previous = found != replaced.end() ? found->second : nullptr;
    if (update != nullptr) {
        replaced[aiType] = update;
    } else if (found != replaced.end()) {
        replaced.erase(found);
    }
    return previous;
}
