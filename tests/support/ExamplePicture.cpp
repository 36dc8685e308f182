#include "tests/support/ExamplePicture.h"

#include "tests/support/CaptureRun.h"
#include "tests/support/PictureCompare.h"
#include "tests/support/Process.h"

namespace {

// A whole shot of the show through the render buffer takes about 12 s here.
const double shotTimeoutSeconds = 180.0;

} // namespace

std::string examplePicturePath(const std::string& name) {
    return std::string(VQ_SOURCE_DIR "/examples/") + name + "/picture.png";
}

std::string shootExample(const std::string& program, const std::string& workingDirectory,
                         const std::string& shotPath) {
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    std::string size = std::to_string(examplePictureWidth) + "x" + std::to_string(examplePictureHeight);
    pid_t child = spawnProcess({program, "--size", size, "--shot", shotPath},
                               {workingDirectory, {{"DISPLAY", captureDisplay()}}, log});
    int status = waitProcess(child, shotTimeoutSeconds);
    if (status < 0)
        stopProcess(child);
    if (status == 0)
        return "";
    return program + " --shot exited with " + std::to_string(status) + ":\n" + readTextFile(log);
}

std::string compareWithExamplePicture(const std::string& shotPath, const std::string& name) {
    return compareWithPicture(shotPath, examplePicturePath(name), "example-" + name,
                              "after an intended change of the look: cmake --build <build> --target update_references");
}

std::string compareWithPicture(const std::string& shotPath, const std::string& picturePath, const std::string& label,
                               const std::string& update) {
    tools::RgbImage actual;
    tools::RgbImage reference;
    std::string error = tools::readPng(shotPath, actual);
    if (error.empty())
        error = tools::readPng(picturePath, reference);
    if (!error.empty())
        return error;
    PictureDifference difference = comparePictures(actual, reference);
    if (!difference.differs)
        return "";
    std::string stem = std::string(VQ_BUILD_DIR "/reference-failures/") + label;
    commandOutput("mkdir -p '" VQ_BUILD_DIR "/reference-failures'");
    tools::writePng(actual, stem + "-actual.png", 6);
    tools::writePng(difference.picture, stem + "-diff.png", 6);
    return "the shot is not " + picturePath + ": " + difference.summary() + "\n  actual: " + stem +
           "-actual.png\n  differences (red: brighter in the shot, blue: brighter in the picture): " + stem +
           "-diff.png\n  " + update;
}
