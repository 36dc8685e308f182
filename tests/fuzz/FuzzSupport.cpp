#include "tests/fuzz/FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void giveUp(const std::string& why) {
    std::fprintf(stderr, "fuzz target: %s\n", why.c_str());
    std::exit(1);
}

int memoryFile() {
    static int descriptor = -1;
    if (descriptor < 0)
        descriptor = memfd_create("fuzz-input", MFD_CLOEXEC);
    if (descriptor < 0)
        giveUp("memfd_create failed");
    return descriptor;
}

} // namespace

void startFuzzing() {
    // Millions of "Texture error" and "Mesh error" lines would cost more than the parsing.
    if (!std::freopen("/dev/null", "w", stdout))
        giveUp("cannot silence standard output");
}

const char* inputFile(const uint8_t* data, size_t size) {
    static std::string path;
    int descriptor = memoryFile();
    if (ftruncate(descriptor, 0) != 0 || (size > 0 && pwrite(descriptor, data, size, 0) != ssize_t(size)))
        giveUp("cannot write the input");
    path = "/proc/self/fd/" + std::to_string(descriptor);
    return path.c_str();
}
