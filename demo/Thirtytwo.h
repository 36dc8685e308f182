#ifndef VELQUOR_THIRTYTWO_H
#define VELQUOR_THIRTYTWO_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Thirtytwo : public vq_engine::Scene {
public:
    Thirtytwo(int width, int height);
    void show(double t) override;
    void createThirtytwo();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
