// textures: one picture made by the build, loaded from a PNG, a JPEG and a
// TGA file by Texture and drawn side by side on the full-viewport quad
// (Sprite), one viewport each, with the format's name beneath it in particle
// glyphs. All three should stand upright and look alike.
#include <GL/glew.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/PString.h"
#include "engine/ShaderProgram.h"
#include "engine/Sprite.h"
#include "engine/Texture.h"
#include "examples/common/ExampleMain.h"

using namespace vq_engine;

namespace {

struct Format {
    const char* path;
    ImgType type;
    const char* name;
};

const Format formats[] = {
    {"data/examples/velquor.png", IMG_PNG, "PNG"},
    {"data/examples/velquor.jpg", IMG_JPEG, "JPEG"},
    {"data/examples/velquor.tga", IMG_TGA, "TGA"},
};
const int formatCount = 3;

const char* const quadVertexPath = "data/examples/quad.vs";
const char* const pictureFragmentPath = "data/examples/picture.fs";
const char* const starsVertexPath = "data/stars.vs";
const char* const starsFragmentPath = "data/stars.fs";

// Lit cells of the 5x7 glyph grid, cell i in column i % 5, row i / 5 from the top.
const std::map<char, std::vector<int>> glyphs = {
    {'A', {1, 2, 3, 5, 9, 10, 14, 15, 16, 17, 18, 19, 20, 24, 25, 29, 30, 34}},
    {'E', {0, 1, 2, 3, 4, 5, 10, 15, 16, 17, 18, 20, 25, 30, 31, 32, 33, 34}},
    {'G', {1, 2, 3, 5, 9, 10, 15, 18, 19, 20, 24, 25, 29, 31, 32, 33}},
    {'J', {2, 3, 4, 8, 13, 18, 23, 25, 28, 31, 32}},
    {'N', {0, 4, 5, 6, 9, 10, 12, 14, 15, 17, 19, 20, 22, 24, 25, 28, 29, 30, 34}},
    {'P', {0, 1, 2, 3, 5, 9, 10, 14, 15, 16, 17, 18, 20, 25, 30}},
    {'T', {0, 1, 2, 3, 4, 7, 12, 17, 22, 27, 32}},
};

// A caption strip is this much of a picture's side high; its glyph cells are
// sized in the world units of a camera two units away.
const double captionShare = 0.25;
const float captionCell = 0.12f;

PString* caption(const char* text) {
    PString* line = new PString();
    int letters = int(std::char_traits<char>::length(text));
    float x = -(6.0f * letters - 1.0f) * captionCell / 2.0f;
    for (int i = 0; i < letters; i++) {
        const std::vector<int>& cells = glyphs.at(text[i]);
        line->addChar(new Character(x + 6.0f * i * captionCell, -3.5f * captionCell, 0.0f, captionCell, cells.data(),
                                    int(cells.size())));
    }
    return line;
}

struct Viewport {
    int x, y, width, height;
    void use() const { glViewport(x, y, width, height); }
};

class Gallery : public Scene {
public:
    Gallery(int width, int height) : width(width), height(height) {
        start = 0.0;
        end = 1e9;
        quad = new Sprite();
        pictureProgram = new ShaderProgram();
        pictureProgram->addShader(quadVertexPath, GL_VERTEX_SHADER);
        pictureProgram->addShader(pictureFragmentPath, GL_FRAGMENT_SHADER);
        pictureProgram->compile();
        stopUnlessLinked(pictureProgram, "textures");
        starsProgram = new ShaderProgram();
        starsProgram->addShader(starsVertexPath, GL_VERTEX_SHADER);
        starsProgram->addShader(starsFragmentPath, GL_FRAGMENT_SHADER);
        starsProgram->compile();
        stopUnlessLinked(starsProgram, "textures");
        for (int i = 0; i < formatCount; i++) {
            textures[i] = new Texture(formats[i].path, formats[i].type);
            captions[i] = caption(formats[i].name);
        }
        double eye[3] = {0, 0, -2}, centre[3] = {0, 0, 0}, up[3] = {0, -1, 0};
        Matrix view, lens;
        view.lookAt(eye, centre, up);
        lens.perspective(35.0, 1.0 / captionShare, 0.1, 100.0);
        captionCamera = view * lens;
    }

    // Three squares in a row across the middle, each with its caption strip beneath.
    Viewport picturePlace(int i) const {
        int square = int(std::min(width * 0.28, height * 0.62));
        int gap = square / 10;
        int left = (width - 3 * square - 2 * gap) / 2;
        int bottom = (height - square - int(square * captionShare)) / 2 + int(square * captionShare);
        return {left + i * (square + gap), bottom, square, square};
    }

    Viewport captionPlace(int i) const {
        Viewport picture = picturePlace(i);
        int strip = int(picture.width * captionShare);
        return {picture.x, picture.y - strip, picture.width, strip};
    }

    void show(double t) override {
        glViewport(0, 0, width, height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < formatCount; i++) {
            picturePlace(i).use();
            pictureProgram->use();
            pictureProgram->setParam("time", float(t));
            pictureProgram->addTexture("picture", textures[i]);
            quad->draw();

            captionPlace(i).use();
            starsProgram->use();
            starsProgram->setParam("time", float(t));
            starsProgram->setParam("pmatrix", captionCamera);
            captions[i]->draw();
        }
        glViewport(0, 0, width, height);
    }

    int width;
    int height;
    Sprite* quad;
    ShaderProgram* pictureProgram;
    ShaderProgram* starsProgram;
    Texture* textures[formatCount];
    PString* captions[formatCount];
    Matrix captionCamera;
};

class TexturesExample : public Example {
public:
    TexturesExample(int width, int height) : Example(width, height) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_PROGRAM_POINT_SIZE);
    }
    void init() override { scenes.push_back(new Gallery(width, height)); }
};

Example* make(int width, int height) {
    return new TexturesExample(width, height);
}

} // namespace

int main(int argc, char** argv) {
    ExampleSetup setup = {"textures",
                        {formats[0].path, formats[1].path, formats[2].path, quadVertexPath, pictureFragmentPath,
                         starsVertexPath, starsFragmentPath},
                        1.0,
                        false};
    return runExample(argc, argv, setup, make);
}
