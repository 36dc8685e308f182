// The configuration holder: reading never fails, lookups of absent keys
// throw, and stored programs are handed out by reference, never copied.

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "engine/Config.h"
#include "engine/ShaderProgram.h"
#include "tests/support/GLContext.h"
#include "tests/support/Process.h"

using vq_engine::Config;
using vq_engine::ShaderProgram;

// A copy would delete the program object the holder still keeps.
static_assert(!std::is_copy_constructible<ShaderProgram>::value, "programs must not be copied");
static_assert(std::is_same<decltype(std::declval<Config&>().getShader("")), ShaderProgram&>::value,
              "getShader hands out the stored program");

TEST(ConfigTest, AMissingFileGivesAnEmptyHolder) {
    TempDir dir;
    Config config((dir.path + "/absent.cfg").c_str());
    EXPECT_EQ(config.getMusic(), "");
    EXPECT_TRUE(config.shaders.empty());
    EXPECT_TRUE(config.textures.empty());
}

TEST(ConfigTest, LinesAreReadButFillNothing) {
    TempDir dir;
    std::string path = dir.path + "/show.cfg";
    std::ofstream(path) << "music data/quorvin.mp3\nshader stars data/stars.vs data/stars.fs\n"
                        << std::string(250, 'x') << "\ntexture logo logo.png\n";
    Config config(path.c_str());
    EXPECT_EQ(config.getMusic(), "");
    EXPECT_TRUE(config.shaders.empty());
    EXPECT_TRUE(config.textures.empty());
}

TEST(ConfigTest, AbsentKeysThrowOutOfRange) {
    TempDir dir;
    Config config((dir.path + "/absent.cfg").c_str());
    for (const char* key : {"", "stars", "data/stars.vs"}) {
        EXPECT_THROW(config.getShader(key), std::out_of_range) << key;
        EXPECT_THROW(config.getTexture(key), std::out_of_range) << key;
    }
}

TEST(ConfigTest, StoredEntriesComeBackAsStored) {
    TempDir dir;
    Config config((dir.path + "/absent.cfg").c_str());
    config.textures["logo"] = 42u;
    config.music = "data/quorvin.mp3";
    ShaderProgram& stored = config.shaders.try_emplace("stars").first->second;
    unsigned int program = stored.getProgramID();

    EXPECT_EQ(config.getTexture("logo"), 42u);
    EXPECT_EQ(config.getMusic(), "data/quorvin.mp3");
    for (int i = 0; i < 3; i++) {
        ShaderProgram& fetched = config.getShader("stars");
        EXPECT_EQ(&fetched, &stored);
        EXPECT_EQ(fetched.getProgramID(), program);
    }
    // Fetching never released the program the holder keeps.
    EXPECT_EQ(glIsProgram(program), GL_TRUE);
}

TEST(ConfigTest, TheHolderReleasesItsPrograms) {
    TempDir dir;
    Config* config = new Config((dir.path + "/absent.cfg").c_str());
    unsigned int program = config->shaders.try_emplace("stars").first->second.getProgramID();
    ASSERT_EQ(glIsProgram(program), GL_TRUE);
    delete config;
    EXPECT_EQ(glIsProgram(program), GL_FALSE);
}
