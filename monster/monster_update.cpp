// The update of the monster behaviours by AI type (see monster_update.h).
#include "monster/monster_update.h"

#include "monster/monster_1000.h"
#include "monster/monster_1003.h"
#include "monster/monster_1004.h"
#include "monster/monster_1006.h"
#include "monster/monster_1007.h"
#include "monster/monster_1021.h"

void UpdateMonster(AiObject *actor, float dt)
{
    switch (actor->aiType) {
    case 1000:
        CSMonster1000::Update(actor, dt);
        break;
    case 1002:
        CSMonster1002::Update(static_cast<CSMonster1003 *>(actor), dt);
        break;
    case 1003:
        static_cast<CSMonster1003 *>(actor)->Update(dt);
        break;
    case 1004:
        static_cast<CSMonster1004 *>(actor)->Update(dt);
        break;
    case 1005:
        CSMonster1005::Update(actor, dt);
        break;
    case 1006:
        static_cast<CSMonster1006 *>(actor)->Update(dt);
        break;
    case 1007:
        static_cast<CSMonster1007 *>(actor)->Update(dt);
        break;
    case 1021:
        static_cast<CSMonster1021 *>(actor)->Update(dt);
        break;
    default:
        return;
    }
    // A monster standing in play with its model is one a boss may trade
    // places with (boss 1108's partners); dying or gone, it is not.
    actor->partnerReady = static_cast<int32_t>(!actor->removed && !actor->dying && actor->model != nullptr);
}
