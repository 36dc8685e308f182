#include "tools/common/ChildProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace tools {

namespace {

// The parent's variables with the changes made in turn, a later change to
// a name replacing an earlier one, as setenv would.
std::vector<std::string> childEnvironment(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; variable++)
        variables.push_back(*variable);
    for (const auto& change : changes) {
        std::string prefix = change.first + "=";
        variables.erase(std::remove_if(variables.begin(), variables.end(),
                                       [&](const std::string& variable) { return variable.rfind(prefix, 0) == 0; }),
                        variables.end());
        variables.push_back(prefix + change.second);
    }
    return variables;
}

std::vector<char*> pointersTo(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& text : strings)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// The child's side of the fork: only calls that are safe after it.
[[noreturn]] void becomeChild(char** argv, char** envp, const char* directory, int input, int output,
                              int nothing) {
    setpgid(0, 0);
    if (directory && chdir(directory) != 0)
        _exit(126);
    dup2(input >= 0 ? input : nothing, 0);
    dup2(output >= 0 ? output : nothing, 1);
    dup2(output >= 0 ? output : nothing, 2);
    execvpe(argv[0], argv, envp);
    _exit(127);
}

} // namespace

pid_t startChild(const std::vector<std::string>& argv, const ChildSetup& setup) {
    std::vector<char*> args = pointersTo(argv);
    std::vector<std::string> variables = childEnvironment(setup.environment);
    std::vector<char*> envp = pointersTo(variables);
    const char* directory = setup.workingDirectory.empty() ? nullptr : setup.workingDirectory.c_str();
    int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nothing < 0)
        return -1;
    pid_t child = fork();
    if (child == 0)
        becomeChild(args.data(), envp.data(), directory, setup.input, setup.output, nothing);
    int error = errno;
    close(nothing);
    errno = error;
    return child;
}

int waitChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int waitProcess(pid_t pid, double timeoutSeconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status))
                return WEXITSTATUS(status);
            if (WIFSIGNALED(status))
                return 128 + WTERMSIG(status);
            return -1;
        }
        if (done < 0 || std::chrono::steady_clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace tools
