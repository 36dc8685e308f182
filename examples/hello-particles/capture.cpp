// hello-particles-capture: the show rendered frame by frame into PNG frames, a video or a contact sheet.
#include "show.h"

int main(int argc, char** argv) {
    return vq_tools::captureMain(argc, argv, helloShow());
}
