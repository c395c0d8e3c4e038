// The AI-type table (see ai_type_table.h). Model ids: the heroes' are the
// names of their folders; the bosses', traps' and breakable objects' are
// the ids of their files; the template-D monsters (1000, 1002 to 1005,
// 1007) keep theirs under their type number; the other monsters and the
// non-player characters number theirs by type (monster 1000 + n: 12nn000;
// character 10: 1410000, 100 + n: 14(20 + n)000); boss 1100 keeps its model
// under its type number, and trap 1205 shares 1200's folder.
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
#include "boss/trap.h"
#include "monster/monster_1003.h"
#include "monster/monster_1004.h"
#include "monster/monster_1007.h"
#include "monster/monster_update.h"

#include <algorithm>
#include <map>
#include <strings.h>

namespace {

constexpr AiTypeInfo kAiTypes[] = {
    {.aiType = 0, .modelFolder = ModelFolder::kMainChar, .modelId = "HERO01", .objectSize = sizeof(CSHero),
     .construct = &ConstructActor<CSHero>, .update = HeroTypeUpdate, .release = HeroTypeRelease},
    {.aiType = 1, .modelFolder = ModelFolder::kMainChar, .modelId = "HERO02", .objectSize = sizeof(CSHero),
     .construct = &ConstructActor<CSHero>, .update = HeroTypeUpdate, .release = HeroTypeRelease},
    {.aiType = 10, .modelFolder = ModelFolder::kNpc, .modelId = "1410000"},
    {.aiType = 100, .modelFolder = ModelFolder::kNpc, .modelId = "1420000"},
    {.aiType = 101, .modelFolder = ModelFolder::kNpc, .modelId = "1421000"},
    {.aiType = 102, .modelFolder = ModelFolder::kNpc, .modelId = "1422000"},
    {.aiType = 103, .modelFolder = ModelFolder::kNpc, .modelId = "1423000"},
    {.aiType = 104, .modelFolder = ModelFolder::kNpc, .modelId = "1424000"},
    {.aiType = 105, .modelFolder = ModelFolder::kNpc, .modelId = "1425000"},
    {.aiType = 106, .modelFolder = ModelFolder::kNpc, .modelId = "1426000"},
    {.aiType = 107, .modelFolder = ModelFolder::kNpc, .modelId = "1427000"},
    {.aiType = 108, .modelFolder = ModelFolder::kNpc, .modelId = "1428000"},
    {.aiType = 109, .modelFolder = ModelFolder::kNpc, .modelId = "1429000"},
    {.aiType = 110, .modelFolder = ModelFolder::kNpc, .modelId = "1430000"},
    {.aiType = 111, .modelFolder = ModelFolder::kNpc, .modelId = "1431000"},
    {.aiType = 112, .modelFolder = ModelFolder::kNpc, .modelId = "1432000"},
    {.aiType = 113, .modelFolder = ModelFolder::kNpc, .modelId = "1433000"},
    {.aiType = 114, .modelFolder = ModelFolder::kNpc, .modelId = "1434000"},
    {.aiType = 115, .modelFolder = ModelFolder::kNpc, .modelId = "1435000"},
    {.aiType = 116, .modelFolder = ModelFolder::kNpc, .modelId = "1436000"},
    {.aiType = 117, .modelFolder = ModelFolder::kNpc, .modelId = "1437000"},
    {.aiType = 118, .modelFolder = ModelFolder::kNpc, .modelId = "1438000"},
    {.aiType = 1000, .modelFolder = ModelFolder::kMonster, .modelId = "1000", .update = &UpdateMonster},
    {.aiType = 1001, .modelFolder = ModelFolder::kMonster, .modelId = "1201000"},
    {.aiType = 1002, .modelFolder = ModelFolder::kMonster, .modelId = "1002", .objectSize = sizeof(CSMonster1003),
     .construct = &ConstructActor<CSMonster1003>, .update = &UpdateMonster},
    {.aiType = 1003, .modelFolder = ModelFolder::kMonster, .modelId = "1003", .objectSize = sizeof(CSMonster1003),
     .construct = &ConstructActor<CSMonster1003>, .update = &UpdateMonster},
    {.aiType = 1004, .modelFolder = ModelFolder::kMonster, .modelId = "1004", .objectSize = sizeof(CSMonster1004),
     .construct = &ConstructActor<CSMonster1004>, .update = &UpdateMonster},
    {.aiType = 1005, .modelFolder = ModelFolder::kMonster, .modelId = "1005", .update = &UpdateMonster},
    {.aiType = 1006, .modelFolder = ModelFolder::kMonster, .modelId = "1206000"},
    {.aiType = 1007, .modelFolder = ModelFolder::kMonster, .modelId = "1007", .objectSize = sizeof(CSMonster1007),
     .construct = &ConstructActor<CSMonster1007>, .update = &UpdateMonster, .release = &CSMonster1007::ReleaseOf,
     .restartEffects = &CSMonster1007::RestartEffectsOf},
    {.aiType = 1008, .modelFolder = ModelFolder::kMonster, .modelId = "1208000"},
    {.aiType = 1009, .modelFolder = ModelFolder::kMonster, .modelId = "1209000"},
    {.aiType = 1010, .modelFolder = ModelFolder::kMonster, .modelId = "1210000"},
    {.aiType = 1011, .modelFolder = ModelFolder::kMonster, .modelId = "1211000"},
    {.aiType = 1012, .modelFolder = ModelFolder::kMonster, .modelId = "1212000"},
    {.aiType = 1013, .modelFolder = ModelFolder::kMonster, .modelId = "1213000"},
    {.aiType = 1014, .modelFolder = ModelFolder::kMonster, .modelId = "1214000"},
    {.aiType = 1015, .modelFolder = ModelFolder::kMonster, .modelId = "1215000"},
    {.aiType = 1016, .modelFolder = ModelFolder::kMonster, .modelId = "1216000"},
    {.aiType = 1017, .modelFolder = ModelFolder::kMonster, .modelId = "1217000"},
    {.aiType = 1018, .modelFolder = ModelFolder::kMonster, .modelId = "1218000"},
    {.aiType = 1019, .modelFolder = ModelFolder::kMonster, .modelId = "1219000"},
    {.aiType = 1020, .modelFolder = ModelFolder::kMonster, .modelId = "1220000"},
    {.aiType = 1021, .modelFolder = ModelFolder::kMonster, .modelId = "1221000"},
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
    {.aiType = 10000, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560100"},
    {.aiType = 10001, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560200"},
    {.aiType = 10002, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560300"},
    {.aiType = 10003, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560400"},
    {.aiType = 10004, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560500"},
    {.aiType = 10005, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560600"},
    {.aiType = 10006, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560700"},
    {.aiType = 10007, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560800"},
    {.aiType = 10008, .modelFolder = ModelFolder::kBreakObj, .modelId = "1560900"},
    {.aiType = 10009, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561000"},
    {.aiType = 10010, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561100"},
    {.aiType = 10011, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561200"},
    {.aiType = 10012, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561300"},
    {.aiType = 10013, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561400"},
    {.aiType = 10014, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561500"},
    {.aiType = 10015, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561600"},
    {.aiType = 10016, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561700"},
    {.aiType = 10017, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561800"},
    {.aiType = 10018, .modelFolder = ModelFolder::kBreakObj, .modelId = "1561900"},
    {.aiType = 10019, .modelFolder = ModelFolder::kBreakObj, .modelId = "1562000"},
    {.aiType = 10020, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570100"},
    {.aiType = 10021, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570200"},
    {.aiType = 10022, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570300"},
    {.aiType = 10023, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570400"},
    {.aiType = 10024, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570500"},
    {.aiType = 10025, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570600"},
    {.aiType = 10026, .modelFolder = ModelFolder::kBreakObj, .modelId = "1580100"},
    {.aiType = 10027, .modelFolder = ModelFolder::kBreakObj, .modelId = "1580200"},
    {.aiType = 10028, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570700"},
    {.aiType = 10029, .modelFolder = ModelFolder::kBreakObj, .modelId = "1570800"},
    {.aiType = 10030, .modelFolder = ModelFolder::kBreakObj, .modelId = "1580300"},
    {.aiType = 10031, .modelFolder = ModelFolder::kBreakObj, .modelId = "1580400"},
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
