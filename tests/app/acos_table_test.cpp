// The arc-cosine table: every answer is the same before, while and after
// the filling thread runs; clamping; the thread joins; cosines in degrees.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/acos_table.h"
#include "app/threads.h"

namespace acos_table_test {

namespace {

using game::ACosTable;

std::vector<float> Probes()
{
    std::vector<float> probes = {-2.0f, -1.0f, -0.9995f, -0.5f, -0.0001f, 0.0f, 0.0004f, 0.5f, 0.7071f, 0.9999f,
                                 1.0f,  1.5f,  std::numeric_limits<float>::infinity()};
    for (int i = 0; i <= 400; ++i) {
        probes.push_back(-1.0f + 0.005f * static_cast<float>(i));
    }
    return probes;
}

TEST(ACosTable, AnswersAreTheSameBeforeAndAfterTheThread)
{
    ACosTable table;
    std::vector<float> before;
    for (float c : Probes()) {
        before.push_back(table.Lookup(c));
    }
    EXPECT_FALSE(table.Ready());
    table.StartThread();
    // Looked up while the thread may still run: the same bits.
    size_t i = 0;
    for (float c : Probes()) {
        EXPECT_EQ(table.Lookup(c), before[i++]) << c;
    }
    table.Join();
    EXPECT_TRUE(table.Ready());
    i = 0;
    for (float c : Probes()) {
        EXPECT_EQ(table.Lookup(c), before[i++]) << c;
    }
    // A second start after the table is ready does nothing.
    table.StartThread();
    table.Join();
}

// When no thread can be started the table is filled at once: ready on the
// spot, with the answers the thread would have given.
TEST(ACosTable, WithoutAThreadItIsFilledAtOnce)
{
    ACosTable table;
    table.startThread = [](WorkerRoutine, void *, int) -> WorkerThread * { return nullptr; };
    table.StartThread();
    EXPECT_TRUE(table.Ready());
    for (float c : Probes()) {
        EXPECT_EQ(table.Lookup(c), ACosTable::EntryFor(c)) << c;
    }
    table.Join();
}

TEST(ACosTable, EntriesAndClamping)
{
    ACosTable table;
    table.StartThread();
    table.Join();
    EXPECT_EQ(table.Lookup(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(table.Lookup(0.0f), 90.0f);
    EXPECT_FLOAT_EQ(table.Lookup(-1.0f), 180.0f);
    EXPECT_FLOAT_EQ(table.Lookup(0.5f), 60.0f);
    EXPECT_EQ(table.Lookup(7.0f), table.Lookup(1.0f));
    EXPECT_EQ(table.Lookup(-7.0f), table.Lookup(-1.0f));
    EXPECT_EQ(table.Lookup(std::nanf("")), table.Lookup(-1.0f));
    // Steps of 0.001: 1000 + c x 1000, truncated.
    EXPECT_EQ(ACosTable::IndexOf(0.0019f), 1001);
    EXPECT_EQ(ACosTable::IndexOf(-0.0019f), 998);
    EXPECT_EQ(ACosTable::IndexOf(1.0f), 2000);
    EXPECT_EQ(ACosTable::IndexOf(-1.0f), 0);
}

TEST(ACosTable, DestroyedWhileFillingJoinsTheThread)
{
    const size_t before = GetWorkerThreadCount();
    for (int i = 0; i < 20; ++i) {
        ACosTable table;
        table.StartThread();
        table.StartThread();  // one thread at a time
        EXPECT_EQ(GetWorkerThreadCount(), before + 1);
    }  // each destructor joins its thread, running or not
    EXPECT_EQ(GetWorkerThreadCount(), before);
}

TEST(ACosTable, CosineOfDegrees)
{
    EXPECT_FLOAT_EQ(CosDeg(0.0f), 1.0f);
    EXPECT_NEAR(CosDeg(90.0f), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(CosDeg(60.0f), 0.5f);
    EXPECT_FLOAT_EQ(CosDeg(180.0f), -1.0f);
}

}  // namespace

}  // namespace acos_table_test
