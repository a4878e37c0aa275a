#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Reads a model in the MilkShape 3D ASCII format into plain data: meshes in
// expanded form (three full corners per triangle, no index list) and the
// material section. It knows nothing of OpenGL, so it can be tested and
// fuzzed on its own; MilkshapeNode turns its result into meshes, materials
// and textures.
//
// The reader is strict: it searches only for the two count lines
// ("Meshes: N" and "Materials: K") and otherwise reads exactly the lines of a
// mesh and of a material in their order. Numbers follow the C scanning
// conventions ("%d", "%f": leading white space, trailing text ignored). A file
// that does not follow the format is rejected as a whole: parse() returns
// false, leaves the model empty and describes the first fault in error().
// Nothing is ever read past the end of the data.
class MilkshapeReader {
public:
    // Longest line, without its line break, that the reader accepts (the format
    // allows 254 characters including the line break).
    static const std::size_t MAX_LINE_LENGTH = 253;

    struct Mesh {
        std::string name;
        int materialIndex = -1;  // -1: no material
        int vertexCount = 0;     // counts as given in the file
        int normalCount = 0;
        int triangleCount = 0;
        std::vector<float> triangleVertices;   // 9 per triangle: x y z of the three corners
        std::vector<float> triangleTexCoords;  // 6 per triangle: u v of the three corners
        std::vector<float> triangleNormals;    // 9 per triangle: the three corner normals
    };

    struct Material {
        std::string name;
        float ambient[4] = {0, 0, 0, 0};
        float diffuse[4] = {0, 0, 0, 0};
        float specular[4] = {0, 0, 0, 0};
        float emissive[4] = {0, 0, 0, 0};
        float shininess = 0;
        float transparency = 1;
        std::string colorMap;  // empty: no texture
        std::string alphaMap;  // read, not used by the game
    };

    struct Model {
        std::vector<Mesh> meshes;
        std::vector<Material> materials;

        int triangleCount() const;
        void clear();
    };

    // Parses a whole file held in memory. Returns true and fills the model,
    // or returns false with an empty model and a message in error().
    bool parse(const char* data, std::size_t size, Model& model);
    bool parse(const std::string& text, Model& model) { return parse(text.data(), text.size(), model); }

    // What was wrong with the last rejected input, e.g.
    // "line 12: vertex index 40 out of range (mesh \"body\" has 20 vertices)".
    const std::string& error() const { return errorText; }

    // Reads a whole file into contents; false if it cannot be opened or read.
    static bool readFile(const std::string& path, std::string& contents);

private:
    struct Line {
        const char* begin;
        const char* end;
    };

    const char* cursor = nullptr;
    const char* dataEnd = nullptr;
    int lineNumber = 0;
    std::string errorText;

    bool nextLine(Line& line, const char* what);
    bool findCountLine(const char* key, std::size_t minItemBytes, int& count);
    bool readCount(const char* what, std::size_t minLineBytes, int& count);
    bool readMesh(Mesh& mesh);
    bool readVertices(const Mesh& mesh, std::vector<float>& positions, std::vector<float>& texCoords);
    bool readNormals(const Mesh& mesh, std::vector<float>& normals);
    bool readTriangles(Mesh& mesh, const std::vector<float>& positions, const std::vector<float>& texCoords,
                       const std::vector<float>& normals);
    bool readMaterial(Material& material);
    bool readQuoted(const char* what, std::string& text, Line* rest = nullptr);
    bool readFloats(const char* what, float* values, int count);
    bool checkMaterialIndices(const Model& model);
    bool fail(const std::string& message);
};
