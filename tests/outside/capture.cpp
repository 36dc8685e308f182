#include "orbit.h"

int main(int argc, char** argv) {
    return vq_tools::captureMain(argc, argv, orbit::orbitShow());
}
