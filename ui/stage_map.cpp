// The stage-select map's nodes and the graph by which a cleared stage opens
// the next ones (see stage_select.h).
#include "ui/stage_select.h"

#include <iterator>

namespace {

constexpr int32_t kNone = kNoMonsterList;

// By progress slot: place on the map, stage id, the monster lists of its
// info pages.
constexpr MapNode kNodes[kMapNodes] = {
    {56, 219, 2010000, {kNone, kNone}}, {101, 242, 2020000, {0, 1}}, {99, 187, 2030000, {0, 1}},
    {144, 221, 2040000, {0, 1}}, {173, 276, 2050000, {0, 1}}, {173, 191, 2060000, {0, 1}},
    {159, 153, 2100000, {0, kNone}}, {202, 233, 2080000, {2, kNone}}, {187, 119, 2150000, {3, kNone}},
    {244, 247, 2160000, {4, 0}}, {227, 147, 2400000, {kNone, kNone}}, {285, 218, 2170000, {4, kNone}},
    {327, 169, 2190000, {4, kNone}}, {311, 239, 2220000, {5, kNone}}, {406, 181, 2250000, {6, kNone}},
    {489, 128, 2410000, {kNone, kNone}}, {358, 252, 2270000, {7, kNone}}, {399, 273, 2230000, {6, kNone}},
    {446, 273, 2280000, {6, 0}}, {402, 313, 2290000, {6, 4}}, {374, 354, 2310000, {6, kNone}},
    {446, 316, 2330000, {6, kNone}}, {302, 363, 2300000, {6, kNone}}, {489, 317, 2320000, {8, kNone}},
    {228, 337, 2420000, {kNone, kNone}}, {482, 358, 2340000, {4, 6}}, {535, 319, 2360000, {6, kNone}},
    {508, 394, 2370000, {9, kNone}}, {556, 360, 2380000, {10, kNone}},
};

// The graph: each pair a cleared stage and a stage its clear opens.
struct Unlock {
    int32_t cleared;
    int32_t opens;
};

constexpr Unlock kUnlocks[] = {
    {2010000, 2020000}, {2010000, 2030000}, {2020000, 2040000}, {2020000, 2050000},
    {2030000, 2060000}, {2030000, 2100000}, {2040000, 2080000}, {2050000, 2080000},
    {2060000, 2080000}, {2080000, 2160000}, {2100000, 2150000}, {2150000, 2400000},
    {2160000, 2170000}, {2170000, 2190000}, {2170000, 2220000}, {2190000, 2250000},
    {2220000, 2270000}, {2230000, 2280000}, {2230000, 2290000}, {2270000, 2230000},
    {2280000, 2330000}, {2290000, 2310000}, {2290000, 2330000}, {2310000, 2300000},
    {2320000, 2340000}, {2320000, 2360000}, {2330000, 2320000}, {2340000, 2370000},
    {2360000, 2380000}, {2370000, 2410000}, {2380000, 2420000},
};

}  // namespace

const MapNode *StageMapNodes() { return kNodes; }

const int32_t *StagesOpenedBy(int32_t stageId, int32_t *count)
{
    // Until the next call: the stages in the graph's order.
    static int32_t opened[std::size(kUnlocks)];
    *count = 0;
    for (const Unlock &unlock : kUnlocks) {
        if (unlock.cleared == stageId) {
            opened[(*count)++] = unlock.opens;
        }
    }
    return opened;
}
