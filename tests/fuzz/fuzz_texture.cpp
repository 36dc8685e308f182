// One loading path of Texture, from file to uploaded texture: the build makes
// a target per format, naming it in VQ_FUZZ_IMAGE_TYPE (IMG_PNG, IMG_JPEG, IMG_TGA).
#include <GL/glew.h>

#include "engine/Texture.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vq_engine::Texture* texture = new vq_engine::Texture(inputFile(data, size), vq_engine::VQ_FUZZ_IMAGE_TYPE);
    // The texture object outlives a Texture by design; the context must not fill up.
    glDeleteTextures(1, &texture->id);
    delete texture;
    return 0;
}
