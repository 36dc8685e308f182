#include "engine/Scene.h"

namespace vq_engine {

Scene::Scene() {}

double Scene::aspect(int width, int height) {
    if (height <= 0)
        return 1.0;
    int quotient = width / height;
    if (quotient >= 1)
        return double(quotient);
    return double(width) / double(height);
}

bool Scene::showsAt(double t) const {
    return t > start && end > t;
}

} // namespace vq_engine
