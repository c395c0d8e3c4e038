// Reading a sample state machine file (see sample_fsf.h).
#include "support/game/sample_fsf.h"

#include <gtest/gtest.h>

#include "actor/fsf_file.h"
#include "app/keyword.h"
#include "app/path.h"
#include "tests/stage/stage_test_support.h"

namespace gametest {

CFSF ReadSampleStateMachine(const std::string &path, int *problems)
{
    CFSF fsf;
    const std::string root = stagetest::SamplePath("");
    SetDataRootPath(root.c_str());
    CSKeywordFile file;
    EXPECT_TRUE(file.Open(path.c_str())) << path;
    const int bad = ReadFsf(&file, &fsf);
    if (problems != nullptr) {
        *problems = bad;
    }
    SetDataRootPath("");
    return fsf;
}

CFSF ReadSampleStateMachine(const std::string &folder, const std::string &name, int *problems)
{
    std::string path = folder;
    path.append("\\").append(name).append("\\").append(name).append(".FSF");
    return ReadSampleStateMachine(path, problems);
}

}  // namespace gametest
