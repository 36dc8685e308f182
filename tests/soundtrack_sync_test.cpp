// Picture and music agree: the real show, built in a real GL context, opens
// every scene and starts every motion on a cue of the soundtrack's score, and
// every cue of the score marks something in the show.
#include <gtest/gtest.h>

#include <cxxabi.h>

#include <cstdlib>
#include <string>
#include <typeinfo>
#include <vector>

#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/MyDemo.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/Thirtytwo.h"
#include "tests/support/GLContext.h"
#include "demo/Cues.h"

namespace {

struct Moment {
    std::string what;
    double time;
};

// The times at which the scenes' code starts their motions.
const std::vector<Moment> motionStarts = {
    {"Begin::motionStart", Begin::motionStart},
    {"Fourteen::motionStart", Fourteen::motionStart},
    {"Thirtytwo::motionStart", Thirtytwo::motionStart},
    {"N158::motionStart", N158::motionStart},
    {"N271::motionStart", N271::motionStart},
    {"Million::motionStart", Million::motionStart},
    {"Million::fallStart", Million::fallStart},
    {"RandomNums::secondPassStart", RandomNums::secondPassStart},
};

// Both sides write the same decimal constants, so they compare exactly.
bool onCue(double time) {
    for (const soundtrack::Cue& cue : soundtrack::cues)
        if (cue.time == time)
            return true;
    return false;
}

std::string className(const vq_engine::Scene& scene) {
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(scene).name(), nullptr, nullptr, &status);
    std::string readable = status == 0 ? name : typeid(scene).name();
    std::free(name);
    return readable;
}

std::vector<Moment> sceneStarts() {
    static MyDemo* demo = nullptr;
    if (!demo) {
        demo = new MyDemo(1920, 1080);
        demo->init();
    }
    std::vector<Moment> starts;
    for (vq_engine::Scene* scene : demo->scenes)
        starts.push_back({className(*scene), scene->start});
    return starts;
}

} // namespace

TEST(SoundtrackSync, EverySceneOpensOnACue) {
    std::vector<Moment> starts = sceneStarts();
    ASSERT_EQ(starts.size(), 9u);
    for (const Moment& start : starts)
        EXPECT_TRUE(onCue(start.time)) << start.what << " opens at " << start.time << " s, which is no cue";
}

TEST(SoundtrackSync, EveryMotionStartsOnACue) {
    for (const Moment& motion : motionStarts)
        EXPECT_TRUE(onCue(motion.time)) << motion.what << " = " << motion.time << " s, which is no cue";
}

TEST(SoundtrackSync, EveryCueMarksSomethingInTheShow) {
    std::vector<Moment> moments = sceneStarts();
    moments.insert(moments.end(), motionStarts.begin(), motionStarts.end());
    for (const soundtrack::Cue& cue : soundtrack::cues) {
        bool used = false;
        for (const Moment& moment : moments)
            used = used || moment.time == cue.time;
        EXPECT_TRUE(used) << "the cue \"" << cue.event << "\" at " << cue.time << " s marks nothing in the show";
    }
}
