#include "demo/SceneCommon.h"

#include <GL/glew.h>

const char* const starsVertexPath = "data/stars.vs";
const char* const starsFragmentPath = "data/stars.fs";

vq_engine::Matrix cameraView() {
    double eye[3] = {0.0, 0.0, -2.0};
    double center[3] = {0.0, 0.0, 0.0};
    double up[3] = {0.0, -1.0, 0.0};
    vq_engine::Matrix view;
    view.lookAt(eye, center, up);
    return view;
}

vq_engine::ShaderProgram* createStarsProgram() {
    vq_engine::ShaderProgram* program = new vq_engine::ShaderProgram();
    program->addShader(starsVertexPath, GL_VERTEX_SHADER);
    program->addShader(starsFragmentPath, GL_FRAGMENT_SHADER);
    program->compile();
    starsPrograms().push_back(program);
    return program;
}

std::vector<vq_engine::ShaderProgram*>& starsPrograms() {
    static std::vector<vq_engine::ShaderProgram*> programs;
    return programs;
}
