#ifndef VQ_ENGINE_SPRITE_H
#define VQ_ENGINE_SPRITE_H

namespace vq_engine {

// A quad covering the whole viewport, drawn as a triangle fan: clip-space
// positions on attribute 0, texture coordinates on attribute 1 with (0, 0) at
// the bottom-left corner.
class Sprite {
public:
    // Leaves its vertex array bound.
    Sprite();
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    // Draws the quad with whatever program the caller has bound.
    void draw();
    // The quad's vertex array.
    unsigned int getVAO();

    // The vertex array and its two buffers: positions, texture coordinates.
    unsigned int vao;
    unsigned int positionBuffer;
    unsigned int texcoordBuffer;
};

} // namespace vq_engine

#endif
