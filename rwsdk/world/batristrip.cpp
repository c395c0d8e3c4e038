// The tri-strip generator: one greedy pass per material group that covers
// the group's triangles with strips, always starting from the triangle
// with the fewest free neighbours, then joins the strips into one with
// repeated indices that keep every triangle's winding.
#include <cstring>

#include "rwerror.h"
#include "rwmemory.h"
#include "world/bamesh.h"
#include "world/batristrip.h"

namespace {

constexpr RwInt32 kNone = -1;

struct Edge {
    RwUInt16 a;
    RwUInt16 b;
    RwInt32 first;
    RwInt32 second;
    RwInt32 chain;  // next edge with the same (a, b), older
};

struct Node {
    RwUInt16 v[3];
    RwInt32 edge[3];
    RwInt32 prev;  // bucket links
    RwInt32 next;
    RwInt32 freeCount;
    RwBool used;
};

// Scratch of one group's strip cover; everything in one allocation.
struct Cover {
    RwUInt32 n;
    Node *nodes;
    Edge *edges;
    RwUInt32 numEdges;
    RwInt32 *hash;
    RwUInt32 hashMask;
    RwInt32 bucket[4];
    RwUInt16 *forward;   // 2n + 2
    RwUInt16 *backward;  // 2n + 2
    RwUInt16 *joined;    // 4n + 4
};

RwUInt32 HashOf(const Cover &c, RwUInt16 a, RwUInt16 b)
{
    return ((static_cast<RwUInt32>(a) * 0x9E3779B1u) ^ (static_cast<RwUInt32>(b) * 0x85EBCA77u)) & c.hashMask;
}

// The same edge seen from the other side: a record (b, a) still waiting for
// its second triangle joins the two; otherwise the edge gets a record.
RwInt32 AddEdge(Cover &c, RwInt32 tri, RwUInt16 a, RwUInt16 b)
{
    for (RwInt32 e = c.hash[HashOf(c, b, a)]; e != kNone; e = c.edges[e].chain) {
        Edge &edge = c.edges[e];
        if (edge.a == b && edge.b == a && edge.second == kNone && edge.first != tri) {
            edge.second = tri;
            ++c.nodes[tri].freeCount;
            ++c.nodes[edge.first].freeCount;
            return e;
        }
    }
    RwInt32 e = static_cast<RwInt32>(c.numEdges++);
    RwUInt32 h = HashOf(c, a, b);
    c.edges[e] = {a, b, tri, kNone, c.hash[h]};
    c.hash[h] = e;
    return e;
}

RwInt32 Across(const Cover &c, RwInt32 tri, RwInt32 e)
{
    const Edge &edge = c.edges[e];
    return edge.first == tri ? edge.second : edge.first;
}

RwBool FreeAcross(const Cover &c, RwInt32 tri, RwInt32 e)
{
    RwInt32 other = Across(c, tri, e);
    return other != kNone && !c.nodes[other].used;
}

void BucketRemove(Cover &c, RwInt32 t)
{
    Node &node = c.nodes[t];
    if (node.prev != kNone) {
        c.nodes[node.prev].next = node.next;
    } else {
        c.bucket[node.freeCount] = node.next;
    }
    if (node.next != kNone) {
        c.nodes[node.next].prev = node.prev;
    }
    node.prev = node.next = kNone;
}

void BucketPush(Cover &c, RwInt32 t)
{
    Node &node = c.nodes[t];
    node.prev = kNone;
    node.next = c.bucket[node.freeCount];
    if (node.next != kNone) {
        c.nodes[node.next].prev = t;
    }
    c.bucket[node.freeCount] = t;
}

void MarkUsed(Cover &c, RwInt32 t)
{
    c.nodes[t].used = TRUE;
    BucketRemove(c, t);
    for (int k = 0; k < 3; ++k) {
        RwInt32 other = Across(c, t, c.nodes[t].edge[k]);
        if (other != kNone && !c.nodes[other].used) {
            BucketRemove(c, other);
            --c.nodes[other].freeCount;
            BucketPush(c, other);
        }
    }
}

int EdgeSlot(const Node &node, RwInt32 e)
{
    for (int k = 0; k < 3; ++k) {
        if (node.edge[k] == e) {
            return k;
        }
    }
    return -1;
}

// Extends a strip across edge `e`, one triangle at a time; returns the
// number of triangles it took.
RwUInt32 Extend(Cover &c, RwUInt16 *strip, RwUInt32 *length, RwInt32 e)
{
    RwUInt32 taken = 0;
    for (;;) {
        const Edge &edge = c.edges[e];
        RwInt32 t = kNone;
        if (edge.first != kNone && !c.nodes[edge.first].used) {
            t = edge.first;
        } else if (edge.second != kNone && !c.nodes[edge.second].used) {
            t = edge.second;
        }
        if (t == kNone) {
            return taken;
        }
        MarkUsed(c, t);
        ++taken;
        const Node &node = c.nodes[t];
        int k = EdgeSlot(node, e);
        RwUInt16 opposite = node.v[(k + 2) % 3];
        RwUInt16 last = strip[*length - 1];
        RwInt32 p;
        if (last == node.v[(k + 1) % 3]) {
            p = node.edge[(k + 1) % 3];
        } else if (last == node.v[k]) {
            p = node.edge[(k + 2) % 3];
        } else {
            strip[(*length)++] = opposite;
            return taken;
        }
        if (FreeAcross(c, t, p)) {
            strip[(*length)++] = opposite;
            e = p;
            continue;
        }
        RwInt32 s = kNone;
        for (int j = 0; j < 3; ++j) {
            if (node.edge[j] != e && node.edge[j] != p) {
                s = node.edge[j];
                break;
            }
        }
        if (s != kNone && FreeAcross(c, t, s) && (*length % 2) == 0) {
            strip[*length] = strip[*length - 2];
            ++*length;
            strip[(*length)++] = opposite;
            e = s;
            continue;
        }
        strip[(*length)++] = opposite;
        return taken;
    }
}

RpTriStrip *NewStrip(const RwUInt16 *indices, RwUInt32 length, RpTriStrip *next)
{
    auto *strip = static_cast<RpTriStrip *>(RpMeshAllocate(sizeof(RpTriStrip) + sizeof(RwUInt16) * length));
    if (strip == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    strip->indices = reinterpret_cast<RwUInt16 *>(strip + 1);
    strip->length = length;
    strip->capacity = length;
    strip->next = next;
    std::memcpy(strip->indices, indices, sizeof(RwUInt16) * length);
    return strip;
}

void FreeStrips(RpTriStrip *strip)
{
    while (strip != nullptr) {
        RpTriStrip *next = strip->next;
        RwFree(strip);
        strip = next;
    }
}

// Covers the group's triangles with strips; returns the strip list (head
// is the last emitted) or null without memory (*failed set).
RpTriStrip *Generate(RpBuildMeshTriangle *const *group, RwUInt32 n, RwBool *failed)
{
    *failed = FALSE;
    RwUInt32 hashSize = 16;
    while (hashSize < 6 * n) {
        hashSize <<= 1;
    }
    size_t bytes = sizeof(Node) * n + sizeof(Edge) * 3 * n + sizeof(RwInt32) * hashSize +
                   8 * sizeof(RwUInt16) * (n + 1);
    auto *block = static_cast<RwUInt8 *>(RpMeshAllocate(bytes));
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        *failed = TRUE;
        return nullptr;
    }
    Cover c{};
    c.n = n;
    c.nodes = reinterpret_cast<Node *>(block);
    c.edges = reinterpret_cast<Edge *>(c.nodes + n);
    c.hash = reinterpret_cast<RwInt32 *>(c.edges + 3 * n);
    c.hashMask = hashSize - 1;
    c.forward = reinterpret_cast<RwUInt16 *>(c.hash + hashSize);
    c.backward = c.forward + 2 * n + 2;
    c.joined = c.backward + 2 * n + 2;
    for (RwUInt32 h = 0; h < hashSize; ++h) {
        c.hash[h] = kNone;
    }
    for (RwUInt32 i = 0; i < n; ++i) {
        Node &node = c.nodes[i];
        std::memcpy(node.v, group[i]->vertIndex, sizeof(node.v));
        node.freeCount = 0;
        node.used = FALSE;
        node.prev = node.next = kNone;
    }
    for (RwUInt32 i = 0; i < n; ++i) {
        Node &node = c.nodes[i];
        auto tri = static_cast<RwInt32>(i);
        node.edge[0] = AddEdge(c, tri, node.v[0], node.v[1]);
        node.edge[1] = AddEdge(c, tri, node.v[1], node.v[2]);
        node.edge[2] = AddEdge(c, tri, node.v[2], node.v[0]);
    }
    for (RwInt32 &head : c.bucket) {
        head = kNone;
    }
    for (RwUInt32 i = 0; i < n; ++i) {
        BucketPush(c, static_cast<RwInt32>(i));
    }

    RpTriStrip *strips = nullptr;
    RwUInt32 placed = 0;
    while (placed < n) {
        RwUInt16 *f = c.forward;
        RwUInt32 fLength = 0;
        RwUInt16 *emitted = f;
        RwUInt32 emittedLength = 0;
        if (c.bucket[0] != kNone) {
            RwInt32 t = c.bucket[0];
            std::memcpy(f, c.nodes[t].v, sizeof(c.nodes[t].v));
            fLength = 3;
            MarkUsed(c, t);
            ++placed;
            emittedLength = 3;
        } else {
            RwInt32 t = c.bucket[1] != kNone ? c.bucket[1] : (c.bucket[2] != kNone ? c.bucket[2] : c.bucket[3]);
            const Node &node = c.nodes[t];
            RwBool free0 = FreeAcross(c, t, node.edge[0]);
            RwBool free1 = FreeAcross(c, t, node.edge[1]);
            RwBool free2 = FreeAcross(c, t, node.edge[2]);
            int r;
            if (free2 && free1) {
                r = 1;
            } else if (free0 && free2) {
                r = 2;
            } else if (free1 && free0) {
                r = 0;
            } else {
                r = free0 ? 2 : (free1 ? 0 : 1);
            }
            RwInt32 forwardEdge = node.edge[(r + 1) % 3];
            RwInt32 backwardEdge = node.edge[r];
            for (int k = 0; k < 3; ++k) {
                f[k] = node.v[(r + k) % 3];
            }
            fLength = 3;
            MarkUsed(c, t);
            placed += 1 + Extend(c, f, &fLength, forwardEdge);
            if (FreeAcross(c, t, backwardEdge)) {
                RwUInt16 *b = c.backward;
                RwUInt32 bLength = 2;
                b[0] = f[1];
                b[1] = f[0];
                placed += Extend(c, b, &bLength, backwardEdge);
                if (bLength % 2 == 1) {
                    b[bLength] = b[bLength - 2];
                    ++bLength;
                }
                // Reversed backward part (less the two indices F starts
                // with), then F.
                RwUInt16 *joined = c.joined;
                RwUInt32 j = 0;
                for (RwUInt32 i = bLength - 1; i >= 2; --i) {
                    joined[j++] = b[i];
                }
                std::memcpy(joined + j, f, sizeof(RwUInt16) * fLength);
                emitted = joined;
                emittedLength = j + fLength;
            } else {
                emittedLength = fLength;
            }
        }
        RpTriStrip *strip = NewStrip(emitted, emittedLength, strips);
        if (strip == nullptr) {
            FreeStrips(strips);
            RwFree(block);
            *failed = TRUE;
            return nullptr;
        }
        strips = strip;
    }
    RwFree(block);
    return strips;
}

}  // namespace

RwUInt32 RpTriStripJoin(const RpTriStrip *strips, RwUInt16 *out)
{
    if (strips == nullptr) {
        return 0;
    }
    RwUInt32 length = strips->length;
    std::memcpy(out, strips->indices, sizeof(RwUInt16) * length);
    RwUInt32 count = 0;
    for (const RpTriStrip *s = strips->next; s != nullptr; s = s->next) {
        ++count;
    }
    if (count == 0) {
        return length;
    }
    auto **left = static_cast<const RpTriStrip **>(RpMeshAllocate(sizeof(RpTriStrip *) * count));
    if (left == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return 0;
    }
    RwUInt32 k = 0;
    for (const RpTriStrip *s = strips->next; s != nullptr; s = s->next) {
        left[k++] = s;
    }
    while (count > 0) {
        RwUInt16 last = out[length - 1];
        RwUInt16 before = length >= 2 ? out[length - 2] : last;
        RwBool odd = (length % 2) == 1;
        RwUInt32 pick = count;
        for (RwUInt32 i = 0; i < count && pick == count; ++i) {
            if (left[i]->indices[0] == last) {
                pick = i;
            }
        }
        const RpTriStrip *s;
        if (pick != count) {
            s = left[pick];
            if (odd) {
                out[length++] = s->indices[0];
            }
        } else {
            for (RwUInt32 i = 0; i < count && pick == count; ++i) {
                if (left[i]->indices[0] == before) {
                    pick = i;
                }
            }
            if (pick != count) {
                s = left[pick];
                out[length++] = s->indices[0];
                if (!odd) {
                    out[length++] = s->indices[0];
                }
            } else {
                pick = 0;
                s = left[0];
                out[length++] = last;
                out[length++] = s->indices[0];
                if (odd) {
                    out[length++] = s->indices[0];
                }
            }
        }
        std::memcpy(out + length, s->indices, sizeof(RwUInt16) * s->length);
        length += s->length;
        for (RwUInt32 i = pick + 1; i < count; ++i) {
            left[i - 1] = left[i];
        }
        --count;
    }
    RwFree(left);
    return length;
}

RpMeshHeader *RpBuildMeshGenerateTriStrip(RpBuildMesh *buildMesh, void *)
{
    RwUInt32 count = buildMesh->numTriangles;
    RpBuildMeshTriangle **order = rpBuildMeshSortTriangles(buildMesh);
    if (order == nullptr) {
        return nullptr;
    }
    RwUInt32 groups = rpBuildMeshCountGroups(order, count);
    // Each group's strips are joined into a buffer first; the header block
    // is sized once every group's length is known.
    auto **joined = static_cast<RwUInt16 **>(RpMeshAllocate((sizeof(RwUInt16 *) + sizeof(RwUInt32)) * groups));
    if (joined == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        RwFree(order);
        return nullptr;
    }
    auto *lengths = reinterpret_cast<RwUInt32 *>(joined + groups);
    RwUInt32 made = 0;
    RwUInt32 total = 0;
    RwBool ok = TRUE;
    for (RwUInt32 start = 0; ok && start < count; ++made) {
        RwUInt32 end = start + 1;
        while (end < count && order[end]->material == order[start]->material) {
            ++end;
        }
        RwBool failed = FALSE;
        RpTriStrip *strips = Generate(order + start, end - start, &failed);
        RwUInt32 room = 0;
        for (RpTriStrip *s = strips; s != nullptr; s = s->next) {
            room += s->length + 6;
        }
        joined[made] = failed ? nullptr : static_cast<RwUInt16 *>(RpMeshAllocate(sizeof(RwUInt16) * room));
        if (joined[made] == nullptr) {
            if (!failed) {
                RwErrorReportCommon(E_RW_NOMEM);
            }
            ok = FALSE;
        } else {
            lengths[made] = RpTriStripJoin(strips, joined[made]);
            ok = lengths[made] != 0;
            total += lengths[made];
        }
        FreeStrips(strips);
        start = end;
    }
    RpMeshHeader *header = nullptr;
    if (ok) {
        header = rpMeshHeaderAllocate(groups, total);
    }
    if (header != nullptr) {
        header->flags = rpMESHHEADERTRISTRIP;
        RpMesh *mesh = RpMeshHeaderGetMeshes(header);
        RwUInt16 *next = rpMeshHeaderIndexArea(header);
        RwUInt32 g = 0;
        for (RwUInt32 i = 0; i < count; ++i) {
            if (i != 0 && order[i]->material == order[i - 1]->material) {
                continue;
            }
            mesh[g].material = order[i]->material;
            mesh[g].indices = next;
            mesh[g].numIndices = lengths[g];
            std::memcpy(next, joined[g], sizeof(RwUInt16) * lengths[g]);
            next += lengths[g];
            ++g;
        }
    }
    for (RwUInt32 g = 0; g < made; ++g) {
        if (joined[g] != nullptr) {
            RwFree(joined[g]);
        }
    }
    RwFree(joined);
    RwFree(order);
    return header;
}
