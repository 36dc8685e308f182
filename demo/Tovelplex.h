#ifndef VELQUOR_TOVELPLEX_H
#define VELQUOR_TOVELPLEX_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Tovelplex : public vq_engine::Scene {
public:
    Tovelplex(int width, int height);
    void show(double t) override;
    void createTovelplex();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
