// Walks of a collision tree by box and by line: every leaf whose region the
// box or line reaches is handed to the caller, with the pending nodes on an
// explicit stack so that no tree from a file can exhaust the call stack
// (the trees are checked to be trees, so every walk ends).
#include <cmath>

#include "plugin/collis/ctprivate.h"

namespace {

struct Node {
    RwUInt8 type;
    RwUInt16 index;
};

struct SpanNode {
    Node node;
    rpCollisionSpan span;
};

Node Root(const RpCollisionTree *tree)
{
    return tree->numLeaves > 1u ? Node{rpCOLLISIONBRANCH, 0} : Node{rpCOLLISIONLEAF, 0};
}

RwReal Pad(RwReal value) { return 1e-3f * (1.0f + std::fabs(value)); }

}  // namespace

RwBool rpCollisionSplitSpan(const RwV3d &start, const RwV3d &delta, RwInt32 axis, RwReal leftValue,
                            RwReal rightValue, const rpCollisionSpan &span, rpCollisionSpan *left,
                            rpCollisionSpan *right)
{
    const RwReal s = rpCollisionAxis(start, axis);
    const RwReal d = rpCollisionAxis(delta, axis);
    const RwReal leftLimit = leftValue + Pad(leftValue);
    const RwReal rightLimit = rightValue - Pad(rightValue);
    const rpCollisionSpan empty = {1.0f, 0.0f};
    if (d == 0.0f) {
        *left = s <= leftLimit ? span : empty;
        *right = s >= rightLimit ? span : empty;
        return s <= leftLimit;
    }
    const RwReal tLeft = (leftLimit - s) / d;
    const RwReal tRight = (rightLimit - s) / d;
    if (d > 0.0f) {
        *left = {span.t0, std::fmin(span.t1, tLeft)};
        *right = {std::fmax(span.t0, tRight), span.t1};
        return left->t0 <= left->t1;
    }
    *left = {std::fmax(span.t0, tLeft), span.t1};
    *right = {span.t0, std::fmin(span.t1, tRight)};
    return !(right->t0 <= right->t1);
}

RwBool RpCollisionTreeForAllBoxLeaves(const RpCollisionTree *tree, const RwBBox *box,
                                      RpCollisionTreeLeafCallBack callBack, void *data)
{
    rpCollisionStack<Node> pending;
    Node node = Root(tree);
    for (;;) {
        if (node.type == rpCOLLISIONLEAF) {
            const RpCollisionTreeLeaf &leaf = tree->leaves[node.index];
            if (!callBack(leaf.count, leaf.first, data)) {
                return FALSE;
            }
        } else {
            const RpCollisionTreeBranch &b = tree->branches[node.index];
            const RwInt32 axis = b.axis / 4;
            const RwBool goLeft = rpCollisionAxis(box->inf, axis) <= b.leftValue;
            const RwBool goRight = rpCollisionAxis(box->sup, axis) >= b.rightValue;
            const Node left = {b.leftType, b.leftNode};
            const Node right = {b.rightType, b.rightNode};
            if (goLeft && goRight && !pending.Push(right)) {
                return FALSE;
            }
            if (goLeft || goRight) {
                node = goLeft ? left : right;
                continue;
            }
        }
        if (!pending.Pop(&node)) {
            return TRUE;
        }
    }
}

RwBool rpCollisionTreeForAllSpanLeaves(const RpCollisionTree *tree, const RwV3d &start, const RwV3d &delta,
                                       rpCollisionSpan span, RpCollisionTreeLeafCallBack callBack, void *data)
{
    rpCollisionStack<SpanNode> pending;
    SpanNode item = {Root(tree), span};
    for (;;) {
        if (item.node.type == rpCOLLISIONLEAF) {
            const RpCollisionTreeLeaf &leaf = tree->leaves[item.node.index];
            if (!callBack(leaf.count, leaf.first, data)) {
                return FALSE;
            }
        } else {
            const RpCollisionTreeBranch &b = tree->branches[item.node.index];
            rpCollisionSpan left, right;
            const RwBool leftFirst =
                rpCollisionSplitSpan(start, delta, b.axis / 4, b.leftValue, b.rightValue, item.span, &left, &right);
            const RwInt32 follow = rpCollisionFollowPieces(pending, SpanNode{{b.leftType, b.leftNode}, left},
                                                           SpanNode{{b.rightType, b.rightNode}, right}, leftFirst, &item);
            if (follow < 0) {
                return FALSE;
            }
            if (follow > 0) {
                continue;
            }
        }
        if (!pending.Pop(&item)) {
            return TRUE;
        }
    }
}

RwBool RpCollisionTreeForAllLineLeaves(const RpCollisionTree *tree, const RwLine *line,
                                       RpCollisionTreeLeafCallBack callBack, void *data)
{
    RwV3d delta;
    RwV3dSub(&delta, &line->end, &line->start);
    return rpCollisionTreeForAllSpanLeaves(tree, line->start, delta, rpCollisionWholeSpan(), callBack, data);
}
