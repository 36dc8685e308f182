#version 410 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 velocity;
layout(location = 2) in float birthTime;
layout(location = 3) in float deathTime;
uniform mat4 pmatrix;
uniform float time;
out vec3 colour;

// Young points green, old ones orange; fast ones whiter.
void main() {
    gl_Position = pmatrix * vec4(position, 1.0);
    float age = clamp((time - birthTime) / max(deathTime - birthTime, 0.001), 0.0, 1.0);
    colour = mix(vec3(0.2, 1.0, 0.4), vec3(1.0, 0.45, 0.1), age) + vec3(150.0 * length(velocity));
    gl_PointSize = 3.0;
}
