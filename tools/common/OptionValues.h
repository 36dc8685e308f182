#ifndef VELQUOR_TOOLS_OPTIONVALUES_H
#define VELQUOR_TOOLS_OPTIONVALUES_H

#include <functional>
#include <set>
#include <string>
#include <vector>

// How the tools read the values of their command-line options.
namespace tools {

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

// Called with each option in command-line order: a flag with an empty value,
// "--help" for --help or -h. An error message, or empty to go on.
using OptionHandler = std::function<std::string(const std::string& name, const std::string& value)>;

// Reads "--name value", "--name=value" and the given flags, handing each to
// apply; stops after --help. The first error, or empty.
std::string readOptions(const std::vector<std::string>& args, const std::set<std::string>& flags,
                        const std::set<std::string>& withValues, const OptionHandler& apply);

} // namespace tools

#endif
