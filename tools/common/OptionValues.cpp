#include "tools/common/OptionValues.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tools {

std::string quoted(const std::string& value) {
    return "'" + value + "'";
}

bool parseInteger(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (parsed < low || parsed > high)
        return false;
    value = int(parsed);
    return true;
}

bool parseSeconds(const std::string& text, double& seconds) {
    if (text.empty())
        return false;
    for (char c : text)
        if ((c < '0' || c > '9') && c != '.')
            return false;
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno != 0 || !std::isfinite(parsed))
        return false;
    seconds = parsed;
    return true;
}

bool parsePair(const std::string& text, int high, int& first, int& second) {
    size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    return parseInteger(text.substr(0, x), 1, high, first) && parseInteger(text.substr(x + 1), 1, high, second);
}

std::string badTime(const std::string& option, const std::string& value) {
    return option + ": " + quoted(value) + " is not a time in seconds (such as 12 or 2.5)";
}

std::string formatSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

std::string readOptions(const std::vector<std::string>& args, bool& help, const std::map<std::string, bool*>& flags,
                        const std::set<std::string>& withValues, const OptionHandler& apply) {
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return "";
        }
        if (arg.rfind("--", 0) != 0 || arg.size() == 2)
            return "unexpected argument " + quoted(arg) + " (options start with --; see --help)";
        std::string name = arg;
        std::string value;
        size_t equals = arg.find('=');
        bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (!inlineValue && flags.count(name) != 0) {
            *flags.at(name) = true;
            continue;
        }
        if (withValues.count(name) == 0)
            return "unknown option " + quoted(name) + " (see --help)";
        if (!inlineValue) {
            if (i + 1 == args.size())
                return name + " needs a value (see --help)";
            value = args[++i];
        }
        std::string error = apply(name, value);
        if (!error.empty())
            return error;
    }
    return "";
}

} // namespace tools
