// Every class of event object, by its EventObject tag: the list that the
// factory makes objects from. A kind's class joins here once.
#pragma once

#include "event/bridge_event.h"
#include "event/door_event.h"
#include "event/event_record.h"
#include "event/give_item_event.h"
#include "event/hero_zone_event.h"
#include "event/kind_tails.h"
#include "event/last_npc_event.h"
#include "event/link_events.h"
#include "event/move_object_event.h"
#include "event/movie_event.h"
#include "event/npc_appear_event.h"
#include "event/npc_signal_event.h"
#include "event/npc_talk_event.h"
#include "event/scene_effect_event.h"
#include "event/stage_exit_event.h"
#include "event/switch_puzzle_event.h"
#include "event/talk_event.h"
#include "event/timed_event.h"
#include "event/toxic_gas_event.h"
#include "event/trap_notice_event.h"
#include "event/vine_hazard_event.h"
#include "event/water_event.h"

// X(tag, class) for every EventObject.
#define EVENT_OBJECT_CLASSES(X)                          \
    X(kBare, EventRecord)                                \
    X(kDoor, CSDoorEvent)                                \
    X(kDoorWithFlags, CSDoorEventWithFlags)              \
    X(kLastNpc, CSLastNpcEvent)                          \
    X(kNpcAppear, CSNpcAppearEvent)                      \
    X(kTalk, CSTalkEvent)                                \
    X(kTalkWithWord, CSTalkEventWithWord)                \
    X(kInGameAnm, CSInGameAnmEvent)                      \
    X(kInGameAnmWithFlag, CSInGameAnmEventWithFlag)      \
    X(kInGameAnm79041500, CSInGameAnm79041500)           \
    X(kToxicGas, CSToxicGasEvent)                        \
    X(kSceneEffect, CSSceneEffectEvent)                  \
    X(kBridge, CSBridgeEvent)                            \
    X(kTimed, CSTimedEvent)                              \
    X(kTrapNotice, CSTrapNoticeEvent)                    \
    X(kWater, CSWaterEvent)                              \
    X(kLinkStarter, CSLinkStarterEvent)                  \
    X(kMovie, CSMovieEvent)                              \
    X(kStarEffect, CSStarEffectEvent)                    \
    X(kMatAnim, CSMatAnimEvent)                          \
    X(kStageExit, CSStageExitEvent)                      \
    X(kNpcTalk, CSNpcTalkEvent)                          \
    X(kGiveItem, CSGiveItemEvent)                        \
    X(kMoveObject, CSMoveObjectEvent)                    \
    X(kHeroZone, CSHeroZoneEvent)                        \
    X(kNpcSignal, CSNpcSignalEvent)                      \
    X(kVineHazard, CSVineHazardEvent)                    \
    X(kTalkStarter, CSTalkStarterEvent)
