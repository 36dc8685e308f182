#ifndef VELQUOR_CAPTURE_CONTACTSHEET_H
#define VELQUOR_CAPTURE_CONTACTSHEET_H

#include <string>

#include "tools/common/PngFile.h"

namespace capture {

using tools::RgbImage;

// A grid of thumbnails of frames, each with its show time written under it.
class ContactSheet {
public:
    ContactSheet(int columns, int rows, int frameWidth, int frameHeight);

    // Shrinks the frame into cell index (row by row) and labels it.
    void place(int index, const RgbImage& frame, double seconds);

    int columns;
    int rows;
    int thumbnailWidth;
    int thumbnailHeight;
    RgbImage picture;

    // Geometry, so a caller can find a cell.
    static const int margin = 12;
    static const int labelScale = 3;
    int cellLeft(int index) const;
    int cellTop(int index) const;
    int labelTop(int index) const;
    int labelHeight() const;
};

// The area average of image over a grid of width x height cells.
RgbImage shrink(const RgbImage& image, int width, int height);

// Text in the sheet's 3x5 pixel font, each font pixel scale x scale on the
// picture; it knows the digits, '.', ':', ' ' and 's'. Returns the width drawn.
int drawText(RgbImage& picture, int left, int top, const std::string& text, int scale);
int textWidth(const std::string& text, int scale);

} // namespace capture

#endif
