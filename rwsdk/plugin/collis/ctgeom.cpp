// Queries against the triangles of one atomic, in the atomic's model space:
// the line or sphere is taken through the inverse of the atomic's frame
// matrix. A geometry with one morph target is searched through its
// collision tree when it has one; a morphing geometry is tested triangle by
// triangle at its current blend of the two targets.
#include "plugin/collis/ctprivate.h"

namespace {

struct GeometryQuery {
    RpIntersection *intersection;
    RpIntersectionCallBackGeometryTriangle callBack;
    void *data;
    const RpGeometry *geometry;
    const RwV3d *from;  // positions of the start target
    const RwV3d *to;    // positions of the end target, null when not blending
    RwReal blend;
    RwBool isLine;
    RwV3d start;  // model-space line
    RwV3d delta;
    RwSphere sphere;  // model-space sphere
    RwBool stopped;
};

// Vertex pointers of triangle `index`: into the target's positions, or
// into `scratch` when blending. FALSE when the arrays cannot back it.
RwBool TriangleVertices(const GeometryQuery &q, RwInt32 index, RwV3d *scratch, RwV3d **v)
{
    if (index < 0 || index >= q.geometry->numTriangles || q.geometry->triangles == nullptr || q.from == nullptr) {
        return FALSE;
    }
    const RpTriangle &triangle = q.geometry->triangles[index];
    for (RwInt32 i = 0; i < 3; ++i) {
        const RwUInt16 vertex = triangle.vertIndex[i];
        if (vertex >= q.geometry->numVertices) {
            return FALSE;
        }
        if (q.to == nullptr) {
            v[i] = const_cast<RwV3d *>(&q.from[vertex]);
            continue;
        }
        const RwV3d &a = q.from[vertex];
        const RwV3d &b = q.to[vertex];
        scratch[i] = {a.x + (b.x - a.x) * q.blend, a.y + (b.y - a.y) * q.blend, a.z + (b.z - a.z) * q.blend};
        v[i] = &scratch[i];
    }
    return TRUE;
}

// Tests one triangle and reports a hit; FALSE when the callback stopped.
RwBool TestTriangle(GeometryQuery *q, RwInt32 index)
{
    RwV3d scratch[3];
    RwV3d *v[3];
    if (!TriangleVertices(*q, index, scratch, v)) {
        return TRUE;
    }
    RwReal distance = 0.0f;
    if (q->isLine) {
        if (!RtIntersectionLineTriangle(&q->start, &q->delta, v[0], v[1], v[2], &distance)) {
            return TRUE;
        }
    } else {
        RwV3d normal;
        RwReal out = 0.0f;
        if (!RtIntersectionSphereTriangle(&q->sphere, v[0], v[1], v[2], &normal, &out)) {
            return TRUE;
        }
        distance = q->sphere.radius > 0.0f ? out / q->sphere.radius : 0.0f;
    }
    RpCollisionTriangle triangle;
    rpCollisionTriangleFill(&triangle, index, v[0], v[1], v[2]);
    if (q->callBack(q->intersection, &triangle, distance, q->data) == nullptr) {
        q->stopped = TRUE;
        return FALSE;
    }
    return TRUE;
}

struct LeafContext {
    GeometryQuery *query;
    const RpCollisionData *collision;
};

RwBool TestLeaf(RwInt32 count, RwInt32 first, void *data)
{
    auto *context = static_cast<LeafContext *>(data);
    for (RwInt32 i = 0; i < count; ++i) {
        if (!TestTriangle(context->query, context->collision->triangleMap[first + i])) {
            return FALSE;
        }
    }
    return TRUE;
}

// Chooses the positions to test: target 0, the start target, or a blend of
// the start and end targets at the interpolator's position.
void ChooseTargets(const RpAtomic *atomic, GeometryQuery *q)
{
    const RpGeometry *g = q->geometry;
    q->from = g->morphTarget != nullptr ? g->morphTarget[0].verts : nullptr;
    q->to = nullptr;
    q->blend = 0.0f;
    if (g->numMorphTargets <= 1 || g->morphTarget == nullptr) {
        return;
    }
    const RpInterpolator &ip = atomic->interpolator;
    const RwInt32 s = ip.startMorphTarget, e = ip.endMorphTarget;
    const RwBool valid = s >= 0 && e >= 0 && s < g->numMorphTargets && e < g->numMorphTargets;
    if (!valid) {
        return;
    }
    q->from = g->morphTarget[s].verts;
    if (s != e) {
        q->to = g->morphTarget[e].verts;
        q->blend = ip.position * ip.recipTime;
        if (q->to == nullptr) {
            q->from = nullptr;
        }
    }
}

// The inverse of the atomic's frame matrix (identity without a frame).
void ModelSpaceInverse(RpAtomic *atomic, RwMatrix *inverse)
{
    RwFrame *frame = RpAtomicGetFrame(atomic);
    if (frame == nullptr) {
        RwMatrixSetIdentity(inverse);
        return;
    }
    RwMatrixInvert(inverse, RwFrameGetLTM(frame));
}

}  // namespace

RpAtomic *RpAtomicForAllIntersections(RpAtomic *atomic, RpIntersection *intersection,
                                      RpIntersectionCallBackGeometryTriangle callBack, void *data)
{
    if (atomic == nullptr || intersection == nullptr || callBack == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    GeometryQuery q = {};
    q.intersection = intersection;
    q.callBack = callBack;
    q.data = data;
    RwSphere worldSphere;
    switch (intersection->type) {
    case rpINTERSECTLINE:
        q.isLine = TRUE;
        break;
    case rpINTERSECTSPHERE:
        worldSphere = intersection->t.sphere;
        break;
    case rpINTERSECTATOMIC: {
        auto *other = static_cast<RpAtomic *>(intersection->t.object);
        if (other == nullptr) {
            RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
            return nullptr;
        }
        worldSphere = *RpAtomicGetWorldBoundingSphere(other);
        break;
    }
    default:
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADINTERSECTIONTYPE);
        return nullptr;
    }
    q.geometry = RpAtomicGetGeometry(atomic);
    if (q.geometry == nullptr) {
        return atomic;
    }
    RwMatrix inverse;
    ModelSpaceInverse(atomic, &inverse);
    if (q.isLine) {
        RwV3d ends[2] = {intersection->t.line.start, intersection->t.line.end};
        RwV3dTransformPoints(ends, ends, 2, &inverse);
        q.start = ends[0];
        RwV3dSub(&q.delta, &ends[1], &ends[0]);
    } else {
        RwV3dTransformPoints(&q.sphere.center, &worldSphere.center, 1, &inverse);
        q.sphere.radius = worldSphere.radius * RwV3dLength(&inverse.at);
    }
    ChooseTargets(atomic, &q);
    const RpCollisionData *collision = RpCollisionGeometryGetData(q.geometry);
    if (q.geometry->numMorphTargets == 1 && collision != nullptr) {
        LeafContext context = {&q, collision};
        if (q.isLine) {
            rpCollisionTreeForAllSpanLeaves(collision->tree, q.start, q.delta, rpCollisionWholeSpan(), TestLeaf,
                                            &context);
        } else {
            const RwV3d &c = q.sphere.center;
            const RwReal r = q.sphere.radius;
            const RwBBox box = {{c.x + r, c.y + r, c.z + r}, {c.x - r, c.y - r, c.z - r}};
            RpCollisionTreeForAllBoxLeaves(collision->tree, &box, TestLeaf, &context);
        }
        return atomic;
    }
    for (RwInt32 i = 0; i < q.geometry->numTriangles && !q.stopped; ++i) {
        TestTriangle(&q, i);
    }
    return atomic;
}
