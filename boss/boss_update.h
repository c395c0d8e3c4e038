// The update of the bosses by AI type, as the AI-type table hands it to
// the actor pass.
#pragma once

class AiObject;

// The boss's update (a switch on the actor's AI type); nothing for a type
// without a boss behaviour.
void UpdateBoss(AiObject *actor, float dt);
