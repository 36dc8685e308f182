#ifndef VELQUOR_BACKGROUND_H
#define VELQUOR_BACKGROUND_H

#include "engine/Matrix.h"
#include "engine/Particle.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Background : public vq_engine::Scene {
public:
    static constexpr int cloudCount = 122;

    Background(int width, int height);
    void show(double t) override;

    vq_engine::Particle* clouds[cloudCount];
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
