#ifndef VELQUOR_CAPTURE_PROGRESS_H
#define VELQUOR_CAPTURE_PROGRESS_H

#include <chrono>
#include <cstdio>
#include <string>

namespace capture {

// Frames done, frames per second and time left: a bar redrawn in place on a
// terminal, or one line per tenth of the work when the output is a file or
// a pipe.
class Progress {
public:
    // Each line starts with "program: ".
    Progress(const std::string& program, long long total, FILE* stream, bool terminal);

    void update(long long done);
    // Ends the bar's line.
    void finish();

    std::string program;
    long long total;
    FILE* stream;
    bool terminal;

private:
    std::string summary(long long done) const;

    std::chrono::steady_clock::time_point begin;
    std::chrono::steady_clock::time_point lastDrawn;
    int tenthsReported = 0;
    bool drawn = false;
};

// "1:05" for 65 seconds; "2:01:05" past the hour.
std::string clockTime(double seconds);

} // namespace capture

#endif
