#ifndef VELQUOR_CAPTURE_OPTIONVALUES_H
#define VELQUOR_CAPTURE_OPTIONVALUES_H

#include <string>

// How the tools read the values of their command-line options.
namespace capture {

const int largestSide = 16384;
const int largestFps = 1000;

std::string quoted(const std::string& value);

// A whole number from low to high, in plain decimal digits.
bool parseInteger(const std::string& text, int low, int high, int& value);

// Decimal seconds, not negative: "12", "2.5", ".5".
bool parseSeconds(const std::string& text, double& seconds);

// "WxH" or "CxR": two positive integers within their limit.
bool parsePair(const std::string& text, int high, int& first, int& second);

std::string badTime(const std::string& option, const std::string& value);

// Seconds as people write them: "12", "2.5".
std::string formatSeconds(double seconds);

} // namespace capture

#endif
