// Tests of frame hierarchies: lazy world matrices and the dirty-frame list,
// attaching and detaching, destruction, cloning, and a long random sequence
// of operations checked after every step against a naive recomputation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "rwsdk/src/baframe.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"
#include "tests/rwsdk/src/frame_test_support.h"

namespace baframe_test {

namespace {

using frametest::ExpectNear;
using frametest::DirtyRoots;
using frametest::Outstanding;
using frametest::SyncCounter;
using rwtest::EngineTest;

using FrameBasics = EngineTest;

TEST_F(FrameBasics, NewFrameIsAnIdentityRoot)
{
    RwFrame *f = RwFrameCreate();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->object.type, rwFRAME);
    EXPECT_EQ(f->root, f);
    EXPECT_EQ(RwFrameGetParent(f), nullptr);
    EXPECT_EQ(f->modelling.flags, rwMATRIXINTERNALIDENTITY | rwMATRIXTYPEORTHONORMAL);
    EXPECT_EQ(RwFrameIsDirty(f), 0u);
    EXPECT_TRUE(DirtyRoots().empty());
    EXPECT_TRUE(RwFrameDestroy(f));
    EXPECT_TRUE(RwFrameDestroyHierarchy(nullptr));
}

TEST_F(FrameBasics, SettersOnlyStoreAndListTheRootOnce)
{
    RwFrame *root = RwFrameCreate();
    RwFrame *child = RwFrameCreate();
    RwFrameAddChild(root, child);
    RwFrameSyncDirty();
    const RwV3d v{1, 2, 3};
    ASSERT_EQ(RwFrameTranslate(child, &v, rwCOMBINEREPLACE), child);
    RwFrameTranslate(child, &v, rwCOMBINEPOSTCONCAT);
    EXPECT_EQ(DirtyRoots(), std::vector<RwFrame *>{root});
    EXPECT_EQ(root->object.privateFlags & 0x0F, 0x03);
    EXPECT_EQ(child->object.privateFlags & 0x0F, 0x0C);
    // Nothing computed yet.
    ExpectNear(child->ltm.pos, 0, 0, 0);
    ExpectNear(RwFrameGetLTM(child)->pos, 2, 4, 6);
    RwFrameDestroyHierarchy(root);
    EXPECT_TRUE(DirtyRoots().empty());
}

TEST_F(FrameBasics, GetLTMLeavesObjectsPendingUntilFullSync)
{
    RwFrame *root = RwFrameCreate();
    RwFrame *child = RwFrameCreate();
    RwFrameAddChild(root, child);
    SyncCounter counter;
    frametest::InitCounter(&counter);
    RwFramedObjectSetFrame(&counter.head, child);
    RwFrameSyncDirty();
    ASSERT_EQ(counter.syncs, 1);

    const RwV3d v{0, 5, 0};
    RwFrameTranslate(root, &v, rwCOMBINEREPLACE);
    RwMatrix *ltm = RwFrameGetLTM(child);
    EXPECT_EQ(ltm, &child->ltm);  // lives in the frame
    ExpectNear(ltm->pos, 0, 5, 0);
    EXPECT_EQ(counter.syncs, 1);
    EXPECT_EQ(RwFrameIsDirty(child), rwFRAMEPRIVATEHIERARCHYSYNCOBJ);
    EXPECT_EQ(DirtyRoots(), std::vector<RwFrame *>{root});
    // A clean hierarchy returns the stored matrix untouched.
    child->ltm.pos.x = 99.0f;
    EXPECT_EQ(RwFrameGetLTM(child)->pos.x, 99.0f);
    child->ltm.pos.x = 0.0f;

    RwFrameSyncDirty();
    EXPECT_EQ(counter.syncs, 2);
    EXPECT_TRUE(DirtyRoots().empty());
    EXPECT_EQ(root->object.privateFlags & 0x0F, 0);
    RwFrameDestroyHierarchy(root);
    EXPECT_EQ(counter.head.object.parent, nullptr);
}

TEST_F(FrameBasics, ChildTransformAppliesBeforeParent)
{
    RwFrame *root = RwFrameCreate();
    RwFrame *child = RwFrameCreate();
    RwFrameAddChild(root, child);
    const RwV3d z{0, 0, 1};
    const RwV3d x{1, 0, 0};
    RwFrameRotate(root, &z, 90.0f, rwCOMBINEREPLACE);
    RwFrameTranslate(child, &x, rwCOMBINEREPLACE);
    RwFrameSyncDirty();
    ExpectNear(child->ltm.pos, 0, 1, 0);
    RwFrameDestroyHierarchy(root);
}

TEST_F(FrameBasics, DirtyRootBecomingChildLeavesTheList)
{
    RwFrame *a = RwFrameCreate();
    RwFrame *b = RwFrameCreate();
    const RwV3d v{1, 0, 0};
    RwFrameTranslate(b, &v, rwCOMBINEREPLACE);
    EXPECT_EQ(DirtyRoots(), std::vector<RwFrame *>{b});
    RwFrameAddChild(a, b);
    EXPECT_EQ(DirtyRoots(), std::vector<RwFrame *>{a});
    EXPECT_EQ(b->object.privateFlags & 0x03, 0);
    EXPECT_EQ(b->root, a);
    // Refused: a frame under its own descendant.
    EXPECT_EQ(RwFrameAddChild(b, a), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADPARAM);
    RwFrameDestroyHierarchy(a);
}

TEST_F(FrameBasics, SetIdentityKeepsOtherFlagBits)
{
    RwFrame *f = RwFrameCreate();
    const RwV3d v{1, 1, 1};
    RwFrameTranslate(f, &v, rwCOMBINEREPLACE);
    f->modelling.flags |= 0x100;
    RwFrameSetIdentity(f);
    EXPECT_EQ(f->modelling.flags, 0x100u | rwMATRIXINTERNALIDENTITY | rwMATRIXTYPEORTHONORMAL);
    ExpectNear(RwFrameGetLTM(f)->pos, 0, 0, 0);
    RwFrameDestroy(f);
}

RwFrame *DestroyChild(RwFrame *child, void *) { return RwFrameDestroy(child) ? child : nullptr; }
RwFrame *StopAtOnce(RwFrame *, void *data)
{
    ++*static_cast<int *>(data);
    return nullptr;
}

TEST_F(FrameBasics, ForAllChildrenMayDestroyAndStops)
{
    RwFrame *root = RwFrameCreate();
    int calls = 0;
    EXPECT_EQ(RwFrameForAllChildren(root, StopAtOnce, &calls), root);
    EXPECT_EQ(calls, 0);
    for (int i = 0; i < 3; ++i) RwFrameAddChild(root, RwFrameCreate());
    RwFrameForAllChildren(root, StopAtOnce, &calls);
    EXPECT_EQ(calls, 1);
    RwFrameForAllChildren(root, DestroyChild, nullptr);
    EXPECT_EQ(root->child, nullptr);
    RwFrameDestroy(root);
}

using FrameDestroy = EngineTest;

TEST_F(FrameDestroy, DetachedChildrenGetTheirOwnWorldMatrices)
{
    RwFrame *parent = RwFrameCreate();
    RwFrame *child = RwFrameCreate();
    RwFrame *grandChild = RwFrameCreate();
    RwFrameAddChild(parent, child);
    RwFrameAddChild(child, grandChild);
    const RwV3d far{100, 0, 0};
    const RwV3d one{0, 1, 0};
    RwFrameTranslate(parent, &far, rwCOMBINEREPLACE);
    RwFrameTranslate(child, &one, rwCOMBINEREPLACE);
    RwFrameTranslate(grandChild, &one, rwCOMBINEREPLACE);
    RwFrameSyncDirty();
    ExpectNear(grandChild->ltm.pos, 100, 2, 0);

    RwFrameDestroy(parent);
    EXPECT_EQ(child->root, child);
    EXPECT_EQ(grandChild->root, child);
    EXPECT_EQ(DirtyRoots(), std::vector<RwFrame *>{child});
    ExpectNear(RwFrameGetLTM(child)->pos, 0, 1, 0);
    ExpectNear(RwFrameGetLTM(grandChild)->pos, 0, 2, 0);
    RwFrameDestroyHierarchy(child);
}

TEST_F(FrameDestroy, DestroyingAChildUnhooksItAndDestroyHierarchyFreesAll)
{
    const size_t before = Outstanding();
    RwFrame *root = RwFrameCreate();
    RwFrame *a = RwFrameCreate();
    RwFrame *b = RwFrameCreate();
    RwFrameAddChild(root, a);
    RwFrameAddChild(root, b);
    RwFrameAddChild(a, RwFrameCreate());
    RwFrameDestroy(b);
    EXPECT_EQ(root->child, a);
    EXPECT_EQ(a->next, nullptr);
    RwFrameDestroyHierarchy(root);
    EXPECT_TRUE(DirtyRoots().empty());
    EXPECT_EQ(Outstanding(), before);
}

// ---- cloning ----------------------------------------------------------------

struct CloneFixture : EngineTest {
    static int constructs;
    static int failAt;  // 1-based construct call that fails; 0: none
    static RwInt32 offset;

    static void *Construct(void *object, RwInt32 off, RwInt32)
    {
        if (++constructs == failAt) {
            return nullptr;
        }
        *reinterpret_cast<RwInt32 *>(static_cast<RwUInt8 *>(object) + off) = 7;
        return object;
    }
    static void *Destruct(void *object, RwInt32, RwInt32) { return object; }
    static void *Copy(void *dst, const void *src, RwInt32 off, RwInt32)
    {
        *reinterpret_cast<RwInt32 *>(static_cast<RwUInt8 *>(dst) + off) =
            *reinterpret_cast<const RwInt32 *>(static_cast<const RwUInt8 *>(src) + off) + 1;
        return dst;
    }
    static bool Attach()
    {
        offset = RwFrameRegisterPlugin(4, 0xF0A1, Construct, Destruct, Copy);
        return offset >= 0;
    }
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        constructs = 0;
        failAt = 0;
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, Attach));
    }
};
int CloneFixture::constructs = 0;
int CloneFixture::failAt = 0;
RwInt32 CloneFixture::offset = -1;

TEST_F(CloneFixture, ChildrenComeBackReversedAndSourceRootsPointAtCopies)
{
    RwFrame *root = RwFrameCreate();
    RwFrame *a = RwFrameCreate();
    RwFrame *b = RwFrameCreate();
    RwFrameAddChild(root, b);
    RwFrameAddChild(root, a);  // children listed a, b
    const RwV3d v{3, 0, 0};
    RwFrameTranslate(a, &v, rwCOMBINEREPLACE);
    RwFrameSyncDirty();

    RwFrame *copy = RwFrameCloneHierarchy(root);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy->child, nullptr);
    EXPECT_EQ(copy->child, b->root);  // b's copy first
    EXPECT_EQ(copy->child->next, a->root);
    EXPECT_EQ(root->root, copy);
    EXPECT_EQ(a->root->modelling.pos.x, 3.0f);
    EXPECT_EQ(a->root->root, copy);
    EXPECT_EQ(*reinterpret_cast<RwInt32 *>(reinterpret_cast<RwUInt8 *>(copy) + offset), 8);
    EXPECT_EQ(DirtyRoots(), std::vector<RwFrame *>{copy});
    ExpectNear(RwFrameGetLTM(copy->child->next)->pos, 3, 0, 0);

    RwFramePurgeClone(root);
    EXPECT_EQ(root->root, root);
    EXPECT_EQ(a->root, root);
    RwFrameDestroyHierarchy(copy);
    RwFrameDestroyHierarchy(root);
}

TEST_F(CloneFixture, AnyFailedCloneLeavesTheSourceAsItWas)
{
    RwFrame *root = RwFrameCreate();
    RwFrame *mid = RwFrameCreate();
    RwFrameAddChild(root, mid);
    RwFrameAddChild(root, RwFrameCreate());
    RwFrameAddChild(mid, RwFrameCreate());
    RwFrameAddChild(mid, RwFrameCreate());
    RwFrameSyncDirty();
    std::vector<RwFrame *> frames = {root, mid, root->child->next, mid->child, mid->child->next};
    const size_t before = Outstanding();

    for (int n = 1; n <= 5; ++n) {
        constructs = 0;
        failAt = n;
        EXPECT_EQ(RwFrameCloneHierarchy(root), nullptr) << n;
        for (RwFrame *f : frames) {
            EXPECT_EQ(f->root, root) << n;
        }
        EXPECT_EQ(Outstanding(), before) << n;
        EXPECT_TRUE(DirtyRoots().empty());
    }
    failAt = 0;
    RwFrame *copy = RwFrameCloneHierarchy(root);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(RwFrameCount(copy), 5);
    RwFramePurgeClone(root);
    RwFrameDestroyHierarchy(copy);
    RwFrameDestroyHierarchy(root);
}

// ---- random sequence --------------------------------------------------------

struct Model {
    std::vector<RwFrame *> frames;
    std::vector<std::unique_ptr<SyncCounter>> objects;

    void Forget(RwFrame *f) { frames.erase(std::find(frames.begin(), frames.end(), f)); }
    void Subtree(RwFrame *f, std::vector<RwFrame *> *out)
    {
        out->push_back(f);
        for (RwFrame *c = f->child; c != nullptr; c = c->next) Subtree(c, out);
    }
};

RwMatrix NaiveProduct(const RwMatrix &a, const RwMatrix &b)
{
    RwMatrix m{};
    auto row = [&](const RwV3d &r) {
        return RwV3d{r.x * b.right.x + r.y * b.up.x + r.z * b.at.x, r.x * b.right.y + r.y * b.up.y + r.z * b.at.y,
                     r.x * b.right.z + r.y * b.up.z + r.z * b.at.z};
    };
    m.right = row(a.right);
    m.up = row(a.up);
    m.at = row(a.at);
    m.pos = row(a.pos);
    m.pos = {m.pos.x + b.pos.x, m.pos.y + b.pos.y, m.pos.z + b.pos.z};
    return m;
}

RwMatrix NaiveLTM(const RwFrame *f)
{
    const RwFrame *parent = RwFrameGetParent(f);
    return parent == nullptr ? f->modelling : NaiveProduct(f->modelling, NaiveLTM(parent));
}

bool Close(const RwV3d &a, const RwV3d &b)
{
    auto near = [](float x, float y) { return std::fabs(x - y) <= 2e-3f * (1.0f + std::fabs(y)); };
    return near(a.x, b.x) && near(a.y, b.y) && near(a.z, b.z);
}

// Structure first (links, roots, flags, dirty list), then every LTM.
void CheckInvariants(Model &model, bool synced)
{
    std::vector<RwFrame *> dirty = DirtyRoots();
    for (RwFrame *f : dirty) {
        ASSERT_NE(std::find(model.frames.begin(), model.frames.end(), f), model.frames.end());
    }
    for (RwFrame *f : model.frames) {
        const RwFrame *top = f;
        while (RwFrameGetParent(top) != nullptr) top = RwFrameGetParent(top);
        ASSERT_EQ(f->root, top);
        RwFrame *parent = RwFrameGetParent(f);
        if (parent != nullptr) {
            int seen = 0;
            for (RwFrame *c = parent->child; c != nullptr; c = c->next) seen += (c == f);
            ASSERT_EQ(seen, 1);
            ASSERT_EQ(f->object.privateFlags & 0x03, 0);
        } else {
            const bool listed = std::count(dirty.begin(), dirty.end(), f) == 1;
            ASSERT_EQ(listed, (f->object.privateFlags & 0x03) != 0);
        }
        if (synced) {
            ASSERT_EQ(f->object.privateFlags & 0x0F, 0);
        }
    }
    for (auto &object : model.objects) {
        RwFrame *frame = RwFramedObjectGetFrame(&object->head);
        if (frame != nullptr) {
            ASSERT_NE(std::find(model.frames.begin(), model.frames.end(), frame), model.frames.end());
        }
    }
    for (RwFrame *f : model.frames) {
        const RwMatrix expected = NaiveLTM(f);
        const RwMatrix *ltm = synced ? &f->ltm : RwFrameGetLTM(f);
        ASSERT_TRUE(Close(ltm->right, expected.right) && Close(ltm->up, expected.up) &&
                    Close(ltm->at, expected.at) && Close(ltm->pos, expected.pos));
    }
}

using FrameRandom = EngineTest;

TEST_F(FrameRandom, LongSequenceKeepsEveryWorldMatrixRight)
{
    std::mt19937 rng(12345);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    auto combine = [&]() { return static_cast<RwOpCombineType>(pick(3)); };
    Model model;
    for (int i = 0; i < 6; ++i) model.frames.push_back(RwFrameCreate());

    for (int step = 0; step < 4000; ++step) {
        const size_t op = pick(14);
        if (model.frames.size() < 3) {
            model.frames.push_back(RwFrameCreate());
            continue;
        }
        RwFrame *f = model.frames[pick(model.frames.size())];
        RwFrame *g = model.frames[pick(model.frames.size())];
        bool synced = false;
        switch (op) {
        case 0:
        case 1: {
            bool cycle = false;
            for (const RwFrame *a = g; a != nullptr; a = RwFrameGetParent(a)) cycle |= (a == f);
            EXPECT_EQ(RwFrameAddChild(g, f) == nullptr, cycle);
            if (cycle) rwtest::TakeError();
            break;
        }
        case 2:
            RwFrameRemoveChild(f);
            break;
        case 3: {
            const RwV3d v{uniform(-2, 2), uniform(-2, 2), uniform(-2, 2)};
            RwFrameTranslate(f, &v, combine());
            break;
        }
        case 4:
        case 5: {
            const RwV3d axis{uniform(-1, 1), uniform(-1, 1), uniform(0.1f, 1)};
            RwFrameRotate(f, &axis, uniform(-180, 180), combine());
            break;
        }
        case 6: {
            RwMatrix m{};
            const RwV3d axis{uniform(0.1f, 1), uniform(-1, 1), uniform(-1, 1)};
            RwMatrixSetIdentity(&m);
            RwMatrixRotate(&m, &axis, uniform(-90, 90), rwCOMBINEREPLACE);
            const RwV3d v{uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
            RwMatrixTranslate(&m, &v, rwCOMBINEPOSTCONCAT);
            RwFrameTransform(f, &m, combine());
            break;
        }
        case 7:
            RwFrameSetIdentity(f);
            break;
        case 8: {
            if (model.frames.size() > 60) break;
            RwFrame *root = f->root;
            RwFrame *copy = RwFrameCloneHierarchy(root);
            ASSERT_NE(copy, nullptr);
            std::vector<RwFrame *> added;
            model.Subtree(copy, &added);
            RwFramePurgeClone(root);
            model.frames.insert(model.frames.end(), added.begin(), added.end());
            break;
        }
        case 9:
            model.Forget(f);
            RwFrameDestroy(f);
            break;
        case 10: {
            if (pick(4) != 0) break;
            RwFrame *root = f->root;
            std::vector<RwFrame *> gone;
            model.Subtree(root, &gone);
            for (RwFrame *x : gone) model.Forget(x);
            RwFrameDestroyHierarchy(root);
            break;
        }
        case 11:
            model.frames.push_back(RwFrameCreate());
            break;
        case 12: {
            auto object = std::make_unique<SyncCounter>();
            frametest::InitCounter(object.get());
            RwFramedObjectSetFrame(&object->head, f);
            model.objects.push_back(std::move(object));
            break;
        }
        case 13:
            RwFrameSyncDirty();
            synced = true;
            break;
        }
        CheckInvariants(model, synced);
        if (HasFatalFailure()) {
            FAIL() << "at step " << step << " op " << op;
        }
    }
    std::vector<RwFrame *> roots;
    for (RwFrame *f : model.frames) {
        if (f->root == f) roots.push_back(f);
    }
    for (RwFrame *r : roots) RwFrameDestroyHierarchy(r);
    EXPECT_TRUE(DirtyRoots().empty());
    for (auto &object : model.objects) EXPECT_EQ(object->head.object.parent, nullptr);
}

}  // namespace

}  // namespace baframe_test
