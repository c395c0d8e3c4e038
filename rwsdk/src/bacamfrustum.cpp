// Camera derived values: the screen z mapping, and the view matrix, frustum
// corners, planes and box rebuilt from the frame's world matrix when the
// frame is synchronised.
//
// Screen x runs against the frame's right axis: a point on the +right edge
// of the view window maps to screen x 0, one on the -right edge to 1; screen
// y likewise runs against the up axis.
#include <cmath>

#include "rwengine.h"
#include "src/bacamera.h"

RwCamera *RwCameraUpdateZShiftScale(RwCamera *camera)
{
    const RwReal zNear = RwEngineInst->dOpenDevice.zBufferNear;
    const RwReal zFar = RwEngineInst->dOpenDevice.zBufferFar;
    RwReal a, b;
    if (camera->projectionType == rwPARALLEL) {
        a = camera->farPlane;
        b = camera->nearPlane;
    } else {
        a = 1.0f / camera->farPlane;
        b = 1.0f / camera->nearPlane;
    }
    // Keep the mapped range a hair inside the device's so the clip planes
    // never land exactly on its limits.
    const RwReal d = (zFar - zNear) * 0.0001f;
    const RwReal lo = zNear + d;
    const RwReal hi = zFar - d;
    camera->zScale = (hi - lo) / (a - b);
    camera->zShift = 0.5f * (hi + lo - (b + a) * camera->zScale);
    return camera;
}

static void SetSelectors(RwFrustumPlane *plane)
{
    plane->closestX = std::signbit(plane->plane.normal.x) ? 0 : 1;
    plane->closestY = std::signbit(plane->plane.normal.y) ? 0 : 1;
    plane->closestZ = std::signbit(plane->plane.normal.z) ? 0 : 1;
    plane->pad = 0;
}

// Outward normal of the plane through `through` spanned by the two edges.
static void SidePlane(RwFrustumPlane *plane, const RwV3d *edgeA, const RwV3d *edgeB, const RwV3d *through)
{
    RwV3d n;
    RwV3dCrossProduct(&n, edgeA, edgeB);
    RwV3dScale(&plane->plane.normal, &n, RwFastInvSqrt(RwV3dDotProduct(&n, &n)));
    plane->plane.distance = RwV3dDotProduct(&plane->plane.normal, through);
}

static void Negated(RwFrustumPlane *plane, const RwFrustumPlane *opposite, const RwV3d *through)
{
    RwV3dNegate(&plane->plane.normal, &opposite->plane.normal);
    plane->plane.distance = RwV3dDotProduct(&plane->plane.normal, through);
}

// Far and near planes lie across the at axis; sides 2 and 3 pass through
// corner 1, and for a perspective camera sides 4 and 5 through corner 3.
static void BuildPlanes(RwCamera *camera, const RwV3d *at, RwBool parallel)
{
    const RwV3d *n = &camera->frustumCorners[0];
    const RwV3d *f = &camera->frustumCorners[4];
    RwFrustumPlane *planes = camera->frustumPlanes;

    planes[rwFRUSTUMPLANEFAR].plane.normal = *at;
    planes[rwFRUSTUMPLANEFAR].plane.distance = RwV3dDotProduct(at, &f[0]);
    RwV3dNegate(&planes[rwFRUSTUMPLANENEAR].plane.normal, at);
    planes[rwFRUSTUMPLANENEAR].plane.distance = RwV3dDotProduct(&planes[rwFRUSTUMPLANENEAR].plane.normal, &n[0]);

    RwV3d e1, e2;
    RwV3dSub(&e1, &n[1], &f[1]);
    RwV3dSub(&e2, &f[2], &f[1]);
    SidePlane(&planes[rwFRUSTUMPLANELEFT], &e1, &e2, &n[1]);
    RwV3dSub(&e1, &f[0], &f[1]);
    RwV3dSub(&e2, &n[1], &f[1]);
    SidePlane(&planes[rwFRUSTUMPLANETOP], &e1, &e2, &n[1]);
    if (parallel) {
        Negated(&planes[rwFRUSTUMPLANERIGHT], &planes[rwFRUSTUMPLANELEFT], &n[3]);
        Negated(&planes[rwFRUSTUMPLANEBOTTOM], &planes[rwFRUSTUMPLANETOP], &n[3]);
    } else {
        RwV3dSub(&e1, &n[3], &f[3]);
        RwV3dSub(&e2, &f[0], &f[3]);
        SidePlane(&planes[rwFRUSTUMPLANERIGHT], &e1, &e2, &n[3]);
        RwV3dSub(&e1, &f[2], &f[3]);
        RwV3dSub(&e2, &n[3], &f[3]);
        SidePlane(&planes[rwFRUSTUMPLANEBOTTOM], &e1, &e2, &n[3]);
    }
    for (RwFrustumPlane &plane : camera->frustumPlanes) {
        SetSelectors(&plane);
    }
}

// Corner signs around the window: 0 (+x,+y), 1 (-x,+y), 2 (-x,-y), 3 (+x,-y).
static constexpr RwReal cornerSignX[4] = {1.0f, -1.0f, -1.0f, 1.0f};
static constexpr RwReal cornerSignY[4] = {1.0f, 1.0f, -1.0f, -1.0f};

static void BuildPerspectiveFrustum(RwCamera *camera, const RwMatrix *ltm)
{
    const RwV2d *vw = &camera->viewWindow;
    // The eye sits at the view offset, so the window is seen off axis.
    RwV3d eye = ltm->pos;
    RwV3dIncrementScaled(&eye, &ltm->right, -camera->viewOffset.x);
    RwV3dIncrementScaled(&eye, &ltm->up, camera->viewOffset.y);
    RwV3d eyeOffset;
    RwV3dSub(&eyeOffset, &eye, &ltm->pos);
    for (int i = 0; i < 4; ++i) {
        RwV3d window = ltm->at;
        RwV3dIncrementScaled(&window, &ltm->right, cornerSignX[i] * vw->x);
        RwV3dIncrementScaled(&window, &ltm->up, cornerSignY[i] * vw->y);
        RwV3d ray;
        RwV3dSub(&ray, &window, &eyeOffset);
        camera->frustumCorners[i] = eye;
        RwV3dIncrementScaled(&camera->frustumCorners[i], &ray, camera->nearPlane);
        camera->frustumCorners[4 + i] = eye;
        RwV3dIncrementScaled(&camera->frustumCorners[4 + i], &ray, camera->farPlane);
    }
    BuildPlanes(camera, &ltm->at, FALSE);
}

static void BuildParallelFrustum(RwCamera *camera, const RwMatrix *ltm)
{
    const RwV2d *vw = &camera->viewWindow;
    const RwReal depths[2] = {camera->nearPlane, camera->farPlane};
    for (int d = 0; d < 2; ++d) {
        const RwReal z = depths[d];
        const RwReal cx = (1.0f - z) * -camera->viewOffset.x;
        const RwReal cy = (1.0f - z) * camera->viewOffset.y;
        for (int i = 0; i < 4; ++i) {
            camera->frustumCorners[4 * d + i] = {cx + cornerSignX[i] * vw->x, cy + cornerSignY[i] * vw->y, z};
        }
    }
    RwV3dTransformPoints(camera->frustumCorners, camera->frustumCorners, 8, ltm);
    BuildPlanes(camera, &ltm->at, TRUE);
}

// Called by the frame synchronisation once the frame's world matrix is
// current, so it reads that matrix directly.
RwFramedObject *RwCameraBuildFrustum(RwFramedObject *object)
{
    auto *camera = reinterpret_cast<RwCamera *>(object);
    RwFrame *frame = RwCameraGetFrame(camera);
    if (frame == nullptr) {
        return object;
    }
    const RwMatrix *ltm = &frame->ltm;
    const RwBool parallel = camera->projectionType == rwPARALLEL;
    const RwReal sx = -0.5f * camera->recipViewWindow.x;
    const RwReal sy = -0.5f * camera->recipViewWindow.y;
    const RwReal ox = camera->viewOffset.x;
    const RwReal oy = camera->viewOffset.y;
    const RwReal kx = parallel ? -ox * sx : 0.5f - ox * sx;
    const RwReal ky = parallel ? oy * sy : 0.5f + oy * sy;

    RwV3d cx, cy;
    RwV3dScale(&cx, &ltm->right, sx);
    RwV3dIncrementScaled(&cx, &ltm->at, kx);
    RwV3dScale(&cy, &ltm->up, sy);
    RwV3dIncrementScaled(&cy, &ltm->at, ky);
    const RwV3d &cz = ltm->at;

    // Columns stored down the matrix: p . column + translation per axis.
    RwMatrix *view = &camera->viewMatrix;
    view->right = {cx.x, cy.x, cz.x};
    view->up = {cx.y, cy.y, cz.y};
    view->at = {cx.z, cy.z, cz.z};
    view->pos = {0.5f - (RwV3dDotProduct(&ltm->pos, &cx) + kx), 0.5f - (RwV3dDotProduct(&ltm->pos, &cy) + ky),
                 -RwV3dDotProduct(&ltm->pos, &cz)};
    view->flags = 0;
    RwMatrixUpdateFlags(view, nullptr);

    if (parallel) {
        BuildParallelFrustum(camera, ltm);
    } else {
        BuildPerspectiveFrustum(camera, ltm);
    }
    RwBBoxCalculate(&camera->frustumBoundBox, camera->frustumCorners, 8);
    return object;
}
