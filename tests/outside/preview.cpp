#include "orbit.h"

int main(int argc, char** argv) {
    return vq_tools::previewMain(argc, argv, orbit::orbitShow());
}
