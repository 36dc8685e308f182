// OBJ meshes: real models from other projects' test suites and small files
// written here for the edge cases, loaded into a real GL context.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Mesh3D.h"
#include "engine/MeshIndex.h"
#include "engine/ShaderProgram.h"
#include "tests/support/GLContext.h"
#include "tests/support/NamedPipe.h"
#include "tests/support/Process.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using vq_engine::Mesh3D;
using vq_engine::MeshIndex;
using vq_engine::ShaderProgram;

namespace {

const std::string models = std::string(VQ_TEST_DATA_DIR) + "/obj/";

std::vector<unsigned int> readElements(GLuint buffer, size_t count) {
    std::vector<unsigned int> values(count);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, GLsizeiptr(count * sizeof(unsigned int)), values.data());
    return values;
}

GLint bufferSize(GLuint buffer) {
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    return size;
}

int lines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

struct Loaded {
    Mesh3D* mesh;
    std::string output;
};

class MeshTest : public ::testing::Test {
protected:
    ~MeshTest() override {
        for (Mesh3D* mesh : meshes)
            delete mesh;
    }

    std::string write(const std::string& name, const std::string& text) {
        std::string path = dir.path + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    Loaded load(const std::string& path) {
        CaptureStdout();
        Mesh3D* mesh = new Mesh3D(path.c_str());
        meshes.push_back(mesh);
        return {mesh, GetCapturedStdout()};
    }

    Loaded loadText(const std::string& text) {
        return load(write("model" + std::to_string(meshes.size()) + ".obj", text));
    }

    TempDir dir;
    std::vector<Mesh3D*> meshes;
};

class MeshFiles : public MeshTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::is_directory(models)) << "test models not found at " << models;
    }
};

struct ModelCounts {
    const char* file;
    size_t positions;
    size_t texcoords;
    size_t normals;
    size_t faces;
};

// Vertex counts as each file's own statistics or its line kinds give them;
// quads and larger polygons contribute one triangle.
const ModelCounts cleanModels[] = {
    {"cube.obj", 8, 0, 0, 6},
    {"box.obj", 8, 0, 0, 6},
    {"box_without_lineending.obj", 8, 0, 0, 6},
    {"box-T2F_N3F_V3F.obj", 8, 20, 6, 6},
    {"cube-vertex-w-component.obj", 8, 0, 0, 6},
    {"cube_usemtl.obj", 8, 0, 6, 12},
    {"cube_mtllib_after_g.obj", 8, 0, 6, 12},
    {"cornell_box.obj", 76, 0, 0, 18},
    {"issue-161-inconsistent-f.obj", 8, 4, 0, 12},
    {"leading-decimal-dot-issue-201.obj", 3, 0, 0, 1},
    {"multiple_spaces.obj", 4, 4, 0, 1},
    {"testmixed.obj", 8, 0, 0, 6},
    {"arbitrary-faces.obj", 14, 0, 0, 8},
    {"simple.obj", 8, 8, 2, 2},
    {"simple_negative_indices.obj", 8, 8, 2, 2},
    {"simple_vt.obj", 8, 8, 0, 2},
    {"simple_one_vertex.obj", 1, 0, 0, 0},
    {"spider.obj", 762, 302, 747, 1368},
    {"spot.obj", 2930, 3225, 0, 5856},
};

} // namespace

TEST_F(MeshFiles, RealModelsLoadWithTheirCountsAndNoComplaints) {
    for (const ModelCounts& model : cleanModels) {
        SCOPED_TRACE(model.file);
        Loaded loaded = load(models + model.file);
        Mesh3D& mesh = *loaded.mesh;
        EXPECT_EQ(loaded.output, "");
        EXPECT_EQ(mesh.positions.size(), model.positions * 3);
        EXPECT_EQ(mesh.texcoords.size(), model.texcoords * 2);
        EXPECT_EQ(mesh.normals.size(), model.normals * 3);
        EXPECT_EQ(mesh.faces.size(), model.faces);
        EXPECT_EQ(mesh.hasTexcoords, model.texcoords > 0);
        EXPECT_EQ(mesh.hasNormals, model.normals > 0);
        EXPECT_EQ(mesh.indexCount, int(model.faces * 3));
        EXPECT_EQ(mesh.texcoordCount, int(model.positions * 2));
        EXPECT_EQ(mesh.vertexNormals.size(), mesh.positions.size());
        for (unsigned int index : mesh.indices)
            ASSERT_LT(index, model.positions);
    }
}

TEST_F(MeshFiles, NumbersParseInEveryWrittenForm) {
    Mesh3D& mesh = *load(models + "leading-decimal-dot-issue-201.obj").mesh;
    EXPECT_FLOAT_EQ(mesh.positions[0], 0.08f);
    EXPECT_FLOAT_EQ(mesh.positions[1], -70.0f);
    EXPECT_FLOAT_EQ(mesh.positions[2], -5.532511f);
    EXPECT_FLOAT_EQ(mesh.positions[3], 0.575869f);
}

TEST_F(MeshFiles, TheGpuHoldsTheDeindexedStream) {
    Mesh3D& mesh = *load(models + "spider.obj").mesh;
    EXPECT_EQ(readBuffer(mesh.vbo[0], mesh.positions.size()), mesh.positions);
    EXPECT_EQ(readBuffer(mesh.vbo[1], mesh.vertexNormals.size()), mesh.vertexNormals);
    EXPECT_EQ(readBuffer(mesh.vbo[2], mesh.vertexTexcoords.size()), mesh.vertexTexcoords);
    EXPECT_EQ(readElements(mesh.vbo[3], size_t(mesh.indexCount)), mesh.indices);

    glBindVertexArray(mesh.vao);
    const int components[3] = {3, 3, 2};
    for (int attribute = 0; attribute < 3; attribute++) {
        GLint enabled = 0, size = 0, buffer = 0;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        EXPECT_EQ(enabled, GL_TRUE);
        EXPECT_EQ(size, components[attribute]);
        EXPECT_EQ(GLuint(buffer), mesh.vbo[attribute]);
    }
    GLint elements = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elements);
    EXPECT_EQ(GLuint(elements), mesh.vbo[3]);
    glBindVertexArray(0);
}

TEST_F(MeshFiles, CornersTakeTheirFacesNormalAndTextureCoordinate) {
    Mesh3D& mesh = *load(models + "simple.obj").mesh;
    // f 2/3/1 1/2/1 3/1/1, then f 6/7/2 5/6/2 7/5/2.
    EXPECT_EQ(mesh.indices, (std::vector<unsigned int>{1, 0, 2, 5, 4, 6}));
    EXPECT_EQ(std::vector<float>(mesh.vertexTexcoords.begin() + 2, mesh.vertexTexcoords.begin() + 4),
              (std::vector<float>{14, 15}));
    EXPECT_EQ(std::vector<float>(mesh.vertexTexcoords.begin() + 10, mesh.vertexTexcoords.begin() + 12),
              (std::vector<float>{1, 0}));
    EXPECT_EQ(std::vector<float>(mesh.vertexNormals.begin() + 3, mesh.vertexNormals.begin() + 6),
              (std::vector<float>{20, 21, 22}));
    EXPECT_EQ(std::vector<float>(mesh.vertexNormals.begin() + 15, mesh.vertexNormals.begin() + 18),
              (std::vector<float>{0, 1, 0}));
}

TEST_F(MeshFiles, RelativeIndicesCountBackFromTheLinesPlace) {
    Mesh3D& absolute = *load(models + "simple.obj").mesh;
    Mesh3D& relative = *load(models + "simple_negative_indices.obj").mesh;
    EXPECT_EQ(relative.indices, absolute.indices);
    EXPECT_EQ(relative.vertexNormals, absolute.vertexNormals);
    EXPECT_EQ(relative.vertexTexcoords, absolute.vertexTexcoords);

    // "f -4 -3 -2 -1" after the first four positions is the quad 1 2 3 4.
    Mesh3D& cornell = *load(models + "cornell_box.obj").mesh;
    EXPECT_EQ(std::vector<unsigned int>(cornell.indices.begin(), cornell.indices.begin() + 3),
              (std::vector<unsigned int>{0, 1, 2}));
}

TEST_F(MeshFiles, FacesWithoutTextureIndicesLeaveTheirCornersAlone) {
    // The last face "f 5 1 3" carries no texture index in a file that has them.
    Mesh3D& mesh = *load(models + "issue-161-inconsistent-f.obj").mesh;
    // Position 5 last received vt 3 from "f 7/1 1/2 5/3".
    EXPECT_EQ(std::vector<float>(mesh.vertexTexcoords.begin() + 8, mesh.vertexTexcoords.begin() + 10),
              (std::vector<float>{0, 1}));
}

TEST_F(MeshFiles, ALongLineEndsTheReading) {
    Loaded loaded = load(models + "box_longline.obj");
    EXPECT_EQ(loaded.mesh->positions.size(), 24u);
    EXPECT_TRUE(loaded.mesh->faces.empty());
    EXPECT_NE(loaded.output.find("box_longline.obj:24:"), std::string::npos) << loaded.output;
    EXPECT_EQ(lines(loaded.output), 1);
}

TEST_F(MeshFiles, InvalidIndicesSkipTheFaceWithAMessage) {
    // "f 0/0/0 1/1/0 3/3/0" names position 0; the next face is fine.
    Loaded zero = load(models + "issue-140-zero-face-idx.obj");
    EXPECT_EQ(zero.mesh->faces.size(), 1u);
    EXPECT_EQ(zero.mesh->indices, (std::vector<unsigned int>{0, 2, 1}));
    EXPECT_NE(zero.output.find("issue-140-zero-face-idx.obj:16:"), std::string::npos) << zero.output;
    EXPECT_EQ(lines(zero.output), 1);

    // "f -4 -3 -2" with no positions at all.
    Loaded relative = load(models + "invalid-relative-vertex-index.obj");
    EXPECT_TRUE(relative.mesh->faces.empty());
    EXPECT_EQ(relative.mesh->indexCount, 0);
    EXPECT_NE(relative.output.find("invalid-relative-vertex-index.obj:1:"), std::string::npos);
    EXPECT_EQ(lines(relative.output), 1);
}

TEST_F(MeshFiles, TabSeparatedPositionsAreNotRead) {
    Loaded loaded = load(models + "CornellBox-Original.obj");
    // Ten of its 34 position lines put a tab after the "v".
    EXPECT_EQ(loaded.mesh->positions.size(), 24u * 3);
    EXPECT_NE(loaded.output.find("CornellBox-Original.obj:45: a tab"), std::string::npos) << loaded.output;
    for (unsigned int index : loaded.mesh->indices)
        EXPECT_LT(index, 24u);
}

TEST_F(MeshTest, FaceFieldsSplitOnSlashes) {
    char full[] = "f 1/2/3 4/5/6 7/8/9\n";
    MeshIndex face(full);
    for (int c = 0; c < 3; c++) {
        EXPECT_EQ(face.getVertex(c), 3 * c);
        EXPECT_EQ(face.getText(c), 3 * c + 1);
        EXPECT_EQ(face.getNormal(c), 3 * c + 2);
    }
    char noTexture[] = "f 1//3 2//4 3//5";
    MeshIndex normalsOnly(noTexture);
    for (int c = 0; c < 3; c++) {
        EXPECT_EQ(normalsOnly.getText(c), -1);
        EXPECT_EQ(normalsOnly.getNormal(c), c + 2);
    }
    char quad[] = "f 1 2 3 4";
    MeshIndex first(quad);
    EXPECT_EQ(first.getVertex(0), 0);
    EXPECT_EQ(first.getVertex(1), 1);
    EXPECT_EQ(first.getVertex(2), 2);
    EXPECT_EQ(first.getNormal(2), -1);

    char text[] = "a//b";
    char slash[] = "/";
    char* cursor = text;
    EXPECT_STREQ(MeshIndex::strsep(&cursor, slash), "a");
    EXPECT_STREQ(MeshIndex::strsep(&cursor, slash), "");
    EXPECT_STREQ(MeshIndex::strsep(&cursor, slash), "b");
    EXPECT_EQ(cursor, nullptr);
    EXPECT_EQ(MeshIndex::strsep(&cursor, slash), nullptr);
}

TEST_F(MeshTest, RelativeIndicesResolveAgainstTheListsSoFar) {
    char line[] = "f -1/-2/-3 -3/-1/-1 -4/-4/-1";
    MeshIndex face(line);
    face.resolve(3, 4, 1);
    EXPECT_EQ(face.vertex[0], 3);
    EXPECT_EQ(face.texcoord[0], 3);
    EXPECT_EQ(face.normal[0], -1); // -3 reaches before the only normal
    EXPECT_EQ(face.vertex[1], 1);
    EXPECT_EQ(face.texcoord[1], 4);
    EXPECT_EQ(face.normal[1], 1);
    EXPECT_EQ(face.vertex[2], -1);
    EXPECT_EQ(face.texcoord[2], 1);
}

TEST_F(MeshTest, TheFaceReadLastWinsASharedPosition) {
    Mesh3D& mesh = *loadText("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
                             "vn 0 0 1\nvn 0 0 -1\nvt 0.25 0.5\nvt 0.75 1\n"
                             "f 1/1/1 2/1/1 3/1/1\nf 2/2/2 4/2/2 3/2/2\n")
                        .mesh;
    // Positions 2 and 3 are shared: the second face's normal and texcoord stay.
    EXPECT_EQ(mesh.vertexNormals, (std::vector<float>{0, 0, 1, 0, 0, -1, 0, 0, -1, 0, 0, -1}));
    EXPECT_EQ(mesh.vertexTexcoords, (std::vector<float>{0.25f, 0.5f, 0.75f, 1, 0.75f, 1, 0.75f, 1}));
}

TEST_F(MeshTest, OtherLinesAreSkipped) {
    Loaded loaded = loadText("# comment\no thing\ng group\ns 1\nmtllib a.mtl\nusemtl b\n"
                             "vp 1 2 3\nl 1 2\nv 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n");
    EXPECT_EQ(loaded.output, "");
    EXPECT_EQ(loaded.mesh->positions, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(loaded.mesh->faces.size(), 1u);
}

TEST_F(MeshTest, ALineOf199CharactersStopsTheReadingThere) {
    std::string fits = "v 1 2 3" + std::string(198 - 7, ' ') + "\n"; // 198 characters
    std::string tooLong = "v 4 5 6" + std::string(199 - 7, ' ') + "\n";
    Loaded loaded = loadText("v 0 0 0\n" + fits + tooLong + "v 7 8 9\nf 1 2 3\n");
    EXPECT_EQ(loaded.mesh->positions, (std::vector<float>{0, 0, 0, 1, 2, 3}));
    EXPECT_TRUE(loaded.mesh->faces.empty());
    EXPECT_NE(loaded.output.find(":3: line of 199 characters or more"), std::string::npos) << loaded.output;
    EXPECT_EQ(lines(loaded.output), 1);
}

TEST_F(MeshTest, ShortLinesAreSkippedWithTheirLineNumbers) {
    Loaded loaded = loadText("v 1 2\n"        // 1
                             "v 0 0 0\n"      // 2
                             "v 1 0 0\n"      // 3
                             "v 0 1 0\n"      // 4
                             "vt 0.5\n"       // 5
                             "vn 0 1\n"       // 6
                             "f 1 2\n"        // 7
                             "v\n"            // 8
                             "f 1 2 3\n"      // 9
                             "v 1.0\t2.0\t3.0\n"); // 10: one field to the tokenizer
    const std::string& out = loaded.output;
    EXPECT_EQ(lines(out), 6) << out;
    for (const char* where : {":1: \"v\"", ":5: \"vt\"", ":6: \"vn\"", ":7: \"f\"", ":8: \"v\"", ":10: \"v\""})
        EXPECT_NE(out.find(where), std::string::npos) << where << "\n" << out;
    EXPECT_EQ(loaded.mesh->positions.size(), 9u);
    EXPECT_FALSE(loaded.mesh->hasTexcoords);
    EXPECT_FALSE(loaded.mesh->hasNormals);
    EXPECT_EQ(loaded.mesh->indices, (std::vector<unsigned int>{0, 1, 2}));
}

TEST_F(MeshTest, IndicesBeyondTheirListsSkipTheFace) {
    Loaded loaded = loadText("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                             "f 1 2 4\n"          // 6: position 4 does not exist
                             "f 1//2 2//1 3//1\n" // 7: normal 2 does not exist
                             "f 1/9 2/1 3/1\n"    // 8: texcoord 9 does not exist
                             "f 1/-2 2 3\n"       // 9: reaches before the first texcoord
                             "f 3/1/1 2/1/1 1/1/1\n");
    EXPECT_EQ(lines(loaded.output), 4) << loaded.output;
    for (const char* where : {":6:", ":7:", ":8:", ":9:"})
        EXPECT_NE(loaded.output.find(where), std::string::npos) << where;
    EXPECT_EQ(loaded.mesh->indices, (std::vector<unsigned int>{2, 1, 0}));
}

TEST_F(MeshTest, IndicesIntoListsTheFileLacksAreNeverReadSoTheFaceStays) {
    struct Case {
        const char* what;
        const char* text;
        std::vector<unsigned int> indices;
    };
    const Case cases[] = {
        {"no vt and no vn lines", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/7/9 2/8/9 3/9/9\n", {0, 1, 2}},
        {"vn lines, no vt", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 3/5/1 2/5/1 1/5/1\n", {2, 1, 0}},
        {"vt lines, no vn", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 1\nf 1/1/4 2/1/4 3/1/4\n", {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded loaded = loadText(c.text);
        EXPECT_EQ(loaded.output, "");
        EXPECT_EQ(loaded.mesh->indices, c.indices);
    }
    // What the file does have is still moved onto the positions.
    Mesh3D& normalsOnly = *meshes[1];
    EXPECT_EQ(std::vector<float>(normalsOnly.vertexNormals.begin(), normalsOnly.vertexNormals.begin() + 3),
              (std::vector<float>{0, 0, 1}));
    Mesh3D& texcoordsOnly = *meshes[2];
    EXPECT_EQ(std::vector<float>(texcoordsOnly.vertexTexcoords.begin() + 4, texcoordsOnly.vertexTexcoords.end()),
              (std::vector<float>{0.5f, 1}));
    // A position out of range still skips the face, whatever the file lacks.
    Loaded outside = loadText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/7/9 2/8/9 4/9/9\n");
    EXPECT_TRUE(outside.mesh->faces.empty());
    EXPECT_NE(outside.output.find(":4:"), std::string::npos) << outside.output;
}

TEST_F(MeshTest, PositionsOnlyStillUploadFullSizedBuffers) {
    Mesh3D& mesh = *loadText("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf 2 4 3\n").mesh;
    EXPECT_FALSE(mesh.hasNormals);
    EXPECT_FALSE(mesh.hasTexcoords);
    EXPECT_EQ(mesh.texcoordCount, 8);
    EXPECT_EQ(bufferSize(mesh.vbo[0]), 48);
    EXPECT_EQ(bufferSize(mesh.vbo[1]), 48);
    EXPECT_EQ(bufferSize(mesh.vbo[2]), 32);
}

// A mesh read without uploading holds what an uploaded one holds, reported
// alike, and has no GL objects to make or delete: the uploaded one's stay.
TEST_F(MeshFiles, AMeshReadWithoutUploadingHoldsTheSameArrays) {
    for (const char* name : {"cube.obj", "invalid-relative-vertex-index.obj", "box-T2F_N3F_V3F.obj"}) {
        SCOPED_TRACE(name);
        std::string path = models + name;
        Loaded uploaded = load(path);
        CaptureStdout();
        Mesh3D* read = new Mesh3D(path.c_str(), false);
        EXPECT_EQ(GetCapturedStdout(), uploaded.output);
        EXPECT_EQ(read->vao, 0u);
        EXPECT_EQ(read->positions, uploaded.mesh->positions);
        EXPECT_EQ(read->vertexNormals, uploaded.mesh->vertexNormals);
        EXPECT_EQ(read->vertexTexcoords, uploaded.mesh->vertexTexcoords);
        EXPECT_EQ(read->indices, uploaded.mesh->indices);
        delete read;
        EXPECT_TRUE(glIsVertexArray(uploaded.mesh->vao));
        EXPECT_TRUE(glIsBuffer(uploaded.mesh->vbo[0]));
    }
}

TEST_F(MeshTest, AMissingFileGivesAnEmptyMeshThatDrawsNothing) {
    std::string path = dir.path + "/absent.obj";
    Loaded loaded = load(path);
    EXPECT_NE(loaded.output.find(path), std::string::npos);
    EXPECT_EQ(lines(loaded.output), 1);
    EXPECT_TRUE(loaded.mesh->positions.empty());
    EXPECT_EQ(loaded.mesh->indexCount, 0);
    loaded.mesh->draw();
    glBindVertexArray(0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MeshTest, DrawIssuesTheTrianglesWithItsAttributes) {
    // One triangle over the middle of the view whose normal (0, 0, 1) becomes its colour.
    Mesh3D& mesh = *loadText("v -0.8 -0.8 0\nv 0.8 -0.8 0\nv 0 0.8 0\nvn 0 0 1\n"
                             "f 1//1 2//1 3//1\n")
                        .mesh;
    std::ofstream(dir.path + "/mesh.vs") << "#version 410 core\n"
                                            "layout(location = 0) in vec3 position;\n"
                                            "layout(location = 1) in vec3 normal;\n"
                                            "out vec3 shade;\n"
                                            "void main() { shade = normal; gl_Position = vec4(position, 1.0); }\n";
    std::ofstream(dir.path + "/mesh.fs") << "#version 410 core\nin vec3 shade;\nout vec4 colour;\n"
                                            "void main() { colour = vec4(shade, 1.0); }\n";
    ShaderProgram program;
    program.addShader((dir.path + "/mesh.vs").c_str(), GL_VERTEX_SHADER);
    program.addShader((dir.path + "/mesh.fs").c_str(), GL_FRAGMENT_SHADER);
    program.compile();

    OffscreenTarget target(32, 32);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    program.use();
    mesh.draw();
    GLint bound = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), mesh.vao);
    glBindVertexArray(0);
    Image image = target.read();
    const unsigned char* middle = image.pixel(16, 16);
    EXPECT_EQ(middle[0], 0);
    EXPECT_EQ(middle[2], 255);
    EXPECT_EQ(image.brightness(1, 1), 0);
}

TEST_F(MeshTest, APipeOrADirectoryInPlaceOfTheFileGivesAnEmptyMeshWithoutWaiting) {
    NamedPipe pipe(dir.path + "/pipe.obj");
    ASSERT_TRUE(pipe.made());
    Loaded loaded{nullptr, ""};
    EXPECT_FALSE(pipe.blocksOpening([&] { loaded = load(pipe.path); })) << "the reader waited for a writer";
    EXPECT_EQ(loaded.output, "Mesh error: " + pipe.path + ": cannot open the file: is a named pipe\n");
    EXPECT_EQ(loaded.mesh->indexCount, 0);

    loaded = load(dir.path);
    EXPECT_EQ(loaded.output, "Mesh error: " + dir.path + ": cannot open the file: is a directory\n");
    EXPECT_EQ(loaded.mesh->indexCount, 0);
}
