#include "tests/support/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/common/ChildProcess.h"

pid_t spawnProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    tools::ChildSetup setup;
    setup.workingDirectory = options.workingDirectory;
    setup.environment = options.environment;
    // Under the sanitizer suite the programs a test starts keep AddressSanitizer
    // and UndefinedBehaviorSanitizer but not the leak check: by design they hold
    // the demo and its scenes until exit, and Mesa unloads its driver before the
    // check, leaving leak stacks that name no library.
    if (const char* sanitizer = std::getenv("ASAN_OPTIONS"))
        setup.environment.emplace_back("ASAN_OPTIONS", std::string(sanitizer) + ":detect_leaks=0");
    setup.output = options.output;
    if (setup.output >= 0)
        return tools::startChild(argv, setup);
    std::string output = options.outputPath.empty() ? "/dev/null" : options.outputPath;
    setup.output = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t pid = tools::startChild(argv, setup);
    if (setup.output >= 0)
        close(setup.output);
    return pid;
}

void stopProcess(pid_t pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    if (waitProcess(pid, 3.0) >= 0)
        return;
    kill(pid, SIGKILL);
    waitProcess(pid, 3.0);
}

std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}

ShellOutcome runShell(const std::string& command, double timeoutSeconds) {
    TempDir logDirectory;
    std::string log = logDirectory.path + "/output.txt";
    pid_t child = spawnProcess({"/bin/sh", "-c", command}, {"", {}, log});
    int status = waitProcess(child, timeoutSeconds);
    if (status < 0)
        stopProcess(child);
    return {status, readTextFile(log)};
}
