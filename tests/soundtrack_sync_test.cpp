// Picture and music agree: every scene of the real show, built in a real GL
// context, opens on a cue of demo/Cues.h, and the score pins every cue of
// that list to one of its notes, in the list's order.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "demo/Cues.h"
#include "demo/MyDemo.h"
#include "tools/common/OffscreenShow.h"
#include "tests/support/GLContext.h"
#include "tests/support/KeepsScenes.h"
#include "music/Score.h"

namespace {

bool onCue(double time) {
    for (const Cue& cue : cues)
        if (cue.time == time)
            return true;
    return false;
}

} // namespace

TEST(SoundtrackSync, EverySceneOpensOnACue) {
    MyDemo* demo = new MyDemo(1920, 1080);
    demo->init();
    ASSERT_EQ(demo->scenes.size(), 9u);
    for (vq_engine::Scene* scene : demo->scenes)
        EXPECT_TRUE(onCue(scene->start)) << tools::OffscreenShow::sceneName(scene) << " opens at " << scene->start
                                         << " s, which is no cue";
}

TEST(SoundtrackSync, CuesRunInShowOrder) {
    for (int i = 1; i < cueCount; i++)
        EXPECT_LT(cues[i - 1].time, cues[i].time)
            << "\"" << cues[i].event << "\" comes before \"" << cues[i - 1].event << "\"";
    EXPECT_LT(cues[cueCount - 1].time, finalChord);
}

// The tempo map bends so that each cue falls on a whole sixteenth; a cue the
// score forgot would fall between notes, wherever the tempo happens to put it.
TEST(SoundtrackSync, TheScorePinsEveryCueToANote) {
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    for (const Cue& cue : cues) {
        bool pinned = false;
        for (const soundtrack::TempoMap::Anchor& anchor : tempo.anchors)
            pinned = pinned || (anchor.time == cue.time && anchor.sixteenth == std::floor(anchor.sixteenth) &&
                                std::fabs(tempo.time(anchor.sixteenth) - cue.time) < 1e-9);
        EXPECT_TRUE(pinned) << "the cue \"" << cue.event << "\" at " << cue.time << " s is on no note of the score";
    }
}
