#version 410 core

// A texture as it was loaded, with a soft band of light sweeping across it
// now and then.

in vec2 uv;

uniform sampler2D picture;
uniform float time;

out vec4 fragColour;

void main() {
    vec3 colour = texture(picture, uv).rgb;
    float band = (uv.x + uv.y) * 0.5 - (fract(time * 0.2) * 2.0 - 0.5);
    colour += vec3(0.18) * exp(-band * band * 80.0);
    fragColour = vec4(colour, 1.0);
}
