#ifndef VQ_ENGINE_CONFIG_H
#define VQ_ENGINE_CONFIG_H

#include <string>
#include <unordered_map>

#include "engine/ShaderProgram.h"

namespace vq_engine {

// Holder for resources named in a configuration file: linked programs and
// texture names by key, and the music file's path. The file is read line by
// line, but no syntax is defined yet, so the lines fill nothing.
//
// Programs are held by value. A ShaderProgram owns its GL program and cannot
// be copied or moved, so entries are built in place (try_emplace) and the
// holder hands out references; the map's nodes never move, so a reference
// stays valid until its entry is erased or the holder is destroyed.
class Config {
public:
    // Construction always succeeds: a missing file or a line of 199
    // characters or more just ends the reading.
    explicit Config(const char* path);
    ~Config();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    // The music file's path; empty until a syntax fills it.
    std::string getMusic();
    // Both lookups throw std::out_of_range for a key that is not held.
    ShaderProgram& getShader(std::string name);
    unsigned int getTexture(std::string name);

    // Linked programs by name.
    std::unordered_map<std::string, ShaderProgram> shaders;
    // GL texture names by name.
    std::unordered_map<std::string, unsigned int> textures;
    // Path of the music file.
    std::string music;
};

} // namespace vq_engine

#endif
