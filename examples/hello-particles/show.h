// hello-particles as the preview and the capture see it.
#ifndef HELLO_SHOW_H
#define HELLO_SHOW_H

#include "hello.h"
#include "tools/ShowTools.h"

inline vq_tools::Show helloShow() {
    vq_tools::Show show;
    show.name = "hello-particles";
    show.make = [](int width, int height) -> Demo* {
        Demo* demo = new HelloDemo(width, height);
        demo->init();
        return demo;
    };
    show.seconds = showSeconds; // silent: no track
    show.cues = {{0.0, "HELLO"}};
    show.files = {"data/stars.vs", "data/stars.fs"};
    return show;
}

#endif
