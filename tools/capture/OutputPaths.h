#ifndef VELQUOR_CAPTURE_OUTPUTPATHS_H
#define VELQUOR_CAPTURE_OUTPUTPATHS_H

#include <string>

#include "tools/capture/CaptureOptions.h"

namespace capture {

// The directory PNG frames go to: --frames, or the working directory for
// --at alone; none for --at with --compare, which only compares.
std::string framesDirectoryOf(const CaptureOptions& options);

// Makes sure every output can be written before any work starts: the
// --compare directory can be read, the frames directory exists (it is made
// when missing) and takes files, and the video and sheet can be made where
// they are named. One line naming the path and why, or empty.
std::string prepareOutputs(const CaptureOptions& options);

} // namespace capture

#endif
