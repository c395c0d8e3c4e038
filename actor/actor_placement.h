// Making and freeing the stage's actors: the AI placement loader creates an
// actor for each placement of the stage by its AI type (the class and size
// of the AI-type table), sets its side and placement values and, unless an
// event is to show it, gives it its model; the stage release runs each actor's
// release and frees it, after the pending messages are dropped.
#pragma once

#include <cstdint>

class AiObject;
class CSStageManager;
struct AiPlacement;

// A new actor of `aiType` from the allocator, built by the type's class;
// null (with the diagnostic "The 'AIType' of AIID %d hasn't found\n") for
// a type the loader has no entry for.
AiObject *CreateActor(int32_t aiType, int32_t aiId);
// The type's release (the base release for types without one), then the
// memory goes back.
void DestroyActor(AiObject *actor);

// Appends `actor` to the end of the stage's chain.
void LinkActor(CSStageManager *stage, AiObject *actor);

// Gives a placed actor its values: AI type and side, AIID, EventID, home
// and position, facing and up, initial state (with its motion's start on
// the animation clock), territory, IsRender, ItemType, its template's HP
// and resistances. With EventID 0, or when it is shown by view (IsRender
// set), it takes a model instance and is active; an actor bound to an event
// without IsRender waits for the event to show it.
void ApplyPlacement(CSStageManager *stage, AiObject *actor, const AiPlacement &placement);

// Loads the model template of every model the stage's placements wear
// (one per AI type and model, with one instance per placed actor) into
// the stage's templates, animated by the stage's actor animation manager.
// Placements the loader has no entry for need none. False when a model
// cannot be loaded (its fatal report raised).
bool LoadPlacedModels(CSStageManager *stage);

// Creates every actor of the stage's placements in placement order and
// links them into the chain; the number created.
int32_t CreatePlacedActors(CSStageManager *stage);

// Drops the pending messages, then releases and frees every actor of the
// chain but the heroes, which stay linked and forget the actors that went.
void ReleasePlacedActors(CSStageManager *stage);
