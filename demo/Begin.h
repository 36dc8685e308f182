#ifndef VELQUOR_BEGIN_H
#define VELQUOR_BEGIN_H

#include "engine/Matrix.h"
#include "engine/PString.h"
#include "engine/Scene.h"
#include "engine/ShaderProgram.h"

class Begin : public vq_engine::Scene {
public:
    // From here on the points move and are re-emitted, on a clock counted from this moment.
    static constexpr double motionStart = 3.0;

    Begin(int width, int height);
    void show(double t) override;
    void createBegin();

    vq_engine::PString* text;
    vq_engine::ShaderProgram* program;
    vq_engine::Matrix projection;
};

#endif
