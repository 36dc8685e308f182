#include "tools/common/Browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tools/common/ChildProcess.h"

namespace tools {

namespace {

using Clock = std::chrono::steady_clock;

const double callSeconds = 30.0;

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

int millisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<long long>(left, 0, 1000000));
}

// Just enough JSON to read the protocol's messages: values are kept as their
// text, and members are looked up in one object at a time.

size_t skipSpace(const std::string& text, size_t at) {
    while (at < text.size() && std::strchr(" \t\r\n", text[at]) && text[at] != '\0')
        at++;
    return at;
}

// Where the value starting at `at` ends, or npos when it is cut short.
size_t valueEnd(const std::string& text, size_t at) {
    if (at >= text.size())
        return std::string::npos;
    if (text[at] == '"') {
        for (size_t i = at + 1; i < text.size(); i++) {
            if (text[i] == '\\')
                i++;
            else if (text[i] == '"')
                return i + 1;
        }
        return std::string::npos;
    }
    if (text[at] == '{' || text[at] == '[') {
        int depth = 0;
        for (size_t i = at; i < text.size(); i++) {
            char c = text[i];
            if (c == '"') {
                size_t end = valueEnd(text, i);
                if (end == std::string::npos)
                    return end;
                i = end - 1;
            } else if (c == '{' || c == '[') {
                depth++;
            } else if ((c == '}' || c == ']') && --depth == 0) {
                return i + 1;
            }
        }
        return std::string::npos;
    }
    size_t end = at;
    while (end < text.size() && !std::strchr(",:}] \t\r\n", text[end]))
        end++;
    return end == at ? std::string::npos : end;
}

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xc0 | (code >> 6));
        out += char(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += char(0xe0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3f));
        out += char(0x80 | (code & 0x3f));
    } else {
        out += char(0xf0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3f));
        out += char(0x80 | ((code >> 6) & 0x3f));
        out += char(0x80 | (code & 0x3f));
    }
}

// Four hex digits at `at`, or -1.
long hex4(const std::string& text, size_t at) {
    std::string digits = text.substr(std::min(at, text.size()), 4);
    if (digits.size() != 4 || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return -1;
    return std::strtol(digits.c_str(), nullptr, 16);
}

// A string value as its characters; any other value as its JSON text.
std::string textOf(const std::string& value) {
    if (value.size() < 2 || value.front() != '"')
        return value;
    std::string out;
    for (size_t i = 1; i + 1 < value.size(); i++) {
        char c = value[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        c = value[++i];
        switch (c) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
            long code = hex4(value, i + 1);
            if (code < 0) {
                out += "\\u";
                break;
            }
            i += 4;
            // A character beyond the first plane comes as a pair of halves.
            if (code >= 0xd800 && code < 0xdc00 && value.compare(i + 1, 2, "\\u") == 0) {
                long low = hex4(value, i + 3);
                if (low >= 0xdc00 && low < 0xe000) {
                    code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
                    i += 6;
                }
            }
            appendUtf8(out, code >= 0xd800 && code < 0xe000 ? 0xfffd : uint32_t(code));
            break;
        }
        default: out += c; // \" \\ \/
        }
    }
    return out;
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// The text of the member `key` of the object `object` (its own, not a nested
// object's), or "" when it has none.
std::string member(const std::string& object, const std::string& key) {
    size_t at = skipSpace(object, 0);
    if (at >= object.size() || object[at] != '{')
        return "";
    at = skipSpace(object, at + 1);
    while (at < object.size() && object[at] == '"') {
        size_t nameEnd = valueEnd(object, at);
        if (nameEnd == std::string::npos)
            return "";
        std::string name = textOf(object.substr(at, nameEnd - at));
        at = skipSpace(object, nameEnd);
        if (at >= object.size() || object[at] != ':')
            return "";
        at = skipSpace(object, at + 1);
        size_t end = valueEnd(object, at);
        if (end == std::string::npos)
            return "";
        if (name == key)
            return object.substr(at, end - at);
        at = skipSpace(object, end);
        if (at >= object.size() || object[at] != ',')
            return "";
        at = skipSpace(object, at + 1);
    }
    return "";
}

std::vector<std::string> elements(const std::string& array) {
    std::vector<std::string> items;
    size_t at = skipSpace(array, 0);
    if (at >= array.size() || array[at] != '[')
        return items;
    at = skipSpace(array, at + 1);
    while (at < array.size() && array[at] != ']') {
        size_t end = valueEnd(array, at);
        if (end == std::string::npos)
            break;
        items.push_back(array.substr(at, end - at));
        at = skipSpace(array, end);
        if (at < array.size() && array[at] == ',')
            at = skipSpace(array, at + 1);
    }
    return items;
}

// A Runtime.RemoteObject as text: a string as itself, a number or other
// value given by value as JSON, an object by its description.
std::string remoteObjectText(const std::string& object) {
    for (const char* key : {"value", "unserializableValue", "description"}) {
        std::string value = member(object, key);
        if (!value.empty())
            return textOf(value);
    }
    return textOf(member(object, "type"));
}

std::string exceptionText(const std::string& details) {
    std::string exception = member(details, "exception");
    if (!exception.empty())
        return remoteObjectText(exception);
    return textOf(member(details, "text"));
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

std::string decodeBase64(const std::string& text) {
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* digit = c ? std::strchr(digits, c) : nullptr;
        if (!digit)
            continue; // padding
        bits = (bits << 6) | uint32_t(digit - digits);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += char((bits >> count) & 0xff);
        }
    }
    return out;
}

std::string onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

// The last lines of Chromium's log, without the D-Bus complaints of every
// start on a machine with no session bus, joined into one line.
std::string logTail(const std::string& path) {
    std::stringstream log(readTextFile(path));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty() && line.find("dbus") == std::string::npos)
            lines.push_back(line);
    }
    std::string tail;
    for (size_t i = lines.size() > 3 ? lines.size() - 3 : 0; i < lines.size(); i++)
        tail += (tail.empty() ? "" : " | ") + lines[i];
    return tail.empty() ? "its log is empty" : tail;
}

// A descriptor moved above the standard ones and 3 and 4, so that the child's
// dup2 calls cannot overwrite one with another.
int moveHigh(int fd) {
    if (fd < 0)
        return fd;
    int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return high;
}

} // namespace

Browser::Browser(int width, int height, std::vector<std::string> extraFlags) {
    error = start(width, height, extraFlags);
    if (!error.empty())
        error = "Browser: " + error;
}

std::string Browser::start(int width, int height, const std::vector<std::string>& extraFlags) {
    if (width <= 0 || height <= 0)
        return "window size " + std::to_string(width) + "x" + std::to_string(height) + " is not positive";
    std::string chromium = onPath("chromium");
    if (chromium.empty())
        return "chromium is not installed (no chromium on PATH; apt-get install chromium)";
    logPath = profile.path + "/chromium.log";
    std::vector<std::string> args = {chromium,
                                     "--headless=new",
                                     "--no-sandbox",
                                     "--use-angle=swiftshader",
                                     "--enable-unsafe-swiftshader",
                                     "--window-size=" + std::to_string(width) + "," + std::to_string(height),
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--disable-quic",
                                     "--hide-scrollbars",
                                     "--force-device-scale-factor=1",
                                     "--user-data-dir=" + profile.path + "/profile",
                                     "--remote-debugging-pipe"};
    args.insert(args.end(), extraFlags.begin(), extraFlags.end());
    args.push_back("about:blank");

    // One socket serves as both of Chromium's pipe ends: writing to it with
    // MSG_NOSIGNAL after Chromium is gone fails instead of raising SIGPIPE.
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return std::string("cannot make the protocol socket: ") + std::strerror(errno);
    channel = ends[0];
    int childEnd = moveHigh(ends[1]);
    int log = moveHigh(open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    int nothing = moveHigh(open("/dev/null", O_RDONLY | O_CLOEXEC));
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (childEnd >= 0 && log >= 0 && nothing >= 0) {
        pid = fork();
        if (pid == 0) {
            // Only async-signal-safe calls between fork and exec.
            setpgid(0, 0);
            dup2(nothing, 0);
            dup2(log, 1);
            dup2(log, 2);
            dup2(childEnd, 3);
            dup2(childEnd, 4);
            execv(argv[0], argv.data());
            _exit(127);
        }
        if (pid > 0)
            setpgid(pid, pid);
    }
    int forkError = errno;
    for (int fd : {childEnd, log, nothing}) {
        if (fd >= 0)
            close(fd);
    }
    if (pid <= 0)
        return std::string("cannot start chromium: ") + std::strerror(forkError);

    // The tab Chromium opens is the one --window-size applies to (a target made
    // through the protocol gets a size of its own); it may not be there yet
    // when the protocol first answers.
    std::string failure, targetId;
    Clock::time_point deadline = after(callSeconds);
    while (targetId.empty() && failure.empty()) {
        std::string targets = member(call("Target.getTargets", "{}", failure, deadline, false), "targetInfos");
        for (const std::string& target : elements(targets)) {
            if (textOf(member(target, "type")) == "page")
                targetId = member(target, "targetId");
        }
        if (!failure.empty() || !targetId.empty())
            break;
        if (Clock::now() + std::chrono::milliseconds(50) >= deadline)
            failure = "Chromium opened no page";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (failure.empty()) {
        std::string params = "{\"targetId\":" + targetId + ",\"flatten\":true}";
        sessionId = textOf(member(call("Target.attachToTarget", params, failure, deadline, false), "sessionId"));
    }
    // Chromium's window has room for a browser's bars even when headless, and
    // is at least 500 wide: the page's viewport is set to the size asked for.
    if (failure.empty()) {
        std::string size = "\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height);
        call("Emulation.setDeviceMetricsOverride", "{" + size + ",\"deviceScaleFactor\":1,\"mobile\":false}",
             failure, deadline);
    }
    if (failure.empty())
        call("Page.enable", "{}", failure, deadline);
    if (failure.empty())
        call("Runtime.enable", "{}", failure, deadline);
    if (failure.empty())
        call("Network.enable", "{}", failure, deadline);
    return gone ? whyGone() : failure;
}

Browser::~Browser() {
    if (pid > 0) {
        std::string failure = "gone";
        if (!gone)
            call("Browser.close", "{}", failure, after(5.0), false);
        if (pid > 0 && waitProcess(pid, failure.empty() ? 10.0 : 0.0) < 0) {
            // The group is still Chromium's while its leader is unreaped.
            kill(-pid, SIGKILL);
            waitProcess(pid, 5.0);
        }
    }
    if (channel >= 0)
        close(channel);
}

std::string Browser::navigate(const std::string& url) {
    std::string failure;
    Clock::time_point deadline = after(callSeconds);
    loaded = false;
    std::string result = call("Page.navigate", "{\"url\":" + jsonString(url) + "}", failure, deadline);
    if (!failure.empty())
        return "navigate to " + url + ": " + failure;
    // An error page loads too; waiting for it leaves the page settled either
    // way. A move within the document (a new #fragment) has no loader and
    // loads nothing.
    std::string errorText = textOf(member(result, "errorText"));
    while (!loaded && !member(result, "loaderId").empty()) {
        std::string message;
        if (!receive(message, deadline, failure)) {
            if (!errorText.empty())
                break;
            return "navigate to " + url + ": " + (gone ? failure : "the page did not finish loading in time");
        }
        if (member(message, "id").empty())
            handleEvent(message);
    }
    return errorText.empty() ? "" : "navigate to " + url + ": " + errorText;
}

std::string Browser::evaluate(const std::string& expression, std::string& failure) {
    return evaluateUntil(expression, failure, after(callSeconds));
}

std::string Browser::evaluateUntil(const std::string& expression, std::string& failure, Clock::time_point deadline) {
    failure.clear();
    std::string params = "{\"expression\":" + jsonString(expression) + ",\"returnByValue\":true,\"awaitPromise\":true}";
    std::string reply = call("Runtime.evaluate", params, failure, deadline);
    if (!failure.empty())
        return "";
    std::string details = member(reply, "exceptionDetails");
    if (!details.empty()) {
        failure = firstLine(exceptionText(details));
        return "";
    }
    return remoteObjectText(member(reply, "result"));
}

bool Browser::waitFor(const std::string& expression, double timeoutSeconds) {
    Clock::time_point deadline = after(timeoutSeconds);
    for (;;) {
        std::string failure;
        if (evaluateUntil(expression, failure, deadline) == "true")
            return true;
        if (gone || Clock::now() + std::chrono::milliseconds(50) >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string Browser::screenshot(const std::string& pngPath) {
    std::string failure;
    std::string result = call("Page.captureScreenshot", "{\"format\":\"png\"}", failure, after(callSeconds));
    if (!failure.empty())
        return "screenshot: " + failure;
    std::string png = decodeBase64(textOf(member(result, "data")));
    std::ofstream file(pngPath, std::ios::binary | std::ios::trunc);
    file.write(png.data(), std::streamsize(png.size()));
    file.close();
    if (png.empty() || !file)
        return "screenshot: cannot write " + pngPath + (png.empty() ? ": Chromium sent no picture" : "");
    return "";
}

void Browser::takeEvents() {
    std::string message, failure;
    while (!gone && receive(message, Clock::now(), failure)) {
        if (member(message, "id").empty())
            handleEvent(message);
    }
}

std::vector<std::string> Browser::consoleLines() {
    takeEvents();
    return console;
}

std::vector<std::string> Browser::requestedUrls() {
    takeEvents();
    return requests;
}

std::string Browser::addScriptOnNewDocument(const std::string& script) {
    std::string failure;
    call("Page.addScriptToEvaluateOnNewDocument", "{\"source\":" + jsonString(script) + "}", failure,
         after(callSeconds));
    return failure;
}

std::string Browser::saveDownloadsIn(const std::string& directory) {
    std::string failure;
    call("Browser.setDownloadBehavior",
         "{\"behavior\":\"allow\",\"downloadPath\":" + jsonString(directory) + "}", failure, after(callSeconds),
         false);
    return failure;
}

std::string Browser::call(const std::string& method, const std::string& params, std::string& failure,
                          Clock::time_point deadline, bool toPage) {
    failure.clear();
    if (gone || pid <= 0 || (toPage && sessionId.empty())) {
        failure = method + ": " + (gone ? whyGone() : !error.empty() ? error : "no page is attached");
        return "";
    }
    int id = nextId++;
    std::string message = "{\"id\":" + std::to_string(id) + ",\"method\":" + jsonString(method) +
                          ",\"params\":" + params;
    if (toPage)
        message += ",\"sessionId\":" + jsonString(sessionId);
    message += "}";
    message += '\0';
    if (!send(message, deadline, failure)) {
        failure = method + ": " + failure;
        return "";
    }
    for (;;) {
        std::string reply;
        if (!receive(reply, deadline, failure)) {
            failure = method + ": " + failure;
            return "";
        }
        std::string replyId = member(reply, "id");
        if (replyId.empty()) {
            handleEvent(reply);
            continue;
        }
        if (replyId != std::to_string(id))
            continue; // the late reply to a call that ran out of time
        std::string problem = member(reply, "error");
        if (!problem.empty()) {
            std::string data = textOf(member(problem, "data"));
            failure = method + ": " + textOf(member(problem, "message")) + (data.empty() ? "" : " (" + data + ")");
            return "";
        }
        return member(reply, "result");
    }
}

bool Browser::send(const std::string& message, Clock::time_point deadline, std::string& failure) {
    size_t sent = 0;
    while (sent < message.size() && !gone) {
        pollfd writable = {channel, POLLOUT, 0};
        int ready = poll(&writable, 1, millisecondsUntil(deadline));
        if (ready == 0) {
            failure = "Chromium took no message for too long";
            return false;
        }
        ssize_t done = ready < 0 ? -1 : ::send(channel, message.data() + sent, message.size() - sent,
                                                MSG_NOSIGNAL | MSG_DONTWAIT);
        if (done >= 0)
            sent += size_t(done);
        else if (errno != EINTR && errno != EAGAIN)
            gone = true;
    }
    if (gone)
        failure = whyGone();
    return !gone;
}

bool Browser::receive(std::string& message, Clock::time_point deadline, std::string& failure) {
    for (;;) {
        size_t end = incoming.find('\0', scanned);
        if (end != std::string::npos) {
            message = incoming.substr(0, end);
            incoming.erase(0, end + 1);
            scanned = 0;
            return true;
        }
        scanned = incoming.size();
        if (gone) {
            failure = whyGone();
            return false;
        }
        pollfd readable = {channel, POLLIN, 0};
        int ready = poll(&readable, 1, millisecondsUntil(deadline));
        if (ready == 0) {
            failure = "no answer from Chromium in time";
            return false;
        }
        char buffer[65536];
        ssize_t got = ready < 0 ? -1 : recv(channel, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0)
            incoming.append(buffer, size_t(got));
        else if (got == 0 || (errno != EINTR && errno != EAGAIN))
            gone = true;
    }
}

void Browser::handleEvent(const std::string& message) {
    if (textOf(member(message, "sessionId")) != sessionId)
        return;
    std::string method = textOf(member(message, "method"));
    std::string params = member(message, "params");
    if (method == "Page.loadEventFired") {
        loaded = true;
    } else if (method == "Runtime.consoleAPICalled") {
        std::string line;
        for (const std::string& arg : elements(member(params, "args")))
            line += (line.empty() ? "" : " ") + remoteObjectText(arg);
        console.push_back(line);
    } else if (method == "Network.requestWillBeSent") {
        requests.push_back(textOf(member(member(params, "request"), "url")));
    } else if (method == "Runtime.exceptionThrown") {
        std::string details = member(params, "exceptionDetails");
        console.push_back(textOf(member(details, "text")) + " " + exceptionText(details));
    }
}

std::string Browser::whyGone() {
    if (endReason.empty()) {
        int status = pid > 0 ? waitProcess(pid, 2.0) : -1;
        if (status >= 0)
            pid = -1;
        std::string how = status < 0 ? "closed its pipe" : "exited with status " + std::to_string(status);
        endReason = "Chromium " + how + ": " + logTail(logPath);
    }
    return endReason;
}

} // namespace tools
