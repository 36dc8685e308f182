#ifndef VELQUOR_N271_H
#define VELQUOR_N271_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class N271 : public vq_engine::Scene {
public:
    N271(int width, int height);
    void show(double t) override;
    void createN271();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
