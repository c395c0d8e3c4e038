// Axis-aligned bounding boxes: built from points and widened point by point.
#include "rwerror.h"
#include "rwmatrix.h"

RwBBox *RwBBoxInitialize(RwBBox *box, const RwV3d *point)
{
    box->sup = *point;
    box->inf = *point;
    return box;
}

RwBBox *RwBBoxAddPoint(RwBBox *box, const RwV3d *point)
{
    if (point->x < box->inf.x) box->inf.x = point->x;
    if (point->y < box->inf.y) box->inf.y = point->y;
    if (point->z < box->inf.z) box->inf.z = point->z;
    if (point->x > box->sup.x) box->sup.x = point->x;
    if (point->y > box->sup.y) box->sup.y = point->y;
    if (point->z > box->sup.z) box->sup.z = point->z;
    return box;
}

// A box needs at least one point; without one it is left as it was.
RwBBox *RwBBoxCalculate(RwBBox *box, const RwV3d *points, RwInt32 count)
{
    if (count < 1 || points == nullptr) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    RwBBoxInitialize(box, &points[0]);
    for (RwInt32 i = 1; i < count; ++i) {
        RwBBoxAddPoint(box, &points[i]);
    }
    return box;
}

RwBool RwBBoxContainsPoint(const RwBBox *box, const RwV3d *p)
{
    return p->x >= box->inf.x && p->x <= box->sup.x && p->y >= box->inf.y && p->y <= box->sup.y &&
           p->z >= box->inf.z && p->z <= box->sup.z;
}
