#ifndef VQ_ENGINE_MESH3D_H
#define VQ_ENGINE_MESH3D_H

#include <string>
#include <vector>

#include "engine/MeshIndex.h"

namespace vq_engine {

// A triangle mesh from a Wavefront OBJ file ("v", "vt", "vn" and "f" lines),
// uploaded into one vertex array: positions on attribute 0, normals on 1,
// texture coordinates on 2, and an unsigned int element buffer. Positions are
// used as the file gives them; each corner's normal and texture coordinate
// are moved onto its position, the face read last winning where faces share
// a position.
//
// Fields are separated by spaces only (a tab does not separate), and a line
// of 199 characters or more ends the reading. Lines too short to use, faces
// whose position index names no position or whose texture or normal index
// names none in a file that has such lines, and the overlong line are
// reported with the file and line number; such lines are skipped.
class Mesh3D {
public:
    // Needs a current GL context. A file that cannot be read gives an empty mesh.
    explicit Mesh3D(const char* path);
    // With upload false: read and built, and no GL touched, so no context
    // is needed; vao stays 0 and the mesh cannot be drawn. For looking at
    // a model's data, or checking a file, with no display.
    Mesh3D(const char* path, bool upload);
    ~Mesh3D();
    Mesh3D(const Mesh3D&) = delete;
    Mesh3D& operator=(const Mesh3D&) = delete;

    // Reads the file's lines into positions, texcoords, normals and faces.
    void loadOBJ(const char* path);
    // Moves each corner's normal and texture coordinate onto its position and
    // fills indices, three per face.
    void buildMesh();
    // Makes the vertex array and uploads the arrays built above.
    void createOpenGLBinding();
    // Draws with whatever program the caller has bound; leaves the vertex array bound.
    void draw();

    // As read: three floats per "v", two per "vt", three per "vn", one MeshIndex per face (owned).
    std::vector<float> positions;
    std::vector<float> texcoords;
    std::vector<float> normals;
    std::vector<MeshIndex*> faces;
    // Per position, as built: its normal and texture coordinate, and three indices per face.
    std::vector<float> vertexNormals;
    std::vector<float> vertexTexcoords;
    std::vector<unsigned int> indices;
    // Number of indices drawn, and of floats in vertexTexcoords.
    int indexCount;
    int texcoordCount;
    // Whether the file gave any normals or texture coordinates.
    bool hasNormals;
    bool hasTexcoords;
    // The vertex array and its buffers: positions, normals, texture coordinates, indices.
    unsigned int vao;
    unsigned int vbo[4];

private:
    bool readNumbers(char* line, int count, std::vector<float>& into);
    void readFace(char* line, int lineNumber, std::vector<int>& faceLines);
    void dropFacesWithMissingElements(const std::vector<int>& faceLines);
    void report(int lineNumber, const std::string& reason);

    std::string source;
};

} // namespace vq_engine

#endif
