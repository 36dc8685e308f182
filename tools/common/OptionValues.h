#ifndef VELQUOR_TOOLS_OPTIONVALUES_H
#define VELQUOR_TOOLS_OPTIONVALUES_H

#include <functional>
#include <map>
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

// Called with each option that takes a value, in command-line order. An
// error message, or empty to go on.
using OptionHandler = std::function<std::string(const std::string& name, const std::string& value)>;

// Reads "--name value" and "--name=value", handing each to apply, and the
// flags, setting each one's bool; --help or -h sets help and stops. The
// first error, or empty.
std::string readOptions(const std::vector<std::string>& args, bool& help, const std::map<std::string, bool*>& flags,
                        const std::set<std::string>& withValues, const OptionHandler& apply);

// A tool's options, or an error: one line naming the option or value and why.
template <typename Options>
struct Parsed {
    Options options;
    std::string error;
    bool ok() const { return error.empty(); }
};

} // namespace tools

#endif
