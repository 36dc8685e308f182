#version 410 core

// Bands of gold and deep blue along the surface, lit by one light from
// above left with a highlight, and a cool rim where the surface turns away.

in vec3 worldNormal;
in vec2 surface;

out vec4 fragColour;

const vec3 gold = vec3(1.00, 0.72, 0.35);
const vec3 deepBlue = vec3(0.12, 0.22, 0.55);
const vec3 towardLight = normalize(vec3(-0.5, -0.7, -0.6)); // world y runs down the screen
const vec3 towardEye = vec3(0.0, 0.0, -1.0);

void main() {
    vec3 n = normalize(worldNormal);
    float band = smoothstep(0.35, 0.65, abs(fract(surface.x * 12.0) * 2.0 - 1.0));
    vec3 base = mix(deepBlue, gold, band);
    float diffuse = max(dot(n, towardLight), 0.0);
    float highlight = pow(max(dot(reflect(-towardLight, n), towardEye), 0.0), 24.0);
    float rim = pow(1.0 - max(dot(n, towardEye), 0.0), 3.0);
    vec3 colour = base * (0.18 + 0.82 * diffuse) + vec3(highlight * 0.6) + vec3(0.25, 0.45, 0.9) * rim * 0.5;
    fragColour = vec4(colour, 1.0);
}
