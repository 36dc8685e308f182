#ifndef VELQUOR_MYDEMO_H
#define VELQUOR_MYDEMO_H

#include "engine/Demo.h"

// The show: sets the global GL state once and builds the scenes in drawing order.
class MyDemo : public vq_engine::Demo {
public:
    MyDemo(int width, int height);
    void init() override;
};

#endif
