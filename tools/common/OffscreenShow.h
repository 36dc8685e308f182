#ifndef VELQUOR_TOOLS_OFFSCREENSHOW_H
#define VELQUOR_TOOLS_OFFSCREENSHOW_H

#include <GL/glew.h>
#include <SDL.h>

#include <string>
#include <vector>

#include "engine/Demo.h"
#include "engine/Particle.h"
#include "engine/RandomStream.h"
#include "engine/ShaderProgram.h"
#include "engine/ShowRunner.h"
#include "tools/ShowTools.h"
#include "tools/common/PngFile.h"

namespace vq_engine {
class RenderBuffer;
}

namespace tools {

// A show, built in an OpenGL 4.1 core context and drawn into an offscreen
// framebuffer of a size of its own, whatever the screen, in a hidden window
// and context of its own. The capture reads the frames back; the preview's
// context shares them with its visible window's, where a thread of the
// preview's own copies each frame to the screen.
class OffscreenShow {
public:
    OffscreenShow(const vq_tools::Show& description, int width, int height);
    ~OffscreenShow();
    OffscreenShow(const OffscreenShow&) = delete;
    OffscreenShow& operator=(const OffscreenShow&) = delete;

    // Opens a hidden window with the context, current from then on, then
    // builds the demo and the buffers in it; an error message, or empty.
    std::string open(const char* title);
    // Gives back the GL objects of its own while the context is still there
    // (the demo's objects go with the context).
    void close();
    // The show built again at the given size (with new buffers for a new
    // size): with the clouds and the random stream it holds now put back,
    // unless fresh, when it starts from its beginning. An error message, or
    // empty.
    std::string rebuild(int width, int height, bool fresh = false);
    // Draws the show at time t into the buffer, as one frame of the live
    // demo would, and lets GL start on it; at most one earlier frame is
    // still being drawn when it returns.
    void draw(double t);
    // The same calls as draw(t), with GL told to skip every draw and clear:
    // the points move, the buffers fill and the random stream advances
    // exactly as when the frame is seen, at a fraction of the cost.
    void step(double t);
    // Waits until GL has finished the frames drawn so far.
    void finish();
    // The last frame drawn, row 0 at the top.
    void read(RgbImage& frame);
    // The buffer holding the last frame drawn, and its colour texture.
    GLuint framebuffer() const;
    GLuint texture() const;

    int width;
    int height;
    // Set before building, at most maxBuffers: more than one for a show
    // whose frames are copied out while the next is drawn.
    static const int maxBuffers = 3;
    int buffers = 1;
    // Set before open(): a debug context that collects every GL error and
    // driver warning, each as one line with the time being drawn.
    bool glCheck = false;
    // Set before open(): a context that shares textures and fences with the
    // one current then, for a window of the caller's that shows the frames.
    bool shareWithCurrent = false;
    long long glProblems = 0;
    std::vector<std::string> glReports; // the first few
    vq_tools::Show description;
    // Builds, drops and rebuilds the show, as the web page does.
    vq_engine::ShowRunner runner;
    // The show as made by description.make; its scenes are never deleted.
    vq_engine::Demo* demo = nullptr;

    // What this show made as it was built, taken from the engine's lists:
    // its clouds (all that it carries between frames, with the random
    // stream) and its programs. A show that makes or deletes clouds while it
    // plays has state beyond them (Show::keepsOtherState).
    const std::vector<vq_engine::Particle*>& clouds() const { return runner.clouds; }
    const std::vector<vq_engine::ShaderProgram*>& programs() const { return runner.programs; }
    // The scene's class name, for people: "Background".
    static std::string sceneName(vq_engine::Scene* scene);

private:
    // The buffers, then the show, whose programs must all link.
    std::string build();
    // The show alone, from the random stream's start.
    std::string buildShow();
    std::string brokenProgramReason() const;
    std::string makeFramebuffer();
    void deleteFramebuffers();
    std::string startGLCheck();
    // Waits for the frame before the last one, then fences the last one.
    void fence();
    static void onGLMessage(const char* message, void* show);

    double drawing = 0.0;

    // Set by open(): a hidden window and a context of its own.
    bool ownsWindow = false;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    // The engine's render-to-texture buffers, one colour texture and depth
    // each, drawn in turn.
    vq_engine::RenderBuffer* targets[maxBuffers] = {nullptr, nullptr, nullptr};
    int current = 0;
    // The frame GL may still be working on. Without a limit the driver queues
    // frames, and their memory, as fast as they are sent.
    GLsync inFlight = nullptr;
    // GL's bottom-up rows, kept between frames: a fresh frame-sized buffer
    // each time costs more than the read itself.
    std::vector<unsigned char> rows;
};

using vq_engine::restartRandom;
using vq_engine::restoreRandom;
using vq_engine::saveRandom;

// A framebuffer's colour picture, row 0 at the top; rows is scratch space
// kept between calls. The read framebuffer binding is left as it was.
void readFramebuffer(GLuint framebuffer, int width, int height, RgbImage& frame, std::vector<unsigned char>& rows);

} // namespace tools

#endif
