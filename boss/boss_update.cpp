// The update of the bosses by AI type (see boss_update.h).
#include "boss/boss_update.h"

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

void UpdateBoss(AiObject *actor, float dt)
{
    switch (actor->aiType) {
    case 1100:
        static_cast<CSBoss1100 *>(actor)->Update(dt);
        break;
    case 1101:
        static_cast<CSBoss1101 *>(actor)->Update(dt);
        break;
    case 1102:
        static_cast<CSBoss1102 *>(actor)->Update(dt);
        break;
    case 1103:
        static_cast<CSBoss1103 *>(actor)->Update(dt);
        break;
    case 1104:
        static_cast<CSBoss1104 *>(actor)->Update(dt);
        break;
    case 1105:
        static_cast<CSBoss1105 *>(actor)->Update(dt);
        break;
    case 1106:
        static_cast<CSBoss1106 *>(actor)->Update(dt);
        break;
    case 1107:
        static_cast<CSBoss1107 *>(actor)->Update(dt);
        break;
    case 1108:
        static_cast<CSBoss1108 *>(actor)->Update(dt);
        break;
    case 1109:
        static_cast<CSBoss1109 *>(actor)->Update(dt);
        break;
    case 1110:
        static_cast<CSBoss1110 *>(actor)->Update(dt);
        break;
    default:
        break;
    }
}
