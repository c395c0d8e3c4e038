// Basic engine types: fixed-width numbers, booleans, colours, the common
// object head and the intrusive circular doubly linked list used all over
// the engine (free-list blocks, dirty frames, resource entries, ...).
#pragma once

#include <cstddef>
#include <cstdint>

typedef int8_t RwInt8;
typedef uint8_t RwUInt8;
typedef int16_t RwInt16;
typedef uint16_t RwUInt16;
typedef int32_t RwInt32;
typedef uint32_t RwUInt32;
typedef int64_t RwInt64;
typedef uint64_t RwUInt64;
typedef float RwReal;
typedef int32_t RwBool;
typedef char RwChar;
typedef uint16_t RwImVertexIndex;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Colour with 8-bit channels, in the order they are stored in files.
struct RwRGBA {
    RwUInt8 red;
    RwUInt8 green;
    RwUInt8 blue;
    RwUInt8 alpha;
};

// Lighting coefficients of a surface (materials carry them; the driver
// hands them to the device).
struct RwSurfaceProperties {
    RwReal ambient;
    RwReal specular;
    RwReal diffuse;
};

// Colour with float channels, same order as RwRGBA.
struct RwRGBAReal {
    RwReal red;
    RwReal green;
    RwReal blue;
    RwReal alpha;
};

// Head of every engine object; the type byte tells frames, atomics, clumps,
// lights, cameras, textures, worlds and geometries apart.
struct RwObject {
    RwUInt8 type;
    RwUInt8 subType;
    RwUInt8 flags;
    RwUInt8 privateFlags;
    void *parent;
};

// Intrusive circular doubly linked list. A list head is a link whose next
// and prev point at itself when empty; records embed an RwLLLink.
struct RwLLLink {
    RwLLLink *next;
    RwLLLink *prev;
};

struct RwLinkList {
    RwLLLink link;
};

inline void RwLinkListInitialize(RwLinkList *list)
{
    list->link.next = &list->link;
    list->link.prev = &list->link;
}

inline RwBool RwLinkListEmpty(const RwLinkList *list)
{
    return list->link.next == &list->link;
}

inline RwLLLink *RwLinkListGetFirstLLLink(RwLinkList *list) { return list->link.next; }
inline RwLLLink *RwLinkListGetLastLLLink(RwLinkList *list) { return list->link.prev; }
inline RwLLLink *RwLinkListGetTerminator(RwLinkList *list) { return &list->link; }
inline RwLLLink *RwLLLinkGetNext(RwLLLink *link) { return link->next; }
inline RwLLLink *RwLLLinkGetPrevious(RwLLLink *link) { return link->prev; }

// Links at the head of the list (newest first).
inline void RwLinkListAddLLLink(RwLinkList *list, RwLLLink *link)
{
    link->next = list->link.next;
    link->prev = &list->link;
    list->link.next->prev = link;
    list->link.next = link;
}

// Links at the tail of the list.
inline void RwLinkListAppendLLLink(RwLinkList *list, RwLLLink *link)
{
    link->prev = list->link.prev;
    link->next = &list->link;
    list->link.prev->next = link;
    list->link.prev = link;
}

inline void RwLLLinkRemove(RwLLLink *link)
{
    link->prev->next = link->next;
    link->next->prev = link->prev;
}

inline void RwLLLinkInitialize(RwLLLink *link)
{
    link->next = nullptr;
    link->prev = nullptr;
}

inline RwBool RwLLLinkAttached(const RwLLLink *link) { return link->next != nullptr; }

// The record that embeds `link` as member `member`.
#define RwLLLinkGetData(link, type, member) \
    (reinterpret_cast<type *>(reinterpret_cast<RwUInt8 *>(link) - offsetof(type, member)))

// Rounds up to a multiple of a power of two.
inline RwUInt64 RwAlignUp(RwUInt64 value, RwUInt64 alignment)
{
    return (value + alignment - 1) & ~(alignment - 1);
}
