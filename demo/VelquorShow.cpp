#include "demo/VelquorShow.h"

#include "demo/Cues.h"
#include "demo/MyDemo.h"
#include "demo/SceneCommon.h"

vq_engine::Show velquorShow() {
    vq_engine::Show show;
    show.name = "velquor";
    show.make = [](int width, int height) -> vq_engine::Demo* {
        MyDemo* demo = new MyDemo(width, height);
        demo->init();
        return demo;
    };
    show.track = trackPath;
    for (const Cue& cue : cues)
        show.cues.push_back({cue.time, cue.event});
    show.files = {starsVertexPath, starsFragmentPath};
    return show;
}
