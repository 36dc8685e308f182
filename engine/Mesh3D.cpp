#include "engine/Mesh3D.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "engine/GLCheck.h"
#include "engine/RegularFile.h"

namespace vq_engine {

namespace {

const int lineCapacity = 200;
const char* const separators = " \n";
const int positionSize = 3;
const int normalSize = 3;
const int texcoordSize = 2;

// Fields after the keyword, as the tokenizer will see them.
int fieldCount(const char* line) {
    int count = -1;
    for (const char* p = line; *p;) {
        p += std::strspn(p, separators);
        if (!*p)
            break;
        count++;
        p += std::strcspn(p, separators);
    }
    return count;
}

// Whether a present index (0 means absent) names one of count elements.
bool exists(int index, int count, bool required) {
    if (index == 0)
        return !required;
    return index >= 1 && index <= count;
}

template <typename T>
void uploadBuffer(GLenum target, GLuint buffer, const std::vector<T>& data, size_t count) {
    VQ_GL(glBindBuffer(target, buffer));
    VQ_GL(glBufferData(target, GLsizeiptr(count * sizeof(T)), data.empty() ? nullptr : data.data(),
                       GL_DYNAMIC_DRAW));
}

void describeAttribute(GLuint attribute, int components) {
    VQ_GL(glVertexAttribPointer(attribute, components, GL_FLOAT, GL_FALSE, 0, nullptr));
    VQ_GL(glEnableVertexAttribArray(attribute));
}

} // namespace

Mesh3D::Mesh3D(const char* path) : Mesh3D(path, true) {}

Mesh3D::Mesh3D(const char* path, bool upload)
    : indexCount(0), texcoordCount(0), hasNormals(false), hasTexcoords(false), vao(0),
      vbo{0, 0, 0, 0} {
    if (upload)
        requireGLContext("Mesh3D");
    loadOBJ(path);
    buildMesh();
    if (upload)
        createOpenGLBinding();
}

Mesh3D::~Mesh3D() {
    // A mesh never uploaded has no GL objects, and may have no context to ask.
    if (vao != 0) {
        VQ_GL(glDeleteBuffers(4, vbo));
        VQ_GL(glDeleteVertexArrays(1, &vao));
    }
    for (MeshIndex* face : faces)
        delete face;
}

void Mesh3D::report(int lineNumber, const std::string& reason) {
    std::cout << "Mesh error: " << source;
    if (lineNumber > 0)
        std::cout << ":" << lineNumber;
    std::cout << ": " << reason << std::endl;
}

void Mesh3D::loadOBJ(const char* path) {
    source = path;
    std::string problem = regularFileProblem(path);
    if (!problem.empty()) {
        report(0, "cannot open the file: " + problem);
        return;
    }
    std::ifstream file(path);
    if (!file) {
        report(0, "cannot open the file");
        return;
    }
    char line[lineCapacity];
    std::vector<int> faceLines;
    int lineNumber = 0;
    while (file.good()) {
        file.getline(line, lineCapacity);
        if (file.fail() && file.eof() && file.gcount() == 0)
            break;
        // A line that fills the buffer may have lost its end: stop rather than read half a line.
        if (file.fail() || std::strlen(line) >= size_t(lineCapacity - 1)) {
            report(lineNumber + 1, "line of " + std::to_string(lineCapacity - 1) +
                                       " characters or more; the rest of the file is not read");
            break;
        }
        lineNumber++;
        if (line[0] == 'v' && line[1] == ' ') {
            if (!readNumbers(line, positionSize, positions))
                report(lineNumber, "\"v\" line with fewer than 3 numbers skipped");
        } else if (line[0] == 'v' && line[1] == 't') {
            if (readNumbers(line, texcoordSize, texcoords))
                hasTexcoords = true;
            else
                report(lineNumber, "\"vt\" line with fewer than 2 numbers skipped");
        } else if (line[0] == 'v' && line[1] == 'n') {
            if (readNumbers(line, normalSize, normals))
                hasNormals = true;
            else
                report(lineNumber, "\"vn\" line with fewer than 3 numbers skipped");
        } else if (line[0] == 'f' && line[1] == ' ') {
            readFace(line, lineNumber, faceLines);
        } else if ((line[0] == 'v' || line[0] == 'f') && line[1] == '\0') {
            report(lineNumber, std::string("\"") + line[0] + "\" line without numbers skipped");
        } else if ((line[0] == 'v' || line[0] == 'f') && line[1] == '\t') {
            report(lineNumber, "a tab does not separate fields; line skipped");
        }
    }
    dropFacesWithMissingElements(faceLines);
}

bool Mesh3D::readNumbers(char* line, int count, std::vector<float>& into) {
    if (fieldCount(line) < count)
        return false;
    char* save = nullptr;
    strtok_r(line, separators, &save); // the keyword
    for (int i = 0; i < count; i++)
        into.push_back(float(std::atof(strtok_r(nullptr, separators, &save))));
    return true;
}

void Mesh3D::readFace(char* line, int lineNumber, std::vector<int>& faceLines) {
    if (fieldCount(line) < 3) {
        report(lineNumber, "\"f\" line with fewer than 3 corners skipped");
        return;
    }
    MeshIndex* face = new MeshIndex(line);
    face->resolve(int(positions.size()) / positionSize, int(texcoords.size()) / texcoordSize,
                  int(normals.size()) / normalSize);
    faces.push_back(face);
    faceLines.push_back(lineNumber);
}

// Checked once the whole file is read: a face may name a position defined after it.
void Mesh3D::dropFacesWithMissingElements(const std::vector<int>& faceLines) {
    int positionCount = int(positions.size()) / positionSize;
    int texcoordTotal = int(texcoords.size()) / texcoordSize;
    int normalCount = int(normals.size()) / normalSize;
    size_t kept = 0;
    for (size_t i = 0; i < faces.size(); i++) {
        MeshIndex* face = faces[i];
        bool valid = true;
        // In a file without "vt" or without "vn" lines those indices are never
        // read, so only positions decide there.
        for (int c = 0; c < 3; c++)
            valid = valid && exists(face->vertex[c], positionCount, true) &&
                    (!hasTexcoords || exists(face->texcoord[c], texcoordTotal, false)) &&
                    (!hasNormals || exists(face->normal[c], normalCount, false));
        if (valid) {
            faces[kept++] = face;
            continue;
        }
        report(faceLines[i], "face names a position, texture coordinate or normal that does not "
                             "exist; face skipped");
        delete face;
    }
    faces.resize(kept);
}

void Mesh3D::buildMesh() {
    texcoordCount = int(positions.size()) / positionSize * texcoordSize;
    indexCount = int(faces.size()) * 3;
    vertexNormals.assign(positions.size(), 0.0f);
    vertexTexcoords.assign(size_t(texcoordCount), 0.0f);
    indices.assign(size_t(indexCount), 0);
    for (size_t f = 0; f < faces.size(); f++) {
        for (int c = 0; c < 3; c++) {
            int v = faces[f]->getVertex(c);
            int n = faces[f]->getNormal(c);
            int t = faces[f]->getText(c);
            indices[f * 3 + c] = unsigned(v);
            // Corners without a normal or texture index keep what earlier faces gave.
            if (hasNormals && n >= 0)
                for (int k = 0; k < normalSize; k++)
                    vertexNormals.at(size_t(v) * normalSize + k) = normals.at(size_t(n) * normalSize + k);
            if (hasTexcoords && t >= 0)
                for (int k = 0; k < texcoordSize; k++)
                    vertexTexcoords.at(size_t(v) * texcoordSize + k) =
                        texcoords.at(size_t(t) * texcoordSize + k);
        }
    }
}

void Mesh3D::createOpenGLBinding() {
    VQ_GL(glGenVertexArrays(1, &vao));
    VQ_GL(glBindVertexArray(vao));
    VQ_GL(glGenBuffers(4, vbo));
    uploadBuffer(GL_ARRAY_BUFFER, vbo[0], positions, positions.size());
    describeAttribute(0, positionSize);
    uploadBuffer(GL_ARRAY_BUFFER, vbo[1], vertexNormals, positions.size());
    describeAttribute(1, normalSize);
    uploadBuffer(GL_ARRAY_BUFFER, vbo[2], vertexTexcoords, size_t(texcoordCount));
    describeAttribute(2, texcoordSize);
    uploadBuffer(GL_ELEMENT_ARRAY_BUFFER, vbo[3], indices, size_t(indexCount));
    VQ_GL(glBindVertexArray(0));
}

void Mesh3D::draw() {
    VQ_GL(glBindVertexArray(vao));
    VQ_GL(glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr));
}

} // namespace vq_engine
