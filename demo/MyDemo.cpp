#include "demo/MyDemo.h"

#include <GL/glew.h>

#include "demo/Background.h"
#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/SceneCommon.h"
#include "demo/Thirtytwo.h"
#include "demo/Tovelplex.h"

MyDemo::MyDemo(int width, int height) : vq_engine::Demo(width, height) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_PROGRAM_POINT_SIZE);
}

void MyDemo::init() {
    // The list is the show's own: a tool that builds a new show in a new
    // context must not rebuild or count programs whose context has gone.
    starsPrograms().clear();
    // Background clears the frame, so it is first; RandomNums is last, since
    // its digits come from the random stream after every cloud built before it.
    scenes.push_back(new Background(width, height));
    scenes.push_back(new Begin(width, height));
    scenes.push_back(new Fourteen(width, height));
    scenes.push_back(new Thirtytwo(width, height));
    scenes.push_back(new N158(width, height));
    scenes.push_back(new N271(width, height));
    scenes.push_back(new Million(width, height));
    scenes.push_back(new Tovelplex(width, height));
    scenes.push_back(new RandomNums(width, height));
}
