// Event models: the models an event shows, loaded by name from
// "\RESOURCE\G_EVENT\DFF\<name>.DFF" (textures from its TEXTURES folder)
// through the manager's list of shared models, placed by the event's
// placement, shown or hidden, and drawn; and the routines of the events
// that show one model and nothing else.
#pragma once

#include <cstdint>

#include "rwcore.h"

class EventRecord;
struct RpClump;

// The folders of the event models and their textures (after the data root).
inline constexpr const char *kEventModelFolder = "\\RESOURCE\\G_EVENT\\DFF\\";
inline constexpr const char *kEventModelTextureFolder = "\\RESOURCE\\G_EVENT\\DFF\\\\TEXTURES\\";
// The radius of an event's bounding sphere unless its load sets another.
inline constexpr float kEventSphereRadius = 40.0f;

// The event's one model, named by its Label (ModelNum 1; "none" or a model
// that cannot be had leaves the slot empty).
void LoadEventModel(EventRecord *record);
// Puts `clump` where the placement says: a placement position of (0, 0, 0)
// keeps the frame's own position, any other replaces it; at and up from
// the placement, right = up x at. The placement keeps the frame's live
// position, a copy of it and the radius 40.
void PlaceEventModel(EventRecord *record, RpClump *clump);

// The box of every vertex of the clump's atomics in world space; false
// for a clump without vertices.
bool EventModelBounds(RpClump *clump, RwBBox *box);

// Shown or hidden (a hidden model is not drawn).
void ShowEventModel(RpClump *clump, bool on);
bool IsEventModelShown(const RpClump *clump);
// The event's bounding sphere (the placement's position copy and radius)
// is in the main camera's view.
bool EventModelsInView(const EventRecord *record);
// Draws a shown clump: plainly, or with the fade at 0.5 of a model that
// stands between the camera and a hero.
void DrawEventModel(RpClump *clump, bool fading);
// Draws every model of the event.
void DrawEventModels(const EventRecord *record, bool fading);

// Event 79010000: its one model, the placement's centre taken from the
// trigger circle unless that is (0, 0, 0); drawn fading while in view.
void LoadFirstEvent(EventRecord *record);
void RenderFirstEvent(EventRecord *record);
// The one-id draws: 79041500 every model fading, no view test; 79050300
// its first model plainly in view, gone once ended when the door says
// so; 79101100 every model fading in view once it has run.
void Render79041500(EventRecord *record);
void Render79050300(EventRecord *record);
void Render79101100(EventRecord *record);
