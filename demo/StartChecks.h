#ifndef VELQUOR_STARTCHECKS_H
#define VELQUOR_STARTCHECKS_H

#include <string>

// What the demo and its tools check before the show may start; each gives
// the one line to print, or empty when all is well.

// A data file the show reads, opened as the loaders open it: empty when it can
// be read; otherwise "cannot read PATH in WORKING-DIRECTORY: why".
std::string unreadableDataReason(const char* path);

// With no display to talk to, SDL still starts: it falls back to a video
// driver with no windowing system behind it ("offscreen", "dummy"), and the
// first GL call fails with a reason that points nowhere. Empty when the
// driver SDL chose can show a window; otherwise the one line to print.
std::string noDisplayReason(const char* videoDriver);

// Once the scenes are built: a particle program that did not link draws
// nothing and fails every frame, so the show does not start with one. The
// shader's own errors have been printed when it was built.
std::string brokenProgramReason();

#endif
