#ifndef VELQUOR_DISPLAYCHECK_H
#define VELQUOR_DISPLAYCHECK_H

#include <string>

// With no display to talk to, SDL still starts: it falls back to a video
// driver with no windowing system behind it ("offscreen", "dummy"), and the
// first GL call fails with a reason that points nowhere. Empty when the
// driver SDL chose can show a window; otherwise the one line to print.
std::string noDisplayReason(const char* videoDriver);

#endif
