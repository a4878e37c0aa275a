#include "assets/MilkshapeReader.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "assets/AssetFiles.h"
#include "support/TempFolder.h"

namespace {

using Model = MilkshapeReader::Model;

// A model laid out as the modelling tool exports it: comment, frame and blank
// lines before the mesh count, a blank line before the material count, and
// bones and comment counts after the materials. Every line is unique so that
// tests can replace single lines.
const std::string EXPORTED =
    "// MilkShape 3D ASCII\n"
    "\n"
    "Frames: 30\n"
    "Frame: 1\n"
    "\n"
    "Meshes: 3\n"
    "\"box\" 0 -1\n"
    "4\n"
    "0 0.000000 0.000000 0.000000 0.000000 0.000000 -1\n"
    "0 1.000000 0.000000 0.000000 1.000000 0.000000 -1\n"
    "0 1.000000 1.000000 0.000000 1.000000 1.000000 -1\n"
    "0 0.000000 1.000000 -2.500000 0.250000 0.750000 -1\n"
    "2\n"
    "0.000000 0.000000 1.000000\n"
    "0.000000 1.000000 0.000000\n"
    "2\n"
    "0 0 1 2 0 0 1 1\n"
    "0 0 2 3 1 1 0 1\n"
    "\"roof\" 0 1\n"
    "3\n"
    "0 +1.5 2 3 0.5 0.5 -1\n"
    "0 1e-3 -4 5 0 1 -1\n"
    "0 7 8 9 1 0 -1\n"
    "1\n"
    "0 1 0\n"
    "1\n"
    "0 2 1 0 0 0 0 1\n"
    "\"roof\" 0 1\n"
    "0\n"
    "0\n"
    "0\n"
    "\n"
    "Materials: 2\n"
    "\"paint\"\n"
    "0.200000 0.200000 0.200000 1.000000\n"
    "0.800000 0.100000 0.100000 1.000000\n"
    "0.000000 0.000000 0.000000 1.000000\n"
    "0.000000 0.000000 0.000000 1.000000\n"
    "0.000000\n"
    "1.000000\n"
    "\"paint.png\"\n"
    "\"\"\n"
    "\"glass\"\n"
    "0.100000 0.100000 0.300000 1.000000\n"
    "0.200000 0.200000 0.900000 1.000000\n"
    "1.000000 1.000000 1.000000 1.000000\n"
    "0.050000 0.050000 0.050000 1.000000\n"
    "64.000000\n"
    "0.400000\n"
    "\"\"\n"
    "\"glass_alpha.png\"\n"
    "\n"
    "Bones: 1\n"
    "\"joint1\"\n"
    "\"\"\n"
    "GroupComments: 0\n"
    "MaterialComments: 0\n"
    "BoneComments: 0\n"
    "ModelComment: 0\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "fixture has no line " << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string withCrlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Parses from a heap buffer of exactly the data's size, so that AddressSanitizer
// reports any read past the end (a std::string would hide it behind its NUL).
bool parseExact(const std::string& text, Model& model, std::string* error = nullptr) {
    std::unique_ptr<char[]> buffer(new char[text.size() == 0 ? 1 : text.size()]);
    std::memcpy(buffer.get(), text.data(), text.size());
    MilkshapeReader reader;
    bool ok = reader.parse(buffer.get(), text.size(), model);
    if (error != nullptr) *error = reader.error();
    return ok;
}

std::vector<float> corner(const std::vector<float>& array, int triangle, int k, int width) {
    std::size_t at = static_cast<std::size_t>(triangle) * 3 * width + static_cast<std::size_t>(k) * width;
    return std::vector<float>(array.begin() + at, array.begin() + at + width);
}

// An independent reading of well-formed files with the C scanning formats of
// the file format, used as the oracle for real-world files.
Model referenceParse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    Model model;
    int meshCount = 0;
    while (std::getline(in, line) && std::sscanf(line.c_str(), "Meshes: %d", &meshCount) != 1) {
    }
    for (int m = 0; m < meshCount; ++m) {
        MilkshapeReader::Mesh mesh;
        std::getline(in, line);
        std::size_t open = line.find('"'), close = line.find('"', open + 1);
        mesh.name = line.substr(open + 1, close - open - 1);
        int flags;
        std::sscanf(line.c_str() + close + 1, " %d %d", &flags, &mesh.materialIndex);
        std::getline(in, line);
        std::sscanf(line.c_str(), "%d", &mesh.vertexCount);
        std::vector<float> pos, uv, normals;
        for (int i = 0; i < mesh.vertexCount; ++i) {
            float x, y, z, u, v;
            int bone;
            std::getline(in, line);
            std::sscanf(line.c_str(), "%d %f %f %f %f %f %d ", &flags, &x, &y, &z, &u, &v, &bone);
            pos.insert(pos.end(), {x, y, z});
            uv.insert(uv.end(), {u, v});
        }
        std::getline(in, line);
        std::sscanf(line.c_str(), "%d", &mesh.normalCount);
        for (int i = 0; i < mesh.normalCount; ++i) {
            float x, y, z;
            std::getline(in, line);
            std::sscanf(line.c_str(), "%f %f %f", &x, &y, &z);
            normals.insert(normals.end(), {x, y, z});
        }
        std::getline(in, line);
        std::sscanf(line.c_str(), "%d", &mesh.triangleCount);
        for (int t = 0; t < mesh.triangleCount; ++t) {
            int v[3], n[3], group;
            std::getline(in, line);
            std::sscanf(line.c_str(), "%d %d %d %d %d %d %d %d", &flags, &v[0], &v[1], &v[2], &n[0], &n[1], &n[2],
                        &group);
            for (int k = 0; k < 3; ++k) {
                mesh.triangleVertices.insert(mesh.triangleVertices.end(), pos.begin() + 3 * v[k],
                                             pos.begin() + 3 * v[k] + 3);
                mesh.triangleNormals.insert(mesh.triangleNormals.end(), normals.begin() + 3 * n[k],
                                            normals.begin() + 3 * n[k] + 3);
                mesh.triangleTexCoords.insert(mesh.triangleTexCoords.end(), uv.begin() + 2 * v[k],
                                              uv.begin() + 2 * v[k] + 2);
            }
        }
        model.meshes.push_back(mesh);
    }
    int materialCount = 0;
    while (std::getline(in, line) && std::sscanf(line.c_str(), "Materials: %d", &materialCount) != 1) {
    }
    for (int k = 0; k < materialCount; ++k) {
        MilkshapeReader::Material material;
        auto quoted = [&]() {
            std::getline(in, line);
            std::size_t open = line.find('"'), close = line.find('"', open + 1);
            return line.substr(open + 1, close - open - 1);
        };
        auto floats = [&](float* f, int n) {
            std::getline(in, line);
            if (n == 4)
                std::sscanf(line.c_str(), "%f %f %f %f", &f[0], &f[1], &f[2], &f[3]);
            else
                std::sscanf(line.c_str(), "%f", &f[0]);
        };
        material.name = quoted();
        floats(material.ambient, 4);
        floats(material.diffuse, 4);
        floats(material.specular, 4);
        floats(material.emissive, 4);
        floats(&material.shininess, 1);
        floats(&material.transparency, 1);
        material.colorMap = quoted();
        material.alphaMap = quoted();
        model.materials.push_back(material);
    }
    return model;
}

void expectSameModel(const Model& actual, const Model& expected) {
    ASSERT_EQ(actual.meshes.size(), expected.meshes.size());
    for (std::size_t m = 0; m < expected.meshes.size(); ++m) {
        const MilkshapeReader::Mesh& a = actual.meshes[m];
        const MilkshapeReader::Mesh& e = expected.meshes[m];
        SCOPED_TRACE("mesh " + std::to_string(m) + " " + e.name);
        EXPECT_EQ(a.name, e.name);
        EXPECT_EQ(a.materialIndex, e.materialIndex);
        EXPECT_EQ(a.vertexCount, e.vertexCount);
        EXPECT_EQ(a.normalCount, e.normalCount);
        EXPECT_EQ(a.triangleCount, e.triangleCount);
        EXPECT_EQ(a.triangleVertices, e.triangleVertices);
        EXPECT_EQ(a.triangleNormals, e.triangleNormals);
        EXPECT_EQ(a.triangleTexCoords, e.triangleTexCoords);
    }
    ASSERT_EQ(actual.materials.size(), expected.materials.size());
    for (std::size_t k = 0; k < expected.materials.size(); ++k) {
        const MilkshapeReader::Material& a = actual.materials[k];
        const MilkshapeReader::Material& e = expected.materials[k];
        SCOPED_TRACE("material " + std::to_string(k) + " " + e.name);
        EXPECT_EQ(a.name, e.name);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(a.ambient[i], e.ambient[i]);
            EXPECT_EQ(a.diffuse[i], e.diffuse[i]);
            EXPECT_EQ(a.specular[i], e.specular[i]);
            EXPECT_EQ(a.emissive[i], e.emissive[i]);
        }
        EXPECT_EQ(a.shininess, e.shininess);
        EXPECT_EQ(a.transparency, e.transparency);
        EXPECT_EQ(a.colorMap, e.colorMap);
        EXPECT_EQ(a.alphaMap, e.alphaMap);
    }
}

using V = std::vector<float>;

}  // namespace

TEST(MilkshapeReader, ReadsAnExportedFileIntoExpandedTriangles) {
    Model model;
    std::string error;
    ASSERT_TRUE(parseExact(EXPORTED, model, &error)) << error;
    ASSERT_EQ(model.meshes.size(), 3u);
    EXPECT_EQ(model.triangleCount(), 3);

    const MilkshapeReader::Mesh& box = model.meshes[0];
    EXPECT_EQ(box.name, "box");
    EXPECT_EQ(box.materialIndex, -1);
    EXPECT_EQ(box.vertexCount, 4);
    EXPECT_EQ(box.normalCount, 2);
    ASSERT_EQ(box.triangleCount, 2);
    ASSERT_EQ(box.triangleVertices.size(), 18u);
    ASSERT_EQ(box.triangleNormals.size(), 18u);
    ASSERT_EQ(box.triangleTexCoords.size(), 12u);
    // Second triangle "0 0 2 3 1 1 0 1": corners are vertices 0, 2, 3 with normals 1, 1, 0.
    EXPECT_EQ(corner(box.triangleVertices, 1, 0, 3), V({0, 0, 0}));
    EXPECT_EQ(corner(box.triangleVertices, 1, 1, 3), V({1, 1, 0}));
    EXPECT_EQ(corner(box.triangleVertices, 1, 2, 3), V({0, 1, -2.5f}));
    EXPECT_EQ(corner(box.triangleNormals, 1, 0, 3), V({0, 1, 0}));
    EXPECT_EQ(corner(box.triangleNormals, 1, 1, 3), V({0, 1, 0}));
    EXPECT_EQ(corner(box.triangleNormals, 1, 2, 3), V({0, 0, 1}));
    // Texture coordinates follow the vertex index and are taken as read (v not flipped).
    EXPECT_EQ(corner(box.triangleTexCoords, 1, 1, 2), V({1, 1}));
    EXPECT_EQ(corner(box.triangleTexCoords, 1, 2, 2), V({0.25f, 0.75f}));

    // Numbers follow the "%f" conventions: a plus sign, an integer, an exponent.
    const MilkshapeReader::Mesh& roof = model.meshes[1];
    EXPECT_EQ(corner(roof.triangleVertices, 0, 0, 3), V({7, 8, 9}));
    EXPECT_EQ(corner(roof.triangleVertices, 0, 1, 3), V({1e-3f, -4, 5}));
    EXPECT_EQ(corner(roof.triangleVertices, 0, 2, 3), V({1.5f, 2, 3}));

    // An empty mesh and a second mesh of the same name are kept in file order.
    EXPECT_EQ(model.meshes[2].name, "roof");
    EXPECT_EQ(model.meshes[2].triangleCount, 0);
    EXPECT_TRUE(model.meshes[2].triangleVertices.empty());
}

TEST(MilkshapeReader, ReadsEveryMaterialOfTheSection) {
    Model model;
    std::string error;
    ASSERT_TRUE(parseExact(EXPORTED, model, &error)) << error;
    ASSERT_EQ(model.materials.size(), 2u);
    const MilkshapeReader::Material& paint = model.materials[0];
    EXPECT_EQ(paint.name, "paint");
    EXPECT_EQ(V(paint.diffuse, paint.diffuse + 4), V({0.8f, 0.1f, 0.1f, 1.0f}));
    EXPECT_EQ(paint.colorMap, "paint.png");
    EXPECT_EQ(paint.alphaMap, "");
    // The second material starts right after the first one's alpha-map line,
    // which is consumed whether or not the colour map is empty.
    const MilkshapeReader::Material& glass = model.materials[1];
    EXPECT_EQ(glass.name, "glass");
    EXPECT_EQ(V(glass.ambient, glass.ambient + 4), V({0.1f, 0.1f, 0.3f, 1.0f}));
    EXPECT_EQ(V(glass.specular, glass.specular + 4), V({1, 1, 1, 1}));
    EXPECT_EQ(V(glass.emissive, glass.emissive + 4), V({0.05f, 0.05f, 0.05f, 1.0f}));
    EXPECT_EQ(glass.shininess, 64.0f);
    EXPECT_EQ(glass.transparency, 0.4f);
    EXPECT_EQ(glass.colorMap, "");
    EXPECT_EQ(glass.alphaMap, "glass_alpha.png");
}

TEST(MilkshapeReader, LineEndingsAndTheEndOfTheFileDoNotMatter) {
    Model plain, crlf, cut;
    ASSERT_TRUE(parseExact(EXPORTED, plain));
    ASSERT_TRUE(parseExact(withCrlf(EXPORTED), crlf));
    expectSameModel(crlf, plain);
    // A file that ends right after the last alpha map, without a line break.
    std::string end = "\"glass_alpha.png\"";
    ASSERT_TRUE(parseExact(EXPORTED.substr(0, EXPORTED.find(end) + end.size()), cut));
    expectSameModel(cut, plain);
}

TEST(MilkshapeReader, AcceptsLinesUpToTheLengthLimit) {
    std::string longest(MilkshapeReader::MAX_LINE_LENGTH, '/');
    Model model;
    std::string error;
    EXPECT_TRUE(parseExact(withCrlf(longest + "\n" + EXPORTED), model, &error)) << error;
    EXPECT_FALSE(parseExact(longest + "/\n" + EXPORTED, model, &error));
    EXPECT_NE(error.find("line 1: longer than 253 characters"), std::string::npos) << error;
    EXPECT_TRUE(model.meshes.empty());
}

TEST(MilkshapeReader, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
    std::string end = "\"glass_alpha.png\"";
    std::size_t complete = EXPORTED.find(end) + end.size();
    for (std::size_t n = 0; n < complete; ++n) {
        Model model;
        std::string error;
        EXPECT_FALSE(parseExact(EXPORTED.substr(0, n), model, &error)) << "accepted the first " << n << " bytes";
        EXPECT_TRUE(model.meshes.empty() && model.materials.empty());
        EXPECT_FALSE(error.empty());
    }
}

struct Malformed {
    const char* name;
    std::string text;
    const char* expected;  // part of the error message
};

void PrintTo(const Malformed& c, std::ostream* out) { *out << c.name; }

class MilkshapeReaderRejects : public testing::TestWithParam<Malformed> {};

TEST_P(MilkshapeReaderRejects, WithAMessageAndAnEmptyModel) {
    const Malformed& c = GetParam();
    Model model;
    ASSERT_TRUE(parseExact(EXPORTED, model));  // a rejected file must also drop what was there
    std::string error;
    EXPECT_FALSE(parseExact(c.text, model, &error));
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(model.materials.empty());
    EXPECT_NE(error.find(c.expected), std::string::npos) << "message was: " << error;
}

namespace {
std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random() & 0xff);
    return s;
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(
    MalformedFiles, MilkshapeReaderRejects,
    testing::Values(
        Malformed{"NoMeshCountLine", replaced(EXPORTED, "Meshes: 3\n", "Mashes: 3\n"), "no line \"Meshes: <count>\""},
        Malformed{"IndentedMeshCountLine", replaced(EXPORTED, "Meshes: 3\n", " Meshes: 3\n"), "no line \"Meshes:"},
        Malformed{"NoMaterialCountLine", replaced(EXPORTED, "Materials: 2\n", "Material: 2\n"),
                  "no line \"Materials: <count>\""},
        Malformed{"MeshCountWithoutNumber", replaced(EXPORTED, "Meshes: 3\n", "Meshes: three\n"),
                  "line 6: no count after \"Meshes:\""},
        Malformed{"NegativeMeshCount", replaced(EXPORTED, "Meshes: 3\n", "Meshes: -3\n"), "negative count -3"},
        Malformed{"AbsurdMeshCount", replaced(EXPORTED, "Meshes: 3\n", "Meshes: 2147483647\n"),
                  "is larger than the file"},
        Malformed{"OverflowingMeshCount", replaced(EXPORTED, "Meshes: 3\n", "Meshes: 99999999999\n"),
                  "no count after \"Meshes:\""},
        Malformed{"NegativeMaterialCount", replaced(EXPORTED, "Materials: 2\n", "Materials: -1\n"),
                  "negative count -1"},
        Malformed{"AbsurdMaterialCount", replaced(EXPORTED, "Materials: 2\n", "Materials: 100000\n"),
                  "is larger than the file"},
        Malformed{"NegativeVertexCount", replaced(EXPORTED, "\"box\" 0 -1\n4\n", "\"box\" 0 -1\n-4\n"),
                  "line 8: negative vertex count -4"},
        Malformed{"AbsurdVertexCount", replaced(EXPORTED, "\"box\" 0 -1\n4\n", "\"box\" 0 -1\n2000000000\n"),
                  "vertex count 2000000000 is larger than the file"},
        Malformed{"AbsurdTriangleCount", replaced(EXPORTED, "0 1 0\n1\n", "0 1 0\n123456789\n"),
                  "triangle count 123456789 is larger than the file"},
        Malformed{"VertexIndexOutOfRange", replaced(EXPORTED, "0 0 2 3 1 1 0 1\n", "0 0 2 4 1 1 0 1\n"),
                  "line 18: vertex index 4 out of range (mesh \"box\" has 4 vertices)"},
        Malformed{"NegativeVertexIndex", replaced(EXPORTED, "0 0 2 3 1 1 0 1\n", "0 0 -1 3 1 1 0 1\n"),
                  "vertex index -1 out of range"},
        Malformed{"NormalIndexOutOfRange", replaced(EXPORTED, "0 2 1 0 0 0 0 1\n", "0 2 1 0 0 0 1 1\n"),
                  "normal index 1 out of range (mesh \"roof\" has 1 normals)"},
        Malformed{"MaterialIndexBeyondTheMaterials", replaced(EXPORTED, "\"box\" 0 -1\n", "\"box\" 0 2\n"),
                  "mesh \"box\" uses material 2 but the file has 2 materials"},
        Malformed{"MaterialIndexBelowMinusOne", replaced(EXPORTED, "\"box\" 0 -1\n", "\"box\" 0 -2\n"),
                  "mesh \"box\" has material index -2"},
        Malformed{"MeshLineWithoutMaterialIndex", replaced(EXPORTED, "\"box\" 0 -1\n", "\"box\" 0\n"),
                  "mesh \"box\" needs flags and a material index"},
        Malformed{"MeshNameWithoutClosingQuote", replaced(EXPORTED, "\"box\" 0 -1\n", "\"box 0 -1\n"),
                  "line 7: expected the mesh name between double quotes"},
        Malformed{"MissingVertexLine", replaced(EXPORTED, "0 1.000000 0.000000 0.000000 1.000000 0.000000 -1\n", ""),
                  "unreadable vertex 3 of mesh \"box\""},
        Malformed{"ShortNormalLine", replaced(EXPORTED, "0.000000 1.000000 0.000000\n", "0.000000 1.000000\n"),
                  "line 15: unreadable normal 1 of mesh \"box\""},
        Malformed{"InfiniteCoordinate", replaced(EXPORTED, "0 7 8 9 1 0 -1\n", "0 7 inf 9 1 0 -1\n"),
                  "unreadable vertex 2 of mesh \"roof\""},
        Malformed{"ShortTriangleLine", replaced(EXPORTED, "0 0 1 2 0 0 1 1\n", "0 0 1 2 0 0\n"),
                  "unreadable triangle 0 of mesh \"box\""},
        Malformed{"BlankLineInsideAMesh", replaced(EXPORTED, "2\n0 0 1 2", "2\n\n0 0 1 2"),
                  "unreadable triangle 0 of mesh \"box\""},
        Malformed{"ShortColourLine", replaced(EXPORTED, "0.800000 0.100000 0.100000 1.000000\n", "0.8 0.1 0.1\n"),
                  "expected 4 numbers for the diffuse colour"},
        Malformed{"MaterialWithoutShininess", replaced(EXPORTED, "64.000000\n", "shiny\n"),
                  "expected 1 number for the shininess"},
        Malformed{"UnquotedColourMap", replaced(EXPORTED, "\"paint.png\"\n", "paint.png\n"),
                  "expected the colour map between double quotes"},
        Malformed{"LongLineBeforeTheMeshes", replaced(EXPORTED, "Frame: 1\n", std::string(10000, 'x') + "\n"),
                  "line 4: longer than 253 characters"},
        Malformed{"LongVertexLine",
                  replaced(EXPORTED, "0 7 8 9 1 0 -1\n", "0 7 8 9 1 0 -1" + std::string(10000, ' ') + "\n"),
                  "line 23: longer than 253 characters"},
        Malformed{"BinaryFile", randomBytes(4096, 1), ""},
        Malformed{"BinaryAfterTheMeshCount", "Meshes: 1\n" + randomBytes(4096, 2), ""},
        Malformed{"EmptyFile", "", "no line \"Meshes: <count>\" found"}),
    [](const testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

TEST(MilkshapeReader, ReadsRealWorldFilesLikeTheScanningFormats) {
    std::vector<std::string> files = AssetFiles::realModelFiles();
    if (files.empty()) GTEST_SKIP() << "no real-world MilkShape files on this machine";
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        std::string text;
        ASSERT_TRUE(MilkshapeReader::readFile(path, text));
        Model model;
        std::string error;
        ASSERT_TRUE(parseExact(text, model, &error)) << error;
        EXPECT_FALSE(model.meshes.empty());
        expectSameModel(model, referenceParse(text));
    }
}

TEST(MilkshapeReader, ReadFileReportsWhatCannotBeRead) {
    TempFolder folder("assets");
    const std::string dir = folder.path();
    std::string text = "old";
    EXPECT_FALSE(MilkshapeReader::readFile(dir + "/missing.txt", text));
    EXPECT_FALSE(MilkshapeReader::readFile(dir, text));  // a directory opens but cannot be read
    AssetFiles::writeText(dir + "/model.txt", EXPORTED);
    ASSERT_TRUE(MilkshapeReader::readFile(dir + "/model.txt", text));
    EXPECT_EQ(text, EXPORTED);
}
