#include "demo/SceneTable.h"

#include "demo/Background.h"
#include "demo/Begin.h"
#include "demo/Fourteen.h"
#include "demo/Million.h"
#include "demo/N158.h"
#include "demo/N271.h"
#include "demo/RandomNums.h"
#include "demo/Thirtytwo.h"
#include "demo/Tovelplex.h"

namespace {

template <typename S>
vq_engine::Scene* build(int width, int height) {
    return new S(width, height);
}

template <typename S>
vq_engine::Matrix* projectionOf(vq_engine::Scene* scene) {
    return &static_cast<S*>(scene)->projection;
}

std::vector<vq_engine::Particle*> backgroundClouds(vq_engine::Scene* scene) {
    Background* background = static_cast<Background*>(scene);
    return {background->clouds, background->clouds + Background::cloudCount};
}

template <typename S>
std::vector<vq_engine::Particle*> textClouds(vq_engine::Scene* scene) {
    std::vector<vq_engine::Particle*> clouds;
    for (const vq_engine::Character* glyph : static_cast<S*>(scene)->text->chars)
        clouds.insert(clouds.end(), glyph->particles.begin(), glyph->particles.end());
    return clouds;
}

template <typename S>
constexpr SceneKind textScene(const char* name) {
    return {name, build<S>, textClouds<S>, projectionOf<S>};
}

} // namespace

const SceneKind showScenes[] = {
    {"Background", build<Background>, backgroundClouds, projectionOf<Background>},
    textScene<Begin>("Begin"),
    textScene<Fourteen>("Fourteen"),
    textScene<Thirtytwo>("Thirtytwo"),
    textScene<N158>("N158"),
    textScene<N271>("N271"),
    textScene<Million>("Million"),
    textScene<Tovelplex>("Tovelplex"),
    textScene<RandomNums>("RandomNums"),
};

const int showSceneCount = int(sizeof showScenes / sizeof showScenes[0]);
