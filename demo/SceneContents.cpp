#include "demo/SceneContents.h"

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

std::vector<vq_engine::Particle*> textClouds(const vq_engine::PString* text) {
    std::vector<vq_engine::Particle*> clouds;
    for (const vq_engine::Character* glyph : text->chars)
        clouds.insert(clouds.end(), glyph->particles.begin(), glyph->particles.end());
    return clouds;
}

template <typename TextScene>
bool describeText(vq_engine::Scene* scene, const char* name, SceneContent& content) {
    TextScene* text = dynamic_cast<TextScene*>(scene);
    if (!text)
        return false;
    content.name = name;
    content.clouds = textClouds(text->text);
    content.projection = &text->projection;
    return true;
}

} // namespace

std::vector<SceneContent> sceneContents(const vq_engine::Demo& demo) {
    std::vector<SceneContent> contents;
    for (vq_engine::Scene* scene : demo.scenes) {
        SceneContent content{nullptr, scene, {}, nullptr};
        if (Background* background = dynamic_cast<Background*>(scene)) {
            content.name = "Background";
            content.clouds.assign(background->clouds, background->clouds + Background::cloudCount);
            content.projection = &background->projection;
        } else {
            describeText<Begin>(scene, "Begin", content) || describeText<Fourteen>(scene, "Fourteen", content) ||
                describeText<Thirtytwo>(scene, "Thirtytwo", content) || describeText<N158>(scene, "N158", content) ||
                describeText<N271>(scene, "N271", content) || describeText<Million>(scene, "Million", content) ||
                describeText<Tovelplex>(scene, "Tovelplex", content) ||
                describeText<RandomNums>(scene, "RandomNums", content);
        }
        contents.push_back(content);
    }
    return contents;
}
