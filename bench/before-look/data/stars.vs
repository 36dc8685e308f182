#version 410 core

// Star-like points. Size falls off with distance from the eye; each point
// twinkles gently around its own phase; points driven fast run warmer; the
// far background is dimmer and cooler than the text in front of it.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 velocity;
layout(location = 2) in float birthTime;
layout(location = 3) in float deathTime;

uniform mat4 pmatrix;
uniform float time;

out vec3 starColour;

const vec3 coolWhite = vec3(0.78, 0.88, 1.00);
const vec3 emberGold = vec3(1.00, 0.70, 0.38);

float hash(float n) {
    return fract(sin(n) * 43758.5453);
}

void main() {
    gl_Position = pmatrix * vec4(position, 1.0);
    float distance = max(gl_Position.w, 0.05);
    gl_PointSize = clamp(2.4 + 4.5 / distance, 1.0, 40.0);

    // Birth and death times differ from point to point, so they seed the phase;
    // a point keeps its phase after its death time has passed.
    float phase = hash(deathTime * 12.9898 + birthTime * 78.233) * 6.2831853;
    float rate = 2.0 + 3.0 * hash(deathTime * 3.7 + 1.3);
    float twinkle = 0.85 + 0.15 * sin(time * rate + phase);

    float heat = smoothstep(0.002, 0.03, length(velocity));
    float depthFade = mix(1.0, 0.8, smoothstep(4.0, 20.0, distance));
    starColour = mix(coolWhite, emberGold, heat) * twinkle * depthFade;
}
