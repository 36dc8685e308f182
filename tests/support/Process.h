#ifndef VQ_TESTS_PROCESS_H
#define VQ_TESTS_PROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

#include "tools/common/ChildProcess.h"
#include "tools/common/TempDir.h"

// Child processes for tests that drive real programs (Xvfb, openbox, the demo).
struct ProcessOptions {
    std::string workingDirectory;                              // empty: inherit
    std::vector<std::pair<std::string, std::string>> environment; // set in the child only
    std::string outputPath;                                    // stdout and stderr go here; empty: /dev/null
    int output = -1;                                           // or to this descriptor, when set
};

pid_t spawnProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// The exit status, 128 + signal for a killed child, or -1 when it is still
// running after timeoutSeconds.
using tools::waitProcess;

// SIGTERM, then SIGKILL if it lingers; reaps the child.
void stopProcess(pid_t pid);

// Runs a shell command and returns its standard output.
std::string commandOutput(const std::string& command);

struct ShellOutcome {
    int status;         // as waitProcess gives it: -1 when it was stopped at the time limit
    std::string output; // standard output and error together
};

// Runs a shell command, stopping it after timeoutSeconds.
ShellOutcome runShell(const std::string& command, double timeoutSeconds);

// A whole file; a fresh directory under /tmp, removed by the destructor.
using tools::readTextFile;
using tools::TempDir;

#endif
