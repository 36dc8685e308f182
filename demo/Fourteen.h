#ifndef VELQUOR_FOURTEEN_H
#define VELQUOR_FOURTEEN_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Fourteen : public vq_engine::Scene {
public:
    Fourteen(int width, int height);
    void show(double t) override;
    void createFourteen();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
