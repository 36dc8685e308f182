// velquor-preview: Velquor in a window, for the people who work on it.
#include "demo/VelquorShow.h"
#include "tools/ShowTools.h"

int main(int argc, char** argv) {
    return vq_tools::previewMain(argc, argv, velquorShow());
}
