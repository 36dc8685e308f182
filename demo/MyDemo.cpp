#include "demo/MyDemo.h"

#include <GL/glew.h>

#include "demo/SceneCommon.h"
#include "demo/SceneTable.h"

MyDemo::MyDemo(int width, int height) : vq_engine::Demo(width, height) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
#ifndef __EMSCRIPTEN__
    // WebGL always takes the point size from the vertex shader, and has no such switch.
    glEnable(GL_PROGRAM_POINT_SIZE);
#endif
}

void MyDemo::init() {
    // The list is the show's own: a tool that builds a new show in a new
    // context must not rebuild or count programs whose context has gone.
    starsPrograms().clear();
    for (int i = 0; i < showSceneCount; i++)
        scenes.push_back(showScenes[i].build(width, height));
}
