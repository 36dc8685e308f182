#ifndef VELQUOR_TOOLS_CHILDPROCESS_H
#define VELQUOR_TOOLS_CHILDPROCESS_H

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace tools {

// How a child starts: where, with which variables changed, and its standard
// streams.
struct ChildSetup {
    std::string workingDirectory; // empty: the parent's
    std::vector<std::pair<std::string, std::string>> environment; // set in the child only
    int input = -1;  // its standard input; -1: /dev/null
    int output = -1; // its standard output and error; -1: /dev/null
};

// Starts argv[0], looked up on PATH, in a process group of its own, so that a
// Ctrl-C at the terminal reaches the parent, which stops the child itself.
// Everything the child needs is made before the fork: the parent may have
// threads (the GL driver's), and a forked copy must not allocate. The
// child's id, or -1 with errno set. A child that cannot change directory
// exits with 126, one that cannot run the program with 127.
pid_t startChild(const std::vector<std::string>& argv, const ChildSetup& setup);

// Waits for the child to end, through signals: its exit status, or 128 plus
// the signal that ended it.
int waitChild(pid_t child);

// Waits at most timeoutSeconds: the exit status, 128 plus the signal for a
// child that was killed, or -1 when it is still running (or is no child).
int waitProcess(pid_t pid, double timeoutSeconds);

} // namespace tools

#endif
