// velquor-page-capture: the frame-exact stills of a show's one-file web page,
// drawn by headless Chromium, under the capture's names, options and
// comparison, so a page is held to the pictures its native capture is.
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/capture/CaptureOptions.h"
#include "tools/capture/FrameCompare.h"
#include "tools/capture/OutputPaths.h"
#include "tools/common/Browser.h"
#include "tools/common/OptionValues.h"
#include "tools/common/PngFile.h"
#include "tools/common/TempDir.h"

using namespace capture;
using namespace tools;

namespace {

const char* const program = "velquor-page-capture";
const int badInput = 2;
const int failed = 1;
// Stepping to a late moment takes SwiftShader some seconds, unpacking the
// page and building the show one or two; a page that says nothing by then
// is stuck.
const double defaultStillSeconds = 120.0;
const char* const limitVariable = "VQ_PAGE_CAPTURE_SECONDS";
const std::set<std::string> accepted = {"--at", "--size", "--fps", "--frames", "--compare"};
const char* const statusText = "document.getElementById('status').textContent";

volatile sig_atomic_t stopSignal = 0;
volatile pid_t chromiumGroup = -1;

// Chromium runs in a process group of its own, which a Ctrl-C does not
// reach: end it here, and let the tool clean up behind itself.
void onStopSignal(int signal) {
    stopSignal = signal;
    if (chromiumGroup > 0)
        kill(-chromiumGroup, SIGKILL);
}

void handleSignals() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

int complain(const std::string& message, int status) {
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    return status;
}

std::string usageText() {
    return std::string("Usage: ") + program + " PAGE.html [OPTION]...\n"
           "Draws the frame-exact stills of a show's one-file web page in headless\n"
           "Chromium (WebGL2 on SwiftShader): the page opened from disk as\n"
           "PAGE.html?at=T&size=WxH&fps=N draws the frame that the show's capture\n"
           "draws with --at T --size WxH --fps N. The options, file names and exit\n"
           "status are the capture's.\n"
           "\n"
           "  --at T1,T2,...    the frames at these times (frame round(T * fps)), as\n"
           "                    tT.TTT.png in the --frames directory, or here\n"
           "  --frames DIR      where the stills go (made when missing)\n"
           "  --compare DIR     hold each still to the picture of the same name in DIR\n"
           "                    (tT.TTT.png) under the reference tests' rules, and print\n"
           "                    one line per frame; the stills are written only with\n"
           "                    --frames, each differing one with tT.TTT-diff.png beside it\n"
           "  --size WxH        frame size in pixels, landscape (default 1920x1080)\n"
           "  --fps N           frames per second (default 60)\n"
           "  -h, --help        show this help\n"
           "\n"
           "Each still has " + formatSeconds(defaultStillSeconds) + " s to finish (" + limitVariable +
           " sets other seconds).\n"
           "Exit status: 0 when every still was written (and agrees with its reference),\n"
           "1 when a still differs or has no reference, the page names an error, it does\n"
           "not finish in time or Chromium cannot run, 2 for a bad command line, a page\n"
           "that cannot be read, an output path that cannot be written or a --compare\n"
           "directory that cannot be read.\n"
           "\n"
           "Example:\n"
           "  " + program + " site/index.html --size 480x270 --fps 30 --at 2.5,9 --compare shots\n";
}

// The page is the one argument that is neither an option nor an option's value.
std::string takePage(std::vector<std::string>& args, std::string& page) {
    std::vector<std::string> options;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& arg = args[i];
        if (arg.rfind("-", 0) == 0 || arg.empty()) {
            std::string name = arg.substr(0, arg.find('='));
            if (name != "-h" && name != "--help" && !accepted.count(name))
                return "unknown option " + quoted(name) + ": " + program +
                       " takes only --at, --size, --fps, --frames and --compare (see --help)";
            options.push_back(arg);
            if (accepted.count(arg) && i + 1 < args.size())
                options.push_back(args[++i]);
        } else if (page.empty()) {
            page = arg;
        } else {
            return "unexpected argument " + quoted(arg) + ": give one page (see --help)";
        }
    }
    args = options;
    return "";
}

std::string pageError(const std::string& page) {
    struct stat status;
    if (stat(page.c_str(), &status) != 0)
        return page + ": " + std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return page + " is not a file";
    if (access(page.c_str(), R_OK) != 0)
        return page + ": " + std::strerror(errno);
    return "";
}

// The page's file: address, every byte but the unreserved ones and '/'
// escaped, so a name with '#', '?', '%' or spaces opens the file it names.
std::string fileUrl(const std::string& absolutePath) {
    std::string url = "file://";
    for (unsigned char c : absolutePath) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            url += char(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            url += escaped;
        }
    }
    return url;
}

std::string stillQuery(double seconds, const CaptureOptions& options) {
    char query[96];
    std::snprintf(query, sizeof query, "?at=%.17g&size=%dx%d&fps=%d", seconds, options.width, options.height,
                  options.fps);
    return query;
}

class PageCapture {
public:
    PageCapture(const std::string& page, const std::string& url, const CaptureOptions& options, double limit)
        : page(page), url(url), options(options), limit(limit), browser(options.width, options.height) {
        chromiumGroup = browser.processGroup();
    }
    ~PageCapture() { chromiumGroup = -1; }

    int run();

private:
    std::string still(double seconds, RgbImage& frame);
    std::string evaluated(const std::string& expression);

    const std::string page;
    const std::string url;
    const CaptureOptions& options;
    const double limit;
    Browser browser;
    std::string renderer;
};

std::string PageCapture::evaluated(const std::string& expression) {
    std::string failure;
    std::string value = browser.evaluate(expression, failure);
    return failure.empty() ? value : "(" + failure + ")";
}

// The still at seconds, read off the top left of the viewport: an error
// line, or empty.
std::string PageCapture::still(double seconds, RgbImage& frame) {
    std::string where = page + " at " + formatSeconds(seconds) + " s: ";
    std::string error = browser.navigate(url + stillQuery(seconds, options));
    if (!error.empty())
        return where + error;
    std::string finished = std::string("/^(ready|error)/.test(") + statusText + ")";
    if (!browser.waitFor(finished, limit))
        return where + "the page did not finish within " + formatSeconds(limit) + " s; its status: " +
               quoted(evaluated(statusText));
    std::string status = evaluated(statusText);
    if (status.rfind("ready", 0) != 0)
        return where + "the page says " + status;
    if (renderer.empty()) {
        renderer = status.substr(status.find('\n') + 1);
        std::fprintf(stderr, "%s: %s\n", program, renderer.c_str());
    }
    std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    std::string canvas = evaluated("(() => { const c = document.querySelector('canvas');"
                                   " return c ? c.width + 'x' + c.height : 'none'; })()");
    if (canvas != size)
        return where + "the page's canvas is " + canvas + ", not the " + size + " asked for";
    TempDir shots("velquor-page-capture");
    RgbImage whole;
    error = browser.screenshot(shots.path + "/shot.png");
    if (error.empty())
        error = readPng(shots.path + "/shot.png", whole);
    if (!error.empty())
        return where + error;
    if (whole.width < options.width || whole.height < options.height)
        return where + "Chromium's picture is " + std::to_string(whole.width) + "x" + std::to_string(whole.height) +
               ", smaller than " + size;
    frame = RgbImage(options.width, options.height);
    for (int y = 0; y < options.height; y++)
        std::copy(whole.pixel(0, y), whole.pixel(0, y) + 3 * size_t(options.width), frame.pixel(0, y));
    return "";
}

int PageCapture::run() {
    if (!browser.error.empty())
        return complain(browser.error.substr(browser.error.rfind("Browser: ", 0) == 0 ? 9 : 0), failed);
    std::vector<FrameVerdict> verdicts;
    long long framesWritten = 0;
    for (double seconds : options.atTimes) {
        RgbImage frame;
        std::string error = still(seconds, frame);
        if (stopSignal)
            return 128 + stopSignal;
        if (error.empty())
            error = keepAtFrame(frame, options, seconds, verdicts, framesWritten);
        if (!error.empty())
            return complain(error, failed);
    }
    if (framesWritten > 0)
        std::fprintf(stderr, "%s: wrote %lld PNG frame%s into %s\n", program, framesWritten,
                     framesWritten == 1 ? "" : "s", framesDirectoryOf(options).c_str());
    return options.compareDirectory.empty() ? 0 : reportVerdicts(program, verdicts, options.compareDirectory);
}

// VQ_PAGE_CAPTURE_SECONDS, or the default: false when it is set but not a
// time from 1 s to a day.
bool stillLimit(double& seconds) {
    seconds = defaultStillSeconds;
    const char* value = std::getenv(limitVariable);
    if (!value)
        return true;
    return parseSeconds(value, seconds) && seconds >= 1.0 && seconds <= longestSeconds;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string page;
    std::string error = takePage(args, page);
    if (!error.empty())
        return complain(error, badInput);
    ParsedOptions parsed = parseCaptureOptions(args, accepted);
    if (!parsed.ok())
        return complain(parsed.error, badInput);
    CaptureOptions& options = parsed.options;
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (page.empty())
        return complain("no page: give the show's PAGE.html (see --help)", badInput);
    if (options.atTimes.empty())
        return complain("give --at: the page draws the frames at those times (see --help)", badInput);
    double limit = 0.0;
    if (!stillLimit(limit))
        return complain(std::string(limitVariable) + ": " + quoted(std::getenv(limitVariable)) +
                            " is not a time from 1 to " + formatSeconds(longestSeconds) + " seconds",
                        badInput);
    error = pageError(page);
    if (!error.empty())
        return complain(error, badInput);
    PlannedFrames planned = planFrames(options, longestSeconds);
    if (!planned.ok())
        return complain(planned.error, badInput);
    error = prepareOutputs(options);
    if (!error.empty())
        return complain(error, badInput);
    char absolute[PATH_MAX];
    if (!realpath(page.c_str(), absolute))
        return complain(page + ": " + std::strerror(errno), badInput);

    handleSignals();
    std::fprintf(stderr, "%s: %s at %dx%d, %d fps: %zu still%s in headless Chromium\n", program, page.c_str(),
                 options.width, options.height, options.fps, options.atTimes.size(),
                 options.atTimes.size() == 1 ? "" : "s");
    int status = PageCapture(page, fileUrl(absolute), options, limit).run();
    if (stopSignal) {
        std::fprintf(stderr, "%s: stopped by signal %d\n", program, int(stopSignal));
        signal(stopSignal, SIG_DFL);
        raise(stopSignal);
    }
    return status;
}
