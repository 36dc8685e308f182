// hello-particles-preview: the show in a window, to seek, loop and pause, with its shaders rebuilt as they change.
#include "show.h"

int main(int argc, char** argv) {
    return vq_tools::previewMain(argc, argv, helloShow());
}
