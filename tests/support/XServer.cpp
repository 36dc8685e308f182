#include "tests/support/XServer.h"

#include <SDL_syswm.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/support/Process.h"

XServer::XServer(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    // Xvfb picks a free display itself and writes its number to the pipe.
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server = spawnProcess({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten",
                           "tcp", "-noreset"});
    close(fds[1]);
    std::string number;
    pollfd readable = {fds[0], POLLIN, 0};
    while (poll(&readable, 1, 10000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (!number.empty())
        display = ":" + number;
}

XServer::~XServer() {
    stopProcess(windowManager);
    stopProcess(server);
}

bool XServer::startWindowManager() {
    windowManager = spawnProcess({"openbox"}, {"", {{"DISPLAY", display}}, ""});
    // openbox announces itself on the root window once it manages windows.
    for (int i = 0; i < 250; i++) {
        if (client("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    return false;
}

Image XServer::screenshot() const {
    return parsePPM(client("xwd -root -silent | convert xwd:- ppm:-"));
}

std::string XServer::client(const std::string& command) const {
    return commandOutput("DISPLAY=" + display + " " + command + " 2>/dev/null");
}

Image windowScreenshot(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return Image();
    return parsePPM(commandOutput("xwd -silent -id " + std::to_string(info.info.x11.window) +
                                  " 2>/dev/null | convert xwd:- ppm:-"));
}
