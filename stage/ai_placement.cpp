// Territory tests (see ai_placement.h).
#include "stage/ai_placement.h"

namespace {

// Whether p lies on the segment a-b, within a rounding slack.
bool OnSegment(const TerritoryPoint &a, const TerritoryPoint &b, float px, float pz)
{
    const double ex = double(b.x) - a.x;
    const double ez = double(b.z) - a.z;
    const double wx = double(px) - a.x;
    const double wz = double(pz) - a.z;
    const double length2 = ex * ex + ez * ez;
    if (length2 == 0.0) {
        return wx == 0.0 && wz == 0.0;
    }
    // Off the edge's line by at most a millionth of its length (or of a unit).
    const double cross = ex * wz - ez * wx;
    if (cross * cross / length2 > 1e-12 * (length2 > 1.0 ? length2 : 1.0)) {
        return false;
    }
    const double along = ex * wx + ez * wz;
    return along >= 0.0 && along <= length2;
}

}  // namespace

bool IsInsideTerritory(const Territory &territory, const RwV3d &point)
{
    const std::vector<TerritoryPoint> &outline = territory.points;
    const size_t count = outline.size();
    if (count < 3) {
        return false;
    }
    bool inside = false;
    for (size_t i = 0, j = count - 1; i < count; j = i++) {
        const TerritoryPoint &a = outline[i];
        const TerritoryPoint &b = outline[j];
        if (OnSegment(a, b, point.x, point.z)) {
            return true;
        }
        // Crossings of the ray toward +x, each edge counted half-open in z.
        if ((a.z > point.z) != (b.z > point.z)) {
            const double x = a.x + (double(point.z) - a.z) * (double(b.x) - a.x) / (double(b.z) - a.z);
            if (double(point.x) < x) {
                inside = !inside;
            }
        }
    }
    return inside;
}

const Territory *FindTerritory(const std::vector<Territory> &territories, int32_t id)
{
    if (id == 0) {
        return nullptr;
    }
    for (const Territory &territory : territories) {
        if (territory.id == id) {
            return &territory;
        }
    }
    return nullptr;
}
