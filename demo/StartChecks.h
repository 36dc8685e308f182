#ifndef VELQUOR_STARTCHECKS_H
#define VELQUOR_STARTCHECKS_H

#include <string>

// Once the scenes are built: a particle program that did not link draws
// nothing and fails every frame, so the show does not start with one. The
// shader's own errors have been printed when it was built. Empty when all
// is well; otherwise the one line to print.
std::string brokenProgramReason();

#endif
