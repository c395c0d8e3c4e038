// Particle templates and systems on the engine's standard particles:
// exact-name lookup, pools that run dry, life and emission, the give-back
// path (twice, and after the pool is gone) and the two ways particles
// follow or stay behind their emitter.
#include <gtest/gtest.h>

#include <cstring>

#include "fx/particle_manager.h"
#include "fx_test_support.h"
#include "support/game/diagnostics_capture.h"
#include "tools/mkdata/fx_data.h"

namespace particle_test {

namespace {

class Particles : public fxtest::FxEngineTest {
protected:
    ZusDesc Quick(float lifetime)
    {
        ZusDesc d;
        d.emitRate = 100.0f;
        d.maxParticles = 50;
        d.life = 0.2f;
        d.lifetime = lifetime;
        d.velocity = {0.0f, 2.0f, 0.0f};
        return d;
    }
    // `n` updates of 16 ms.
    void Steps(int n)
    {
        for (int i = 0; i < n; ++i) {
            manager.Update(0.016f);
        }
    }
    void TearDown() override
    {
        manager.ReleaseAll();
        fxtest::FxEngineTest::TearDown();
    }
    CSParticleManager manager;
};

TEST_F(Particles, NamesMatchExactlyAndMissingFilesAreLeftOut)
{
    Write("RESOURCE/PARTICLE/EFFECT.PSS", "KindNum:2\nPrtSysKind:3400400.zus,2\nPrtSysKind:missing.zus,1\n");
    Write("RESOURCE/PARTICLE/3400400.zus", FormatZus(Quick(-1.0f)));
    ASSERT_TRUE(manager.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    EXPECT_EQ(manager.TemplateCount(), 1);
    EXPECT_EQ(manager.CreateSystem("3400400.ZUS"), nullptr);
    EXPECT_EQ(manager.CreateSystem("missing.zus"), nullptr);
    CSParticleSystem *a = manager.CreateSystem("3400400.zus");
    CSParticleSystem *b = manager.CreateSystem("3400400.zus");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(manager.CreateSystem("3400400.zus"), nullptr);  // the pool is dry; the caller goes on
    EXPECT_EQ(manager.GetParticleTotal(), 2 * 50);
    a->Release();
    EXPECT_EQ(manager.CreateSystem("3400400.zus"), a);
    EXPECT_FALSE(manager.LoadSet("\\RESOURCE\\PARTICLE\\NONE.PSS", "\\RESOURCE\\PARTICLE", false));
    // A name loaded already, or none, makes no second template.
    EXPECT_FALSE(manager.AddTemplate("3400400.zus", Quick(0.5f), 3, false));
    EXPECT_FALSE(manager.AddTemplate("", Quick(0.5f), 3, false));
    EXPECT_FALSE(manager.AddTemplate(nullptr, Quick(0.5f), 3, false));
    EXPECT_EQ(manager.TemplateCount(), 1);
    EXPECT_EQ(manager.CreateSystem("3400400.zus"), nullptr);  // still its own two, both out
}

TEST_F(Particles, AliveUntilEmissionEndedAndTheLastParticleDied)
{
    ASSERT_TRUE(manager.AddTemplate("timed", Quick(0.1f), 1, false));
    CSParticleSystem *s = manager.CreateSystem("timed");
    ASSERT_NE(s, nullptr);
    float t = 0.0f;
    bool sawStoppedButAlive = false;
    while (t < 1.0f && s->IsAlive()) {
        manager.Update(0.016f);
        t += 0.016f;
        if (s->Lifetime() == -1.0f && s->ParticleCount() > 0) {
            sawStoppedButAlive = true;
            EXPECT_TRUE(s->IsAlive());
        }
    }
    EXPECT_TRUE(sawStoppedButAlive);
    EXPECT_FALSE(s->IsAlive());
    EXPECT_EQ(s->ParticleCount(), 0);
    EXPECT_GT(t, 0.1f + 0.2f - 0.02f);  // emission, then the last particles' life
    EXPECT_LT(t, 0.1f + 0.2f + 0.05f);
}

// Emission ends on the very step its time runs out: a quarter of a second
// of it in two eighth-second steps puts out the first step's particles only.
TEST_F(Particles, EmissionEndsOnTheStepItsTimeRunsOut)
{
    ZusDesc quarter = Quick(0.25f);
    quarter.life = 1.0f;
    ASSERT_TRUE(manager.AddTemplate("quarter", quarter, 1, false));
    CSParticleSystem *s = manager.CreateSystem("quarter");
    ASSERT_NE(s, nullptr);
    manager.Update(0.125f);
    EXPECT_TRUE(s->IsEmitting());
    EXPECT_EQ(s->ParticleCount(), 12);  // 100 a second for an eighth of a second
    manager.Update(0.125f);
    EXPECT_FALSE(s->IsEmitting());
    EXPECT_EQ(s->Lifetime(), -1.0f);
    EXPECT_EQ(s->ParticleCount(), 12);
}

// A template that emits for no time puts out no particle at all and the
// system is over at once (it does not spray on until stopped).
TEST_F(Particles, NoTimeOfEmissionShowsNothing)
{
    ASSERT_TRUE(manager.AddTemplate("none", Quick(0.0f), 1, false));
    CSParticleSystem *s = manager.CreateSystem("none");
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < 30; ++i) {
        manager.Update(0.016f);
        EXPECT_EQ(s->ParticleCount(), 0) << i;
    }
    EXPECT_FALSE(s->IsAlive());
}

TEST_F(Particles, EndlessSystemsLiveUntilStopped)
{
    ASSERT_TRUE(manager.AddTemplate("endless", Quick(-1.0f), 1, false));
    CSParticleSystem *s = manager.CreateSystem("endless");
    // A system running normally fills no diagnostic line.
    EXPECT_EQ(gametest::Said(true,
                             [&] {
                                 for (int i = 0; i < 60; ++i) {
                                     manager.Update(0.016f);
                                 }
                             }),
              "");
    EXPECT_TRUE(s->IsAlive());
    EXPECT_GT(s->ParticleCount(), 10);
    s->StopEmit();
    for (int i = 0; i < 30; ++i) {
        manager.Update(0.016f);
    }
    EXPECT_FALSE(s->IsAlive());
    s->SetEmitting(true, 0.0f);
    manager.Update(0.016f);
    EXPECT_TRUE(s->IsAlive());
}

TEST_F(Particles, ReleaseRestoresTheEmitterAndEmptiesTheSystem)
{
    ASSERT_TRUE(manager.AddTemplate("one", Quick(-1.0f), 1, false));
    CSParticleSystem *s = manager.CreateSystem("one");
    s->SetEmitSize(5.0f, 6.0f, 7.0f);
    s->displayMode[1] = kPrtFollowEmitter;
    for (int i = 0; i < 10; ++i) {
        manager.Update(0.016f);
    }
    s->StopEmit();
    s->Release();
    EXPECT_FALSE(s->IsTaken());
    EXPECT_EQ(s->ParticleCount(), 0);
    CSParticleSystem *again = manager.CreateSystem("one");
    ASSERT_EQ(again, s);
    EXPECT_TRUE(again->IsEmitting());
    EXPECT_EQ(again->displayMode[1], kPrtStayWhereEmitted);
    auto *standard = static_cast<RpPrtStdEmitterStandard *>(
        RpPrtStdEmitterGetProperty(RpPrtStdAtomicGetEmitter(again->Atomic()), 1));
    EXPECT_EQ(standard->emtSize.x, 0.0f);
    EXPECT_EQ(standard->maxPrt, 50);
}

TEST_F(Particles, GivenBackTwiceIsHarmless)
{
    ASSERT_TRUE(manager.AddTemplate("two", Quick(-1.0f), 2, false));
    CSParticleSystem *a = manager.CreateSystem("two");
    CSParticleSystem *b = manager.CreateSystem("two");
    ASSERT_TRUE(a->IsEmitting());
    a->Release();
    EXPECT_FALSE(a->IsEmitting());  // a stale holder sees it stopped
    a->SetEmitting(true, 50.0f);    // and cannot start it again
    EXPECT_FALSE(a->IsEmitting());
    a->Release();  // nothing: it is not out
    // Nor can it move it, by a frame or a place.
    const RwV3d kept = a->WorldMatrix().pos;
    RwFrame *hand = RwFrameCreate();
    const RwV3d away = {5.0f, 6.0f, 7.0f};
    RwFrameTranslate(hand, &away, rwCOMBINEREPLACE);
    a->AttachToFrame(hand);
    const RwMatrix there = fxtest::Translation(away);
    a->SetMatrix(&there);
    EXPECT_EQ(a->WorldMatrix().pos.x, kept.x);
    EXPECT_EQ(a->WorldMatrix().pos.y, kept.y);
    RwFrameDestroy(hand);
    EXPECT_EQ(manager.SystemsOut(), 1);
    EXPECT_TRUE(b->IsTaken());
    // The copy given back longest ago comes out first, so the stale holder
    // of `a` does not meet a new holder at once.
    b->Release();
    EXPECT_EQ(manager.CreateSystem("two"), a);
    EXPECT_EQ(manager.CreateSystem("two"), b);
}

// A holder that lets go of a system (a spark it started and did not keep,
// a stream it stopped) hands it to the manager, which gives it back once
// its particles are gone: the pool never runs dry from forgotten systems.
TEST_F(Particles, ForgottenSystemsGoBackToTheirPoolOnceDead)
{
    ASSERT_TRUE(manager.AddTemplate("spark", Quick(0.1f), 1, false));
    ASSERT_TRUE(manager.AddTemplate("stream", Quick(-1.0f), 1, false));
    for (int round = 0; round < 3; ++round) {
        CSParticleSystem *spark = manager.CreateSystem("spark");
        ASSERT_NE(spark, nullptr) << round;  // the one copy came back each time
        CSParticleManager::GiveBackWhenDead(spark);
        manager.Update(0.016f);
        EXPECT_TRUE(spark->IsTaken());  // still showing its particles
        EXPECT_TRUE(spark->IsEmitting());
        for (int i = 0; i < 40 && spark->IsTaken(); ++i) {
            manager.Update(0.016f);
        }
        EXPECT_FALSE(spark->IsTaken()) << round;
        EXPECT_FALSE(spark->GivenBackWhenDead());
    }
    CSParticleSystem *stream = manager.CreateSystem("stream");
    stream->StopEmit();
    CSParticleManager::GiveBackWhenDead(stream);
    for (int i = 0; i < 40; ++i) {
        manager.Update(0.016f);
    }
    EXPECT_FALSE(stream->IsTaken());
    EXPECT_EQ(manager.CreateSystem("stream"), stream);
    // An endless system given back while still emitting stays out until the
    // stage lets go of every forgotten system at once.
    CSParticleManager::GiveBackWhenDead(stream);
    for (int i = 0; i < 40; ++i) {
        manager.Update(0.016f);
    }
    EXPECT_TRUE(stream->IsTaken());
    manager.ReleaseGivenBack();
    EXPECT_FALSE(stream->IsTaken());
    CSParticleManager::GiveBackWhenDead(nullptr);
    CSParticleManager::GiveBackWhenDead(stream);  // not out: nothing
    EXPECT_FALSE(stream->GivenBackWhenDead());
}

// A system switched off after its emission ran out by itself still goes
// back to its pool once its last particle is gone.
TEST_F(Particles, SwitchedOffAfterItsTimeItGoesBackOnceDead)
{
    ASSERT_TRUE(manager.AddTemplate("timed", Quick(0.1f), 1, false));
    CSParticleSystem *s = manager.CreateSystem("timed");
    ASSERT_NE(s, nullptr);
    Steps(10);
    ASSERT_EQ(s->Lifetime(), -1.0f);  // its emission is over
    ASSERT_GT(s->ParticleCount(), 0);
    s->SetEmitting(false, 0.0f);
    CSParticleManager::GiveBackWhenDead(s);
    for (int i = 0; i < 60 && s->IsTaken(); ++i) {
        manager.Update(0.016f);
    }
    EXPECT_FALSE(s->IsTaken());
    EXPECT_FALSE(s->IsAlive());
}

TEST_F(Particles, UsedAfterItsPoolIsReleasedItDoesNothing)
{
    ASSERT_TRUE(manager.AddTemplate("stage", Quick(-1.0f), 1, true));
    ASSERT_TRUE(manager.AddTemplate("game", Quick(-1.0f), 1, false));
    CSParticleSystem *held = manager.CreateSystem("stage");
    manager.Update(0.016f);
    CSParticleManager::GiveBackWhenDead(held);
    ASSERT_TRUE(held->IsEmitting());
    manager.ReleaseStageTemplates();
    EXPECT_EQ(manager.FindTemplate("stage"), nullptr);
    EXPECT_NE(manager.FindTemplate("game"), nullptr);
    EXPECT_TRUE(held->IsRetired());
    EXPECT_FALSE(held->IsTaken());
    EXPECT_FALSE(held->IsAlive());
    EXPECT_FALSE(held->IsEmitting());  // its holder sees it stopped
    EXPECT_FALSE(held->GivenBackWhenDead());
    RwMatrix m = fxtest::Translation({1.0f, 2.0f, 3.0f});
    held->SetMatrix(&m);
    held->SetEmitting(true, 50.0f);
    held->StopEmit();
    held->Update(0.016f);
    held->Release();
    held->Release();
    EXPECT_EQ(manager.SystemsOut(), 0);
    EXPECT_EQ(manager.CreateSystem("stage"), nullptr);
}

TEST_F(Particles, BeamParticlesFollowTheEmitterWhileSparksStay)
{
    ASSERT_TRUE(manager.AddTemplate("beam", Quick(-1.0f), 1, false));
    ASSERT_TRUE(manager.AddTemplate("spark", Quick(-1.0f), 1, false));
    CSParticleSystem *beam = manager.CreateSystem("beam");
    CSParticleSystem *spark = manager.CreateSystem("spark");
    beam->displayMode[1] = kPrtFollowEmitter;
    spark->displayMode[1] = kPrtStayWhereEmitted;
    RwFrame *hand = RwFrameCreate();
    RwV3d start = {0.0f, 0.0f, 0.0f};
    RwFrameTranslate(hand, &start, rwCOMBINEREPLACE);
    beam->AttachToFrame(hand);
    spark->AttachToFrame(hand);
    for (int i = 0; i < 5; ++i) {
        manager.Update(0.016f);
    }
    beam->StopEmit();
    spark->StopEmit();
    RwV3d beamBefore;
    RwV3d sparkBefore;
    ASSERT_TRUE(beam->ParticlePosition(0, &beamBefore));
    ASSERT_TRUE(spark->ParticlePosition(0, &sparkBefore));
    // Only particles that are there have a place.
    RwV3d none = {-7.0f, -7.0f, -7.0f};
    EXPECT_FALSE(beam->ParticlePosition(-1, &none));
    EXPECT_FALSE(beam->ParticlePosition(1000000, &none));
    EXPECT_EQ(none.x, -7.0f);
    RwV3d moved = {10.0f, 0.0f, 0.0f};
    RwFrameTranslate(hand, &moved, rwCOMBINEREPLACE);
    manager.Update(0.001f);
    RwV3d beamAfter;
    RwV3d sparkAfter;
    ASSERT_TRUE(beam->ParticlePosition(0, &beamAfter));
    ASSERT_TRUE(spark->ParticlePosition(0, &sparkAfter));
    EXPECT_NEAR(beamAfter.x - beamBefore.x, 10.0f, 0.01f);
    EXPECT_NEAR(sparkAfter.x - sparkBefore.x, 0.0f, 0.01f);
    EXPECT_NEAR(beam->WorldMatrix().pos.x, 10.0f, 1e-5f);
    // The drawn tank of the beam is placed at the emitter too.
    auto *binding = static_cast<RpPrtStdEmitterPTank *>(
        RpPrtStdEmitterGetProperty(RpPrtStdAtomicGetEmitter(beam->Atomic()), 6));
    ASSERT_NE(binding->pTank, nullptr);
    EXPECT_NEAR(RwFrameGetLTM(RpAtomicGetFrame(binding->pTank))->pos.x, 10.0f, 1e-5f);
    beam->Release();
    spark->Release();
    RwFrameDestroy(hand);
}

// Put on a turned hand: a following system goes where the hand goes,
// keeping its own turn unless asked to take the hand's; one placed once
// stays where the hand was, turned with it when asked.
TEST_F(Particles, SystemsPutOnAFrameFollowItOrStayAndTakeItsTurnWhenAsked)
{
    ASSERT_TRUE(manager.AddTemplate("put", Quick(-1.0f), 4, false));
    RwFrame *hand = RwFrameCreate();
    const RwV3d up = {0.0f, 1.0f, 0.0f};
    const RwV3d at = {5.0f, 0.0f, 0.0f};
    RwFrameRotate(hand, &up, 90.0f, rwCOMBINEREPLACE);
    RwFrameTranslate(hand, &at, rwCOMBINEPOSTCONCAT);
    CSParticleSystem *follows = manager.CreateSystem("put");
    CSParticleSystem *followsTurned = manager.CreateSystem("put");
    CSParticleSystem *stays = manager.CreateSystem("put");
    CSParticleSystem *staysTurned = manager.CreateSystem("put");
    PlaceSystemOnFrame(follows, hand, true, false);
    PlaceSystemOnFrame(followsTurned, hand, true, true);
    PlaceSystemOnFrame(stays, hand, false, false);
    PlaceSystemOnFrame(staysTurned, hand, false, true);
    PlaceSystemOnFrame(nullptr, hand, true, true);  // nothing
    const RwV3d moved = {0.0f, 0.0f, 7.0f};
    RwFrameTranslate(hand, &moved, rwCOMBINEPOSTCONCAT);
    manager.Update(0.016f);
    for (const CSParticleSystem *s : {follows, followsTurned}) {
        EXPECT_NEAR(s->WorldMatrix().pos.x, 5.0f, 1e-4f);
        EXPECT_NEAR(s->WorldMatrix().pos.z, 7.0f, 1e-4f);
    }
    for (const CSParticleSystem *s : {stays, staysTurned}) {
        EXPECT_NEAR(s->WorldMatrix().pos.x, 5.0f, 1e-4f);
        EXPECT_NEAR(s->WorldMatrix().pos.z, 0.0f, 1e-4f);
    }
    // The hand's turn takes x to -z; a system that keeps its own has x.
    EXPECT_NEAR(follows->WorldMatrix().right.x, 1.0f, 1e-4f);
    EXPECT_NEAR(stays->WorldMatrix().right.x, 1.0f, 1e-4f);
    EXPECT_NEAR(followsTurned->WorldMatrix().right.z, -1.0f, 1e-4f);
    EXPECT_NEAR(staysTurned->WorldMatrix().right.z, -1.0f, 1e-4f);
    for (CSParticleSystem *s : {follows, followsTurned, stays, staysTurned}) {
        s->Release();
    }
    RwFrameDestroy(hand);
}

TEST_F(Particles, DrawsWithinACameraUpdate)
{
    ASSERT_TRUE(manager.AddTemplate("draw", Quick(-1.0f), 1, false));
    CSParticleSystem *s = manager.CreateSystem("draw");
    RwMatrix at = fxtest::Translation({0.0f, 0.0f, 10.0f});
    s->SetMatrix(&at);
    for (int i = 0; i < 10; ++i) {
        manager.Update(0.016f);
    }
    RwCamera *camera = fxtest::MakeCamera(64, 48, {0.0f, 0.0f, 0.0f});
    RwRGBA black = {0, 0, 0, 255};
    RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    manager.Render();
    RwCameraEndUpdate(camera);
    fxtest::DestroyCamera(camera);
    s->Release();
}

// The first display-mode word: 5 draws after the world, tested against the
// depth of what stands before it but leaving no depth of its own, so what
// is drawn later behind the particles still shows through them; other
// values write depth like any model.
TEST_F(Particles, AfterTheWorldParticlesTestDepthButWriteNone)
{
    ZusDesc glow = Quick(-1.0f);
    glow.life = 10.0f;
    glow.velocity = {0.0f, 0.0f, 0.0f};
    glow.sizeStart = glow.sizeEnd = 4.0f;
    glow.colourStart = glow.colourEnd = {255, 0, 0, 255};
    glow.blend = kZusBlendAlpha;
    ASSERT_TRUE(manager.AddTemplate("glow", glow, 1, false));
    CSParticleSystem *s = manager.CreateSystem("glow");
    ASSERT_NE(s, nullptr);
    s->SetPosition({0.0f, 0.0f, 10.0f});
    for (int i = 0; i < 5; ++i) {
        manager.Update(0.016f);
    }
    ASSERT_GT(s->ParticleCount(), 0);
    RpClump *behind = mkdata::BuildFxCard("none", 40.0f, {0, 0, 255, 255});
    RpClump *before = mkdata::BuildFxCard("none", 40.0f, {0, 255, 0, 255});
    ASSERT_NE(behind, nullptr);
    ASSERT_NE(before, nullptr);
    const RwV3d far = {0.0f, 0.0f, 20.0f};
    const RwV3d near = {0.0f, 0.0f, 5.0f};
    RwFrameTranslate(RpClumpGetFrame(behind), &far, rwCOMBINEREPLACE);
    RwFrameTranslate(RpClumpGetFrame(before), &near, rwCOMBINEREPLACE);
    RwCamera *camera = fxtest::MakeCamera(64, 48, {0.0f, 0.0f, 0.0f});
    // Draws `first`, then `second` (null: the particles), and answers the centre.
    auto draw = [&](RpClump *first, RpClump *second) {
        const RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(camera);
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
        first != nullptr ? static_cast<void>(RpClumpRender(first)) : manager.Render();
        second != nullptr ? static_cast<void>(RpClumpRender(second)) : manager.Render();
        RwCameraEndUpdate(camera);
        return fxtest::PixelAt(camera, 32, 24);
    };
    // Alone, the particles show red.
    const RwRGBA alone = draw(nullptr, nullptr);
    EXPECT_GT(alone.red, 200);
    // A model behind them drawn later covers them: they left no depth.
    const RwRGBA covered = draw(nullptr, behind);
    EXPECT_GT(covered.blue, 200);
    EXPECT_LT(covered.red, 50);
    // A model before them hides them: they are depth-tested.
    const RwRGBA hidden = draw(before, nullptr);
    EXPECT_GT(hidden.green, 200);
    EXPECT_LT(hidden.red, 50);
    // Another first word: the particles write depth, and hide what comes later behind.
    s->displayMode[0] = 0;
    const RwRGBA kept = draw(nullptr, behind);
    EXPECT_GT(kept.red, 200);
    EXPECT_LT(kept.blue, 50);
    s->Release();
    RpClumpDestroy(behind);
    RpClumpDestroy(before);
    fxtest::DestroyCamera(camera);
}

}  // namespace

}  // namespace particle_test
