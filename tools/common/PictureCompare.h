#ifndef VELQUOR_TOOLS_PICTURECOMPARE_H
#define VELQUOR_TOOLS_PICTURECOMPARE_H

#include <string>

#include "tools/common/PngFile.h"

namespace tools {

// Compares a rendered frame with its reference picture loosely enough that
// another rasteriser's half-pixel offsets, point sizes rounded the other way
// and points a little brighter or dimmer pass, yet strictly enough that a
// glyph moved, missing, mirrored or drawn in the wrong colour fails.
//
// How: a point of the show is a blob a few pixels across, and on another GL
// it may land a pixel over or shine a little differently. Both pictures are
// blurred with a Gaussian of blurSigma pixels, which spreads every point
// over its neighbourhood, so such jitter changes the blurred values only a
// little, while a glyph cell that moved by a cell or more changes them a lot.
// A pixel differs when any blurred channel differs by more than
// colourTolerance (of 255). Differing pixels are counted in overlapping
// windows of window x window pixels, about one small glyph: a wrong glyph
// leaves a dense knot of them, jitter a few scattered ones. The pictures
// differ when a window holds more than windowLimit of them.
//
// The values were measured on Velquor's reference moments at 480x270 (the
// CompareRules tests of capture_reference_test repeat the measurement): resampling a whole frame half a
// pixel over while dimming each point at random by up to a tenth leaves at
// most 12 differing pixels in a window; a small glyph (BEGIN's letters, 17 x
// 13 pixels) blanked, moved down by 4 pixels or turned gold leaves 117 or
// more, a large one mirrored, blanked, moved or gilded 156 or more, and a
// whole frame shifted sideways by 3 pixels 55 or more. A small glyph's cells
// are only 3 x 2 pixels at this size, and points of 4 to 5 pixels blur them
// together, so a small glyph drawn mirrored changes many pixels by a little,
// which no rule that lets jitter pass can tell.
struct CompareRules {
    double blurSigma = 2.0;
    int colourTolerance = 40;
    int window = 16;
    int windowLimit = 32;
};

struct PictureDifference {
    bool sameSize = false;
    int actualWidth = 0, actualHeight = 0, referenceWidth = 0, referenceHeight = 0;
    int differing = 0; // pixels, in the whole picture
    int worstWindowDiffering = 0;
    int worstWindowX = 0; // top left of that window
    int worstWindowY = 0;
    bool differs = true;
    // The differing pixels over a dim copy of the reference: red where the
    // actual frame is brighter, blue where the reference is.
    RgbImage picture;

    // What differs and by how much, in one line.
    std::string summary(const CompareRules& rules = CompareRules()) const;
};

PictureDifference comparePictures(const RgbImage& actual, const RgbImage& reference,
                                  const CompareRules& rules = CompareRules());

} // namespace tools

#endif
