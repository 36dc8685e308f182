#include "tests/support/CaptureRun.h"

#include <cstdlib>
#include <memory>

#include "tests/support/Process.h"
#include "tests/support/XServer.h"

std::string captureDisplay() {
    static std::unique_ptr<XServer> privateDisplay;
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        return display;
    if (!privateDisplay)
        privateDisplay.reset(new XServer(1280, 720));
    return privateDisplay->display;
}

std::vector<std::string> captureCommand(const std::vector<std::string>& args, const CaptureSettings& settings) {
    std::vector<std::string> argv;
    if (!settings.shellPrefix.empty())
        argv = {"/bin/sh", "-c", settings.shellPrefix + " exec \"$@\"", "sh"};
    argv.push_back(VQ_BUILD_DIR "/velquor-capture");
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

Environment captureEnvironment(const CaptureSettings& settings) {
    Environment variables;
    bool displayGiven = false;
    for (const auto& variable : settings.environment)
        displayGiven = displayGiven || variable.first == "DISPLAY";
    if (!displayGiven)
        variables.push_back({"DISPLAY", captureDisplay()});
    variables.insert(variables.end(), settings.environment.begin(), settings.environment.end());
    return variables;
}

CaptureRun runCapture(const std::vector<std::string>& args, const CaptureSettings& settings) {
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    pid_t child = spawnProcess(captureCommand(args, settings),
                               {settings.workingDirectory, captureEnvironment(settings), log});
    CaptureRun run;
    run.status = waitProcess(child, settings.timeoutSeconds);
    if (run.status < 0)
        stopProcess(child);
    run.output = readTextFile(log);
    return run;
}
