#include "engine/Config.h"

#include <fstream>

#include "engine/RegularFile.h"

namespace vq_engine {

namespace {

const int lineCapacity = 200;

} // namespace

Config::Config(const char* path) {
    // A pipe in place of the file would block the open; a missing or odd file reads as empty.
    if (!regularFileProblem(path).empty())
        return;
    std::ifstream file(path);
    char line[lineCapacity];
    while (file.good()) {
        file.getline(line, lineCapacity);
        // Where a syntax for shaders, textures and music would be read.
    }
}

Config::~Config() {}

std::string Config::getMusic() {
    return music;
}

ShaderProgram& Config::getShader(std::string name) {
    return shaders.at(name);
}

unsigned int Config::getTexture(std::string name) {
    return textures.at(name);
}

} // namespace vq_engine
