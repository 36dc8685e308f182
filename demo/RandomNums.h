#ifndef VELQUOR_RANDOMNUMS_H
#define VELQUOR_RANDOMNUMS_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class RandomNums : public vq_engine::Scene {
public:
    static constexpr int digitCount = 100;

    RandomNums(int width, int height);
    void show(double t) override;
    void createRandomNums();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
