// One image decoder of Picture, from file to decoded picture, with no display
// and no GL context: the build makes a target per format, naming it in
// VQ_FUZZ_IMAGE_TYPE (IMG_PNG, IMG_JPEG, IMG_TGA). Texture uploads what this
// decoder gives.
#include <string>

#include "engine/Picture.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The largest texture side of the GL the tests run on (llvmpipe), which Texture passes.
const int largestSide = 16384;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vq_engine::Picture picture;
    std::string reason;
    picture.load(inputFile(data, size), vq_engine::VQ_FUZZ_IMAGE_TYPE, largestSide, reason);
    return 0;
}
