#version 410 core

// A full-viewport quad (Sprite) passing its texture coordinates on.

layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texcoord;

out vec2 uv;

void main() {
    uv = texcoord;
    gl_Position = vec4(position, 0.0, 1.0);
}
