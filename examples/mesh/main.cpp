// mesh: a torus from an OBJ file, loaded by Mesh3D (each "f" line read into a
// MeshIndex, then one indexed vertex stream), lit by a shader of its own and
// turning. W shows the triangles as lines.
#include <GL/glew.h>
#include <SDL.h>

#include "engine/Mesh3D.h"
#include "engine/ShaderProgram.h"
#include "examples/common/ExampleMain.h"

using namespace vq_engine;

namespace {

const char* const modelPath = "data/examples/torus.obj";
const char* const vertexPath = "data/examples/mesh.vs";
const char* const fragmentPath = "data/examples/mesh.fs";

class TurningMesh : public Scene {
public:
    TurningMesh(int width, int height) {
        start = 0.0;
        end = 1e9;
        mesh = new Mesh3D(modelPath);
        program = new ShaderProgram();
        program->addShader(vertexPath, GL_VERTEX_SHADER);
        program->addShader(fragmentPath, GL_FRAGMENT_SHADER);
        program->compile();
        stopUnlessLinked(program, "mesh");
        double eye[3] = {0, 0, -2}, centre[3] = {0, 0, 0}, up[3] = {0, -1, 0};
        Matrix view, lens;
        view.lookAt(eye, centre, up);
        lens.perspective(35.0, double(width) / height, 0.1, 100.0);
        camera = view * lens;
    }

    void show(double t) override {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
        program->use();
        Matrix turn;
        turn.rotate(0.9 + t * 0.5, t * 0.3, 0.0);
        program->setParam("model", turn);
        program->setParam("pmatrix", turn * camera);
        mesh->draw();
        glBindVertexArray(0);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }

    Mesh3D* mesh;
    ShaderProgram* program;
    Matrix camera;
    bool wireframe = false;
};

class MeshExample : public Example {
public:
    MeshExample(int width, int height) : Example(width, height) {
        glClearColor(0.02f, 0.02f, 0.05f, 1.0f);
        glEnable(GL_DEPTH_TEST);
    }

    void init() override {
        torus = new TurningMesh(width, height);
        scenes.push_back(torus);
    }

    void key(int symbol) override {
        if (symbol == SDLK_w)
            torus->wireframe = !torus->wireframe;
    }

    TurningMesh* torus = nullptr;
};

Example* make(int width, int height) {
    return new MeshExample(width, height);
}

} // namespace

int main(int argc, char** argv) {
    ExampleSetup setup = {"mesh", {modelPath, vertexPath, fragmentPath}, 2.0, false};
    return runExample(argc, argv, setup, make);
}
