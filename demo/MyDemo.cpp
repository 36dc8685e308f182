#include "demo/MyDemo.h"

#include <GL/glew.h>

#include "demo/Scenes.h"

MyDemo::MyDemo(int width, int height) : vq_engine::Demo(width, height) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_PROGRAM_POINT_SIZE);
}

void MyDemo::init() {
    for (int i = 0; i < showSceneCount; i++)
        scenes.push_back(showScenes[i].build(width, height));
}
