#include "tools/common/GLWindow.h"

#include <GL/glew.h>

#include "engine/Window.h"

namespace tools {

std::string openGLWindow(const char* title, int width, int height, Uint32 flags, bool debug,
                         SDL_Window*& window, SDL_GLContext& context) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return std::string("cannot open a window: ") + SDL_GetError() +
               " (it needs an X display: set DISPLAY, or run it under xvfb-run -a)";
    std::string noDisplay = vq_engine::noDisplayReason(SDL_GetCurrentVideoDriver());
    if (!noDisplay.empty())
        return noDisplay;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, debug ? SDL_GL_CONTEXT_DEBUG_FLAG : 0);
    window = vq_engine::openWindow(title, width, height, SDL_WINDOW_OPENGL | flags);
    if (!window)
        return std::string("cannot open a window: ") + SDL_GetError();
    context = SDL_GL_CreateContext(window);
    if (!context)
        return std::string("no OpenGL 4.1 core context: ") + SDL_GetError();
    glewExperimental = GL_TRUE;
    GLenum glew = glewInit();
    if (glew != GLEW_OK)
        return std::string("GLEW initialisation failed: ") + reinterpret_cast<const char*>(glewGetErrorString(glew));
    glGetError(); // GLEW's probing can leave a harmless error behind
    return "";
}

} // namespace tools
