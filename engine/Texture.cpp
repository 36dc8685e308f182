#include "engine/Texture.h"

#include <GL/glew.h>

#include <iostream>
#include <string>

#include "engine/GLCheck.h"
#include "engine/Picture.h"

namespace vq_engine {

namespace {

void report(const char* path, const std::string& reason) {
    std::cout << "Texture error: " << path << ": " << reason << std::endl;
}

int largestSide() {
    GLint side = 0;
    VQ_GL(glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side));
    return side > 0 ? side : 1024;
}

GLenum formatOf(PixelLayout layout) {
    switch (layout) {
    case PIXELS_GREY: return GL_RED;
    case PIXELS_RGB: return GL_RGB;
    case PIXELS_BGR: return GL_BGR;
    case PIXELS_BGRA: return GL_BGRA;
    default: return GL_RGBA;
    }
}

void upload(unsigned int texture, const Picture& picture) {
    VQ_GL(glBindTexture(GL_TEXTURE_2D, texture));
    VQ_GL(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR));
    VQ_GL(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR));
    VQ_GL(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT));
    VQ_GL(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT));
    VQ_GL(glPixelStorei(GL_UNPACK_ALIGNMENT, 1));
    VQ_GL(glPixelStorei(GL_UNPACK_ROW_LENGTH, 0));
    VQ_GL(glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0));
    VQ_GL(glPixelStorei(GL_UNPACK_SKIP_ROWS, 0));
    VQ_GL(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, formatOf(picture.layout),
                       GL_UNSIGNED_BYTE, picture.pixels.data()));
}

// Gives the texture the decoded picture's size and uploads it, or leaves the
// texture empty and says why.
void accept(Texture& target, const char* path, unsigned int texture, bool decoded, const Picture& picture,
            const std::string& reason) {
    if (!decoded) {
        target.width = target.height = 0;
        report(path, reason);
        return;
    }
    target.width = picture.width;
    target.height = picture.height;
    upload(texture, picture);
}

} // namespace

Texture::Texture(const char* path, ImgType type) : id(0), width(0), height(0) {
    requireGLContext("Texture");
    VQ_GL(glGenTextures(1, &id));
    switch (type) {
    case IMG_JPEG: loadJPEG(path, id); break;
    case IMG_PNG: loadPNG(path, id); break;
    case IMG_TGA: loadTGA(path, id); break;
    default: report(path, "unknown image type " + std::to_string(int(type))); break;
    }
}

Texture::~Texture() {}

void Texture::loadTGA(const char* path, unsigned int texture) {
    Picture picture;
    std::string reason;
    bool decoded = picture.loadTGA(path, largestSide(), reason);
    accept(*this, path, texture, decoded, picture, reason);
}

void Texture::loadJPEG(const char* path, unsigned int texture) {
    Picture picture;
    std::string reason;
    bool decoded = picture.loadJPEG(path, largestSide(), reason);
    accept(*this, path, texture, decoded, picture, reason);
}

void Texture::loadPNG(const char* path, unsigned int texture) {
    Picture picture;
    std::string reason;
    bool decoded = picture.loadPNG(path, largestSide(), reason);
    accept(*this, path, texture, decoded, picture, reason);
}

unsigned int Texture::getTexID() {
    return id;
}

int Texture::getWidth() {
    return width;
}

int Texture::getHeight() {
    return height;
}

} // namespace vq_engine
