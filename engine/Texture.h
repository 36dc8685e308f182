#ifndef VQ_ENGINE_TEXTURE_H
#define VQ_ENGINE_TEXTURE_H

#include "engine/Picture.h"

namespace vq_engine {

// One 2D texture filled once from a TGA, JPEG or PNG file, decoded by
// Picture and uploaded RGBA inside, with linear filtering and repeat
// wrapping, and stored so the picture stands upright under GL's bottom-left
// texture origin.
//
// A file that cannot be used (missing, truncated, corrupt, of a kind the
// loader does not read, or absurdly large) leaves the texture object without
// an image, width and height 0, and prints one line naming the file and the
// reason. The texture object is never deleted: it lives as long as the
// context, so its name may be kept after the Texture is gone.
class Texture {
public:
    // Creates the texture object and fills it from the file as type.
    Texture(const char* path, ImgType type);
    // Leaves the texture object alone (see above).
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Uncompressed, run-length encoded, colour-mapped, true-colour and
    // greyscale files, with or without an image ID, either origin.
    void loadTGA(const char* path, unsigned int texture);
    // Decoded by TurboJPEG as RGB.
    void loadJPEG(const char* path, unsigned int texture);
    // Every bit depth and colour type. 8-bit grey and RGB keep their channels;
    // other kinds are converted to 8-bit samples, a tRNS key becoming alpha.
    void loadPNG(const char* path, unsigned int texture);

    // The GL texture name, for ShaderProgram::addTexture.
    unsigned int getTexID();
    // The picture's size in pixels; 0 when the file could not be used.
    int getWidth();
    int getHeight();

    // The GL texture name and the picture's size.
    unsigned int id;
    int width;
    int height;
};

} // namespace vq_engine

#endif
