// make_torus: writes the mesh example's model, a torus of triangles with
// positions, texture coordinates and normals, as a Wavefront OBJ file.
//   make_torus FILE.obj
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cerrno>

namespace {

const double pi = 3.141592653589793;
const int segments = 64; // around the ring
const int sides = 24;    // around the tube
const double ringRadius = 0.42;
const double tubeRadius = 0.16;

// Vertices form a (segments + 1) x (sides + 1) grid: the seams are doubled so
// each keeps its own texture coordinate. OBJ indices start at 1.
int vertexIndex(int segment, int side) {
    return segment * (sides + 1) + side + 1;
}

void writeVertices(FILE* out) {
    for (int i = 0; i <= segments; i++) {
        double u = double(i) / segments;
        double a = 2.0 * pi * u;
        for (int j = 0; j <= sides; j++) {
            double v = double(j) / sides;
            double b = 2.0 * pi * v;
            double nx = std::cos(a) * std::cos(b), ny = std::sin(a) * std::cos(b), nz = std::sin(b);
            std::fprintf(out, "v %.6f %.6f %.6f\n", ringRadius * std::cos(a) + tubeRadius * nx,
                         ringRadius * std::sin(a) + tubeRadius * ny, tubeRadius * nz);
            std::fprintf(out, "vt %.6f %.6f\n", u, v);
            std::fprintf(out, "vn %.6f %.6f %.6f\n", nx, ny, nz);
        }
    }
}

void writeCorner(FILE* out, int index) {
    std::fprintf(out, " %d/%d/%d", index, index, index);
}

void writeFaces(FILE* out) {
    for (int i = 0; i < segments; i++)
        for (int j = 0; j < sides; j++) {
            int quad[4] = {vertexIndex(i, j), vertexIndex(i + 1, j), vertexIndex(i + 1, j + 1), vertexIndex(i, j + 1)};
            for (int t = 0; t < 2; t++) {
                std::fputs("f", out);
                writeCorner(out, quad[0]);
                writeCorner(out, quad[1 + t]);
                writeCorner(out, quad[2 + t]);
                std::fputs("\n", out);
            }
        }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_torus FILE.obj\n");
        return 2;
    }
    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "make_torus: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::fprintf(out, "# A torus for the mesh example, written by make_torus.\no torus\n");
    writeVertices(out);
    writeFaces(out);
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "make_torus: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    return 0;
}
