#version 410 core

// A Mesh3D lit in world space: positions on 0, normals on 1, texture
// coordinates on 2, as the mesh uploads them.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texcoord;

uniform mat4 pmatrix; // model, camera and lens
uniform mat4 model;   // the turn alone, for the normals

out vec3 worldNormal;
out vec2 surface;

void main() {
    gl_Position = pmatrix * vec4(position, 1.0);
    worldNormal = mat3(model) * normal;
    surface = texcoord;
}
