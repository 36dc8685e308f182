#version 410 core

// A round point with a soft rim, drawn without blending: the rim fades to
// black instead of to transparency, which reads as soft against the black sky.

in vec3 starColour;

out vec4 fragColour;

void main() {
    vec2 offset = gl_PointCoord * 2.0 - 1.0;
    float r = length(offset);
    if (r > 1.0)
        discard;
    float glow = 1.0 - smoothstep(0.45, 1.0, r);
    fragColour = vec4(starColour * glow, 1.0);
}
