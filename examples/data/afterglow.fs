#version 410 core

// The render buffer's post-processing pass: the frame, zoomed about its
// centre, plus a glow gathered from a ring of texels around each one, then
// darkened towards the corners.
//   zoom        magnification about the centre (1: none)
//   kernelsize  the glow's reach in texels
//   avg         1: the glow is the neighbourhood's average; 0: its brightest texel
//   fadeperc    how strongly the glow is added (0: not at all)
//   vignette    how dark the corners get (0: not at all, 1: black)

in vec2 uv;

uniform sampler2D color;
uniform float fadeperc;
uniform int kernelsize;
uniform int avg;
uniform float vignette;
uniform float zoom;

out vec4 fragColour;

const int directions = 8;
const int rings = 3;

void main() {
    vec2 at = (uv - 0.5) / max(zoom, 0.01) + 0.5;
    vec2 texel = 1.0 / vec2(textureSize(color, 0));
    vec3 base = texture(color, at).rgb;

    vec3 sum = vec3(0.0);
    vec3 brightest = vec3(0.0);
    for (int ring = 1; ring <= rings; ring++) {
        float reach = float(kernelsize) * float(ring) / float(rings);
        float fade = 1.0 - float(ring - 1) / float(rings);
        for (int d = 0; d < directions; d++) {
            float angle = 6.2831853 * (float(d) + 0.5 * float(ring)) / float(directions);
            vec3 c = texture(color, at + vec2(cos(angle), sin(angle)) * reach * texel).rgb * fade;
            sum += c;
            brightest = max(brightest, c);
        }
    }
    vec3 glow = avg == 1 ? sum * (6.0 / float(directions * rings)) : brightest;

    float corner = length(uv - 0.5) * 1.4142136;
    float darken = 1.0 - vignette * smoothstep(0.4, 1.0, corner);
    fragColour = vec4((base + glow * fadeperc) * darken, 1.0);
}
