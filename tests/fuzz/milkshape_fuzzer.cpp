// libFuzzer target for the MilkShape ASCII reader: any input must either be
// read into a consistent model or be rejected with a message and an empty
// model, without reading past the end of the input.
#include <cstddef>
#include <cstdint>

#include "assets/MilkshapeReader.h"

namespace {

bool consistent(const MilkshapeReader::Model& model) {
    int materialCount = static_cast<int>(model.materials.size());
    for (const MilkshapeReader::Mesh& mesh : model.meshes) {
        std::size_t t = static_cast<std::size_t>(mesh.triangleCount);
        if (mesh.triangleVertices.size() != 9 * t || mesh.triangleNormals.size() != 9 * t ||
            mesh.triangleTexCoords.size() != 6 * t)
            return false;
        if (mesh.materialIndex < -1 || mesh.materialIndex >= materialCount) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MilkshapeReader reader;
    MilkshapeReader::Model model;
    bool accepted = reader.parse(reinterpret_cast<const char*>(data), size, model);
    if (accepted && !consistent(model)) __builtin_trap();
    if (!accepted && (!model.meshes.empty() || !model.materials.empty() || reader.error().empty())) __builtin_trap();
    return 0;
}
