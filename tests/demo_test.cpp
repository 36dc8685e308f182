#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/Demo.h"
#include "engine/Scene.h"

namespace {

std::vector<std::string> calls;

class RecordingScene final : public vq_engine::Scene {
public:
    RecordingScene(const char* name, double from, double to) : name(name) {
        start = from;
        end = to;
    }
    void show(double t) override { calls.push_back(name + "@" + std::to_string(t)); }
    std::string name;
};

class Timeline : public vq_engine::Demo {
public:
    Timeline() : vq_engine::Demo(1920, 1080) {}
    // The demo never deletes its scenes; the test's own go with the test.
    ~Timeline() {
        for (vq_engine::Scene* scene : scenes)
            delete static_cast<RecordingScene*>(scene);
    }
    void init() override {
        scenes.push_back(new RecordingScene("late", 5.0, 9.0));
        scenes.push_back(new RecordingScene("early", 0.0, 6.0));
        scenes.push_back(new RecordingScene("same", 5.0, 9.0));
    }
};

class DemoShow : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        demo.init();
    }
    Timeline demo;
};

} // namespace

TEST_F(DemoShow, WindowsAreOpenAtBothEnds) {
    demo.show(0.0);
    demo.show(5.0);
    demo.show(9.0);
    EXPECT_EQ(calls, std::vector<std::string>({"early@5.000000"}));
}

TEST_F(DemoShow, ActiveScenesDrawInListOrderNotByStartTime) {
    demo.show(5.5);
    EXPECT_EQ(calls, std::vector<std::string>({"late@5.500000", "early@5.500000", "same@5.500000"}));
}

TEST_F(DemoShow, NotANumberDrawsNothing) {
    demo.show(std::nan(""));
    demo.show(-1.0);
    demo.show(200.0);
    EXPECT_TRUE(calls.empty());
}

TEST(Demo, AnEmptyTimelineDoesNothing) {
    struct Empty : vq_engine::Demo {
        Empty() : vq_engine::Demo(800, 600) {}
        void init() override {}
    } demo;
    calls.clear();
    demo.init();
    demo.show(1.0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(demo.width, 800);
    EXPECT_EQ(demo.height, 600);
}

TEST(SceneAspect, KeepsTheIntegerQuotientOnLandscapeScreens) {
    EXPECT_EQ(vq_engine::Scene::aspect(1920, 1080), 1.0);
    EXPECT_EQ(vq_engine::Scene::aspect(2560, 1080), 2.0);
    EXPECT_EQ(vq_engine::Scene::aspect(1000, 1000), 1.0);
}

TEST(SceneAspect, PortraitWindowsGetTheirTrueRatio) {
    EXPECT_DOUBLE_EQ(vq_engine::Scene::aspect(1080, 1920), 1080.0 / 1920.0);
    EXPECT_TRUE(std::isfinite(vq_engine::Scene::aspect(1, 1000)));
    EXPECT_GT(vq_engine::Scene::aspect(1, 1000), 0.0);
}
