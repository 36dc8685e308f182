#ifndef VQ_WEB_SHOWPAGE_H
#define VQ_WEB_SHOWPAGE_H

#include "engine/Show.h"

// Any show on the engine as a web page: its main hands the show's
// description to pageMain, and the page runtime (runtime.js, page.js) does
// the rest: the canvas, the clock, the music, the keys and the stills.
//
//     int main() { return vq_web::pageMain(myShow()); }
//
// STEP BY STEP
//   1. The runtime starts the module, whose main calls pageMain: the show is
//      described, not yet built, and the page learns its name, track and length.
//   2. vq_page_open makes the WebGL 2 context on the page's canvas and builds
//      the show at the canvas's size, reading its files from those packed
//      into the page.
//   3. The page steps and draws frames at music time, exactly as the tools do:
//      frame n of a show played at F frames a second shows n / F seconds.
//   4. A new canvas size builds the show again at that size, with the state
//      it had; playing again puts back the state it started with.
//
// It DOES NOT read a clock, play sound or listen to keys: the page does.
namespace vq_web {

// Checks the description and keeps it for the page; 0, or 1 after printing
// what is wrong with it.
int pageMain(const vq_engine::Show& show);

} // namespace vq_web

#endif
