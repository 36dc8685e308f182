// Each example drawn by its --shot, as the pictures in examples/ were, and
// compared with the picture beside it; and each turning down bad options and
// a missing data/ with one line. After an intended change to an example's
// look, render the pictures again and review them before committing:
//   cmake --build build --target update_references
// which runs, from the build directory:
//   ./examples_test --update-references
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/CaptureRun.h"
#include "tests/support/ExamplePicture.h"
#include "tests/support/Process.h"
#include "tools/common/PngFile.h"

namespace {

const char* const examples[] = {"hello-particles", "textures", "mesh", "afterglow"};

std::string programPath(const std::string& name) {
    return VQ_BUILD_DIR "/" + name;
}

class ExamplePicture : public ::testing::TestWithParam<const char*> {};

TEST_P(ExamplePicture, MatchesThePictureBesideIt) {
    std::string name = GetParam();
    TempDir directory;
    std::string shot = directory.path + "/" + name + ".png";
    ASSERT_EQ(shootExample(programPath(name), VQ_BUILD_DIR, shot), "");
    EXPECT_EQ(compareWithExamplePicture(shot, name), "");
}

INSTANTIATE_TEST_SUITE_P(Examples, ExamplePicture, ::testing::ValuesIn(examples),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

struct Refusal {
    const char* what;
    std::vector<std::string> args;
    bool withData;
    const char* named; // the message names this
};

TEST(Examples, RefuseBadInputWithOneLine) {
    const Refusal refusals[] = {
        {"a size of nothing", {"--size", "0x540"}, true, "--size"},
        {"a size that is no size", {"--size", "big"}, true, "--size"},
        {"an unknown option", {"--fullscreen", "yes"}, true, "--fullscreen"},
        {"a shot without a file", {"--shot"}, true, "--shot"},
        {"no data/ here", {"--shot", "never.png"}, false, "data/"},
    };
    TempDir empty;
    for (const char* name : examples)
        for (const Refusal& refusal : refusals) {
            SCOPED_TRACE(std::string(name) + ": " + refusal.what);
            std::vector<std::string> argv = {programPath(name)};
            argv.insert(argv.end(), refusal.args.begin(), refusal.args.end());
            std::string log = empty.path + "/output.txt";
            pid_t child = spawnProcess(argv, {refusal.withData ? VQ_BUILD_DIR : empty.path,
                                              {{"DISPLAY", captureDisplay()}}, log});
            int status = waitProcess(child, 60);
            std::string output = readTextFile(log);
            EXPECT_NE(status, 0);
            EXPECT_GT(status, 0) << "crashed or hung: " << status;
            EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
            EXPECT_NE(output.find(refusal.named), std::string::npos) << output;
            EXPECT_NE(output.find(name), std::string::npos) << output;
            EXPECT_EQ(readTextFile(empty.path + "/never.png"), "");
        }
}

int updatePictures() {
    for (const char* name : examples) {
        std::string error = shootExample(programPath(name), VQ_BUILD_DIR, examplePicturePath(name));
        if (!error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        std::printf("wrote %s\n", examplePicturePath(name).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--update-references") == 0)
        return updatePictures();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
