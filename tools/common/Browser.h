#ifndef VELQUOR_TOOLS_BROWSER_H
#define VELQUOR_TOOLS_BROWSER_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "tools/common/TempDir.h"

namespace tools {

// One headless Chromium, WebGL2 on SwiftShader, driven over the DevTools
// protocol on a pipe (its fds 3 and 4), with one page of width x height and
// a fresh profile of its own. Every wait has a time limit.
class Browser {
public:
    Browser(int width, int height, std::vector<std::string> extraFlags = {});
    ~Browser();
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Loads url and waits for its load event: an error line, or empty.
    std::string navigate(const std::string& url);
    // The value of expression in the page, a promise awaited: a string as its
    // own characters, anything else as JSON text, "undefined" for nothing.
    // failure is empty, or says why there is no value (an exception's message).
    std::string evaluate(const std::string& expression, std::string& failure);
    // Evaluates expression every 50 ms until its value is true.
    bool waitFor(const std::string& expression, double timeoutSeconds);
    // The viewport as a PNG at pngPath: an error line, or empty.
    std::string screenshot(const std::string& pngPath);
    // What the page logged so far, one entry per console call or uncaught
    // exception.
    std::vector<std::string> consoleLines();
    // The address of every request the page made so far, data: and blob: ones too.
    std::vector<std::string> requestedUrls();
    // Runs script in every document the page loads from now on, before its own.
    std::string addScriptOnNewDocument(const std::string& script);
    // Files the page saves go to directory: an error line, or empty.
    std::string saveDownloadsIn(const std::string& directory);

    std::string error; // empty when Chromium started and a page is attached
    // Chromium's process group, for a signal handler to end it; -1 when none.
    pid_t processGroup() const { return pid; }

private:
    using Clock = std::chrono::steady_clock;

    std::string start(int width, int height, const std::vector<std::string>& extraFlags);
    std::string evaluateUntil(const std::string& expression, std::string& failure, Clock::time_point deadline);
    // Sends a command to the page (or to the browser itself) and waits for its
    // reply: the reply's result object, or "" with failure set.
    std::string call(const std::string& method, const std::string& params, std::string& failure,
                     Clock::time_point deadline, bool toPage = true);
    bool send(const std::string& message, Clock::time_point deadline, std::string& failure);
    bool receive(std::string& message, Clock::time_point deadline, std::string& failure);
    void handleEvent(const std::string& message);
    // Reads the events that have come, without waiting.
    void takeEvents();
    std::string whyGone();

    TempDir profile{"velquor-chromium"};
    std::string logPath;
    pid_t pid = -1;
    int channel = -1;
    bool gone = false;
    std::string endReason;
    int nextId = 1;
    std::string sessionId;
    std::string incoming;
    size_t scanned = 0;
    bool loaded = false;
    std::vector<std::string> console;
    std::vector<std::string> requests;
};

} // namespace tools

#endif
