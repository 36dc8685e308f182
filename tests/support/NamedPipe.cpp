#include "tests/support/NamedPipe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Far longer than any loader takes to refuse a pipe, far shorter than a test's limit.
const std::chrono::seconds patience(3);

} // namespace

NamedPipe::NamedPipe(const std::string& path) : path(path), ok(mkfifo(path.c_str(), 0644) == 0) {}

NamedPipe::~NamedPipe() {
    unlink(path.c_str());
}

bool NamedPipe::blocksOpening(const std::function<void()>& work) {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool blocked = false;
    std::thread watch([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (finished.wait_for(lock, patience, [&] { return done; }))
            return;
        // A non-blocking open of the writing end succeeds only while a reader waits.
        while (!done) {
            int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                blocked = true;
                close(writer);
            }
            finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; });
        }
    });
    work();
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    finished.notify_all();
    watch.join();
    return blocked;
}
