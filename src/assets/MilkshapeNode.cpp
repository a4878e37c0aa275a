#include "assets/MilkshapeNode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "gl/ExtensionManager.h"

namespace {

// Material::name is a C string that must outlive the material. File materials
// take their names from this pool, which keeps every name for the life of the
// program (a model has a handful).
const char* keepName(const std::string& name) {
    static std::set<std::string> names;
    return names.insert(name).first->c_str();
}

FloatArray colour(const float* rgba) { return Utilities<float>::createArray(rgba[0], rgba[1], rgba[2], rgba[3]); }

// Picture names written on another system use backslashes.
std::string withForwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Parsed models by path and contents: instances of one file share one parse,
// which fills in their mesh arrays whenever a draw path or a reader needs them.
using ModelKey = std::tuple<std::string, std::size_t, std::size_t>;  // path, text size, text hash
std::map<ModelKey, std::weak_ptr<const MilkshapeReader::Model>>& parsedModels() {
    static std::map<ModelKey, std::weak_ptr<const MilkshapeReader::Model>> models;
    return models;
}

// The mesh's corner arrays are the parse's own (9 floats per triangle for
// positions and normals, 6 for texture coordinates, corner after corner, as
// the mesh draws them): every node that loaded the file, like the four tyres
// of every car, draws the same floats, kept alive by the parse. Nothing
// writes into a model file's corner arrays.
FloatArray sharedArray(const std::shared_ptr<const MilkshapeReader::Model>& model, const std::vector<float>& values) {
    return FloatArray(model, const_cast<float*>(values.data()));
}

void fillArrays(MeshNode& mesh, const std::shared_ptr<const MilkshapeReader::Model>& model, std::size_t index) {
    const MilkshapeReader::Mesh& data = model->meshes[index];
    if (data.triangleCount <= 0) {
        mesh.allocate(data.vertexCount, data.normalCount, data.triangleCount);
        return;
    }
    mesh.useCorners(data.vertexCount, data.normalCount, data.triangleCount, sharedArray(model, data.triangleVertices),
                    sharedArray(model, data.triangleNormals), sharedArray(model, data.triangleTexCoords));
}

std::shared_ptr<Texture2D> switchedOffTexture() {
    std::shared_ptr<Texture2D> texture = std::make_shared<Texture2D>(false);
    texture->enabled = false;
    return texture;
}

}  // namespace

MilkshapeNode::MilkshapeNode(const char* desc) : GeometryNode(desc) { typeName = "Milkshape Node"; }

MilkshapeNode::~MilkshapeNode() {
    if (ExtensionManager::contextAvailable()) deleteGroupLists();
}

bool MilkshapeNode::load(const std::string& dir, const std::string& file) {
    subdir = dir;
    filename = file;
    polygonCount = 0;
    std::string path = subdir + "/" + filename;
    std::string text;
    if (!MilkshapeReader::readFile(path, text)) {
        std::printf("\n MilkshapeNode::load(%s, %s): ERROR! unable to open file", subdir.c_str(), filename.c_str());
        return false;
    }
    std::printf("\n MilkshapeNode.load(%s/%s) - %s: loading Milkshape ASCII file", subdir.c_str(), filename.c_str(),
                nodeDescription.c_str());

    disableDisplayList();  // lists of an earlier load would keep drawing the old meshes
    meshes.clear();
    std::string error;
    std::shared_ptr<const MilkshapeReader::Model> model = parse(path, text, error);
    if (!model) {
        std::printf("\n MilkshapeNode.load(%s/%s): ERROR! %s; the model stays empty", subdir.c_str(),
                    filename.c_str(), error.c_str());
        return false;
    }
    std::printf("\n   Mesh count: %d", static_cast<int>(model->meshes.size()));

    std::vector<std::shared_ptr<MeshNode>> loaded;
    for (std::size_t i = 0; i < model->meshes.size(); ++i) {
        std::shared_ptr<MeshNode> mesh = std::make_shared<MeshNode>("<not set>");
        mesh->alwaysVisible = true;  // the model's own query decides for all its meshes
        extractMesh(*mesh, model, i);
        mesh->setGeometrySource([model, i](MeshNode& m) { fillArrays(m, model, i); });
        polygonCount += mesh->getTriangleCount();
        loaded.push_back(mesh);
    }
    std::printf("\n   Triangle count: %d", polygonCount);

    std::vector<std::shared_ptr<Material>> materials;
    std::vector<std::shared_ptr<Texture2D>> textures;
    buildMaterials(*model, materials, textures);
    Texture::unbindTexture();

    for (const std::shared_ptr<MeshNode>& mesh : loaded) {
        int index = mesh->getMaterialIndex();  // the reader checked it against the material count
        if (index < 0) {
            mesh->setMaterial(std::make_shared<Material>());
            mesh->setTexture(switchedOffTexture());
        } else {
            mesh->setMaterial(materials[index]);
            mesh->setTexture(textures[index]);
        }
        meshes.push_back(mesh);
    }
    std::printf("\n   Material count: %d", static_cast<int>(materials.size()));
    return true;
}

void MilkshapeNode::extractMesh(MeshNode& mesh, const std::shared_ptr<const MilkshapeReader::Model>& model,
                                std::size_t index) {
    const MilkshapeReader::Mesh& data = model->meshes[index];
    mesh.setNodeDescription(data.name.c_str());
    mesh.setMaterialIndex(data.materialIndex);
    fillArrays(mesh, model, index);
}

std::shared_ptr<const MilkshapeReader::Model> MilkshapeNode::parse(const std::string& path, const std::string& text,
                                                                  std::string& error) {
    const ModelKey key{path, text.size(), std::hash<std::string>()(text)};
    auto& models = parsedModels();
    auto found = models.find(key);
    if (found != models.end()) {
        if (auto model = found->second.lock()) return model;
        models.erase(found);
    }
    MilkshapeReader reader;
    auto model = std::make_shared<MilkshapeReader::Model>();
    if (!reader.parse(text, *model)) {
        error = reader.error();
        return nullptr;
    }
    models[key] = model;
    return model;
}

// One Material and one Texture2D per material of the file, in file order, so
// that the list position is the material index.
void MilkshapeNode::buildMaterials(const MilkshapeReader::Model& model,
                                   std::vector<std::shared_ptr<Material>>& materials,
                                   std::vector<std::shared_ptr<Texture2D>>& textures) const {
    for (const MilkshapeReader::Material& data : model.materials) {
        std::shared_ptr<Material> material = std::make_shared<Material>();
        material->name = keepName(data.name);
        // Arrays of its own: a file material never writes into the class-wide defaults.
        material->ambient = colour(data.ambient);
        material->diffuse = colour(data.diffuse);
        material->specular = colour(data.specular);
        material->emission = colour(data.emissive);
        material->shininess = Utilities<float>::createArray(data.shininess);
        material->setTransparency(data.transparency);
        materials.push_back(material);

        if (data.colorMap.empty()) {
            textures.push_back(switchedOffTexture());
            continue;
        }
        std::string path = subdir + "/" + withForwardSlashes(data.colorMap);
        std::printf("\n   loading external texture from: <%s>", path.c_str());
        textures.push_back(Texture2D::createFromFile(path, GL_REPEAT));
    }
}

std::shared_ptr<MeshNode> MilkshapeNode::getMesh(const char* name) {
    for (const std::shared_ptr<MeshNode>& mesh : meshes)
        if (std::strcmp(mesh->getNodeDescription(), name) == 0) return mesh;
    std::printf("\n MilkshapeNode::getMesh(%s): not found!", name);
    return nullptr;
}

void MilkshapeNode::useMeshDisplayListGrouping(bool enable) {
    meshDisplayListGrouping = enable;
    if (useDisplayList) refreshDisplayList();
}

FloatArray MilkshapeNode::getFlatVertexArray() const {
    FloatArray flat(new float[9 * static_cast<std::size_t>(polygonCount)]);
    float* out = flat.get();
    for (const std::shared_ptr<MeshNode>& mesh : meshes) {
        mesh->withArrays([&] {
            const float* v = mesh->getCornerPositions().get();
            for (int t = 0; t < mesh->getTriangleCount(); ++t)
                for (int m = 0; m < 3; ++m)
                    out = std::copy_n(v + 3 * static_cast<std::size_t>(mesh->cornerOf(t, m)), 3, out);
        });
    }
    return flat;
}

void MilkshapeNode::finalize() {
    bool first = true;
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (const std::shared_ptr<MeshNode>& mesh : meshes) {
        mesh->finalize();
        const BoundingBox& b = *mesh->getBoundingBox();
        const float meshLo[3] = {b.minX, b.minY, b.minZ}, meshHi[3] = {b.maxX, b.maxY, b.maxZ};
        for (int axis = 0; axis < 3; ++axis) {
            lo[axis] = first ? meshLo[axis] : std::min(lo[axis], meshLo[axis]);
            hi[axis] = first ? meshHi[axis] : std::max(hi[axis], meshHi[axis]);
        }
        first = false;
    }
    boundingBox->setExtent(lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
    ScenegraphNode::finalize();
}

// With grouping, all meshes are compiled into the two pass lists of the node,
// with their own pass tests: a mesh's `visible` flag and its material's
// transparency are frozen into the lists until refreshDisplayList. The node's
// useDisplayList says whether its lists (grouped or per mesh) are on, so that
// switching the grouping rebuilds them either way.
bool MilkshapeNode::enableDisplayList() {
    if (!meshDisplayListGrouping) {
        deleteGroupLists();
        bool ok = true;
        for (const std::shared_ptr<MeshNode>& mesh : meshes) {
            ok = mesh->enableDisplayList();
            if (!ok) break;
        }
        useDisplayList = ok;
        return ok;
    }
    disableDisplayList();
    for (const std::shared_ptr<MeshNode>& mesh : meshes) mesh->disableDisplayList();
    opaqueList = glGenLists(1);
    transparentList = glGenLists(1);
    if (opaqueList == 0 || transparentList == 0) {
        std::printf(
            "\n MilkshapeNode.enableDisplayList(): WARNING!\n   unable to create display list for %s - %s.\n   "
            "painting asset in immediate mode.",
            typeName, nodeDescription.c_str());
        deleteGroupLists();
        useDisplayList = false;
        return false;
    }
    const RenderStates saved = renderState;
    compileGroupList(opaqueList, OPAQUE_PASS);
    compileGroupList(transparentList, TRANSPARENT_PASS);
    renderState = saved;
    // The lists hold the geometry now: the meshes' arrays come back from the parse when needed.
    for (const std::shared_ptr<MeshNode>& mesh : meshes) mesh->releaseArrays();
    useDisplayList = true;
    return true;
}

void MilkshapeNode::compileGroupList(GLuint list, RenderStates pass) {
    renderState = pass;
    glNewList(list, GL_COMPILE);
    for (const std::shared_ptr<MeshNode>& mesh : meshes) mesh->performOperations();
    glEndList();
}

void MilkshapeNode::disableDisplayList() {
    if (meshDisplayListGrouping)
        deleteGroupLists();
    else
        for (const std::shared_ptr<MeshNode>& mesh : meshes) mesh->disableDisplayList();
    useDisplayList = false;
}

void MilkshapeNode::deleteGroupLists() {
    if (opaqueList != 0) glDeleteLists(opaqueList, 1);
    if (transparentList != 0) glDeleteLists(transparentList, 1);
    opaqueList = transparentList = 0;
}

void MilkshapeNode::enableBoundingBoxPainting(bool active) {
    for (const std::shared_ptr<MeshNode>& mesh : meshes) mesh->enableBoundingBoxPainting(active);
    ScenegraphNode::enableBoundingBoxPainting(active);
}

void MilkshapeNode::print() {
    GeometryNode::print();
    std::printf("\n   filename: %s", filename.c_str());
    std::printf("\n   subdir:   %s", subdir.c_str());
    std::printf("\n   nr of loaded meshes: %i", static_cast<int>(meshes.size()));
    std::printf("\n   nr of polygons: %i", polygonCount);
}

bool MilkshapeNode::groupListsUsable() const {
    return displayListsEnabled && useDisplayList && meshDisplayListGrouping && drawMode != 3 && opaqueList != 0;
}

void MilkshapeNode::drawMeshes(GLuint groupList) {
    if (groupListsUsable())
        glCallList(groupList);
    else
        for (const std::shared_ptr<MeshNode>& mesh : meshes) mesh->performOperations();
}

void MilkshapeNode::performOperations() {
    glPushMatrix();
    orientObject();
    const RenderStates state = getRenderState();
    if (state == VISIBILITY_TEST) {
        if (!alwaysVisible) testVisibility();
    } else if (state == TRANSPARENT_PASS) {
        if (boundingBox->visible) drawSampled([this] { drawMeshes(transparentList); });
    } else {
        loadCurrentMatrix();
        if (takeOcclusionResult() && inItsTurn()) {
            if (eventSpherePainting) paintEventSphere();
            if (boundingBoxPainting) paintBoundingBox();
            drawSampled([this, state] {
                drawMeshes(opaqueList);
                if (state == SINGLE_PASS && groupListsUsable()) glCallList(transparentList);
            });
        }
        // A model may have no opaque mesh to count: its box is tested instead.
        queryBoxLater();
    }
    processChildren();
    glPopMatrix();
}
