// The effect files: each format written and read back unchanged, bad
// values kept at their defaults, the particle set's rules, and hostile
// files (binary noise, endless lines, huge counts) read without harm.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "fx/bigshot_file.h"
#include "fx/fx_clumps.h"
#include "fx/fx_package_file.h"
#include "fx/fx_text.h"
#include "fx/particle_set_file.h"
#include "fx/xdt_file.h"
#include "fx/zus_file.h"
#include "fx_test_support.h"
#include "support/game/diagnostics_capture.h"

namespace fx_files_test {

namespace {

using fxtest::TextFile;

ZusDesc SampleZus()
{
    ZusDesc d;
    std::strcpy(d.texture, "SPARK.BMP");
    d.emitRate = 123.5f;
    d.maxParticles = 300;
    d.life = 0.75f;
    d.lifetime = 2.25f;
    d.velocity = {1.0f, 2.5f, -3.0f};
    d.spread = 33.3f;
    d.gravity = {0.0f, -9.8f, 0.1f};
    d.sizeStart = 0.4f;
    d.sizeEnd = 1.7f;
    d.colourStart = {255, 128, 7, 200};
    d.colourEnd = {1, 2, 3, 0};
    d.blend = kZusBlendAlpha;
    d.emitterSize = {0.5f, 0.0f, 2.0f};
    return d;
}

TEST(ZusFile, RoundTripsEveryKey)
{
    const ZusDesc in = SampleZus();
    TextFile text(FormatZus(in), "A.ZUS");
    ZusDesc out;
    ReadZus(&text.file, &out);
    EXPECT_EQ(text.file.ProblemCount(), 0);
    EXPECT_EQ(FormatZus(out), FormatZus(in));
    EXPECT_STREQ(out.texture, "SPARK.BMP");
    EXPECT_EQ(out.emitRate, 123.5f);
    EXPECT_EQ(out.velocity.z, -3.0f);
    EXPECT_EQ(out.gravity.y, -9.8f);
    EXPECT_EQ(out.colourStart.blue, 7);
    EXPECT_EQ(out.blend, kZusBlendAlpha);
}

TEST(ZusFile, BadValuesKeepTheirDefaultsWithADiagnostic)
{
    TextFile text(
        "EmitRate: -4\nMaxParticles: 0\nLife: x\nLifetime: -0.5\nSpread: 270\nColourStart: 300, 0, 0, 0\n"
        "Blend: MULTIPLY\nEmitterSize: -1, 0, 0\nTexture: ..\\..\\X.BMP\nVelocity: 1, 2\nWhatever: 3\n");
    ZusDesc out;
    ReadZus(&text.file, &out);
    const ZusDesc defaults;
    EXPECT_EQ(text.file.ProblemCount(), 11);
    EXPECT_EQ(FormatZus(out), FormatZus(defaults));
}

// Either blend word sets the blending, whichever the template held before.
TEST(ZusFile, BlendTakesAddOrAlpha)
{
    ZusDesc out;
    out.blend = kZusBlendAlpha;
    TextFile add("Blend: ADD\n");
    ReadZus(&add.file, &out);
    EXPECT_EQ(add.file.ProblemCount(), 0);
    EXPECT_EQ(out.blend, kZusBlendAdd);
    TextFile alpha("Blend: ALPHA\n");
    ReadZus(&alpha.file, &out);
    EXPECT_EQ(alpha.file.ProblemCount(), 0);
    EXPECT_EQ(out.blend, kZusBlendAlpha);
}

TEST(ZusFile, LifetimeTakesMinusOneOrATime)
{
    TextFile text("Lifetime: -1\n");
    ZusDesc out;
    out.lifetime = 3.0f;
    ReadZus(&text.file, &out);
    EXPECT_EQ(out.lifetime, -1.0f);
}

TEST(ParticleSetFile, ThreeKindsUnderKindNumTwoGiveTwo)
{
    TextFile text("KindNum:2\nPrtSysKind:a.zus,3\nPrtSysKind:b.zus,1\nPrtSysKind:c.zus,4\n");
    ParticleSet set;
    ReadParticleSet(&text.file, &set);
    ASSERT_EQ(set.kinds.size(), 2u);
    EXPECT_STREQ(set.kinds[0].name, "a.zus");
    EXPECT_EQ(set.kinds[0].count, 3);
    EXPECT_STREQ(set.kinds[1].name, "b.zus");
}

TEST(ParticleSetFile, FollowsTheLineRules)
{
    const std::string longName(200, 'n');
    TextFile text("PrtSysKind:early.zus,1\n"       // before KindNum: skipped
                  "KindNum: 4\n"
                  "KindNum: 1\n"                   // only the first counts
                  "PrtSysKind: spaced.zus , 2\n"
                  "PrtSysKind:nocomma.zus 5\n"     // no comma: skipped
                  "PrtSysKind:" + longName + ",1\n"
                  "PrtSysKind:bad.zus,lots\n"      // a count that is no number: 0, as atol reads it
                  "PrtSysKind: , 3\n"               // no name: skipped
                  "GroupNum: 1\n"
                  "PrtSysGroup: fire, fire_l.zus, fire_m.zus\n"
                  "Rubbish line\n");
    ParticleSet set;
    ReadParticleSet(&text.file, &set);
    EXPECT_EQ(set.announced, 4);
    ASSERT_EQ(set.kinds.size(), 3u);
    EXPECT_STREQ(set.kinds[0].name, "spaced.zus");
    EXPECT_EQ(set.kinds[0].count, 2);
    EXPECT_EQ(std::strlen(set.kinds[1].name), 127u);
    EXPECT_EQ(set.kinds[2].count, 0);
    EXPECT_EQ(set.groupNum, 1);
    ASSERT_EQ(set.groups.size(), 1u);
    EXPECT_EQ(set.groups[0].name, "fire");
    ASSERT_EQ(set.groups[0].kinds.size(), 2u);
    EXPECT_EQ(set.groups[0].kinds[1], "fire_m.zus");
}

// A kind before KindNum is dropped with one line saying so, and does not
// take a place from the kinds the count announces later.
TEST(ParticleSetFile, AKindBeforeKindNumIsReportedOnce)
{
    TextFile text("PrtSysKind:early.zus,1\nKindNum:1\nPrtSysKind:late.zus,2\n", "EARLY.PSS");
    ParticleSet set;
    gametest::CaptureDiagnostics();
    ReadParticleSet(&text.file, &set);
    const std::string said = gametest::TakeDiagnostics();
    EXPECT_EQ(text.file.ProblemCount(), 1);
    EXPECT_NE(said.find("EARLY.PSS:1:"), std::string::npos) << said;
    EXPECT_NE(said.find("a kind before KindNum is skipped"), std::string::npos) << said;
    EXPECT_EQ(said.find("more kinds than KindNum"), std::string::npos) << said;
    ASSERT_EQ(set.kinds.size(), 1u);
    EXPECT_STREQ(set.kinds[0].name, "late.zus");
    EXPECT_EQ(set.kinds[0].count, 2);
}

// Every number of the file as atol reads it, each value that is not a
// plain number reported; counts held to what the game can make.
TEST(ParticleSetFile, NumbersReadAsAtolReadsThem)
{
    const struct {
        const char *count;
        int32_t read;
        int problems;
    } rows[] = {
        {"3", 3, 0},     {" 7 ", 7, 0},    {"many", 0, 1}, {"", 0, 1},     {"12x", 12, 1},
        {"2.9", 2, 1},   {"-4", 0, 1},     {"+5", 5, 0},   {"300", 256, 1}, {"99999999999", 256, 2},
    };
    for (const auto &row : rows) {
        TextFile text(std::string("KindNum:1\nPrtSysKind:a.zus,") + row.count + "\n");
        ParticleSet set;
        ReadParticleSet(&text.file, &set);
        ASSERT_EQ(set.kinds.size(), 1u) << row.count;
        EXPECT_EQ(set.kinds[0].count, row.read) << row.count;
        EXPECT_EQ(text.file.ProblemCount(), row.problems) << row.count;
    }
    const struct {
        const char *line;
        int32_t announced;
        int32_t groups;
    } heads[] = {
        {"KindNum: many\nGroupNum: few\n", 0, 0},
        {"KindNum: 2kinds\nGroupNum: 3groups\n", 2, 3},
        {"KindNum: -1\nGroupNum: -1\n", 0, 0},
    };
    for (const auto &head : heads) {
        TextFile text(head.line);
        ParticleSet set;
        ReadParticleSet(&text.file, &set);
        EXPECT_EQ(set.announced, head.announced) << head.line;
        EXPECT_EQ(set.groupNum, head.groups) << head.line;
        EXPECT_GE(text.file.ProblemCount(), 2) << head.line;
    }
}

TEST(ParticleSetFile, KindNumOutOfRangeCountsAsZero)
{
    TextFile most("KindNum: 1024\nGroupNum: 1024\n");
    ParticleSet full;
    ReadParticleSet(&most.file, &full);
    EXPECT_EQ(full.announced, kMaxParticleKinds);  // the most a set may hold
    EXPECT_EQ(full.groupNum, kMaxParticleGroups);
    EXPECT_EQ(most.file.ProblemCount(), 0);
    TextFile text("KindNum: 1025\nPrtSysKind:a.zus,1\n");
    ParticleSet set;
    ReadParticleSet(&text.file, &set);
    EXPECT_EQ(set.announced, 0);
    EXPECT_TRUE(set.kinds.empty());
}

TEST(ParticleSetFile, RoundTripsWithGroups)
{
    ParticleSet in;
    in.announced = 2;
    in.kinds.resize(2);
    std::strcpy(in.kinds[0].name, "3400400.zus");
    in.kinds[0].count = 4;
    std::strcpy(in.kinds[1].name, "RAIN_S.ZUS");
    in.kinds[1].count = 1;
    in.groupNum = 1;
    in.groups.push_back({"rain", {"RAIN_S.ZUS", "3400400.zus"}});
    const std::string text = FormatParticleSet(in);
    EXPECT_EQ(text.substr(0, 10), "KindNum:2\n");
    TextFile file(text);
    ParticleSet out;
    ReadParticleSet(&file.file, &out);
    EXPECT_EQ(FormatParticleSet(out), text);
}

// A group naming many long kinds makes a line of over 512 characters; it is
// written whole.
TEST(ParticleSetFile, ALongGroupLineKeepsEveryKind)
{
    ParticleSet in;
    in.groupNum = 1;
    ParticleGroup group;
    group.name = "G";
    for (char k = 'a'; k < 'a' + 8; ++k) {
        group.kinds.push_back(std::string(100, k));
    }
    in.groups.push_back(group);
    const std::string text = FormatParticleSet(in);
    TextFile file(text);
    ParticleSet out;
    ReadParticleSet(&file.file, &out);
    ASSERT_EQ(out.groups.size(), 1u);
    EXPECT_EQ(out.groups[0].kinds, group.kinds);
}

// Groups past the most the game holds are left out, each with a line.
TEST(ParticleSetFile, GroupsPastTheLastAreSkipped)
{
    std::string text;
    for (int32_t i = 0; i <= kMaxParticleGroups; ++i) {
        text += "PrtSysGroup: g" + std::to_string(i) + ", a.zus\n";
    }
    TextFile file(text);
    ParticleSet set;
    gametest::CaptureDiagnostics();
    ReadParticleSet(&file.file, &set);
    const std::string said = gametest::TakeDiagnostics();
    ASSERT_EQ(set.groups.size(), static_cast<size_t>(kMaxParticleGroups));
    EXPECT_EQ(set.groups.back().name, "g" + std::to_string(kMaxParticleGroups - 1));
    EXPECT_EQ(file.file.ProblemCount(), 1);
    EXPECT_NE(said.find("more than 1024 groups; skipped"), std::string::npos) << said;
}

TEST(XdtFile, RoundTripsAndCountsItsCycle)
{
    XdtDesc in;
    std::strcpy(in.model, "3406000.DFF");
    in.frames.resize(3);
    std::strcpy(in.frames[0].texture, "A");
    in.frames[0].ms = 100;
    std::strcpy(in.frames[1].texture, "B.BMP");
    in.frames[1].ms = 50;
    std::strcpy(in.frames[2].texture, "C");
    in.frames[2].ms = 25;
    in.scrollU = 0.5f;
    in.scrollV = -0.25f;
    in.playCount = 2;
    TextFile file(FormatXdt(in));
    XdtDesc out;
    ASSERT_TRUE(ReadXdt(&file.file, &out));
    EXPECT_EQ(FormatXdt(out), FormatXdt(in));
    EXPECT_EQ(out.CycleMs(), 175);
}

TEST(XdtFile, BadFramesAreLeftOutAndAModelIsNeeded)
{
    TextFile file("FrameNum: 3\nFrame: A, 0\nFrame: B\nFrame: C, 40\nFrame: D, 40\nFrame: E, 40\n");
    XdtDesc out;
    EXPECT_FALSE(ReadXdt(&file.file, &out));  // no model
    ASSERT_EQ(out.frames.size(), 3u);         // A and B refused, C D E taken, F beyond
    EXPECT_STREQ(out.frames[0].texture, "C");
    // A frame before the count, a second count and frames past the first
    // count are each left out with a line; a count out of range takes none.
    TextFile ordered("Model: M.DFF\nFrame: X, 10\nFrameNum: 2\nFrameNum: 5\nFrame: A, 10\nFrame: B, 10\n"
                     "Frame: C, 10\n");
    gametest::CaptureDiagnostics();
    EXPECT_TRUE(ReadXdt(&ordered.file, &out));
    gametest::TakeDiagnostics();
    EXPECT_EQ(ordered.file.ProblemCount(), 3);
    ASSERT_EQ(out.frames.size(), 2u);
    EXPECT_STREQ(out.frames[1].texture, "B");
    TextFile tooMany("Model: M.DFF\nFrameNum: 99999\nFrame: A, 10\n");
    gametest::CaptureDiagnostics();
    ReadXdt(&tooMany.file, &out);
    gametest::TakeDiagnostics();
    EXPECT_TRUE(out.frames.empty());
}

TEST(FxPackageFiles, FxmAndLightRoundTrip)
{
    FxmDesc fxm;
    fxm.packageNum = 48;
    FxLightDesc light;
    light.colour = {255, 140, 40, 255};
    light.radius = 12.5f;
    const std::string root = apptest::ScratchFolder("fxfiles");
    SetDataRootPath(root.c_str());
    apptest::WriteText(root + "/FXM.FXM", FormatFxm(fxm));
    apptest::WriteText(root + "/L.lit", FormatLight(light));
    FxmDesc fxmOut;
    FxLightDesc lightOut;
    ASSERT_TRUE(LoadFxmFile("\\FXM.FXM", &fxmOut));
    ASSERT_TRUE(LoadLightFile("\\L.lit", &lightOut));
    EXPECT_EQ(fxmOut.packageNum, 48);
    EXPECT_EQ(FormatLight(lightOut), FormatLight(light));
    EXPECT_FALSE(LoadFxmFile("\\NONE.FXM", &fxmOut));
    EXPECT_EQ(fxmOut.packageNum, kDefaultPackageNum);
    // From none (a stage that burns nothing) to the most; beyond, the default.
    for (const int32_t count : {0, kMaxPackageNum, kMaxPackageNum + 1, -1}) {
        apptest::WriteText(root + "/N.FXM", "PackageNum: " + std::to_string(count) + "\n");
        ASSERT_TRUE(LoadFxmFile("\\N.FXM", &fxmOut));
        EXPECT_EQ(fxmOut.packageNum, count >= 0 && count <= kMaxPackageNum ? count : kDefaultPackageNum) << count;
    }
    SetDataRootPath("");
}

TEST(BigShotFile, RoundTripsAndKeepsDefaultsForBadValues)
{
    BigShotDesc in;
    std::strcpy(in.particle, "3209000.ZUS");
    std::strcpy(in.model, "3209000.DFF");
    in.life = 1.5f;
    in.speed = 80.0f;
    in.radius = 12.0f;
    in.damage = 45;
    in.attribute = 1 | 64;
    const std::string root = apptest::ScratchFolder("bigshot");
    SetDataRootPath(root.c_str());
    apptest::WriteText(root + "/A.BSH", FormatBigShot(in));
    apptest::WriteText(root + "/B.BSH", "Damage: -5\nRadius: wide\nLife: 2\n");
    BigShotDesc out;
    ASSERT_TRUE(LoadBigShotFile("\\A.BSH", &out));
    EXPECT_EQ(FormatBigShot(out), FormatBigShot(in));
    BigShotDesc bad;
    ASSERT_TRUE(LoadBigShotFile("\\B.BSH", &bad));
    EXPECT_EQ(bad.damage, BigShotDesc{}.damage);
    EXPECT_EQ(bad.radius, BigShotDesc{}.radius);
    EXPECT_EQ(bad.life, 2.0f);
    // A shot of no attribute hits plainly; a model named by nothing keeps none.
    apptest::WriteText(root + "/C.BSH", "Attribute: 0\nModel:\n");
    BigShotDesc plain;
    ASSERT_TRUE(LoadBigShotFile("\\C.BSH", &plain));
    EXPECT_EQ(plain.attribute, 0);
    EXPECT_STREQ(plain.model, "");
    SetDataRootPath("");
}

// `text` read by `read` over a fresh T.
template <class T, class Read>
T ReadText(const std::string &text, Read read)
{
    TextFile file(text);
    T out;
    read(&file.file, &out);
    return out;
}

// Random bytes and pathological lines through every reader of the effect
// files: no crash, no over-read (the sanitizer build watches), results
// within their bounds.
// The effect files name other files by plain names only: printable, no
// blank, no folder or drive; whole numbers have nothing but blanks around
// them and fit 32 bits; a name field ends at its comma without blanks.
TEST(FxText, PlainNamesWholeNumbersAndNameFields)
{
    for (const char *plain : {"fire_l.zus", "3209000.DFF", "A~B!.x", "~"}) {
        EXPECT_TRUE(IsPlainFileName(plain)) << plain;
    }
    for (const char *odd : {"", "a b", "a\tb", "..\\x.zus", "a/b", "C:x", "a\x7F", "\x80.zus", "\x1F"}) {
        EXPECT_FALSE(IsPlainFileName(odd)) << odd;
    }
    EXPECT_FALSE(IsPlainFileName(nullptr));
    const struct {
        const char *text;
        bool ok;
        int32_t value;
    } numbers[] = {
        {"12", true, 12},           {" \t-7 \t", true, -7},     {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN}, {"2147483648", false, 0}, {"-2147483649", false, 0},
        {"12x", false, 0},          {"1 2", false, 0},           {"", false, 0},
        {"  ", false, 0},           {"x", false, 0},
    };
    for (const auto &row : numbers) {
        int32_t value = 99;
        EXPECT_EQ(ParseWholeNumber(row.text, &value), row.ok) << row.text;
        EXPECT_EQ(value, row.ok ? row.value : 99) << row.text;
    }
    char name[8];
    const char *rest = TakeNameField("  fire.zus , 3, 4", name, sizeof name);
    EXPECT_STREQ(name, "fire.zu");  // cut to the room there is
    ASSERT_NE(rest, nullptr);
    EXPECT_STREQ(rest, " 3, 4");
    EXPECT_EQ(TakeNameField("ab  ", name, sizeof name), nullptr);
    EXPECT_STREQ(name, "ab");
    // Room for the ending only: an empty name, the fields after it still found;
    // no room at all: nothing written and nothing found.
    rest = TakeNameField("fire.zus, 3", name, 1);
    EXPECT_STREQ(name, "");
    ASSERT_NE(rest, nullptr);
    EXPECT_STREQ(rest, " 3");
    name[0] = 'x';
    EXPECT_EQ(TakeNameField("fire.zus, 3", name, 0), nullptr);
    EXPECT_EQ(name[0], 'x');
}

TEST(FxFiles, HostileTextIsReadWithoutHarm)
{
    std::mt19937 rng(23);
    std::vector<std::string> inputs = {
        std::string(100000, 'x'),
        "KindNum:1024\n" + std::string(5000, ','),
        "FrameNum: 256\n" + std::string(300, '\n') + "Frame: ,,,,\n",
        std::string("PrtSysKind:\0\0\0,1\n", 17),
        "Velocity: 1e40, nan, inf\nColourStart: 1,2,3,4,5,6\n",
        "PrtSysGroup:" + std::string(10000, 'g') + "\n",
        "PackageNum: 99999999999\nPackageNum: -3\nColour: 256, -1\nColour: 1, 2, 3, 4, 5\nType: POINTS\n",
        "Particle: " + std::string(500, 'p') + ".ZUS\nModel: ..\\..\\X.DFF\nDamage: 1e30\nLife: -inf\n",
        "Radius: nan\nSpeed: 1e39\nAttribute: -2147483649\nDamage:\n:\n",
    };
    for (int i = 0; i < 20; ++i) {
        std::string noise(static_cast<size_t>(rng() % 3000), '\0');
        for (char &c : noise) {
            c = static_cast<char>(rng());
        }
        inputs.push_back(noise);
    }
    for (const std::string &input : inputs) {
        const ZusDesc z = ReadText<ZusDesc>(input, ReadZus);
        EXPECT_GE(z.maxParticles, 1);
        EXPECT_LE(z.maxParticles, kZusMaxParticlesLimit);
        const ParticleSet set = ReadText<ParticleSet>(input, ReadParticleSet);
        EXPECT_LE(set.kinds.size(), static_cast<size_t>(kMaxParticleKinds));
        const XdtDesc xdt = ReadText<XdtDesc>(input, ReadXdt);
        EXPECT_LE(xdt.frames.size(), static_cast<size_t>(kXdtMaxFrames));
        const FxmDesc fxm = ReadText<FxmDesc>(input, ReadFxm);
        EXPECT_GE(fxm.packageNum, 0);
        EXPECT_LE(fxm.packageNum, kMaxPackageNum);
        const FxLightDesc light = ReadText<FxLightDesc>(input, ReadLight);
        EXPECT_GE(light.radius, 0.0f);
        EXPECT_EQ(light.type, kFxLightPoint);
        const BigShotDesc shot = ReadText<BigShotDesc>(input, ReadBigShot);
        EXPECT_GE(shot.damage, 0);
        EXPECT_GE(shot.life, 0.0f);
        EXPECT_LE(shot.life, 600.0f);
        EXPECT_GE(shot.radius, 0.0f);
        EXPECT_LT(std::strlen(shot.particle), kBigShotNameSize);
        EXPECT_TRUE(shot.particle[0] == '\0' || IsPlainFileName(shot.particle));
        EXPECT_TRUE(shot.model[0] == '\0' || IsPlainFileName(shot.model));
    }
}

}  // namespace

namespace {

// What `read` takes from `text`, as its writer puts it.
template <class T, class Read, class Format>
std::string Rewritten(const std::string &text, Read read, Format format)
{
    return format(ReadText<T>(text, read));
}

// Every reader of the effect files over `input`: what the writer puts down
// of what the reader took reads back as the same text.
void ExpectEveryWriterStable(const std::string &input, const std::string &what)
{
    const auto check = [&](auto read, auto format, auto *type) {
        using T = std::remove_pointer_t<decltype(type)>;
        const std::string once = Rewritten<T>(input, read, format);
        EXPECT_EQ(Rewritten<T>(once, read, format), once) << what;
    };
    check(ReadZus, FormatZus, static_cast<ZusDesc *>(nullptr));
    check(ReadParticleSet, FormatParticleSet, static_cast<ParticleSet *>(nullptr));
    check(ReadXdt, FormatXdt, static_cast<XdtDesc *>(nullptr));
    check(ReadFxm, FormatFxm, static_cast<FxmDesc *>(nullptr));
    check(ReadLight, FormatLight, static_cast<FxLightDesc *>(nullptr));
    check(ReadBigShot, FormatBigShot, static_cast<BigShotDesc *>(nullptr));
}

// Names are taken without blanks around them, carriage returns included,
// also where a long name is cut: a name that ended in one would lose it at
// the end of the written line and read back otherwise. The inputs the fuzz
// target found such faults with are in tests/readers/findings/fx_files.
TEST(FxFiles, NamesEndedOrCutAtBlanksReadBackAsWritten)
{
    const std::string a126(126, 'a');
    std::string manyKinds = "PrtSysGroup:g";  // a line longer than 512 characters
    for (char k = 'a'; k < 'a' + 8; ++k) {
        manyKinds += "," + std::string(100, k);
    }
    manyKinds += "\n";
    const std::string cases[] = {
        "PrtSysGroup:" + a126 + " b\n",                    // the cut leaves a blank last
        "PrtSysGroup:" + a126 + "\r\r\rb,k\n",          // ... or a carriage return
        std::string("PrtSysGroup:g,k\r\r\0more\n", 23),  // a kind ended by a carriage return
        "KindNum:1\nPrtSysKind:" + a126 + "\t\t,3\n",
        "Frame:" + a126 + "\r,1\nModel: M.DFF\n",
        "PrtSysGroup: \r \r,k\n",
        manyKinds,
    };
    for (const std::string &input : cases) {
        ExpectEveryWriterStable(input, input);
    }
    const std::filesystem::path findings =
        std::filesystem::path(RW_TEST_SOURCE_DIR) / "tests/readers/findings/fx_files";
    size_t found = 0;
    for (const auto &entry : std::filesystem::directory_iterator(findings)) {
        std::ifstream in(entry.path(), std::ios::binary);
        ExpectEveryWriterStable(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
                                entry.path().string());
        ++found;
    }
    EXPECT_GE(found, 1u);
}

// An effect model's textures are looked for in the model's own folder: the
// path up to its last separator of either kind, cut to the room given.
TEST(FxFiles, AModelsFolderIsItsPathUpToItsLastSeparator)
{
    char folder[32];
    FxFolderOf("\\RESOURCE\\FX\\3206400\\3206400.DFF", folder, sizeof folder);
    EXPECT_STREQ(folder, "\\RESOURCE\\FX\\3206400\\");
    FxFolderOf("\\RESOURCE\\FX/XDT/GLOW.DFF", folder, sizeof folder);
    EXPECT_STREQ(folder, "\\RESOURCE\\FX/XDT/");
    FxFolderOf("RESOURCE/FX\\XDT\\GLOW.DFF", folder, sizeof folder);
    EXPECT_STREQ(folder, "RESOURCE/FX\\XDT\\");
    FxFolderOf("GLOW.DFF", folder, sizeof folder);
    EXPECT_STREQ(folder, "");
    char small[8];
    FxFolderOf("\\RESOURCE\\FX\\A.DFF", small, sizeof small);
    EXPECT_STREQ(small, "\\RESOUR");
    char room[16];
    std::memset(room, 'x', sizeof room);
    FxFolderOf("\\ABCDEF\\A.DFF", room, 8);  // a folder of 8 in a room of 8 keeps 7 and its end
    EXPECT_STREQ(room, "\\ABCDEF");
    EXPECT_EQ(room[8], 'x');
    small[0] = 'x';
    FxFolderOf("\\RESOURCE\\A.DFF", small, 0);
    EXPECT_EQ(small[0], 'x');  // no room: nothing written
}

}  // namespace

}  // namespace fx_files_test
