#ifndef VELQUOR_EXAMPLES_EXAMPLEMAIN_H
#define VELQUOR_EXAMPLES_EXAMPLEMAIN_H

#include <vector>

#include "engine/Demo.h"

// An example's drawing: a Demo whose scenes draw each frame, told of the keys
// pressed in its window.
class Example : public vq_engine::Demo {
public:
    Example(int width, int height) : vq_engine::Demo(width, height) {}
    // An SDL key code; Escape never arrives here, it closes the window.
    virtual void key(int symbol) { (void)symbol; }
};

struct ExampleSetup {
    const char* name;
    // Read relative to the working directory; checked before anything opens.
    std::vector<const char*> dataFiles;
    // The moment --shot pictures, after frames 1/30 s apart from the start.
    double shotSeconds;
    // The example's last pass draws into the window's framebuffer itself (as
    // RenderBuffer::secondPass does), so a shot reads that back.
    bool drawsToWindow;
};

using MakeExample = Example* (*)(int width, int height);

// What every example does around its own drawing: reads --size WIDTHxHEIGHT
// and --shot FILE.png, opens a window with an OpenGL 4.1 core context (hidden
// for a shot), builds the example with make and calls init(); then draws
// frames until Escape or the window closes, or, for a shot, draws frames up
// to setup.shotSeconds into an offscreen buffer of exactly the size and writes
// the last one as a PNG. Returns the process's exit status.
int runExample(int argc, char** argv, const ExampleSetup& setup, MakeExample make);

namespace vq_engine {
class ShaderProgram;
}

// After compile(): a program that did not link would draw nothing, so the
// example stops with one line naming its files and status 1, as the demo does.
void stopUnlessLinked(vq_engine::ShaderProgram* program, const char* example);

#endif
