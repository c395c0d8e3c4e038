// The update of the monster behaviours by AI type, as the AI-type table
// hands it to the actor pass.
#pragma once

class AiObject;

// The type's update (a switch on the actor's AI type); nothing for a type
// without a monster behaviour.
void UpdateMonster(AiObject *actor, float dt);
