// The palette quantiser: colours are gathered in a tree of 5 bits per
// channel (R, G, B, A), the colour space is cut into boxes of least
// variance, and each box becomes one palette entry. Also gives a set of
// images (a texture's mip levels) one shared palette.
#include <cstring>

#include "rwerror.h"
#include "rwimage.h"
#include "rwmemory.h"

RwUInt32 RwImageBitSpreadTable[32];

static constexpr RwInt32 rwPALQUANTMAXCOLOURS = 256;
static constexpr RwInt32 rwPALQUANTLEVELS = 5;
static constexpr RwInt32 rwPALQUANTCELLS = 32;
static constexpr RwReal rwONEOVER255 = 0.003921569f;

struct RwPalQuantLeaf {
    RwReal weight;
    RwReal sum[4];
    RwReal sumSquares;
    RwUInt8 index;
};

struct RwPalQuantNode {
    union {
        RwPalQuantNode *child[16];
        RwPalQuantLeaf leaf;
    };
};

struct Moments {
    RwReal weight = 0;
    RwReal sum[4] = {0, 0, 0, 0};
    RwReal sumSquares = 0;

    void Add(const RwPalQuantLeaf &leaf)
    {
        weight += leaf.weight;
        for (int i = 0; i < 4; ++i) {
            sum[i] += leaf.sum[i];
        }
        sumSquares += leaf.sumSquares;
    }
    void Add(const Moments &other)
    {
        weight += other.weight;
        for (int i = 0; i < 4; ++i) {
            sum[i] += other.sum[i];
        }
        sumSquares += other.sumSquares;
    }
    Moments Minus(const Moments &other) const
    {
        Moments out;
        out.weight = weight - other.weight;
        for (int i = 0; i < 4; ++i) {
            out.sum[i] = sum[i] - other.sum[i];
        }
        out.sumSquares = sumSquares - other.sumSquares;
        return out;
    }
    RwReal SumNorm() const { return sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2] + sum[3] * sum[3]; }
};

static RwPalQuantNode *NewNode(RwPalQuant *pq, bool leaf)
{
    auto *node = static_cast<RwPalQuantNode *>(RwFreeListEntryAlloc(pq->nodeFreeList));
    if (node == nullptr) {
        return nullptr;
    }
    std::memset(node, 0, sizeof(*node));
    if (leaf) {
        node->leaf.index = 255;
    }
    return node;
}

RwBool RwPalQuantInit(RwPalQuant *pq)
{
    for (RwUInt32 v = 0; v < 32; ++v) {
        RwUInt32 spread = 0;
        for (RwUInt32 i = 0; i < 5; ++i) {
            spread |= ((v >> i) & 1u) << (4 * (4 - i));
        }
        RwImageBitSpreadTable[v] = spread;
    }
    pq->boxes = static_cast<RwPalQuantBox *>(RwCalloc(rwPALQUANTMAXCOLOURS, sizeof(RwPalQuantBox)));
    pq->variances = static_cast<RwReal *>(RwCalloc(rwPALQUANTMAXCOLOURS, sizeof(RwReal)));
    pq->nodeFreeList = RwFreeListCreate(sizeof(RwPalQuantNode), 64, 8);
    pq->root = pq->nodeFreeList != nullptr ? NewNode(pq, false) : nullptr;
    if (pq->boxes == nullptr || pq->variances == nullptr || pq->root == nullptr) {
        RwPalQuantTerm(pq);
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    return TRUE;
}

static RwUInt32 KeyOf(const RwRGBA &c)
{
    const RwUInt32 *t = RwImageBitSpreadTable;
    return ((t[c.red >> 3] * 2 | t[c.green >> 3]) * 2 | t[c.blue >> 3]) * 2 | t[c.alpha >> 3];
}

void RwPalQuantAddImage(RwPalQuant *pq, const RwImage *img, RwReal weight)
{
    if (pq->root == nullptr || img->cpPixels == nullptr ||
        !(img->depth == 32 || ((img->depth == 4 || img->depth == 8) && img->palette != nullptr))) {
        return;
    }
    for (RwInt32 y = 0; y < img->height; ++y) {
        const RwUInt8 *row = img->cpPixels + static_cast<RwInt64>(y) * img->stride;
        for (RwInt32 x = 0; x < img->width; ++x) {
            const RwRGBA &c = RwImagePixelColour(img, row, x);
            RwUInt32 key = KeyOf(c);
            RwPalQuantNode *node = pq->root;
            for (RwInt32 level = 0; level < rwPALQUANTLEVELS && node != nullptr; ++level) {
                RwPalQuantNode *&child = node->child[key & 0xF];
                if (child == nullptr) {
                    child = NewNode(pq, level == rwPALQUANTLEVELS - 1);
                }
                node = child;
                key >>= 4;
            }
            if (node == nullptr) {
                RwErrorReportCommon(E_RW_NOMEM);
                return;
            }
            const RwReal channel[4] = {c.red * rwONEOVER255, c.green * rwONEOVER255, c.blue * rwONEOVER255,
                                       c.alpha * rwONEOVER255};
            RwPalQuantLeaf &leaf = node->leaf;
            leaf.weight += weight;
            RwReal squares = 0;
            for (int i = 0; i < 4; ++i) {
                leaf.sum[i] += channel[i] * weight;
                squares += (channel[i] * weight) * (channel[i] * weight);
            }
            leaf.sumSquares += weight * squares;
        }
    }
}

// Calls `visit` on every leaf whose cell lies inside `box`, in tree order
// (children 0 to 15, depth first), descending only into overlapping nodes.
template <typename Visit>
static void ForLeavesIn(RwPalQuantNode *node, RwInt32 level, const RwUInt8 prefix[4], const RwPalQuantBox &box,
                        Visit &visit)
{
    if (level == rwPALQUANTLEVELS) {
        visit(node->leaf, prefix);
        return;
    }
    const RwInt32 shift = rwPALQUANTLEVELS - level - 1;
    for (RwInt32 i = 0; i < 16; ++i) {
        if (node->child[i] == nullptr) {
            continue;
        }
        RwUInt8 sub[4];
        bool overlaps = true;
        for (int axis = 0; axis < 4; ++axis) {
            sub[axis] = static_cast<RwUInt8>((prefix[axis] << 1) | ((i >> (3 - axis)) & 1));
            const RwInt32 lo = sub[axis] << shift;
            const RwInt32 hi = (sub[axis] + 1) << shift;
            overlaps = overlaps && lo < box.upper[axis] && hi > box.lower[axis];
        }
        if (overlaps) {
            ForLeavesIn(node->child[i], level + 1, sub, box, visit);
        }
    }
}

static Moments BoxMoments(RwPalQuant *pq, const RwPalQuantBox &box)
{
    Moments m;
    const RwUInt8 root[4] = {0, 0, 0, 0};
    auto add = [&m](RwPalQuantLeaf &leaf, const RwUInt8 *) { m.Add(leaf); };
    ForLeavesIn(pq->root, 0, root, box, add);
    return m;
}

static RwReal Variance(const Moments &m)
{
    return m.weight > 0 ? m.sumSquares - m.SumNorm() / m.weight : 0.0f;
}

struct Cut {
    RwReal score;
    RwInt32 position;
};

// Best cut of `box` on one axis, from per-cell moment histograms along it.
static Cut BestCut(const Moments histogram[rwPALQUANTCELLS], const Moments &total, const RwPalQuantBox &box, int axis)
{
    Cut best{0.0f, -1};
    RwReal previous = 0.0f;
    Moments below;
    for (RwInt32 c = box.lower[axis]; c < box.upper[axis]; ++c) {
        if (c > box.lower[axis]) {
            below.Add(histogram[c - 1]);
        }
        const Moments above = total.Minus(below);
        if (below.weight > 0 && above.weight > 0) {
            const RwReal score = above.SumNorm() / above.weight + below.SumNorm() / below.weight;
            if (score > best.score) {
                best = Cut{score, c};
            } else if (score < previous) {
                break;
            }
            previous = score;
        }
    }
    return best;
}

static void SplitBox(RwPalQuant *pq, RwInt32 chosen, RwInt32 *count)
{
    RwPalQuantBox &box = pq->boxes[chosen];
    Moments histogram[4][rwPALQUANTCELLS];
    Moments total;
    const RwUInt8 root[4] = {0, 0, 0, 0};
    auto gather = [&](RwPalQuantLeaf &leaf, const RwUInt8 *cell) {
        total.Add(leaf);
        for (int axis = 0; axis < 4; ++axis) {
            histogram[axis][cell[axis]].Add(leaf);
        }
    };
    ForLeavesIn(pq->root, 0, root, box, gather);
    Cut cuts[4];
    int axis = -1;
    for (int a = 0; a < 4; ++a) {
        cuts[a] = BestCut(histogram[a], total, box, a);
        if (cuts[a].score > 0 && (axis < 0 || cuts[a].score > cuts[axis].score)) {
            axis = a;
        }
    }
    if (axis < 0) {
        pq->variances[chosen] = 0.0f;
        return;
    }
    RwPalQuantBox &made = pq->boxes[*count];
    made = box;
    made.lower[axis] = static_cast<RwUInt8>(cuts[axis].position);
    box.upper[axis] = static_cast<RwUInt8>(cuts[axis].position);
    pq->variances[chosen] = Variance(BoxMoments(pq, box));
    pq->variances[*count] = Variance(BoxMoments(pq, made));
    ++*count;
}

static RwRGBA MeanColour(const Moments &m)
{
    RwRGBA c{0, 0, 0, 0};
    if (m.weight > 0) {
        const RwReal scale = 255.9999f / m.weight;
        RwUInt8 *out[4] = {&c.red, &c.green, &c.blue, &c.alpha};
        for (int i = 0; i < 4; ++i) {
            const RwReal v = m.sum[i] * scale;
            *out[i] = static_cast<RwUInt8>(v >= 255.0f ? 255 : v > 0.0f ? v : 0);
        }
    }
    return c;
}

RwInt32 RwPalQuantResolvePalette(RwRGBA *palette, RwInt32 maxcols, RwPalQuant *pq)
{
    if (pq->root == nullptr || maxcols <= 0) {
        return 0;
    }
    if (maxcols > rwPALQUANTMAXCOLOURS) {
        maxcols = rwPALQUANTMAXCOLOURS;
    }
    const RwPalQuantBox everything{{0, 0, 0, 0}, {32, 32, 32, 32}};
    const RwUInt8 root[4] = {0, 0, 0, 0};
    RwInt32 leaves = 0;
    auto countLeaves = [&leaves](RwPalQuantLeaf &, const RwUInt8 *) { ++leaves; };
    ForLeavesIn(pq->root, 0, root, everything, countLeaves);
    if (leaves <= maxcols) {
        RwInt32 next = 0;
        auto own = [&](RwPalQuantLeaf &leaf, const RwUInt8 *) {
            Moments m;
            m.Add(leaf);
            palette[next] = MeanColour(m);
            leaf.index = static_cast<RwUInt8>(next++);
        };
        ForLeavesIn(pq->root, 0, root, everything, own);
        for (RwInt32 i = next; i < maxcols; ++i) {
            palette[i] = RwRGBA{0, 0, 0, 0};
        }
        return leaves;
    }
    std::memset(pq->boxes, 0, sizeof(RwPalQuantBox) * rwPALQUANTMAXCOLOURS);
    std::memset(pq->variances, 0, sizeof(RwReal) * rwPALQUANTMAXCOLOURS);
    pq->boxes[0] = everything;
    pq->variances[0] = Variance(BoxMoments(pq, everything));
    RwInt32 count = 1;
    while (count < maxcols) {
        RwInt32 chosen = -1;
        for (RwInt32 i = 0; i < count; ++i) {
            if (pq->variances[i] > 0 && (chosen < 0 || pq->variances[i] > pq->variances[chosen])) {
                chosen = i;
            }
        }
        if (chosen < 0) {
            break;
        }
        SplitBox(pq, chosen, &count);
    }
    for (RwInt32 i = 0; i < maxcols; ++i) {
        Moments m;
        if (i < count) {
            auto assign = [&m, i](RwPalQuantLeaf &leaf, const RwUInt8 *) {
                leaf.index = static_cast<RwUInt8>(i);
                m.Add(leaf);
            };
            ForLeavesIn(pq->root, 0, root, pq->boxes[i], assign);
        }
        palette[i] = MeanColour(m);
    }
    return maxcols;
}

static RwUInt8 MatchColour(const RwPalQuant *pq, const RwRGBA &c)
{
    RwUInt32 key = KeyOf(c);
    const RwPalQuantNode *node = pq->root;
    for (RwInt32 level = 0; level < rwPALQUANTLEVELS; ++level) {
        node = node->child[key & 0xF];
        if (node == nullptr) {
            return 0;  // a colour that was never added
        }
        key >>= 4;
    }
    return node->leaf.index;
}

void RwPalQuantMatchImage(RwUInt8 *dstpixels, RwInt32 dststride, RwInt32 dstdepth, RwBool dstPacked, RwPalQuant *pq,
                          const RwImage *img)
{
    if (pq->root == nullptr || img->cpPixels == nullptr ||
        !(img->depth == 32 || ((img->depth == 4 || img->depth == 8) && img->palette != nullptr))) {
        return;
    }
    const bool packed = dstdepth == 4 && dstPacked;
    for (RwInt32 y = 0; y < img->height; ++y) {
        const RwUInt8 *row = img->cpPixels + static_cast<RwInt64>(y) * img->stride;
        RwUInt8 *out = dstpixels + static_cast<RwInt64>(y) * dststride;
        for (RwInt32 x = 0; x < img->width; ++x) {
            const RwUInt8 index = MatchColour(pq, RwImagePixelColour(img, row, x));
            if (!packed) {
                out[x] = index;
            } else if ((x & 1) == 0) {
                out[x >> 1] = static_cast<RwUInt8>(index & 0xF);
            } else {
                out[x >> 1] = static_cast<RwUInt8>(out[x >> 1] | ((index & 0xF) << 4));
            }
        }
    }
}

static void FreeNodes(RwPalQuant *pq, RwPalQuantNode *node, RwInt32 level)
{
    if (level < rwPALQUANTLEVELS) {
        for (RwPalQuantNode *child : node->child) {
            if (child != nullptr) {
                FreeNodes(pq, child, level + 1);
            }
        }
    }
    RwFreeListEntryFree(pq->nodeFreeList, node);
}

void RwPalQuantTerm(RwPalQuant *pq)
{
    if (pq->root != nullptr) {
        FreeNodes(pq, pq->root, 0);
        pq->root = nullptr;
    }
    if (pq->nodeFreeList != nullptr) {
        RwFreeListDestroy(pq->nodeFreeList);
        pq->nodeFreeList = nullptr;
    }
    RwFree(pq->variances);
    pq->variances = nullptr;
    RwFree(pq->boxes);
    pq->boxes = nullptr;
}

static bool SharePalette(RwImage **images, RwInt32 count, RwInt32 depth)
{
    if (images[0]->palette == nullptr || images[0]->depth != depth) {
        return false;
    }
    for (RwInt32 i = 1; i < count; ++i) {
        if (images[i]->palette == nullptr || images[i]->depth != depth ||
            std::memcmp(images[i]->palette, images[0]->palette, static_cast<size_t>(4u << depth)) != 0) {
            return false;
        }
    }
    return true;
}

RwBool RwImagePalettiseLevels(RwRGBA *palette, RwImage *keep, RwImage **images, RwInt32 count, RwInt32 depth)
{
    if (count <= 0 || (depth != 4 && depth != 8)) {
        return FALSE;
    }
    if (SharePalette(images, count, depth)) {
        std::memcpy(palette, images[0]->palette, static_cast<size_t>(4u << depth));
        return TRUE;
    }
    RwPalQuant pq;
    if (!RwPalQuantInit(&pq)) {
        return FALSE;
    }
    for (RwInt32 i = 0; i < count; ++i) {
        RwPalQuantAddImage(&pq, images[i], 1.0f);
    }
    RwPalQuantResolvePalette(palette, 1 << depth, &pq);
    RwBool ok = TRUE;
    for (RwInt32 i = 0; i < count && ok; ++i) {
        RwImage *indexed = RwImageCreate(images[i]->width, images[i]->height, depth);
        if (indexed == nullptr || RwImageAllocatePixels(indexed) == nullptr) {
            if (indexed != nullptr) {
                RwImageDestroy(indexed);
            }
            ok = FALSE;
            break;
        }
        RwPalQuantMatchImage(indexed->cpPixels, indexed->stride, depth, FALSE, &pq, images[i]);
        // The image shares the caller's palette buffer; its own stays unused.
        indexed->palette = palette;
        indexed->flags |= images[i]->flags & rwIMAGEGAMMACORRECTED;
        if (images[i] != keep) {
            RwImageDestroy(images[i]);
        }
        images[i] = indexed;
    }
    RwPalQuantTerm(&pq);
    return ok;
}
