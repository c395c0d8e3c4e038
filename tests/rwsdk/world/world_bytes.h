// World chunk bytes written by hand for the world tests, independently of
// the engine's own writer: a two-leaf world split on x = 0, with its
// materials, positions, prelit colours, one texture set and triangles.
#pragma once

#include <cstring>
#include <vector>

#include "rpworld.h"

namespace worldtest {

struct Bytes {
    std::vector<RwUInt8> data;
    void U32(RwUInt32 v)
    {
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<RwUInt8>(v >> (8 * i)));
        }
    }
    void F32(RwReal f)
    {
        RwUInt32 v;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void U16(RwUInt16 v)
    {
        data.push_back(static_cast<RwUInt8>(v));
        data.push_back(static_cast<RwUInt8>(v >> 8));
    }
    void Chunk(RwUInt32 type, const Bytes &body, RwUInt32 version = rwLIBRARYVERSION)
    {
        U32(type);
        U32(static_cast<RwUInt32>(body.data.size()));
        U32(RwLibraryStampMake(version, rwLIBRARYBUILD));
        data.insert(data.end(), body.data.begin(), body.data.end());
    }
};

inline Bytes Empty() { return {}; }

// One leaf: a quad (two triangles) on the floor y = 0 over [x0, x1] x [0, 1].
struct LeafLayout {
    RwReal x0;
    RwReal x1;
    RwUInt16 material;
    RwInt32 declaredExtra = 0;  // added to the struct's length
};

inline Bytes LeafChunk(const LeafLayout &leaf, RwUInt32 flags)
{
    Bytes s;
    s.U32(0);  // window base
    s.U32(2);  // triangles
    s.U32(4);  // vertices
    for (RwReal v : {leaf.x0, 0.0f, 0.0f, leaf.x1, 0.0f, 1.0f}) {
        s.F32(v);
    }
    s.U32(0);
    s.U32(0);
    const RwReal xs[4] = {leaf.x0, leaf.x1, leaf.x1, leaf.x0};
    const RwReal zs[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        s.F32(xs[i]);
        s.F32(0.0f);
        s.F32(zs[i]);
    }
    if (flags & rpGEOMETRYPRELIT) {
        for (int i = 0; i < 4; ++i) {
            s.U32(0xFF000000u | (leaf.material == 0 ? 0x2040C0u : 0xC04020u));
        }
    }
    for (int i = 0; i < 4; ++i) {
        s.F32(i == 1 || i == 2 ? 1.0f : 0.0f);
        s.F32(i >= 2 ? 1.0f : 0.0f);
    }
    // Counter-clockwise seen from above.
    for (RwUInt16 v : {leaf.material, RwUInt16(0), RwUInt16(2), RwUInt16(1), leaf.material, RwUInt16(0),
                       RwUInt16(3), RwUInt16(2)}) {
        s.U16(v);
    }
    Bytes structChunk;
    structChunk.U32(rwID_STRUCT);
    structChunk.U32(static_cast<RwUInt32>(static_cast<RwInt32>(s.data.size()) + leaf.declaredExtra));
    structChunk.U32(RwLibraryStampMake(rwLIBRARYVERSION, rwLIBRARYBUILD));
    structChunk.data.insert(structChunk.data.end(), s.data.begin(), s.data.end());
    Bytes ext;
    structChunk.Chunk(rwID_EXTENSION, ext);
    Bytes out;
    out.Chunk(rwID_ATOMICSECT, structChunk);
    return out;
}

inline Bytes MaterialList(int count)
{
    Bytes body;
    Bytes s;
    s.U32(static_cast<RwUInt32>(count));
    for (int i = 0; i < count; ++i) {
        s.U32(0xFFFFFFFFu);
    }
    body.Chunk(rwID_STRUCT, s);
    for (int i = 0; i < count; ++i) {
        Bytes m;
        m.U32(0);
        m.U32(0xFFFFFFFFu);
        m.U32(0);
        m.U32(0);  // not textured
        for (RwReal v : {1.0f, 1.0f, 1.0f}) {
            m.F32(v);
        }
        Bytes mat;
        mat.Chunk(rwID_STRUCT, m);
        mat.Chunk(rwID_EXTENSION, Empty());
        body.Chunk(rwID_MATERIAL, mat);
    }
    Bytes out;
    out.Chunk(rwID_MATLIST, body);
    return out;
}

struct WorldLayout {
    RwUInt32 version = rwLIBRARYVERSION;
    RwUInt32 flags = rpGEOMETRYPOSITIONS | rpGEOMETRYPRELIT | rpGEOMETRYTEXTURED | rpGEOMETRYLIGHT;
    RwInt32 collisionSize = 0;
    RwInt32 leftExtra = 0;
};

// Leaves [-2, 0] (material 0) and [0, 2] (material 1) under a plane x = 0;
// the struct's box is [-2, 2] x [-1, 1] x [0, 1].
inline std::vector<RwUInt8> TwoLeafWorld(const WorldLayout &layout = {})
{
    Bytes s;
    s.U32(0);  // root is a plane
    for (int i = 0; i < 3; ++i) {
        s.F32(0.0f);
    }
    if (layout.version <= 0x34000) {
        for (int i = 0; i < 3; ++i) {
            s.F32(1.0f);
        }
    }
    s.U32(4);  // triangles
    s.U32(8);  // vertices
    s.U32(1);  // planes
    s.U32(2);  // sectors
    s.U32(static_cast<RwUInt32>(layout.collisionSize));
    s.U32(layout.flags);
    if (layout.version > 0x34000) {
        for (RwReal v : {2.0f, 1.0f, 1.0f, -2.0f, -1.0f, 0.0f}) {
            s.F32(v);
        }
    }
    Bytes plane;
    Bytes ps;
    ps.U32(0);
    ps.F32(0.0f);
    ps.U32(1);
    ps.U32(1);
    ps.F32(0.0f);
    ps.F32(0.0f);
    plane.Chunk(rwID_STRUCT, ps);
    Bytes left = LeafChunk({-2.0f, 0.0f, 0, layout.leftExtra}, layout.flags);
    Bytes right = LeafChunk({0.0f, 2.0f, 1}, layout.flags);
    plane.data.insert(plane.data.end(), left.data.begin(), left.data.end());
    plane.data.insert(plane.data.end(), right.data.begin(), right.data.end());
    Bytes body;
    body.Chunk(rwID_STRUCT, s, layout.version);
    Bytes mats = MaterialList(2);
    body.data.insert(body.data.end(), mats.data.begin(), mats.data.end());
    body.Chunk(rwID_PLANESECT, plane);
    body.Chunk(rwID_EXTENSION, Empty());
    Bytes world;
    world.Chunk(rwID_WORLD_CHUNK, body, layout.version);
    return world.data;
}

}  // namespace worldtest
