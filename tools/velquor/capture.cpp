// velquor-capture: Velquor rendered frame by frame into pictures and video.
#include "demo/VelquorShow.h"
#include "tools/ShowTools.h"

int main(int argc, char** argv) {
    return vq_tools::captureMain(argc, argv, velquorShow());
}
