#include "tests/support/StaticServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port the system has just given out and taken back, so nothing holds it.
int freePort() {
    int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    int port = -1;
    if (probe >= 0 && bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (probe >= 0)
        close(probe);
    return port;
}

bool accepts(int port) {
    int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(port);
    bool connected = client >= 0 && connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (client >= 0)
        close(client);
    return connected;
}

std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (text.empty())
        return "its log is empty";
    return text.substr(text.rfind('\n') + 1); // npos + 1 is the start
}

} // namespace

StaticServer::StaticServer(const std::string& directory) {
    error = start(directory);
    if (!error.empty())
        error = "StaticServer for " + directory + ": " + error;
}

std::string StaticServer::start(const std::string& directory) {
    struct stat info;
    if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return "no such directory";
    int port = freePort();
    if (port <= 0)
        return "no free port on 127.0.0.1";
    std::string log = logDirectory.path + "/http-server.log";
    pid = spawnProcess({"python3", "-m", "http.server", "--bind", "127.0.0.1", std::to_string(port), "--directory",
                        directory},
                       {"", {{"PYTHONUNBUFFERED", "1"}}, log});
    if (pid <= 0)
        return "cannot start python3";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!accepts(port)) {
        int status = waitProcess(pid, 0.0);
        if (status >= 0) {
            pid = -1;
            if (status == 127)
                return "python3 is not installed";
            return "python3 -m http.server exited with status " + std::to_string(status) + ": " +
                   lastLine(readTextFile(log));
        }
        if (std::chrono::steady_clock::now() > deadline)
            return "python3 -m http.server took no connection on port " + std::to_string(port) + " within 10 s";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    url = "http://127.0.0.1:" + std::to_string(port) + "/";
    return "";
}

StaticServer::~StaticServer() {
    stopProcess(pid);
}
