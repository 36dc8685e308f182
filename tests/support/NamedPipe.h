#ifndef VQ_TESTS_NAMEDPIPE_H
#define VQ_TESTS_NAMEDPIPE_H

#include <functional>
#include <string>

// A named pipe put where a file is expected. Opening one for reading blocks
// until a writer comes; a loader that does so would hang the test, so the
// pipe is watched: a reader still waiting after a few seconds is let go by
// opening the writing end, and counted as a failure.
class NamedPipe {
public:
    explicit NamedPipe(const std::string& path);
    ~NamedPipe();
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool made() const { return ok; }
    // Runs work; true when something in it blocked opening the pipe.
    bool blocksOpening(const std::function<void()>& work);

    std::string path;

private:
    bool ok;
};

#endif
