#ifndef VQ_ENGINE_RENDERBUFFER_H
#define VQ_ENGINE_RENDERBUFFER_H

namespace vq_engine {

class ShaderProgram;
class Sprite;

// Render to texture with one post-processing pass. firstPass() sends drawing
// into count RGBA textures (and an optional 24-bit depth buffer) of the
// buffer's size; secondPass() returns to the window's framebuffer, binds
// texture i on unit i and draws a full-screen quad with the caller's program,
// which reads attribute 0 (clip-space position), attribute 1 (texture
// coordinate) and the uniforms "pmatrix", "color", "height", "fadeperc",
// "kernelsize", "vignette", "avg" and "zoom".
class RenderBuffer {
public:
    // A framebuffer GL will not accept prints "Render to texture
    // initialization failed" once and sets the error flag; both passes still run.
    // width x height is the size of every texture and the viewport of both
    // passes; reserved is stored and not read. Needs a current GL context.
    RenderBuffer(int width, int height, int reserved, int count, bool depth);
    ~RenderBuffer();
    RenderBuffer(const RenderBuffer&) = delete;
    RenderBuffer& operator=(const RenderBuffer&) = delete;

    // The offscreen framebuffer.
    unsigned int getFramebuffer();
    // 0 for an index outside the textures.
    unsigned int getRenderTexture(int index);
    // True when GL did not accept the framebuffer.
    bool getError();

    // Sends drawing into the textures: binds the framebuffer, clears it and sets the viewport.
    void firstPass();
    // Back to the window's framebuffer, cleared: binds the textures on units 0
    // to count - 1, uploads the stored uniforms and draws the quad with the program.
    void secondPass();

    // The program is not owned and must outlive its use.
    void addShader(ShaderProgram* program);
    // The setters only store; the values reach the program at the next secondPass().
    void setFade(float fade);
    void setKernelSize(int kernelSize);
    void setVignette(float vignette);
    void setAvg(int avg);
    void setZoom(float zoom);

    // The framebuffer, its count colour textures and the optional depth buffer (0 when none).
    unsigned int framebuffer;
    unsigned int* textures;
    unsigned int depthBuffer;
    // Size of the textures and the passes' viewport.
    int width;
    int height;
    // Stored for callers; no operation reads it.
    int reserved;
    // Set when the framebuffer was incomplete at construction.
    bool error;
    // Number of colour textures.
    int count;
    // Post-processing values, uploaded as "fadeperc", "kernelsize", "avg",
    // "vignette" and "zoom" by secondPass.
    float fade;
    int kernelSize;
    int avg;
    float vignette;
    float zoom;
    // The post-processing program, not owned.
    ShaderProgram* program;
    // The full-screen quad, owned.
    Sprite* sprite;

private:
    void attachDepthBuffer();
    void attachTextures();
    bool reportedNoProgram;
};

} // namespace vq_engine

#endif
