#include "engine/MeshIndex.h"

#include <cstdlib>
#include <cstring>

namespace vq_engine {

namespace {

const char* const separators = " \n";

int absolute(int index, int count) {
    if (index >= 0)
        return index;
    long resolved = long(count) + index + 1;
    return resolved >= 1 ? int(resolved) : -1;
}

} // namespace

MeshIndex::MeshIndex(char* line) : vertex{0, 0, 0}, texcoord{0, 0, 0}, normal{0, 0, 0} {
    char slash[] = "/";
    char* save = nullptr;
    strtok_r(line, separators, &save); // the "f" itself
    for (int corner = 0; corner < 3; corner++) {
        char* cursor = strtok_r(nullptr, separators, &save);
        char* field = strsep(&cursor, slash);
        if (field)
            vertex[corner] = std::atoi(field);
        field = strsep(&cursor, slash);
        if (field)
            texcoord[corner] = std::atoi(field);
        field = strsep(&cursor, slash);
        if (field)
            normal[corner] = std::atoi(field);
    }
}

int MeshIndex::getVertex(int corner) {
    return vertex[corner] - 1;
}

int MeshIndex::getText(int corner) {
    return texcoord[corner] - 1;
}

int MeshIndex::getNormal(int corner) {
    return normal[corner] - 1;
}

void MeshIndex::resolve(int positionCount, int texcoordCount, int normalCount) {
    for (int corner = 0; corner < 3; corner++) {
        vertex[corner] = absolute(vertex[corner], positionCount);
        texcoord[corner] = absolute(texcoord[corner], texcoordCount);
        normal[corner] = absolute(normal[corner], normalCount);
    }
}

char* MeshIndex::strsep(char** cursor, char* delimiters) {
    char* start = *cursor;
    if (!start)
        return nullptr;
    char* end = std::strpbrk(start, delimiters);
    if (end) {
        *end = '\0';
        *cursor = end + 1;
    } else {
        *cursor = nullptr;
    }
    return start;
}

} // namespace vq_engine
