#include "tests/support/ReferenceMoments.h"

#include <cctype>
#include <cstdio>

const Moment moments[momentCount] = {
    {1.0, "face", "Background"},          {2.5, "begin", "Begin"},
    {4.5, "fourteen", "Fourteen"},        {7.0, "thirtytwo", "Thirtytwo"},
    {9.0, "n158", "N158"},                {11.0, "n271", "N271"},
    {12.7, "million", "Million"},         {13.0, "million-drifting", nullptr},
    {16.0, "tovelplex", "Tovelplex"},     {18.2, "digit-row", "RandomNums"},
    {29.2, "digit-row-second-pass", nullptr},
};

void PrintTo(const Moment& moment, std::ostream* out) {
    *out << moment.name << " at " << moment.seconds << " s";
}

std::string referencePath(const Moment& moment) {
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%04.1f", moment.seconds);
    return std::string(VQ_SOURCE_DIR "/tests/reference/") + seconds + "-" + moment.name + ".png";
}

std::string testNameOf(const Moment& moment) {
    std::string name;
    for (const char* c = moment.name; *c; c++)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}
