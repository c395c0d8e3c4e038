// The event factory and the per-event set-up.
#include "event/event_factory.h"

#include <cstring>
#include <new>

#include "app/memory.h"
#include "event/event_objects.h"

namespace {

template <class T>
EventRecord *NewCleared()
{
    static_assert(std::is_trivially_destructible_v<T>, "event objects are freed without destructors");
    void *block = zuMalloc(sizeof(T));
    std::memset(block, 0, sizeof(T));
    return new (block) T();
}

}  // namespace

size_t EventObjectSize(EventObject object)
{
    switch (object) {
#define EVENT_OBJECT_SIZE(name, type) \
    case EventObject::name:           \
        return sizeof(type);
        EVENT_OBJECT_CLASSES(EVENT_OBJECT_SIZE)
#undef EVENT_OBJECT_SIZE
    case EventObject::kCount:
        break;
    }
    return 0;
}

EventRecord *CreateEventRecord(int32_t eventId)
{
    const EventIdRow *row = FindEventRow(eventId);
    if (row == nullptr) {
        return nullptr;
    }
    EventRecord *record = nullptr;
    switch (row->object) {
#define EVENT_OBJECT_NEW(name, type) \
    case EventObject::name:          \
        record = NewCleared<type>(); \
        break;
        EVENT_OBJECT_CLASSES(EVENT_OBJECT_NEW)
#undef EVENT_OBJECT_NEW
    case EventObject::kCount:
        return nullptr;
    }
    record->EventID = eventId;
    record->kind = row->kind;
    record->object = row->object;
    record->variant = row->variant;
    record->preset = row->preset;
    return record;
}

void FreeEventObject(EventRecord *record) { zuFree(record); }

void EventRecord::SetUp()
{
    // The kinds' Init steps that clear fields have nothing to do on a
    // cleared object; the rest set what they set.
    EventType = KindFacts(kind).eventType;
    switch (kind) {
    case EventKind::kDoor:
        static_cast<CSDoorEvent *>(this)->Init();
        break;
    case EventKind::kNpcSignal:
        static_cast<CSNpcSignalEvent *>(this)->Init();
        break;
    case EventKind::kNpcTalk:
        static_cast<CSNpcTalkEvent *>(this)->Ready = 1;
        break;
    case EventKind::kHeroZone:
        static_cast<CSHeroZoneEvent *>(this)->Ninth = 8;
        break;
    case EventKind::kNpcAppear:
        static_cast<CSNpcAppearEvent *>(this)->Init();
        break;
    case EventKind::kStarEffect:
        static_cast<CSStarEffectEvent *>(this)->Init();
        break;
    default:
        break;
    }
}
