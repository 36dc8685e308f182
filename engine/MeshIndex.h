#ifndef VQ_ENGINE_MESHINDEX_H
#define VQ_ENGINE_MESHINDEX_H

namespace vq_engine {

// One triangle of an OBJ "f" line: position, texture-coordinate and normal
// indices of its first three corners, 1-based as written. An index the line
// does not give stays 0; larger polygons contribute only their first three
// corners.
class MeshIndex {
public:
    // Tokenizes line in place.
    explicit MeshIndex(char* line);

    // 0-based: the index minus one, so -1 for an index the line did not give.
    int getVertex(int corner);
    int getText(int corner);
    int getNormal(int corner);

    // Relative (negative) indices count back from the end of each list as it
    // stands when the line is read: -1 is the last one. One that reaches
    // before the first element becomes -1, which no list holds.
    void resolve(int positionCount, int texcoordCount, int normalCount);

    // Returns the text at *cursor up to the first delimiter, which it ends;
    // *cursor moves past it, or becomes null when there is none. Consecutive
    // delimiters give empty fields.
    static char* strsep(char** cursor, char* delimiters);

    // The three corners' indices as written, 1-based; 0 where the line gave none.
    int vertex[3];
    int texcoord[3];
    int normal[3];
};

} // namespace vq_engine

#endif
