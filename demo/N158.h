#ifndef VELQUOR_N158_H
#define VELQUOR_N158_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class N158 : public vq_engine::Scene {
public:
    N158(int width, int height);
    void show(double t) override;
    void createN158();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
