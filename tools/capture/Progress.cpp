#include "tools/capture/Progress.h"

#include <algorithm>
#include <cmath>

namespace capture {

namespace {

const int barWidth = 30;
// A terminal bar is redrawn at most this often.
const std::chrono::milliseconds redrawInterval(100);

} // namespace

std::string clockTime(double seconds) {
    long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

Progress::Progress(const std::string& program, long long total, FILE* stream, bool terminal)
    : program(program), total(std::max(total, 1LL)), stream(stream), terminal(terminal), begin(std::chrono::steady_clock::now()),
      lastDrawn(begin) {}

std::string Progress::summary(long long done) const {
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    double rate = elapsed > 0.0 ? done / elapsed : 0.0;
    std::string left = rate > 0.0 ? clockTime((total - done) / rate) : "?";
    char text[128];
    std::snprintf(text, sizeof text, "%lld/%lld frames, %.1f fps, %s left", done, total, rate, left.c_str());
    return text;
}

void Progress::update(long long done) {
    if (terminal) {
        auto now = std::chrono::steady_clock::now();
        if (drawn && done < total && now - lastDrawn < redrawInterval)
            return;
        lastDrawn = now;
        drawn = true;
        int filled = int(done * barWidth / total);
        std::string bar = std::string(size_t(filled), '#') + std::string(size_t(barWidth - filled), '.');
        // Clear to the end of the line: the text can get shorter.
        std::fprintf(stream, "\r[%s] %3d%% %s\033[K", bar.c_str(), int(done * 100 / total),
                     summary(done).c_str());
        std::fflush(stream);
        return;
    }
    int tenths = int(done * 10 / total);
    if (tenths <= tenthsReported)
        return;
    tenthsReported = tenths;
    std::fprintf(stream, "%s: %3d%% (%s)\n", program.c_str(), tenths * 10, summary(done).c_str());
    std::fflush(stream);
}

void Progress::finish() {
    if (terminal && drawn) {
        std::fprintf(stream, "\n");
        std::fflush(stream);
        drawn = false;
    }
}

} // namespace capture
