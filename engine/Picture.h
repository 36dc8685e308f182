#ifndef VQ_ENGINE_PICTURE_H
#define VQ_ENGINE_PICTURE_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vq_engine {

// The file format a picture is read as; the name's extension is not looked at.
enum ImgType { IMG_JPEG = 0, IMG_PNG = 1, IMG_TGA = 2 };

// How a picture's samples lie: one grey byte, or three or four colour bytes
// in the order named.
enum PixelLayout { PIXELS_GREY, PIXELS_RGB, PIXELS_BGR, PIXELS_RGBA, PIXELS_BGRA };

// An image decoded from a TGA, JPEG or PNG file, with no GL involved: 8-bit
// samples in tightly packed rows, the image's bottom row first in memory, as
// glTexImage2D takes them. Texture uploads one; tools read files through it.
class Picture {
public:
    // Leaves new bytes uninitialised: the decoders write every byte of a
    // picture they accept, and the pages of a forged size that no decoded row
    // reaches are then never touched, so a file that claims a huge image and
    // ends early costs address space, not memory.
    template <typename T>
    struct UninitialisedAllocator : std::allocator<T> {
        template <typename U>
        struct rebind {
            using other = UninitialisedAllocator<U>;
        };
        template <typename U>
        void construct(U* at) noexcept {
            ::new (static_cast<void*>(at)) U;
        }
        template <typename U, typename... Args>
        void construct(U* at, Args&&... args) {
            ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
        }
    };

    // Decodes the file at path as type. An image wider or taller than
    // largestSide pixels, or of more than 64 Mpixel, is refused before its
    // pixels are allocated. False, with the reason and the picture empty,
    // when the file cannot be used.
    bool load(const char* path, ImgType type, int largestSide, std::string& reason);
    // Uncompressed, run-length encoded, colour-mapped, true-colour and
    // greyscale files, with or without an image ID, either origin.
    bool loadTGA(const char* path, int largestSide, std::string& reason);
    // Decoded by TurboJPEG as RGB.
    bool loadJPEG(const char* path, int largestSide, std::string& reason);
    // Every bit depth and colour type. 8-bit grey and RGB keep their channels;
    // other kinds are converted to 8-bit samples, a tRNS key becoming alpha.
    bool loadPNG(const char* path, int largestSide, std::string& reason);

    // Bytes per pixel of the layout.
    int channels() const;
    // The picture as 8-bit RGB, row 0 at the top: grey repeated, alpha dropped.
    std::vector<unsigned char> topDownRgb() const;

    int width = 0;
    int height = 0;
    PixelLayout layout = PIXELS_RGBA;
    std::vector<unsigned char, UninitialisedAllocator<unsigned char>> pixels;
};

} // namespace vq_engine

#endif
