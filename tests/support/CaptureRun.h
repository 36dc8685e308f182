#ifndef VQ_TESTS_CAPTURERUN_H
#define VQ_TESTS_CAPTURERUN_H

#include <string>
#include <utility>
#include <vector>

using Environment = std::vector<std::pair<std::string, std::string>>;

// How velquor-capture is started for a test.
struct CaptureSettings {
    Environment environment;     // on top of DISPLAY = captureDisplay()
    std::string workingDirectory = VQ_BUILD_DIR;
    std::string shellPrefix;     // run through sh -c with this first, such as "ulimit -f 16;"
    double timeoutSeconds = 300.0;
};

struct CaptureRun {
    int status = -1;    // exit status, 128 + signal, or -1 when it timed out
    std::string output; // standard output and error together
};

CaptureRun runCapture(const std::vector<std::string>& args, const CaptureSettings& settings = CaptureSettings());

// The command line that runCapture starts, and the environment it adds.
std::vector<std::string> captureCommand(const std::vector<std::string>& args, const CaptureSettings& settings);
Environment captureEnvironment(const CaptureSettings& settings);

// $DISPLAY, or a private Xvfb started on first use and kept for the process.
std::string captureDisplay();

#endif
