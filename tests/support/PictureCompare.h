#ifndef VQ_TESTS_PICTURECOMPARE_H
#define VQ_TESTS_PICTURECOMPARE_H

#include <string>

#include "tools/common/PictureCompare.h"
#include "tools/common/PngFile.h"

// The rules a frame is held to its reference by are the tools' own
// (tools/common/PictureCompare.h), which velquor-capture --compare applies.
using tools::CompareRules;
using tools::PictureDifference;
using tools::comparePictures;

// A reference picture in few bytes: the frame reduced to a palette of 16
// colours (median cut, black kept exact) in an indexed PNG. An error
// message, or empty.
std::string writeReferencePicture(const tools::RgbImage& image, const std::string& path);

#endif
