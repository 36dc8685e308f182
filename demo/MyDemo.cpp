#include "demo/MyDemo.h"

#include <GL/glew.h>

#include "demo/Background.h"

MyDemo::MyDemo(int width, int height) : vq_engine::Demo(width, height) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_PROGRAM_POINT_SIZE);
}

void MyDemo::init() {
    // Background clears the frame, so it stays first.
    scenes.push_back(new Background(width, height));
}
