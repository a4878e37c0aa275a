#include "assets/MilkshapeNode.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/AssetFiles.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"
#include "support/TriangleCorners.h"

namespace {

// Four meshes side by side in the square (-2, -2) .. (2, 2), facing +z: a
// textured panel, a red quad whose corner normals differ, a triangle without
// material, and a red sign sharing the red material; then a second, empty mesh
// called "panel".
const std::string MODEL =
    "// MilkShape 3D ASCII\n\nFrames: 30\nFrame: 1\n\n"
    "Meshes: 5\n"
    "\"panel\" 0 0\n4\n"
    "0 -1.8 -1.8 0 0 0 -1\n0 -0.2 -1.8 0 1 0 -1\n0 -0.2 -0.2 0 1 1 -1\n0 -1.8 -0.2 0 0 1 -1\n"
    "1\n0 0 1\n2\n0 0 1 2 0 0 0 1\n0 0 2 3 0 0 0 1\n"
    "\"shaded\" 0 1\n4\n"
    "0 0.2 -1.8 0 0 0 -1\n0 1.8 -1.8 0 1 0 -1\n0 1.8 -0.2 0 1 1 -1\n0 0.2 -0.2 0 0 1 -1\n"
    "2\n0 0 1\n0.8 0 0.6\n2\n0 0 1 2 0 1 1 1\n0 0 2 3 0 1 0 1\n"
    "\"plain\" 0 -1\n3\n0 -1 0.2 0 0 0 -1\n0 1 0.2 0 1 0 -1\n0 0 1.8 0 0.5 1 -1\n"
    "1\n0 0 1\n1\n0 0 1 2 0 0 0 1\n"
    "\"sign\" 0 1\n4\n"
    "0 1.2 0.2 0.5 0 0 -1\n0 1.9 0.2 0.5 1 0 -1\n0 1.9 1.9 0.5 1 1 -1\n0 1.2 1.9 0.5 0 1 -1\n"
    "1\n0 0 1\n2\n0 0 1 2 0 0 0 1\n0 0 2 3 0 0 0 1\n"
    "\"panel\" 0 -1\n0\n0\n0\n"
    "\n"
    "Materials: 2\n"
    "\"checker\"\n0.2 0.2 0.2 1\n1 1 1 1\n0 0 0 1\n0 0 0 1\n0\n1\n\"checker.png\"\n\"\"\n"
    "\"red\"\n0.2 0.2 0.2 1\n1 0.2 0.2 1\n0 0 0 1\n0 0 0 1\n0\n1\n\"\"\n\"\"\n"
    "\nBones: 0\nGroupComments: 0\nMaterialComments: 0\nBoneComments: 0\nModelComment: 0\n";

using Frame = std::vector<unsigned char>;

using AssetFiles::differingPixels;

int litPixels(const Frame& frame) {
    int count = 0;
    for (std::size_t i = 0; i + 3 < frame.size(); i += 4)
        if (frame[i] != 0 || frame[i + 1] != 0 || frame[i + 2] != 0) ++count;
    return count;
}

class MilkshapeNodeTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        AssetFiles::startDevIL();
        ASSERT_FALSE(folder.path().empty());
        dir = folder.path();
        // 2 x 2 checker: red, green (bottom row), blue, white (top row).
        AssetFiles::writeRgbPicture(dir + "/checker.png", 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
        AssetFiles::writeText(dir + "/model.txt", MODEL);
        saved = {ScenegraphNode::drawMode, ScenegraphNode::displayListsEnabled, ScenegraphNode::useVisibilityCulling,
                 ScenegraphNode::useAlphaBlending};
        ScenegraphNode::useVisibilityCulling = false;
        ScenegraphNode::useAlphaBlending = false;
        ScenegraphNode::displayListsEnabled = true;
    }
    void TearDown() override {
        ScenegraphNode::drawMode = saved.drawMode;
        ScenegraphNode::displayListsEnabled = saved.displayLists;
        ScenegraphNode::useVisibilityCulling = saved.culling;
        ScenegraphNode::useAlphaBlending = saved.blending;
        Texture2D::clearTextures();
        AssetFiles::drainDevILErrors();
    }

    std::shared_ptr<MilkshapeNode> loadModel(std::string* console = nullptr) {
        auto node = std::make_shared<MilkshapeNode>("test model");
        testing::internal::CaptureStdout();
        bool ok = node->load(dir, "model.txt");
        std::string out = testing::internal::GetCapturedStdout();
        if (console != nullptr) *console = out;
        EXPECT_TRUE(ok) << out;
        node->finalize();
        return node;
    }

    // Draws the node alone, looking down -z on the square (-2, -2) .. (2, 2),
    // lit by the default light, and reads the whole picture back.
    Frame render(MilkshapeNode& node) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-2, 2, -2, 2, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHT0);
        Texture::enable2DTextures();
        node.paint();
        Texture::disable2DTextures();
        glFinish();
        Frame frame(static_cast<std::size_t>(GlTestWindow::width()) * GlTestWindow::height() * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, GlTestWindow::width(), GlTestWindow::height(), GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return frame;
    }

    static GlTestWindow::Pixel at(const Frame& frame, int x, int y) {
        const unsigned char* p = &frame[(static_cast<std::size_t>(y) * GlTestWindow::width() + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    TempFolder folder{"assets"};  // removed with the fixture
    std::string dir;
    struct {
        int drawMode;
        bool displayLists, culling, blending;
    } saved{};
};

}  // namespace

TEST_F(MilkshapeNodeTest, LoadBuildsMeshesMaterialsAndTextures) {
    Texture2D::clearTextures();  // as a level's build starts: other tests' textures are gone
    std::string console;
    std::shared_ptr<MilkshapeNode> node = loadModel(&console);
    EXPECT_NE(console.find("\n MilkshapeNode.load(" + dir + "/model.txt) - test model: loading Milkshape ASCII file"
                           "\n   Mesh count: 5\n   Triangle count: 7\n   loading external texture from: <" +
                           dir + "/checker.png>\n   Material count: 2"),
              std::string::npos)
        << console;
    ASSERT_EQ(node->getMeshes().size(), 5u);
    EXPECT_EQ(node->getPolygonCount(), 7);
    const auto& m = node->getMeshes();
    EXPECT_STREQ(m[0]->getNodeDescription(), "panel");
    EXPECT_STREQ(m[3]->getNodeDescription(), "sign");
    for (const auto& mesh : m) EXPECT_TRUE(mesh->alwaysVisible);

    // The textured material: its picture is uploaded and registered once.
    ASSERT_TRUE(m[0]->getTexture());
    EXPECT_TRUE(m[0]->getTexture()->enabled);
    EXPECT_STREQ(m[0]->getMaterial()->name, "checker");
    ASSERT_EQ(Texture2D::registeredTextures().size(), 1u);
    EXPECT_EQ(Texture2D::registeredTextures()[0], m[0]->getTexture());

    // An empty colour map leaves the meshes untextured; both red meshes share
    // one material and one texture object, so a change reaches both.
    EXPECT_FALSE(m[1]->getTexture()->enabled);
    EXPECT_EQ(m[1]->getMaterial(), m[3]->getMaterial());
    EXPECT_EQ(m[1]->getTexture(), m[3]->getTexture());
    m[1]->getMaterial()->setTransparency(0.5f);
    EXPECT_TRUE(m[3]->getMaterial()->isTransparent());
    EXPECT_FLOAT_EQ(m[3]->getMaterial()->diffuse[3], 0.5f);
    EXPECT_FLOAT_EQ(m[3]->getMaterial()->diffuse[1], 0.2f);
    // File materials have arrays of their own; the class-wide defaults stay untouched.
    EXPECT_NE(m[1]->getMaterial()->diffuse, Material::defaultDiffuseColor);
    EXPECT_FLOAT_EQ(Material::defaultDiffuseColor[3], 1.0f);

    // Material index -1: a default material of its own and no texture.
    EXPECT_NE(m[2]->getMaterial(), m[1]->getMaterial());
    EXPECT_EQ(m[2]->getMaterial()->diffuse, Material::defaultDiffuseColor);
    EXPECT_FALSE(m[2]->getTexture()->enabled);
}

TEST_F(MilkshapeNodeTest, FinalizeGivesTheUnionOfTheMeshBoxes) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    const GeometryNode::BoundingBox& box = *node->getBoundingBox();
    EXPECT_FLOAT_EQ(box.minX, -1.8f);
    EXPECT_FLOAT_EQ(box.maxX, 1.9f);
    EXPECT_FLOAT_EQ(box.minY, -1.8f);
    EXPECT_FLOAT_EQ(box.maxY, 1.9f);
    EXPECT_FLOAT_EQ(box.center[0], 0.05f);
    EXPECT_FLOAT_EQ(box.size[1], 3.7f);
    // A mesh box takes the mesh's own scale.
    std::shared_ptr<MeshNode> sign = node->getMesh("sign");
    sign->setScale(2, 1, 1);
    sign->finalize();
    EXPECT_FLOAT_EQ(sign->getBoundingBox()->center[0], 3.1f);
    EXPECT_FLOAT_EQ(sign->getBoundingBox()->size[0], 1.4f);
}

TEST_F(MilkshapeNodeTest, GetMeshFindsTheFirstOfThatNameOrReports) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    std::shared_ptr<MeshNode> panel = node->getMesh("panel");
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel, node->getMeshes()[0]);
    EXPECT_EQ(panel->getTriangleCount(), 2);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(node->getMesh("Panel"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n MilkshapeNode::getMesh(Panel): not found!");
}

TEST_F(MilkshapeNodeTest, FlatVertexArrayHoldsEveryMeshInOrder) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    FloatArray flat = node->getFlatVertexArray();
    std::size_t at = 0;
    for (const auto& mesh : node->getMeshes()) {
        const TriangleCorners corners(*mesh);
        for (int i = 0; i < 9 * mesh->getTriangleCount(); ++i, ++at) ASSERT_EQ(flat[at], corners.positions[i]);
    }
    EXPECT_EQ(at, 9u * 7u);
}

// Two nodes of one file: their lists hold the geometry and their arrays go;
// every reader and draw path gets them back from the shared parse, and a
// file changed on disk is parsed anew.
TEST_F(MilkshapeNodeTest, NodesOfOneFileShareTheParseAndGiveTheirArraysToTheirLists) {
    std::shared_ptr<MilkshapeNode> a = loadModel(), b = loadModel(), plain = loadModel();
    ScenegraphNode::drawMode = 0;
    const Frame immediate = render(*plain);
    const FloatArray flat = plain->getFlatVertexArray();
    for (const auto& node : {a, b}) {
        ASSERT_TRUE(node->enableDisplayList());
        for (const auto& mesh : node->getMeshes()) EXPECT_FALSE(mesh->hasArrays()) << mesh->getNodeDescription();
        EXPECT_EQ(differingPixels(render(*node), immediate), 0);
        const FloatArray again = node->getFlatVertexArray();
        for (int i = 0; i < 9 * 7; ++i) ASSERT_EQ(again[i], flat[i]) << i;
        for (const auto& mesh : node->getMeshes()) EXPECT_FALSE(mesh->hasArrays()) << "a reader gives them back";
    }
    for (int mode : {0, 1, 2}) {
        ScenegraphNode::drawMode = mode;
        ScenegraphNode::displayListsEnabled = false;
        EXPECT_EQ(differingPixels(render(*b), immediate), 0) << "without lists, draw mode " << mode;
        ScenegraphNode::displayListsEnabled = true;
        ASSERT_TRUE(b->refreshDisplayList());
        EXPECT_EQ(differingPixels(render(*b), immediate), 0) << "lists compiled again, draw mode " << mode;
    }

    std::string moved = MODEL;
    moved.replace(moved.find("0 -1.8 -1.8 0 0 0 -1"), 20, "0 -1.5 -1.8 0 0 0 -1");
    AssetFiles::writeText(dir + "/model.txt", moved);
    const FloatArray changed = loadModel()->getFlatVertexArray();
    EXPECT_FLOAT_EQ(changed[0], -1.5f);
    EXPECT_FLOAT_EQ(a->getFlatVertexArray()[0], -1.8f) << "the first nodes keep their own parse";
}

// Four nodes of one file, like the tyres of a car, draw one copy of its
// corners: the parse's. It lives as long as any of them, and every node
// still draws the same picture.
TEST_F(MilkshapeNodeTest, NodesOfOneFileDrawOneCopyOfTheirCorners) {
    std::vector<std::shared_ptr<MilkshapeNode>> tyres;
    for (int i = 0; i < 4; ++i) tyres.push_back(loadModel());
    ScenegraphNode::drawMode = 0;
    ScenegraphNode::displayListsEnabled = false;
    const Frame first = render(*tyres[0]);
    const std::size_t meshCount = tyres[0]->getMeshes().size();
    for (std::size_t m = 0; m < meshCount; ++m) {
        const MeshNode& mesh = *tyres[0]->getMeshes()[m];
        if (mesh.getTriangleCount() == 0) continue;  // nothing to share
        for (const auto& tyre : tyres) {
            const MeshNode& other = *tyre->getMeshes()[m];
            EXPECT_EQ(other.getCornerPositions().get(), mesh.getCornerPositions().get()) << m;
            EXPECT_EQ(other.getCornerNormals().get(), mesh.getCornerNormals().get()) << m;
            EXPECT_EQ(other.getCornerTexCoords().get(), mesh.getCornerTexCoords().get()) << m;
        }
    }
    const FloatArray flat = tyres[0]->getFlatVertexArray();
    tyres.erase(tyres.begin());  // the first node goes; the others keep the corners
    for (const auto& tyre : tyres) {
        EXPECT_EQ(differingPixels(render(*tyre), first), 0);
        const FloatArray again = tyre->getFlatVertexArray();
        for (int i = 0; i < 9 * 7; ++i) ASSERT_EQ(again[i], flat[i]) << i;
    }
}

TEST_F(MilkshapeNodeTest, UnreadableAndMalformedFilesAreReported) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    ASSERT_TRUE(node->enableDisplayList());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(node->load(dir, "missing.txt"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\n MilkshapeNode::load(" + dir + ", missing.txt): ERROR! unable to open file");
    EXPECT_EQ(node->getMeshes().size(), 5u) << "an unopened file leaves the model as it was";

    std::string broken = MODEL;
    broken.replace(broken.find("0 0 2 3 0 0 0 1"), 15, "0 0 2 9 0 0 0 1");
    AssetFiles::writeText(dir + "/broken.txt", broken);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(node->load(dir, "broken.txt"));
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n MilkshapeNode.load(" + dir +
                       "/broken.txt): ERROR! line 17: vertex index 9 out of range (mesh \"panel\" has 4 vertices); "
                       "the model stays empty"),
              std::string::npos)
        << out;
    EXPECT_TRUE(node->getMeshes().empty());
    EXPECT_EQ(node->getPolygonCount(), 0);
    EXPECT_EQ(litPixels(render(*node)), 0) << "the lists of the first load are gone";
    node->finalize();
    EXPECT_TRUE(node->enableDisplayList());
    EXPECT_EQ(litPixels(render(*node)), 0);
}

TEST_F(MilkshapeNodeTest, RealWorldFilesLoadWithMissingPicturesReported) {
    std::vector<std::string> files = AssetFiles::realModelFiles();
    if (files.empty()) GTEST_SKIP() << "no real-world MilkShape files on this machine";
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        std::string text;
        ASSERT_TRUE(MilkshapeReader::readFile(path, text));
        MilkshapeReader::Model model;
        MilkshapeReader reader;
        ASSERT_TRUE(reader.parse(text, model)) << reader.error();
        std::size_t slash = path.rfind('/');
        MilkshapeNode node("real model");
        testing::internal::CaptureStdout();
        EXPECT_TRUE(node.load(path.substr(0, slash), path.substr(slash + 1)));
        Texture::checkDevILErrors();
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(node.getMeshes().size(), model.meshes.size());
        EXPECT_EQ(node.getPolygonCount(), model.triangleCount());
        for (const MilkshapeReader::Material& material : model.materials) {
            if (material.colorMap.empty()) continue;
            std::string picture = material.colorMap.substr(material.colorMap.find_last_of("\\/") + 1);
            EXPECT_NE(out.find("/" + picture + "): Error while loading image!"), std::string::npos) << out;
        }
        node.finalize();
        EXPECT_TRUE(node.enableDisplayList());
    }
}

TEST_F(MilkshapeNodeTest, AssetKitModelsLoadCompletely) {
    std::string models = AssetFiles::gameDataDir("models");
    if (models.empty()) GTEST_SKIP() << "the game data has not been generated";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(models)) {
        if (entry.path().extension() != ".txt") continue;
        ++files;
        SCOPED_TRACE(entry.path().string());
        MilkshapeNode node("kit model");
        testing::internal::CaptureStdout();
        bool ok = node.load(models, entry.path().filename().string());
        Texture::checkDevILErrors();
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(ok);
        EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
        EXPECT_EQ(out.find("Error"), std::string::npos) << out;
        EXPECT_FALSE(node.getMeshes().empty());
        EXPECT_GT(node.getPolygonCount(), 0);
        node.finalize();
        EXPECT_GT(node.getBoundingBox()->size[0], 0);
        EXPECT_TRUE(node.enableDisplayList());
        if (entry.path().filename() == "sign.txt") {
            testing::internal::CaptureStdout();
            EXPECT_TRUE(node.getMesh("face"));
            EXPECT_TRUE(node.getMesh("backside"));
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        }
    }
    EXPECT_GT(files, 5);
}

TEST_F(MilkshapeNodeTest, EveryDrawPathGivesTheSamePicture) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    ScenegraphNode::drawMode = 0;
    Frame immediate = render(*node);
    // The picture really shows the texture and the per-corner normals.
    EXPECT_GT(litPixels(immediate), 10000);
    EXPECT_NE(differingPixels({immediate.begin(), immediate.begin() + 4}, {0, 0, 0, 255}), 1);
    GlTestWindow::Pixel texLow = at(immediate, 20, 20), texHigh = at(immediate, 108, 108);
    EXPECT_TRUE(texLow.r != texHigh.r || texLow.g != texHigh.g || texLow.b != texHigh.b);
    GlTestWindow::Pixel litFull = at(immediate, 142, 20), litSlanted = at(immediate, 236, 20);
    EXPECT_GT(litFull.r, litSlanted.r);

    ScenegraphNode::drawMode = 1;
    EXPECT_EQ(differingPixels(render(*node), immediate), 0) << "vertex arrays";
    ScenegraphNode::drawMode = 2;
    EXPECT_EQ(differingPixels(render(*node), immediate), 0) << "vertex buffer objects";
    for (int mode : {0, 1, 2}) {
        ScenegraphNode::drawMode = mode;
        ASSERT_TRUE(node->enableDisplayList());
        EXPECT_NE(node->getOpaqueList(), 0u);
        EXPECT_EQ(differingPixels(render(*node), immediate), 0) << "grouped lists compiled in draw mode " << mode;
    }
    node->useMeshDisplayListGrouping(false);
    EXPECT_EQ(node->getOpaqueList(), 0u);
    EXPECT_TRUE(node->getMeshes()[0]->isUsingDisplayList());
    EXPECT_EQ(differingPixels(render(*node), immediate), 0) << "one list per mesh";
    node->useMeshDisplayListGrouping(true);
    EXPECT_NE(node->getOpaqueList(), 0u);
    EXPECT_FALSE(node->getMeshes()[0]->isUsingDisplayList());
}

TEST_F(MilkshapeNodeTest, HiddenMeshDisappearsFromGroupedListsOnlyAfterRefresh) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    ASSERT_TRUE(node->enableDisplayList());
    Frame before = render(*node);
    EXPECT_GT(at(before, 220, 200).r, 100) << "the sign is drawn";
    node->getMesh("sign")->visible = false;
    EXPECT_EQ(differingPixels(render(*node), before), 0) << "the lists still hold the sign";
    ASSERT_TRUE(node->refreshDisplayList());
    Frame after = render(*node);
    EXPECT_EQ(at(after, 220, 200).r, 0);
    EXPECT_GT(differingPixels(after, before), 1000);
    ScenegraphNode::displayListsEnabled = false;
    EXPECT_EQ(differingPixels(render(*node), after), 0) << "drawn mesh by mesh, the hidden one stays away";
}

TEST_F(MilkshapeNodeTest, TransparentMeshesAreDrawnInTheTransparentPassOnly) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    node->getMesh("sign")->getMaterial()->setTransparency(0.5f);
    ScenegraphNode::useAlphaBlending = true;
    Frame blended = render(*node);
    GlTestWindow::Pixel sign = at(blended, 220, 200);
    EXPECT_GT(sign.r, 40);
    EXPECT_LT(sign.r, 200) << "blended over the black background";
    ASSERT_TRUE(node->enableDisplayList());
    EXPECT_EQ(differingPixels(render(*node), blended), 0) << "grouped opaque and transparent lists";
}

TEST_F(MilkshapeNodeTest, DebugModeDrawsOnlyBoundingBoxes) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    ASSERT_TRUE(node->enableDisplayList());
    ScenegraphNode::drawMode = 3;
    EXPECT_EQ(litPixels(render(*node)), 0);
    node->enableBoundingBoxPainting(true);
    Frame boxes = render(*node);
    EXPECT_GT(litPixels(boxes), 100);
    EXPECT_LT(litPixels(boxes), 5000) << "only the wire box";
}

TEST_F(MilkshapeNodeTest, VertexBuffersFollowTheDrawMode) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    std::shared_ptr<MeshNode> panel = node->getMesh("panel");
    ScenegraphNode::drawMode = 2;
    render(*node);
    EXPECT_TRUE(panel->isVboReady());
    ScenegraphNode::drawMode = 1;
    render(*node);
    EXPECT_FALSE(panel->isVboReady());
    ScenegraphNode::drawMode = 2;
    render(*node);
    EXPECT_TRUE(panel->isVboReady());
    ScenegraphNode::drawMode = 0;
    render(*node);
    EXPECT_FALSE(panel->isVboReady());
}

TEST_F(MilkshapeNodeTest, SetTextureLoadsAPictureOrSwitchesTheTextureOff) {
    std::shared_ptr<MilkshapeNode> node = loadModel();
    std::shared_ptr<MeshNode> sign = node->getMesh("sign");
    AssetFiles::writePicture(dir + "/town.png", 4, 4, 0, 0, 255);
    sign->setTexture((dir + "/town.png").c_str());
    ASSERT_TRUE(sign->getTexture());
    EXPECT_TRUE(sign->getTexture()->enabled);
    EXPECT_NE(sign->getTexture(), node->getMesh("shaded")->getTexture()) << "the shared texture stays with the others";
    EXPECT_EQ(Texture2D::registeredTextures().back(), sign->getTexture());
    // The blue picture modulates the red material: no red is left.
    EXPECT_LT(at(render(*node), 220, 200).r, 10);
    sign->setTexture(nullptr);
    EXPECT_FALSE(sign->getTexture()->enabled);
    EXPECT_GT(at(render(*node), 220, 200).r, 200) << "red like its material again";
}
