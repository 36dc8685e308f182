// The parts of velquor-capture that need no window: its command line, which
// frames a run draws and keeps, its output checks, PNG files, the contact
// sheet, the progress report and the soundtrack's length.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestTrack.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/ContactSheet.h"
#include "tools/capture/FrameCompare.h"
#include "tools/capture/OutputPaths.h"
#include "tools/common/PngFile.h"
#include "tools/capture/Progress.h"
#include "tools/common/TrackLength.h"

using namespace capture;
using namespace tools;

namespace {

ParsedOptions parse(const std::vector<std::string>& args) {
    return parseCaptureOptions(args);
}

bool exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

TEST(CaptureOptions, DefaultsAreFullHdAt60FpsForTheWholeTrack) {
    ParsedOptions parsed = parse({"--sheet", "sheet.png"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const CaptureOptions& options = parsed.options;
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
    EXPECT_EQ(options.fps, 60);
    EXPECT_FALSE(options.durationGiven);
    EXPECT_EQ(options.from, 0.0);
    EXPECT_FALSE(options.toGiven);
    EXPECT_EQ(options.sheetColumns, 4);
    EXPECT_EQ(options.sheetRows, 4);
    EXPECT_EQ(options.sheetPath, "sheet.png");
}

TEST(CaptureOptions, TakesEveryOptionWithItsValueAfterASpaceOrAnEqualsSign) {
    ParsedOptions parsed = parse({"--size=1280x720", "--fps", "30", "--duration=12.5", "--from", "1", "--to", "2.5", "--frames",
                    "out", "--at", "1,2.5,7", "--compare=refs", "--video", "v.mp4", "--sheet=s.png", "--grid", "3x2"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const CaptureOptions& options = parsed.options;
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 720);
    EXPECT_EQ(options.fps, 30);
    EXPECT_TRUE(options.durationGiven);
    EXPECT_EQ(options.duration, 12.5);
    EXPECT_EQ(options.from, 1.0);
    EXPECT_TRUE(options.toGiven);
    EXPECT_EQ(options.to, 2.5);
    EXPECT_EQ(options.framesDirectory, "out");
    EXPECT_EQ(options.atTimes, (std::vector<double>{1.0, 2.5, 7.0}));
    EXPECT_EQ(options.compareDirectory, "refs");
    EXPECT_EQ(options.videoPath, "v.mp4");
    EXPECT_EQ(options.sheetPath, "s.png");
    EXPECT_EQ(options.sheetColumns, 3);
    EXPECT_EQ(options.sheetRows, 2);
}

TEST(CaptureOptions, HelpNeedsNoOutputAndListsEveryOption) {
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_TRUE(parse({"--fps", "30", "-h"}).options.help);
    std::string usage = usageText("velquor", "data/quorvin.mp3");
    for (const char* option : {"--size", "--fps", "--duration", "--from", "--to", "--frames", "--at", "--compare",
                               "--video", "--sheet", "--grid", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

TEST(CaptureOptions, RejectsBadInputWithOneLineNamingTheValue) {
    struct Case {
        std::vector<std::string> args;
        const char* named; // what the message must quote
    };
    const Case cases[] = {
        {{"--sheet", "s.png", "--bogus"}, "'--bogus'"},
        {{"--sheet", "s.png", "stray"}, "'stray'"},
        {{"--sheet", "s.png", "-x"}, "'-x'"},
        {{"--sheet", "s.png", "--size"}, "--size needs a value"},
        {{"--sheet", "s.png", "--size", "1920"}, "'1920'"},
        {{"--sheet", "s.png", "--size", "x1080"}, "'x1080'"},
        {{"--sheet", "s.png", "--size", "1920x"}, "'1920x'"},
        {{"--sheet", "s.png", "--size", "0x0"}, "'0x0'"},
        {{"--sheet", "s.png", "--size", "-640x480"}, "'-640x480'"},
        {{"--sheet", "s.png", "--size", "19a0x1080"}, "'19a0x1080'"},
        {{"--sheet", "s.png", "--size", "99999x1080"}, "'99999x1080'"},
        {{"--sheet", "s.png", "--size", "1080x1920"}, "taller than wide"},
        {{"--sheet", "s.png", "--fps", "0"}, "'0'"},
        {{"--sheet", "s.png", "--fps", "29.97"}, "'29.97'"},
        {{"--sheet", "s.png", "--fps", "lots"}, "'lots'"},
        {{"--sheet", "s.png", "--duration", "0"}, "more than 0"},
        {{"--sheet", "s.png", "--duration", "-3"}, "'-3'"},
        {{"--sheet", "s.png", "--from", "1.2.3"}, "'1.2.3'"},
        {{"--sheet", "s.png", "--from", "nan"}, "'nan'"},
        {{"--sheet", "s.png", "--to", ""}, "''"},
        {{"--sheet", "s.png", "--to", "inf"}, "'inf'"},
        {{"--sheet", "s.png", "--to", "5e0"}, "'5e0'"},
        {{"--at", "1,,2"}, "''"},
        {{"--at", "1,two"}, "'two'"},
        {{"--at", "2.5,2.5"}, "given twice"},
        {{"--sheet", "s.png", "--grid", "0x4"}, "'0x4'"},
        {{"--sheet", "s.png", "--from", "5", "--to", "3"}, "--to 3 is not after --from 5"},
        {{"--sheet", "s.png", "--from", "5", "--to", "5"}, "--to 5 is not after --from 5"},
        {{"--video", "v.mp4", "--size", "641x480"}, "641x480"},
        {{"--size", "640x480"}, "nothing to write"},
        {{"--frames", ""}, "empty"},
        {{"--at", "1", "--compare", ""}, "--compare: the directory name is empty"},
        {{"--sheet", "s.png", "--compare", "refs"}, "--compare needs --at"},
    };
    for (const Case& c : cases) {
        ParsedOptions parsed = parse(c.args);
        std::string args;
        for (const std::string& arg : c.args)
            args += " " + arg;
        EXPECT_FALSE(parsed.ok()) << args;
        EXPECT_NE(parsed.error.find(c.named), std::string::npos) << args << ": " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << args << ": " << parsed.error;
    }
}

CaptureOptions options(const std::vector<std::string>& args) {
    ParsedOptions parsed = parse(args);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.options;
}

TEST(FramePlan, FrameNShowsTimeNOverFpsAndTheRangeIncludesItsEnds) {
    FramePlan plan = planFrames(options({"--frames", "d", "--fps", "30"}), 2.0).plan;
    EXPECT_EQ(plan.firstFrame, 1) << "frame 0 draws nothing";
    EXPECT_EQ(plan.lastFrame, 60);
    EXPECT_EQ(plan.lastComputed, 60);

    plan = planFrames(options({"--frames", "d", "--fps", "30", "--from", "1", "--to", "1.2"}), 30.0).plan;
    EXPECT_EQ(plan.firstFrame, 30);
    EXPECT_EQ(plan.lastFrame, 36) << "1.2 * 30 is 36 although 1.2 is not exact in binary";
    EXPECT_EQ(plan.lastComputed, 36);

    plan = planFrames(options({"--frames", "d", "--fps", "60", "--from", "0.99", "--to", "1.01"}), 30.0).plan;
    EXPECT_EQ(plan.firstFrame, 60);
    EXPECT_EQ(plan.lastFrame, 60);
}

TEST(FramePlan, AtTimesTakeTheNearestFrameAndOnlyAsManyFramesAreDrawnAsNeeded) {
    PlannedFrames planned = planFrames(options({"--at", "2.5,1.01,0.02", "--fps", "30"}), 100.0);
    ASSERT_TRUE(planned.ok()) << planned.error;
    EXPECT_EQ(planned.plan.atFrames, (std::vector<FrameNumber>{75, 30, 1}));
    EXPECT_EQ(planned.plan.lastComputed, 75) << "--at alone draws up to its latest frame, not the whole show";

    planned = planFrames(options({"--at", "9", "--frames", "d", "--to", "2", "--fps", "30", "--video", "v.mp4"}),
                         100.0);
    EXPECT_EQ(planned.plan.lastComputed, 270);
    EXPECT_EQ(planned.plan.lastFrame, 60);
}

TEST(FramePlan, RejectsTimesOutsideTheShow) {
    EXPECT_NE(planFrames(options({"--at", "0.01", "--fps", "30"}), 10.0).error.find("before the first frame"),
              std::string::npos);
    EXPECT_NE(planFrames(options({"--at", "11"}), 10.0).error.find("--at 11 lies past the end"), std::string::npos);
    EXPECT_NE(planFrames(options({"--sheet", "s.png", "--to", "12"}), 10.0).error.find("--to 12 lies past the end"),
              std::string::npos);
    EXPECT_NE(planFrames(options({"--sheet", "s.png", "--from", "12"}), 10.0).error.find("--from 12"),
              std::string::npos);
    EXPECT_NE(planFrames(options({"--sheet", "s.png", "--fps", "1", "--from", "2.1", "--to", "2.9"}), 10.0)
                  .error.find("holds no frame"),
              std::string::npos);
    EXPECT_TRUE(planFrames(options({"--sheet", "s.png", "--to", "10"}), 10.0).ok()) << "the end itself is in";
}

TEST(FramePlan, SheetFramesAreEvenlySpreadInsideTheRange) {
    FramePlan plan = planFrames(options({"--sheet", "s.png", "--fps", "10", "--grid", "4x2"}), 80.0).plan;
    ASSERT_EQ(plan.sheetFrames.size(), 8u);
    // Eight stretches of the 1 to 800 frame range, each taken at its middle.
    for (size_t i = 0; i < plan.sheetFrames.size(); i++) {
        EXPECT_NEAR(plan.sheetFrames[i], 1 + (i + 0.5) * 799.0 / 8, 1.0) << i;
        EXPECT_GE(plan.sheetFrames[i], plan.firstFrame);
        EXPECT_LE(plan.sheetFrames[i], plan.lastFrame);
    }
    // A range shorter than the grid: frames repeat, never leave it.
    plan = planFrames(options({"--sheet", "s.png", "--fps", "10", "--from", "1", "--to", "1.2"}), 80.0).plan;
    for (FrameNumber frame : plan.sheetFrames) {
        EXPECT_GE(frame, 10);
        EXPECT_LE(frame, 12);
    }
}

// The longest show at the highest rate: every frame number exact, none wrapped.
TEST(FramePlan, TheLongestShowAtTheHighestRateKeepsExactFrameNumbers) {
    PlannedFrames planned =
        planFrames(options({"--fps", "1000", "--sheet", "s.png", "--at", "86400,86399.999"}), longestSeconds);
    ASSERT_TRUE(planned.ok()) << planned.error;
    EXPECT_EQ(planned.plan.lastFrame, 86400000);
    EXPECT_EQ(planned.plan.atFrames, (std::vector<FrameNumber>{86400000, 86399999}));
    EXPECT_EQ(planned.plan.lastComputed, 86400000);
    EXPECT_TRUE(parse({"--duration", "86400", "--sheet", "s.png"}).ok());
    EXPECT_FALSE(parse({"--duration", "86400.001", "--sheet", "s.png"}).ok());
    EXPECT_FALSE(parse({"--from", "1e9", "--sheet", "s.png"}).ok()) << "not a decimal time, and past the limit";
}

TEST(FrameNames, SortByTimeAndNumber) {
    EXPECT_EQ(atFrameName(2.5), "t2.500.png");
    EXPECT_EQ(atFrameName(18.2), "t18.200.png");
    EXPECT_EQ(numberedFrameName(61), "frame-000061.png");
    EXPECT_LT(numberedFrameName(999), numberedFrameName(1000));
    EXPECT_EQ(numberedFrameName(3000000000LL), "frame-3000000000.png") << "past 2^31";
}

TEST(OutputPaths, MakesTheFramesDirectoryAndChecksEveryOutputBeforeWork) {
    TempDir dir;
    std::string frames = dir.path + "/deep/er/frames";
    EXPECT_EQ(prepareOutputs(options({"--frames", frames})), "");
    EXPECT_TRUE(exists(frames));
    EXPECT_EQ(commandOutput("ls -A '" + frames + "'"), "") << "the probe file is removed again";
    EXPECT_EQ(prepareOutputs(options({"--video", dir.path + "/v.mp4", "--sheet", dir.path + "/s.png"})), "");
    EXPECT_FALSE(exists(dir.path + "/v.mp4"));
    EXPECT_FALSE(exists(dir.path + "/s.png"));

    commandOutput("touch '" + dir.path + "/file'");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--video", dir.path + "/missing/v.mp4"}, "--video: cannot write "},
        {{"--sheet", dir.path + "/file/s.png"}, "is not a directory"},
        {{"--sheet", dir.path}, "is a directory"},
        {{"--frames", dir.path + "/file"}, "is not a directory"},
        {{"--frames", dir.path + "/file/frames"}, "is not a directory"},
        // Permission bits do not stop root; a file system that takes no files does.
        {{"--sheet", "/proc/sheet.png"}, "--sheet: cannot write /proc/sheet.png"},
        {{"--at", "1", "--frames", "/proc/frames"}, "--frames: cannot make the directory /proc/frames"},
        {{"--at", "1", "--compare", dir.path + "/file"}, "--compare: "},
    };
    for (const Case& c : cases) {
        std::string error = prepareOutputs(options(c.args));
        EXPECT_NE(error.find(c.message), std::string::npos) << c.args[1] << ": " << error;
    }
}

RgbImage gradient(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            unsigned char* p = image.pixel(x, y);
            p[0] = (unsigned char)(x * 7);
            p[1] = (unsigned char)(y * 11);
            p[2] = (unsigned char)(x * y);
        }
    return image;
}

TEST(FrameCompare, HoldsAFrameToThePictureOfItsNameAndSaysWhyNot) {
    TempDir dir;
    RgbImage frame = gradient(64, 36);
    ASSERT_EQ(writePng(frame, dir.path + "/t2.500.png", 6), "");
    ASSERT_EQ(writePng(gradient(32, 18), dir.path + "/t3.000.png", 6), "");
    commandOutput("echo not a picture > '" + dir.path + "/t4.000.png'");
    FrameVerdict same = compareFrame(frame, dir.path, 2.5);
    EXPECT_TRUE(same.agrees) << same.line();
    EXPECT_EQ(same.line().rfind("t2.500.png at 2.5 s: agrees with " + dir.path + "/t2.500.png: 0 pixels differ", 0), 0u)
        << same.line();
    FrameVerdict smaller = compareFrame(frame, dir.path, 3.0);
    EXPECT_FALSE(smaller.agrees);
    EXPECT_EQ(smaller.failure(), "--compare: t3.000.png at 3 s differs from " + dir.path +
                                     "/t3.000.png: the pictures differ in size: 64x36, the reference 32x18");
    FrameVerdict notPng = compareFrame(frame, dir.path, 4.0);
    EXPECT_FALSE(notPng.agrees);
    EXPECT_NE(notPng.failure().find("t4.000.png at 4 s has no reference: cannot read " + dir.path +
                                    "/t4.000.png: not a PNG file"),
              std::string::npos)
        << notPng.failure();
    EXPECT_NE(compareFrame(frame, dir.path, 5.0).failure().find("t5.000.png at 5 s has no reference"),
              std::string::npos);

    EXPECT_EQ(compareDirectoryError(dir.path), "");
    EXPECT_EQ(compareDirectoryError(dir.path + "/missing"), "--compare: " + dir.path + "/missing: No such file or directory");
    EXPECT_EQ(compareDirectoryError(dir.path + "/t4.000.png"), "--compare: " + dir.path + "/t4.000.png is not a directory");
    // Only compared: nothing is written without --frames.
    EXPECT_EQ(framesDirectoryOf(options({"--at", "1", "--compare", dir.path})), "");
    EXPECT_EQ(framesDirectoryOf(options({"--at", "1", "--compare", dir.path, "--frames", "out"})), "out");
}

TEST(PngFile, RoundTripsEveryPixelAndLeavesNoPartOnFailure) {
    TempDir dir;
    RgbImage image = gradient(37, 23);
    std::string path = dir.path + "/picture.png";
    ASSERT_EQ(writePng(image, path, 9), "");
    RgbImage back;
    ASSERT_EQ(readPng(path, back), "");
    EXPECT_EQ(back.width, 37);
    EXPECT_EQ(back.height, 23);
    EXPECT_EQ(back.rgb, image.rgb);
    EXPECT_FALSE(exists(path + ".part"));

    std::string error = writePng(image, dir.path + "/missing/picture.png", 9);
    EXPECT_NE(error.find(dir.path + "/missing/picture.png"), std::string::npos) << error;

    commandOutput("echo not a picture > '" + dir.path + "/text.png'");
    error = readPng(dir.path + "/text.png", back);
    EXPECT_NE(error.find("text.png: not a PNG file"), std::string::npos) << error;
    commandOutput("head -c 100 '" + path + "' > '" + dir.path + "/cut.png'");
    error = readPng(dir.path + "/cut.png", back);
    EXPECT_NE(error.find("cut.png"), std::string::npos) << error;
    EXPECT_EQ(back.width, 0);
    EXPECT_EQ(readPng(dir.path, back), "cannot read " + dir.path + ": is a directory");
}

TEST(ContactSheet, ShrinksByAreaAverage) {
    RgbImage image(4, 2);
    std::fill_n(image.pixel(0, 0), 3, 200);
    std::fill_n(image.pixel(1, 1), 3, 100);
    std::fill_n(image.pixel(3, 0), 3, 255);
    RgbImage small = shrink(image, 2, 1);
    EXPECT_EQ(small.pixel(0, 0)[0], 75) << "(200 + 100 + 0 + 0) / 4";
    EXPECT_EQ(small.pixel(1, 0)[0], 64) << "255 / 4, rounded";
}

int litIn(const RgbImage& image, int x0, int y0, int x1, int y1, int above) {
    int lit = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            lit += std::max({image.pixel(x, y)[0], image.pixel(x, y)[1], image.pixel(x, y)[2]}) > above;
    return lit;
}

TEST(ContactSheet, PlacesEachThumbnailInItsCellWithItsTimeUnderIt) {
    // A full-HD frame, white in its left half: four to a row of 480x270.
    RgbImage frame(1920, 1080);
    for (int y = 0; y < 1080; y++)
        std::fill_n(frame.pixel(0, y), 3 * 960, 255);
    ContactSheet sheet(3, 2, 1920, 1080);
    EXPECT_EQ(sheet.thumbnailWidth, 480);
    EXPECT_EQ(sheet.thumbnailHeight, 270);
    EXPECT_EQ(sheet.picture.width, 12 + 3 * (480 + 12));
    sheet.place(4, frame, 65.25);
    int left = sheet.cellLeft(4);
    int top = sheet.cellTop(4);
    EXPECT_EQ(left, 12 + 492);
    EXPECT_EQ(top, 12 + 270 + sheet.labelHeight() + 12);
    EXPECT_EQ(litIn(sheet.picture, left, top, left + 240, top + 270, 250), 240 * 270);
    EXPECT_EQ(litIn(sheet.picture, left + 240, top, left + 480, top + 270, 41), 0);
    // The label "65.25 s" is centred under the thumbnail; nothing is drawn in the empty cells.
    int labelWidth = textWidth("65.25 s", ContactSheet::labelScale);
    int labelLeft = left + (480 - labelWidth) / 2;
    int label = litIn(sheet.picture, labelLeft, sheet.labelTop(4), labelLeft + labelWidth,
                      sheet.labelTop(4) + 5 * ContactSheet::labelScale, 41);
    EXPECT_GT(label, 0);
    EXPECT_EQ(litIn(sheet.picture, 0, 0, sheet.picture.width, sheet.picture.height, 41), 240 * 270 + label);

    ContactSheet other(3, 2, 1920, 1080);
    other.place(4, frame, 66.25);
    EXPECT_NE(other.picture.rgb, sheet.picture.rgb) << "another time, another label";
}

TEST(ContactSheet, NeverEnlargesSmallFrames) {
    ContactSheet sheet(4, 4, 320, 180);
    EXPECT_EQ(sheet.thumbnailWidth, 320);
    EXPECT_EQ(sheet.thumbnailHeight, 180);
}

std::string progressOutput(int total, bool terminal) {
    TempDir dir;
    std::string path = dir.path + "/progress.txt";
    FILE* file = std::fopen(path.c_str(), "w");
    Progress progress("velquor-capture", total, file, terminal);
    for (int done = 1; done <= total; done++)
        progress.update(done);
    progress.finish();
    std::fclose(file);
    return readTextFile(path);
}

TEST(Progress, OneLinePerTenthWhenNotATerminal) {
    std::string output = progressOutput(250, false);
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t end; (end = output.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(output.substr(begin, end - begin));
    ASSERT_EQ(lines.size(), 10u) << output;
    EXPECT_EQ(lines[0].rfind("velquor-capture:  10% (25/250 frames, ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[9].rfind("velquor-capture: 100% (250/250 frames, ", 0), 0u) << lines[9];
    EXPECT_NE(lines[4].find(" fps, "), std::string::npos) << lines[4];
    EXPECT_NE(lines[4].find(" left)"), std::string::npos) << lines[4];
    EXPECT_EQ(output.find('\r'), std::string::npos);
}

TEST(Progress, ABarRedrawnInPlaceOnATerminal) {
    std::string output = progressOutput(3, true);
    EXPECT_EQ(output.rfind("\r[", 0), 0u) << output;
    EXPECT_NE(output.find("[##############################] 100% 3/3 frames"), std::string::npos) << output;
    EXPECT_EQ(output.back(), '\n');
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
}

TEST(Progress, TimeLeftReadsAsAClock) {
    EXPECT_EQ(clockTime(0.4), "0:00");
    EXPECT_EQ(clockTime(65), "1:05");
    EXPECT_EQ(clockTime(3725), "1:02:05");
}

TEST(TrackLength, IsTheLengthOfTheMusicAsTheMixerReadsIt) {
    TempDir dir;
    ASSERT_TRUE(makeTestTrack(dir.path + "/track.mp3", 3.0));
    std::string error;
    EXPECT_NEAR(trackSeconds(dir.path + "/track.mp3", error), 3.0, 0.06);
    EXPECT_EQ(error, "");
    EXPECT_EQ(trackSeconds(dir.path + "/none.mp3", error), 0.0);
    EXPECT_NE(error.find(dir.path + "/none.mp3"), std::string::npos) << error;
}

} // namespace
