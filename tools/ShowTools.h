#ifndef VQ_TOOLS_SHOWTOOLS_H
#define VQ_TOOLS_SHOWTOOLS_H

#include "engine/Show.h"

// The preview and the capture for any show on the engine. A show describes
// itself in a Show; a program of a few lines hands it to previewMain or
// captureMain, which read the command line and run the tool.
namespace vq_tools {

// A show's description, shared with the web page, which may not use the
// tools: see engine/Show.h.
using Cue = vq_engine::Cue;
using Show = vq_engine::Show;

int previewMain(int argc, char** argv, const Show& show);
int captureMain(int argc, char** argv, const Show& show);

} // namespace vq_tools

#endif
