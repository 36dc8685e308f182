#ifndef VELQUOR_TOOLS_VELQUORSHOW_H
#define VELQUOR_TOOLS_VELQUORSHOW_H

#include "tools/ShowTools.h"

// Velquor as the tools see it: MyDemo, its track, its shaders and its cues.
vq_tools::Show velquorShow();

#endif
