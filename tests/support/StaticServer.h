#ifndef VQ_TESTS_STATICSERVER_H
#define VQ_TESTS_STATICSERVER_H

#include <sys/types.h>

#include <string>

#include "tests/support/Process.h"

// The files of a directory over HTTP on 127.0.0.1 at a free port, served by
// python3's http.server until the destructor; its request log goes to a file
// of its own.
class StaticServer {
public:
    explicit StaticServer(const std::string& directory);
    ~StaticServer();
    StaticServer(const StaticServer&) = delete;
    StaticServer& operator=(const StaticServer&) = delete;

    std::string url;   // "http://127.0.0.1:PORT/" once it accepts connections
    std::string error; // empty when it serves, else one line why

private:
    std::string start(const std::string& directory);

    TempDir logDirectory;
    pid_t pid = -1;
};

#endif
