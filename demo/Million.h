#ifndef VELQUOR_MILLION_H
#define VELQUOR_MILLION_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Million : public vq_engine::Scene {
public:
    Million(int width, int height);
    void show(double t) override;
    void createMillion();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
