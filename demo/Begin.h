#ifndef VELQUOR_BEGIN_H
#define VELQUOR_BEGIN_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Begin : public vq_engine::Scene {
public:
    Begin(int width, int height);
    void show(double t) override;
    void createBegin();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
