// The update of the bosses by AI type (see boss_update.h).
#include "boss/boss_update.h"

#include "boss/boss_1100.h"
#include "boss/boss_1101.h"
#include "boss/boss_1102.h"
#include "boss/boss_1106.h"
#include "boss/boss_1107.h"

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
    case 1106:
        static_cast<CSBoss1106 *>(actor)->Update(dt);
        break;
    case 1107:
        static_cast<CSBoss1107 *>(actor)->Update(dt);
        break;
    default:
        break;
    }
}
