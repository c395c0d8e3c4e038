// The water model's corner finder (see water_corners.h).
#include "event/water_corners.h"

#include <cmath>
#include <cstring>

#include "rpusrdat.h"
#include "rpworld.h"
#include "stage/model_frames.h"

namespace {

constexpr const char *kCornerNames[kWaterCorners] = {"3514100P01", "3514100P02", "3514100P03", "3514100P04"};

struct CornerSearch {
    WaterCorners *corners;
    int32_t found;
};

// The corner a frame names (-1 none): the first string of its user
// properties, up to a blank, is one of the four names.
int32_t CornerOf(const RwFrame *frame)
{
    for (RwInt32 a = 0; a < RpUserDataFrameGetNumArrays(frame); ++a) {
        const RpUserDataArray *array = RpUserDataFrameGetArray(frame, a);
        if (array == nullptr || RpUserDataArrayGetFormat(array) != rpSTRINGUSERDATA ||
            RpUserDataArrayGetNumElements(array) < 1 || RpUserDataArrayGetName(array) == nullptr ||
            std::strcmp(RpUserDataArrayGetName(array), kUserPropertiesArrayName) != 0) {
            continue;
        }
        const auto *text = static_cast<const char *>(RpUserDataArrayGetElement(array, 0));
        for (int32_t c = 0; text != nullptr && c < kWaterCorners; ++c) {
            const size_t n = std::strlen(kCornerNames[c]);
            if (std::strncmp(text, kCornerNames[c], n) == 0 && (text[n] == '\0' || text[n] == ' ')) {
                return c;
            }
        }
        return -1;
    }
    return -1;
}

RpAtomic *VisitAtomic(RpAtomic *atomic, void *data)
{
    auto *search = static_cast<CornerSearch *>(data);
    RwFrame *frame = RpAtomicGetFrame(atomic);
    const int32_t corner = frame != nullptr ? CornerOf(frame) : -1;
    if (corner < 0) {
        return atomic;
    }
    WaterCorners *corners = search->corners;
    const RwMatrix *ltm = RwFrameGetLTM(frame);
    if (corners->frames[corner] == nullptr) {
        ++search->found;
    }
    corners->frames[corner] = frame;
    corners->matrices[corner] = *ltm;
    if (std::fabs(ltm->pos.y - corners->height) > kCornerHeightMargin) {
        corners->height = ltm->pos.y;
    }
    return atomic;
}

}  // namespace

int32_t FindWaterCorners(RpClump *clump, WaterCorners *corners)
{
    CornerSearch search = {corners, 0};
    if (clump != nullptr) {
        RpClumpForAllAtomics(clump, VisitAtomic, &search);
    }
    return search.found;
}
