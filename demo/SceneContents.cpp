#include "demo/SceneContents.h"

#include "demo/SceneTable.h"

std::vector<SceneContent> sceneContents(const MyDemo& demo) {
    std::vector<SceneContent> contents;
    for (size_t i = 0; i < demo.scenes.size(); i++) {
        vq_engine::Scene* scene = demo.scenes[i];
        SceneContent content{nullptr, scene, {}, nullptr};
        // MyDemo::init builds the table's scenes in its order; anything added after them is unknown here.
        if (i < size_t(showSceneCount)) {
            const SceneKind& kind = showScenes[i];
            content.name = kind.name;
            content.clouds = kind.clouds(scene);
            content.projection = kind.projection(scene);
        }
        contents.push_back(content);
    }
    return contents;
}
