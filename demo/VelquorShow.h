#ifndef VELQUOR_VELQUORSHOW_H
#define VELQUOR_VELQUORSHOW_H

#include "engine/Show.h"

// Velquor as the tools and the web page see it: MyDemo, its track, its
// shaders and its cues.
vq_engine::Show velquorShow();

#endif
