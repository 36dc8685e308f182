// Mesh3D's OBJ reader, from file to built arrays, with no display and no GL.
#include "engine/Mesh3D.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    delete new vq_engine::Mesh3D(inputFile(data, size), false);
    return 0;
}
