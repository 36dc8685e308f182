#include "demo/SceneCommon.h"

#include <GL/glew.h>

#include "engine/Scene.h"

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

void layOut(vq_engine::Matrix& projection, int width, int height) {
    projection.perspective(fieldOfView, vq_engine::Scene::aspect(width, height), nearPlane, farPlane);
}

void setUpStars(vq_engine::ShaderProgram*& program, vq_engine::Matrix& projection, int width, int height) {
    program = createStarsProgram();
    layOut(projection, width, height);
}

namespace {

// Point sizes are in pixels: the shader grows them on frames taller than
// 1080 lines, so it is told the height of the frame being drawn.
float drawnHeight() {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return float(viewport[3]);
}

} // namespace

void useStars(vq_engine::ShaderProgram* program, const vq_engine::Matrix& projection, double t) {
    program->use();
    program->setParam("pmatrix", cameraView() * projection);
    program->setParam("time", float(t));
    program->setParam("drawableHeight", drawnHeight());
}

void useStars(vq_engine::ShaderProgram* program, const vq_engine::Matrix& model, const vq_engine::Matrix& projection,
              double t) {
    program->use();
    program->setParam("pmatrix", (model * cameraView()) * projection);
    program->setParam("time", float(t));
    program->setParam("drawableHeight", drawnHeight());
}

vq_engine::PString* textOf(std::initializer_list<vq_engine::Character*> glyphs) {
    vq_engine::PString* text = new vq_engine::PString();
    for (vq_engine::Character* glyph : glyphs)
        text->addChar(glyph);
    return text;
}
