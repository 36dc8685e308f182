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
    RenderBuffer(int width, int height, int reserved, int count, bool depth);
    ~RenderBuffer();
    RenderBuffer(const RenderBuffer&) = delete;
    RenderBuffer& operator=(const RenderBuffer&) = delete;

    unsigned int getFramebuffer();
    // 0 for an index outside the textures.
    unsigned int getRenderTexture(int index);
    bool getError();

    void firstPass();
    void secondPass();

    // The program is not owned and must outlive its use.
    void addShader(ShaderProgram* program);
    // The setters only store; the values reach the program at the next secondPass().
    void setFade(float fade);
    void setKernelSize(int kernelSize);
    void setVignette(float vignette);
    void setAvg(int avg);
    void setZoom(float zoom);

    unsigned int framebuffer;
    unsigned int* textures;
    unsigned int depthBuffer;
    int width;
    int height;
    int reserved;
    bool error;
    int count;
    float fade;
    int kernelSize;
    int avg;
    float vignette;
    float zoom;
    ShaderProgram* program;
    Sprite* sprite;

private:
    void attachDepthBuffer();
    void attachTextures();
    bool reportedNoProgram;
};

} // namespace vq_engine

#endif
