// Picture and music agree: every scene of the real show, built in a real GL
// context, opens on a cue of demo/Cues.h, and the score pins every cue of
// that list to one of its notes, in the list's order.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "demo/Cues.h"
#include "demo/MyDemo.h"
#include "demo/SceneContents.h"
#include "tests/support/GLContext.h"
#include "tests/support/KeepsScenes.h"
#include "tools/soundtrack/Score.h"

namespace {

bool onCue(double time) {
    for (const soundtrack::Cue& cue : soundtrack::cues)
        if (cue.time == time)
            return true;
    return false;
}

} // namespace

TEST(SoundtrackSync, EverySceneOpensOnACue) {
    MyDemo* demo = new MyDemo(1920, 1080);
    demo->init();
    std::vector<SceneContent> scenes = sceneContents(*demo);
    ASSERT_EQ(scenes.size(), 9u);
    for (const SceneContent& scene : scenes)
        EXPECT_TRUE(onCue(scene.scene->start)) << scene.name << " opens at " << scene.scene->start << " s, which is no cue";
}

TEST(SoundtrackSync, CuesRunInShowOrder) {
    for (int i = 1; i < soundtrack::cueCount; i++)
        EXPECT_LT(soundtrack::cues[i - 1].time, soundtrack::cues[i].time)
            << "\"" << soundtrack::cues[i].event << "\" comes before \"" << soundtrack::cues[i - 1].event << "\"";
    EXPECT_LT(soundtrack::cues[soundtrack::cueCount - 1].time, soundtrack::finalChord);
}

// The tempo map bends so that each cue falls on a whole sixteenth; a cue the
// score forgot would fall between notes, wherever the tempo happens to put it.
TEST(SoundtrackSync, TheScorePinsEveryCueToANote) {
    soundtrack::TempoMap tempo = soundtrack::trackTempo();
    for (const soundtrack::Cue& cue : soundtrack::cues) {
        bool pinned = false;
        for (const soundtrack::TempoMap::Anchor& anchor : tempo.anchors)
            pinned = pinned || (anchor.time == cue.time && anchor.sixteenth == std::floor(anchor.sixteenth) &&
                                std::fabs(tempo.time(anchor.sixteenth) - cue.time) < 1e-9);
        EXPECT_TRUE(pinned) << "the cue \"" << cue.event << "\" at " << cue.time << " s is on no note of the score";
    }
}
