// The parts of velquor-preview that need no window: its command line, the
// clock that says which frame is due, and the random stream's save and restore.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/preview/PlayClock.h"
#include "tools/preview/PreviewOptions.h"
#include "tools/preview/ShowState.h"

using namespace preview;

namespace {

TEST(PreviewOptions, DefaultsAreAPlayingWindowOf1280x720At60Fps) {
    ParsedOptions parsed = parsePreviewOptions({});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ(parsed.options.width, 1280);
    EXPECT_EQ(parsed.options.height, 720);
    EXPECT_EQ(parsed.options.fps, 60);
    EXPECT_FALSE(parsed.options.fullscreen);
    EXPECT_FALSE(parsed.options.paused);
    EXPECT_FALSE(parsed.options.startGiven);
    EXPECT_FALSE(parsed.options.loopGiven);
}

TEST(PreviewOptions, TakesEveryOption) {
    ParsedOptions parsed = parsePreviewOptions(
        {"--size=1920x1080", "--fps", "30", "--start", "12.9", "--loop=12.5,16", "--paused", "--fullscreen"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const PreviewOptions& options = parsed.options;
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
    EXPECT_EQ(options.fps, 30);
    EXPECT_TRUE(options.startGiven);
    EXPECT_EQ(options.start, 12.9);
    EXPECT_TRUE(options.loopGiven);
    EXPECT_EQ(options.loopStart, 12.5);
    EXPECT_EQ(options.loopEnd, 16.0);
    EXPECT_TRUE(options.paused);
    EXPECT_TRUE(options.fullscreen);
}

TEST(PreviewOptions, HelpListsEveryOptionAndKey) {
    EXPECT_TRUE(parsePreviewOptions({"--fps", "30", "-h"}).options.help);
    std::string usage = usageText("velquor");
    for (const char* item : {"--size", "--fullscreen", "--fps", "--start", "--loop", "--paused", "--help", "Space",
                             "Left, Right", "Shift", ", and .", "Home", "[ and ]", "Backspace", "- and =", "F11",
                             "F12", "Escape", "R ", "H "})
        EXPECT_NE(usage.find(item), std::string::npos) << item;
    EXPECT_NE(usage.find(controlsText()), std::string::npos);
}

TEST(PreviewOptions, RejectsBadInputWithOneLineNamingTheValue) {
    struct Case {
        std::vector<std::string> args;
        const char* said;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"12"}, "unexpected argument '12'"},
        {{"--size"}, "--size needs a value"},
        {{"--size", "1280"}, "'1280' is not a size"},
        {{"--size", "0x720"}, "'0x720' is not a size"},
        {{"--size", "720x1280"}, "taller than wide"},
        {{"--size", "99999x720"}, "'99999x720' is not a size"},
        {{"--fps", "0"}, "'0' is not a whole number"},
        {{"--fps", "2.5"}, "'2.5' is not a whole number"},
        {{"--start", "-1"}, "'-1' is not a time"},
        {{"--start", "1e3"}, "'1e3' is not a time"},
        {{"--start", ""}, "'' is not a time"},
        {{"--loop", "12"}, "'12' is not a range"},
        {{"--loop", "12,x"}, "'12,x' is not a range"},
        {{"--loop", "16,12"}, "the end 12 is not after the start 16"},
        {{"--loop", "5,5"}, "the end 5 is not after the start 5"},
        {{"--paused=1"}, "unknown option '--paused'"},
    };
    for (const Case& c : cases) {
        ParsedOptions parsed = parsePreviewOptions(c.args);
        ASSERT_FALSE(parsed.ok()) << c.said;
        EXPECT_NE(parsed.error.find(c.said), std::string::npos) << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

TEST(PreviewOptions, TimesMustLieInTheShow) {
    struct Case {
        std::vector<std::string> args;
        const char* said; // empty: accepted
    };
    const Case cases[] = {
        {{"--start", "38.5"}, ""},
        {{"--start", "38.6"}, "--start 38.6 lies past the end of the show's 38.5 s"},
        {{"--loop", "30,38.5"}, ""},
        {{"--loop", "30,40"}, "--loop 30,40 reaches past the end of the show's 38.5 s"},
        {{"--loop", "39,40"}, "--loop 39,40 reaches past the end"},
    };
    for (const Case& c : cases) {
        ParsedOptions parsed = parsePreviewOptions(c.args);
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        std::string error = checkTimes(parsed.options, 38.5);
        if (*c.said)
            EXPECT_NE(error.find(c.said), std::string::npos) << error;
        else
            EXPECT_EQ(error, "");
    }
}

TEST(PlayClock, FrameNIsDueAtNOverFpsTimesTheRate) {
    PlayClock clock(60, 2310);
    clock.startAt(600, 100.0);
    struct Case {
        double now;
        int frame;
    };
    for (Case c : {Case{100.0, 600}, Case{100.0 + 1.0 / 60.0, 601}, Case{100.5, 630}, Case{101.0 - 1e-4, 659},
                   Case{110.0, 1200}})
        EXPECT_EQ(clock.advance(c.now).frame, c.frame) << c.now;
    clock.setRate(2.0, 1200, 110.0);
    EXPECT_EQ(clock.advance(111.0).frame, 1320);
    clock.setRate(0.25, 1320, 111.0);
    EXPECT_EQ(clock.advance(112.0).frame, 1335);
    clock.setRate(1000.0, 1335, 112.0);
    EXPECT_EQ(clock.rate, PlayClock::fastest);
}

TEST(PlayClock, PausedItStaysOnItsFrame) {
    PlayClock clock(60, 2310);
    clock.startAt(100, 0.0);
    clock.pause(130);
    PlayClock::Due due = clock.advance(50.0);
    EXPECT_EQ(due.frame, 130);
    EXPECT_FALSE(clock.playing);
}

TEST(PlayClock, StopsAtTheLastFrameWithoutALoop) {
    PlayClock clock(60, 2310);
    clock.startAt(2300, 0.0);
    PlayClock::Due due = clock.advance(1.0);
    EXPECT_EQ(due.frame, 2310);
    EXPECT_TRUE(due.ended);
    EXPECT_FALSE(clock.playing);
}

TEST(PlayClock, WrapsToTheLoopStartKeepingTheRhythm) {
    PlayClock clock(60, 2310);
    clock.setLoop(600, 659); // 60 frames
    clock.startAt(650, 0.0);
    EXPECT_EQ(clock.advance(9.0 / 60.0).frame, 659);
    PlayClock::Due due = clock.advance(10.0 / 60.0);
    EXPECT_TRUE(due.wrapped);
    EXPECT_EQ(due.frame, 600);
    EXPECT_TRUE(clock.playing);
    EXPECT_EQ(clock.advance(15.0 / 60.0).frame, 605);
    // From past the loop's end it plays to the end of the show, then loops.
    clock.startAt(2305, 10.0);
    due = clock.advance(10.0 + 7.0 / 60.0);
    EXPECT_TRUE(due.wrapped);
    EXPECT_EQ(due.frame, 601);
    // Several periods late still lands inside the loop.
    clock.startAt(600, 20.0);
    EXPECT_EQ(clock.advance(20.0 + 125.0 / 60.0).frame, 605);
}

TEST(PlayClock, LoopEndsSetOneAtATime) {
    PlayClock clock(60, 2310);
    EXPECT_TRUE(clock.setLoopStart(600));
    EXPECT_TRUE(clock.looping);
    EXPECT_EQ(clock.loopEnd, 2310);
    EXPECT_TRUE(clock.setLoopEnd(900));
    EXPECT_EQ(clock.loopStart, 600);
    EXPECT_EQ(clock.loopEnd, 900);
    EXPECT_FALSE(clock.setLoopEnd(600));
    EXPECT_FALSE(clock.setLoopStart(900));
    EXPECT_EQ(clock.loopStart, 600);
    EXPECT_EQ(clock.loopEnd, 900);
    clock.clearLoop();
    EXPECT_FALSE(clock.looping);
    EXPECT_TRUE(clock.setLoopEnd(300));
    EXPECT_EQ(clock.loopStart, 0);
}

TEST(RandomStream, RestoringItsPositionRepeatsTheSameDraws) {
    for (int i = 0; i < 5; i++)
        drand48();
    unsigned short saved[3];
    saveRandom(saved);
    std::vector<double> first;
    for (int i = 0; i < 4; i++)
        first.push_back(drand48());
    restoreRandom(saved);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(drand48(), first[i]) << i;
    // Saving draws nothing.
    restoreRandom(saved);
    saveRandom(saved);
    EXPECT_EQ(drand48(), first[0]);
}

} // namespace
