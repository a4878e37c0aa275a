#include "assets/MilkshapeReader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// The least number of bytes one line of each kind occupies in a valid file,
// line break included. They bound every count by the bytes that are left, so
// an absurd count is rejected before anything is allocated for it.
const std::size_t MIN_MESH_BYTES = 8;       // mesh line and three count lines
const std::size_t MIN_VERTEX_BYTES = 12;    // "0 0 0 0 0 0"
const std::size_t MIN_NORMAL_BYTES = 6;     // "0 0 0"
const std::size_t MIN_TRIANGLE_BYTES = 14;  // "0 0 0 0 0 0 0"
const std::size_t MIN_MATERIAL_BYTES = 24;  // nine lines

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Skips leading white space and a '+' the way "%d" and "%f" do; from_chars
// accepts a '-' but no '+'.
const char* numberStart(const char* p, const char* end) {
    while (p < end && isSpace(*p)) ++p;
    if (p < end && *p == '+') {
        ++p;
        if (p < end && (*p == '+' || *p == '-')) return nullptr;
    }
    return p;
}

bool scanInt(const char*& p, const char* end, int& value) {
    const char* start = numberStart(p, end);
    if (start == nullptr) return false;
    std::from_chars_result r = std::from_chars(start, end, value);
    if (r.ec != std::errc()) return false;
    p = r.ptr;
    return true;
}

// Non-finite numbers ("inf", "nan", overflow) are refused: they would poison
// bounding boxes and normals.
bool scanFloat(const char*& p, const char* end, float& value) {
    const char* start = numberStart(p, end);
    if (start == nullptr) return false;
    std::from_chars_result r = std::from_chars(start, end, value, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(value)) return false;
    p = r.ptr;
    return true;
}

bool startsWith(const char* begin, const char* end, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return static_cast<std::size_t>(end - begin) >= n && std::memcmp(begin, prefix, n) == 0;
}

std::string quote(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

int MilkshapeReader::Model::triangleCount() const {
    int sum = 0;
    for (const Mesh& mesh : meshes) sum += mesh.triangleCount;
    return sum;
}

void MilkshapeReader::Model::clear() {
    meshes.clear();
    materials.clear();
}

bool MilkshapeReader::readFile(const std::string& path, std::string& contents) {
    contents.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
    bool ok = !std::ferror(file);  // a directory opens but cannot be read
    std::fclose(file);
    if (!ok) contents.clear();
    return ok;
}

bool MilkshapeReader::parse(const char* data, std::size_t size, Model& model) {
    model.clear();
    cursor = data;
    dataEnd = data + size;
    lineNumber = 0;
    errorText.clear();

    Model parsed;
    int meshCount = 0;
    if (!findCountLine("Meshes:", MIN_MESH_BYTES, meshCount)) return false;
    parsed.meshes.resize(meshCount);
    for (Mesh& mesh : parsed.meshes)
        if (!readMesh(mesh)) return false;

    int materialCount = 0;
    if (!findCountLine("Materials:", MIN_MATERIAL_BYTES, materialCount)) return false;
    parsed.materials.resize(materialCount);
    for (Material& material : parsed.materials)
        if (!readMaterial(material)) return false;
    // Bones, comments and everything else after the materials are not needed.

    if (!checkMaterialIndices(parsed)) return false;
    model = std::move(parsed);
    return true;
}

bool MilkshapeReader::fail(const std::string& message) {
    errorText = message;
    return false;
}

bool MilkshapeReader::nextLine(Line& line, const char* what) {
    if (cursor >= dataEnd) return fail("the file ends before " + std::string(what));
    const char* lineBreak = static_cast<const char*>(std::memchr(cursor, '\n', dataEnd - cursor));
    line.begin = cursor;
    line.end = lineBreak != nullptr ? lineBreak : dataEnd;
    cursor = lineBreak != nullptr ? lineBreak + 1 : dataEnd;
    ++lineNumber;
    if (line.end > line.begin && line.end[-1] == '\r') --line.end;  // files written with CRLF
    if (static_cast<std::size_t>(line.end - line.begin) > MAX_LINE_LENGTH)
        return fail("line " + std::to_string(lineNumber) + ": longer than " + std::to_string(MAX_LINE_LENGTH) +
                    " characters");
    return true;
}

// Skips lines up to the one that begins with key (the comment, frame and blank
// lines of an exported file) and reads the count that follows the key.
bool MilkshapeReader::findCountLine(const char* key, std::size_t minItemBytes, int& count) {
    Line line;
    while (cursor < dataEnd) {
        if (!nextLine(line, key)) return false;
        if (!startsWith(line.begin, line.end, key)) continue;
        const char* p = line.begin + std::strlen(key);
        std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (!scanInt(p, line.end, count)) return fail(where + "no count after \"" + key + "\"");
        if (count < 0) return fail(where + "negative count " + std::to_string(count) + " after \"" + key + "\"");
        std::uint64_t room = static_cast<std::uint64_t>(dataEnd - cursor) + 1;
        if (static_cast<std::uint64_t>(count) * minItemBytes > room)
            return fail(where + "count " + std::to_string(count) + " after \"" + key + "\" is larger than the file");
        return true;
    }
    return fail(std::string("no line \"") + key + " <count>\" found");
}

bool MilkshapeReader::readCount(const char* what, std::size_t minLineBytes, int& count) {
    Line line;
    if (!nextLine(line, what)) return false;
    std::string where = "line " + std::to_string(lineNumber) + ": ";
    const char* p = line.begin;
    if (!scanInt(p, line.end, count)) return fail(where + "expected the " + what);
    if (count < 0) return fail(where + "negative " + what + " " + std::to_string(count));
    std::uint64_t room = static_cast<std::uint64_t>(dataEnd - cursor) + 1;
    if (static_cast<std::uint64_t>(count) * minLineBytes > room)
        return fail(where + what + " " + std::to_string(count) + " is larger than the file");
    return true;
}

bool MilkshapeReader::readQuoted(const char* what, std::string& text, Line* rest) {
    Line line;
    if (!nextLine(line, what)) return false;
    const char* open = static_cast<const char*>(std::memchr(line.begin, '"', line.end - line.begin));
    const char* close =
        open != nullptr ? static_cast<const char*>(std::memchr(open + 1, '"', line.end - open - 1)) : nullptr;
    if (close == nullptr)
        return fail("line " + std::to_string(lineNumber) + ": expected the " + what + " between double quotes");
    text.assign(open + 1, close);
    if (rest != nullptr) *rest = Line{close + 1, line.end};
    return true;
}

bool MilkshapeReader::readMesh(Mesh& mesh) {
    Line rest;
    if (!readQuoted("mesh name", mesh.name, &rest)) return false;
    int flags = 0;
    if (!scanInt(rest.begin, rest.end, flags) || !scanInt(rest.begin, rest.end, mesh.materialIndex))
        return fail("line " + std::to_string(lineNumber) + ": mesh " + quote(mesh.name) +
                    " needs flags and a material index");
    if (mesh.materialIndex < -1)
        return fail("line " + std::to_string(lineNumber) + ": mesh " + quote(mesh.name) + " has material index " +
                    std::to_string(mesh.materialIndex));

    std::vector<float> positions, texCoords, normals;
    if (!readCount("vertex count", MIN_VERTEX_BYTES, mesh.vertexCount)) return false;
    if (!readVertices(mesh, positions, texCoords)) return false;
    if (!readCount("normal count", MIN_NORMAL_BYTES, mesh.normalCount)) return false;
    if (!readNormals(mesh, normals)) return false;
    if (!readCount("triangle count", MIN_TRIANGLE_BYTES, mesh.triangleCount)) return false;
    return readTriangles(mesh, positions, texCoords, normals);
}

// "flags x y z u v bone": x, y, z, u and v are kept, flags and bone ignored.
bool MilkshapeReader::readVertices(const Mesh& mesh, std::vector<float>& positions, std::vector<float>& texCoords) {
    positions.resize(3 * static_cast<std::size_t>(mesh.vertexCount));
    texCoords.resize(2 * static_cast<std::size_t>(mesh.vertexCount));
    Line line;
    for (int i = 0; i < mesh.vertexCount; ++i) {
        if (!nextLine(line, "a vertex line")) return false;
        const char* p = line.begin;
        int flags = 0;
        float* xyz = &positions[3 * static_cast<std::size_t>(i)];
        float* uv = &texCoords[2 * static_cast<std::size_t>(i)];
        if (!scanInt(p, line.end, flags) || !scanFloat(p, line.end, xyz[0]) || !scanFloat(p, line.end, xyz[1]) ||
            !scanFloat(p, line.end, xyz[2]) || !scanFloat(p, line.end, uv[0]) || !scanFloat(p, line.end, uv[1]))
            return fail("line " + std::to_string(lineNumber) + ": unreadable vertex " + std::to_string(i) +
                        " of mesh " + quote(mesh.name));
    }
    return true;
}

bool MilkshapeReader::readNormals(const Mesh& mesh, std::vector<float>& normals) {
    normals.resize(3 * static_cast<std::size_t>(mesh.normalCount));
    Line line;
    for (int i = 0; i < mesh.normalCount; ++i) {
        if (!nextLine(line, "a normal line")) return false;
        const char* p = line.begin;
        float* n = &normals[3 * static_cast<std::size_t>(i)];
        if (!scanFloat(p, line.end, n[0]) || !scanFloat(p, line.end, n[1]) || !scanFloat(p, line.end, n[2]))
            return fail("line " + std::to_string(lineNumber) + ": unreadable normal " + std::to_string(i) +
                        " of mesh " + quote(mesh.name));
    }
    return true;
}

// "flags v0 v1 v2 n0 n1 n2 group": every corner takes the position and texture
// coordinates of its vertex and the normal of its normal index.
bool MilkshapeReader::readTriangles(Mesh& mesh, const std::vector<float>& positions,
                                    const std::vector<float>& texCoords, const std::vector<float>& normals) {
    std::size_t t = static_cast<std::size_t>(mesh.triangleCount);
    mesh.triangleVertices.resize(9 * t);
    mesh.triangleNormals.resize(9 * t);
    mesh.triangleTexCoords.resize(6 * t);
    Line line;
    for (std::size_t i = 0; i < t; ++i) {
        if (!nextLine(line, "a triangle line")) return false;
        const char* p = line.begin;
        int flags = 0, index[6];
        bool ok = scanInt(p, line.end, flags);
        for (int k = 0; ok && k < 6; ++k) ok = scanInt(p, line.end, index[k]);
        if (!ok)
            return fail("line " + std::to_string(lineNumber) + ": unreadable triangle " + std::to_string(i) +
                        " of mesh " + quote(mesh.name));
        for (int k = 0; k < 3; ++k) {
            int a = index[k], b = index[3 + k];
            if (a < 0 || a >= mesh.vertexCount)
                return fail("line " + std::to_string(lineNumber) + ": vertex index " + std::to_string(a) +
                            " out of range (mesh " + quote(mesh.name) + " has " + std::to_string(mesh.vertexCount) +
                            " vertices)");
            if (b < 0 || b >= mesh.normalCount)
                return fail("line " + std::to_string(lineNumber) + ": normal index " + std::to_string(b) +
                            " out of range (mesh " + quote(mesh.name) + " has " + std::to_string(mesh.normalCount) +
                            " normals)");
            std::memcpy(&mesh.triangleVertices[9 * i + 3 * k], &positions[3 * static_cast<std::size_t>(a)],
                        3 * sizeof(float));
            std::memcpy(&mesh.triangleNormals[9 * i + 3 * k], &normals[3 * static_cast<std::size_t>(b)],
                        3 * sizeof(float));
            std::memcpy(&mesh.triangleTexCoords[6 * i + 2 * k], &texCoords[2 * static_cast<std::size_t>(a)],
                        2 * sizeof(float));
        }
    }
    return true;
}

bool MilkshapeReader::readFloats(const char* what, float* values, int count) {
    Line line;
    if (!nextLine(line, what)) return false;
    const char* p = line.begin;
    for (int i = 0; i < count; ++i)
        if (!scanFloat(p, line.end, values[i]))
            return fail("line " + std::to_string(lineNumber) + ": expected " + std::to_string(count) +
                        (count == 1 ? " number" : " numbers") + " for the " + what);
    return true;
}

// Nine lines: name, ambient, diffuse, specular, emissive, shininess,
// transparency, colour map, alpha map.
bool MilkshapeReader::readMaterial(Material& material) {
    if (!readQuoted("material name", material.name)) return false;
    if (!readFloats("ambient colour", material.ambient, 4) || !readFloats("diffuse colour", material.diffuse, 4) ||
        !readFloats("specular colour", material.specular, 4) || !readFloats("emissive colour", material.emissive, 4) ||
        !readFloats("shininess", &material.shininess, 1) || !readFloats("transparency", &material.transparency, 1))
        return false;
    if (!readQuoted("colour map", material.colorMap)) return false;
    return readQuoted("alpha map", material.alphaMap);
}

bool MilkshapeReader::checkMaterialIndices(const Model& model) {
    int materialCount = static_cast<int>(model.materials.size());
    for (const Mesh& mesh : model.meshes)
        if (mesh.materialIndex >= materialCount)
            return fail("mesh " + quote(mesh.name) + " uses material " + std::to_string(mesh.materialIndex) +
                        " but the file has " + std::to_string(materialCount) + " materials");
    return true;
}
