// The sample characters' state machines as the maker writes them, read
// back for the tests of their routes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/game/sample_fsf.h"
#include "tools/mkdata/sample_monsters.h"

namespace monstertest {

// The .FSF of the sample type (its folder and name as the maker gives
// them); a failure to read it, or a bad line in it, fails the test.
inline CFSF ReadSampleStateMachine(int32_t aiType)
{
    std::string path = "/" + mkdata::SampleMonsterFolder(aiType) + "/" + mkdata::SampleMonsterName(aiType) + ".FSF";
    std::replace(path.begin(), path.end(), '/', '\\');
    int problems = 0;
    CFSF fsf = gametest::ReadSampleStateMachine(path, &problems);
    EXPECT_EQ(problems, 0) << path;
    return fsf;
}

}  // namespace monstertest
