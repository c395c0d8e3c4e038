// Standard particles: shared classes and property tables, an emitter set up
// the way the game sets its emitters up stepped to a checked-in state, the
// tank binding's faults, and the emitter stream with its checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "plugin/prtstd/prtstd.h"
#include "rwsdk/plugin/ptank/ptank_test_support.h"
#include "support/engine/memory_stream.h"

namespace rpprtstd_test {

namespace {

class PrtStdTest : public ptanktest::ParticleEngineTest {
protected:
    void SetUp() override
    {
        ParticleEngineTest::SetUp();
        ASSERT_TRUE(StartEngine());
    }
};

template <typename T>
T *Property(RpPrtStdEmitter *emitter, RwInt32 offset)
{
    return reinterpret_cast<T *>(reinterpret_cast<RwUInt8 *>(emitter) + offset);
}

// The game's emitter: classes 0x33 and 0x67, batches of 100, properties
// 1, 2, 5 and 6 written through offsets looked up once, on a frame of its own.
struct GameEmitter {
    RpPrtStdEmitterClass *emtClass = nullptr;
    RpPrtStdParticleClass *prtClass = nullptr;
    RpAtomic *atomic = nullptr;
    RpPrtStdEmitter *emitter = nullptr;
    RwFrame *frame = nullptr;

    bool Build(RwInt32 maximum = 40)
    {
        emtClass = RpPrtStdEmitterClassCreate(0x33);
        prtClass = RpPrtStdParticleClassCreate(0x67);
        if (emtClass == nullptr || prtClass == nullptr) {
            return false;
        }
        atomic = RpPrtStdAtomicCreate(emtClass, nullptr);
        if (atomic == nullptr) {
            return false;
        }
        emitter = RpPrtStdAtomicGetEmitter(atomic);
        RpPrtStdEmitterSetParticleClass(emitter, prtClass, 100);
        const RpPrtStdPropertyTable *table = emtClass->propTab;
        auto *s = Property<RpPrtStdEmitterStandard>(emitter, RpPrtStdPropertyTableGetOffset(table, 1));
        auto *color = Property<RpPrtStdEmitterPrtColor>(emitter, RpPrtStdPropertyTableGetOffset(table, 2));
        auto *size = Property<RpPrtStdEmitterPrtSize>(emitter, RpPrtStdPropertyTableGetOffset(table, 5));
        auto *tank = Property<RpPrtStdEmitterPTank>(emitter, RpPrtStdPropertyTableGetOffset(table, 6));
        s->maxPrt = maximum;
        s->force = {0.0f, -2.0f, 0.0f};
        s->emtSize = {0.5f, 0.0f, 0.5f};
        s->emtEmitGap = 0.1f;
        s->emtPrtEmit = 3;
        s->emtPrtEmitVar = 2;
        s->prtInitVel = 3.0f;
        s->prtInitVelVar = 0.5f;
        s->prtLife = 0.4f;
        s->prtLifeVar = 0.1f;
        s->prtInitDir = {0.0f, 1.0f, 0.0f};
        s->prtInitDirVar = {0.3f, 0.0f, 0.3f};
        *color = {{255, 160, 32, 255}, {0, 40, 0, 0}, {255, 0, 0, 0}, {0, 0, 0, 0}};
        *size = {{0.4f, 0.4f}, {0.1f, 0.1f}, {1.2f, 1.2f}, {0.0f, 0.0f}};
        tank->srcBlend = 5;  // source alpha, add: the game's "5 and 2"
        tank->dstBlend = 2;
        frame = RwFrameCreate();
        const RwV3d at = {1.0f, 0.0f, 0.0f};
        RwFrameTranslate(frame, &at, rwCOMBINEREPLACE);
        RpAtomicSetFrame(atomic, frame);
        return true;
    }
    RpPrtStdEmitterPTank *Binding() { return static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(emitter, 6)); }
    RpPrtStdEmitterStandard *Standard()
    {
        return static_cast<RpPrtStdEmitterStandard *>(RpPrtStdEmitterGetProperty(emitter, 1));
    }
    void Destroy()
    {
        if (atomic != nullptr) {
            RpAtomicSetFrame(atomic, nullptr);
            RpAtomicDestroy(atomic);
        }
        if (frame != nullptr) {
            RwFrameDestroy(frame);
        }
        RpPrtStdParticleClassDestroy(prtClass);
        RpPrtStdEmitterClassDestroy(emtClass);
    }
};

// The emitter's clock and the tank's contents, one particle a line.
std::string Describe(GameEmitter &g)
{
    std::ostringstream out;
    char line[256];
    RpPrtStdEmitterStandard *s = g.Standard();
    RpPrtStdEmitterPTank *b = g.Binding();
    std::snprintf(line, sizeof line, "time %.5f next %.5f seed %u active %d written %d radius %.5f\n", s->currTime,
                  s->emtEmitTime, s->seed, g.emitter->prtActive, b->numPrt, g.atomic->boundingSphere.radius);
    out << line;
    for (RwInt32 i = 0; i < b->numPrt; ++i) {
        RwV3d p;
        RwRGBA c;
        RwV2d size;
        std::memcpy(&p, b->dataInPtrs[rpPTANKCLUSTERPOSITION] + i * b->dataStride[rpPTANKCLUSTERPOSITION], sizeof p);
        std::memcpy(&c, b->dataInPtrs[rpPTANKCLUSTERCOLOR] + i * b->dataStride[rpPTANKCLUSTERCOLOR], sizeof c);
        std::memcpy(&size, b->dataInPtrs[rpPTANKCLUSTERSIZE] + i * b->dataStride[rpPTANKCLUSTERSIZE], sizeof size);
        std::snprintf(line, sizeof line, "%2d pos %.4f %.4f %.4f rgba %d %d %d %d size %.4f %.4f\n", i, p.x, p.y, p.z,
                      c.red, c.green, c.blue, c.alpha, size.x, size.y);
        out << line;
    }
    return out.str();
}

std::string ReferenceText(const std::string &name, const std::string &actual)
{
    const std::string path = std::string(RW_TEST_SOURCE_DIR) + "/tests/rwsdk/plugin/prtstd/reference/" + name;
    const char *update = std::getenv("RW_UPDATE_REFERENCES");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        std::ofstream(path) << actual;
        return actual;
    }
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(PrtStdTest, ClassesAreSharedByFlags)
{
    RpPrtStdEmitterClass *a = RpPrtStdEmitterClassCreate(0x33);
    RpPrtStdEmitterClass *b = RpPrtStdEmitterClassCreate(0x33);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->refCount, 2);
    EXPECT_TRUE(RpPrtStdEmitterClassDestroy(b));
    EXPECT_EQ(a->refCount, 1);
    EXPECT_EQ(RpPrtStdPropertyTableGetOffset(a->propTab, 3), -1);
    EXPECT_EQ(RpPrtStdPropertyTableGetOffset(a->propTab, 0), 0);
    EXPECT_EQ(RpPrtStdPropertyTableGetOffset(a->propTab, 1), static_cast<RwInt32>(sizeof(RpPrtStdEmitter)));
    // The game's two tables share their id; each class keeps its own table.
    RpPrtStdParticleClass *p = RpPrtStdParticleClassCreate(0x67);
    EXPECT_NE(p->propTab, a->propTab);
    EXPECT_EQ(p->propTab->id, a->propTab->id);
    RpPrtStdParticleClassDestroy(p);
    RpPrtStdEmitterClassDestroy(a);
}

TEST_F(PrtStdTest, PropertyTablesAreSharedAndRoundedAndReleased)
{
    const RwInt32 ids[3] = {0, 4, 9};
    const RwInt32 sizes[3] = {16, 8, 12};
    RpPrtStdPropertyTable *t = RpPrtStdPropTabCreate(3, ids, sizes);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(RpPrtStdPropTabCreate(3, ids, sizes), t);
    EXPECT_EQ(t->refCount, 2);
    EXPECT_EQ(t->propOffset[3], 36);
    EXPECT_EQ(t->id, ((4u * 16u) & 0xFFFFu) | (13u >> 10) | (13u << 10));
    EXPECT_EQ(RpPrtStdPropTabGet(t->id), t);
    EXPECT_EQ(RpPrtStdPropTabGetPropIndex(t, 9), 2);
    EXPECT_TRUE(RpPrtStdPropTabDestroy(t));
    EXPECT_TRUE(RpPrtStdPropTabDestroy(t));
    EXPECT_FALSE(RpPrtStdPropTabDestroy(nullptr));
}

TEST_F(PrtStdTest, GameEmitterReachesTheCheckedInStateAfterTenSteps)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    RwReal dt = 1.0f / 30.0f;
    for (int step = 0; step < 10; ++step) {
        ASSERT_EQ(RpPrtStdAtomicUpdate(g.atomic, &dt), g.atomic) << step;
    }
    const std::string state = Describe(g);
    EXPECT_EQ(state, ReferenceText("game_emitter_10_steps.txt", state));
    EXPECT_GT(g.Binding()->numPrt, 0);
    EXPECT_EQ(RpPTankAtomicGetTank(g.Binding()->pTank)->srcBlend, 5u);
    g.Destroy();
}

TEST_F(PrtStdTest, GameEmitterRendersAFrame)
{
    RwCamera *camera = MakeCamera();
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    RwReal dt = 1.0f / 30.0f;
    for (int step = 0; step < 6; ++step) {
        RpPrtStdAtomicUpdate(g.atomic, &dt);
    }
    RpAtomic *result = nullptr;
    const win::Frame frame = Render(camera, {0, 0, 0, 255}, [&] { result = RpAtomicRender(g.atomic); });
    EXPECT_EQ(result, g.atomic);
    EXPECT_TRUE(ptanktest::MatchesReference(frame, "prtstd_game_emitter"));
    g.Destroy();
    DestroyCamera(camera);
}

// Binding a tank used to overwrite the platform flags the owner chose.
TEST_F(PrtStdTest, BindingATankKeepsThePlatformFlags)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    g.Binding()->platFlags = rpPTANKD3D8FLAGSUSEPOINTSPRITES;
    RwReal dt = 0.05f;
    ASSERT_NE(RpPrtStdAtomicUpdate(g.atomic, &dt), nullptr);
    ASSERT_NE(g.Binding()->pTank, nullptr);
    EXPECT_EQ(g.Binding()->platFlags, rpPTANKD3D8FLAGSUSEPOINTSPRITES);
    g.Destroy();
}

// The owner may raise the maximum after the tank was made; emission must
// stay within the tank it has.
TEST_F(PrtStdTest, EmissionIsCappedByTheBoundTank)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build(6));
    RwReal dt = 0.05f;
    ASSERT_NE(RpPrtStdAtomicUpdate(g.atomic, &dt), nullptr);
    g.Standard()->maxPrt = 1000;
    g.Standard()->emtPrtEmit = 50;
    g.Standard()->prtLife = 100.0f;
    for (int step = 0; step < 5; ++step) {
        ASSERT_NE(RpPrtStdAtomicUpdate(g.atomic, &dt), nullptr);
        EXPECT_LE(g.emitter->prtActive, 6);
        EXPECT_LE(g.Binding()->numPrt, 6);
    }
    g.Destroy();
}

TEST_F(PrtStdTest, UpdateFailsWithoutEmittersOrWhenTheTankCannotBeMade)
{
    RpAtomic *plain = RpAtomicCreate();
    RwReal dt = 0.1f;
    EXPECT_EQ(RpPrtStdAtomicUpdate(plain, &dt), nullptr);
    RpAtomicDestroy(plain);
    GameEmitter g;
    ASSERT_TRUE(g.Build(0));  // a tank of no particles cannot be made
    EXPECT_EQ(RpPrtStdAtomicUpdate(g.atomic, &dt), nullptr);
    EXPECT_EQ(g.Binding()->pTank, nullptr);
    g.Destroy();
}

TEST_F(PrtStdTest, ClonedParticleAtomicHasItsOwnEmitters)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    RwReal dt = 0.05f;
    ASSERT_NE(RpPrtStdAtomicUpdate(g.atomic, &dt), nullptr);
    RpAtomic *clone = RpAtomicClone(g.atomic);
    ASSERT_NE(clone, nullptr);
    RpPrtStdEmitter *copy = RpPrtStdAtomicGetEmitter(clone);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, g.emitter);
    auto *b = static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(copy, 6));
    EXPECT_EQ(b->pTank, nullptr);  // made on the clone's first update
    EXPECT_EQ(b->srcBlend, 5u);
    EXPECT_EQ(static_cast<RpPrtStdEmitterStandard *>(RpPrtStdEmitterGetProperty(copy, 1))->maxPrt, 40);
    EXPECT_NE(RpPrtStdAtomicUpdate(clone, &dt), nullptr);
    EXPECT_NE(b->pTank, nullptr);
    RpAtomicDestroy(clone);
    g.Destroy();
}

std::vector<RwUInt8> WriteExtension(RpAtomic *atomic)
{
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    EXPECT_NE(RpPrtStdAtomicStreamWrite(stream, 0, atomic, 0, 0), nullptr);
    return rwtest::CloseMemoryWrite(stream);
}

RpAtomic *ReadExtension(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpAtomic *atomic = RpAtomicCreate();
    const RwStream *ok = RpPrtStdAtomicStreamRead(stream, static_cast<RwInt32>(bytes.size()), atomic, 0, 0);
    RwStreamClose(stream, &desc);
    if (ok == nullptr) {
        RpAtomicDestroy(atomic);
        return nullptr;
    }
    return atomic;
}

TEST_F(PrtStdTest, EmitterStreamRoundTrip)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    g.Standard()->prtDelta2DRotate = 0.75f;
    g.Binding()->updateFlags = 0x1234;
    const std::vector<RwUInt8> bytes = WriteExtension(g.atomic);
    EXPECT_EQ(static_cast<RwInt32>(bytes.size()), RpPrtStdAtomicStreamGetSize(g.atomic, 0, 0));
    EXPECT_EQ(bytes[3], rpPRTSTDSTREAMVERSION);
    RpAtomic *read = ReadExtension(bytes);
    ASSERT_NE(read, nullptr);
    RpPrtStdEmitter *e = RpPrtStdAtomicGetEmitter(read);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->emtClass, g.emtClass);  // the classes are shared, not duplicated
    EXPECT_EQ(e->prtClass, g.prtClass);
    EXPECT_EQ(e->flag, g.emitter->flag | rpPRTSTDEMITTERFLAGSTREAMREAD);
    EXPECT_EQ(e->prtBatchMaxPrts, 100);
    auto *s = static_cast<RpPrtStdEmitterStandard *>(RpPrtStdEmitterGetProperty(e, 1));
    EXPECT_EQ(std::memcmp(s, g.Standard(), offsetof(RpPrtStdEmitterStandard, texture)), 0);
    EXPECT_EQ(std::memcmp(RpPrtStdEmitterGetProperty(e, 2), RpPrtStdEmitterGetProperty(g.emitter, 2), 64), 0);
    EXPECT_EQ(std::memcmp(RpPrtStdEmitterGetProperty(e, 5), RpPrtStdEmitterGetProperty(g.emitter, 5), 32), 0);
    auto *b = static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(e, 6));
    EXPECT_EQ(b->updateFlags, 0x1234u);
    EXPECT_EQ(b->srcBlend, 5u);
    EXPECT_EQ(b->dstBlend, 2u);
    EXPECT_EQ(RpPrtStdGetStreamVersion(), 0u);
    // The run-time read mark stays out of the file: a round trip keeps the
    // stored flags as they were.
    EXPECT_EQ(WriteExtension(read), bytes);
    RpAtomicDestroy(read);
    g.Destroy();
}

// Version 2 streams: property 1 is 4 bytes shorter and carries no spin.
TEST_F(PrtStdTest, OlderStreamVersionIsAccepted)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    g.Standard()->prtDelta2DRotate = 0.75f;
    std::vector<RwUInt8> bytes = WriteExtension(g.atomic);
    bytes[3] = 2;
    const RwInt32 standardSize = sizeof(RpPrtStdEmitterStandard);
    const size_t particleTable = 12 + 8 + 8 * static_cast<size_t>(g.prtClass->propTab->numProp);
    const size_t emitterTable = 12 + 8 + 8 * static_cast<size_t>(g.emtClass->propTab->numProp);
    const size_t sizesAt = 4 + 20 + particleTable + 12 + 8 + 4 * static_cast<size_t>(g.emtClass->propTab->numProp);
    RwInt32 stored;
    std::memcpy(&stored, &bytes[sizesAt + 4], 4);  // the size of property 1 (the second entry)
    ASSERT_EQ(stored, standardSize);
    stored -= 4;
    std::memcpy(&bytes[sizesAt + 4], &stored, 4);
    const size_t spinAt = 4 + 20 + particleTable + emitterTable + 2 * 20 + 152;
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(spinAt), bytes.begin() + static_cast<std::ptrdiff_t>(spinAt) + 4);
    RpAtomic *read = ReadExtension(bytes);
    ASSERT_NE(read, nullptr);
    RpPrtStdEmitter *e = RpPrtStdAtomicGetEmitter(read);
    EXPECT_EQ(e->emtClass->propTab, g.emtClass->propTab);
    auto *s = static_cast<RpPrtStdEmitterStandard *>(RpPrtStdEmitterGetProperty(e, 1));
    EXPECT_EQ(s->prtDelta2DRotate, 0.0f);
    EXPECT_EQ(s->maxPrt, 40);
    EXPECT_EQ(static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(e, 6))->srcBlend, 5u);
    RpAtomicDestroy(read);
    g.Destroy();
}

TEST_F(PrtStdTest, CountsOffsetsAndSizesFromStreamsAreChecked)
{
    GameEmitter g;
    ASSERT_TRUE(g.Build());
    const std::vector<RwUInt8> good = WriteExtension(g.atomic);
    const size_t tableCountAt = 4 + 20 + 12 + 4;
    const size_t firstSizeAt = tableCountAt + 4 + 4 * static_cast<size_t>(g.prtClass->propTab->numProp);
    auto patched = [&](size_t at, RwUInt32 value) {
        std::vector<RwUInt8> bytes = good;
        std::memcpy(&bytes[at], &value, 4);
        return bytes;
    };
    EXPECT_EQ(ReadExtension(patched(0, 0x03FFFFFFu)), nullptr);       // more emitters than bytes
    EXPECT_EQ(ReadExtension(patched(4 + 12, 0)), nullptr);            // batches of no particles
    EXPECT_EQ(ReadExtension(patched(tableCountAt, 0x40000000u)), nullptr);  // a huge property count
    EXPECT_EQ(ReadExtension(patched(firstSizeAt, 0x7FFFFFFFu)), nullptr);  // an absurd property size
    EXPECT_EQ(ReadExtension(patched(firstSizeAt, 4)), nullptr);       // particle data too small to use
    std::vector<RwUInt8> truncated(good.begin(), good.begin() + 200);
    EXPECT_EQ(ReadExtension(truncated), nullptr);
    // Nothing read is left behind in the class lists.
    EXPECT_EQ(g.emtClass->refCount, 2);
    EXPECT_EQ(RpPrtStdGetStreamVersion(), 0u);
    g.Destroy();
}

}  // namespace

}  // namespace rpprtstd_test
