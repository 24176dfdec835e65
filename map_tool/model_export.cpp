// The scene to an aiScene, grouped by texture in one counting pass, and out through Assimp::Exporter.
#include "map_tool/model_export.h"

#include <assimp/material.h>
#include <strings.h>

#include <algorithm>
#include <assimp/Exporter.hpp>
#include <cctype>
#include <cstdint>

namespace {

// Material names without spaces: an OBJ material library reads one word after "newmtl".
std::string MaterialName(std::size_t slot, const std::string& path) {
    std::string name = "slot" + std::to_string(slot);
    if (path.empty()) return name + "_white";
    name += '_';
    for (const char c : std::filesystem::path(path).stem().string()) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

aiMaterial* Material(std::size_t slot, const std::string& path) {
    auto* material = new aiMaterial;
    const aiString name(MaterialName(slot, path));
    material->AddProperty(&name, AI_MATKEY_NAME);
    const aiColor3D white(1, 1, 1);
    material->AddProperty(&white, 1, AI_MATKEY_COLOR_DIFFUSE);
    if (!path.empty()) {
        const aiString file(path);
        material->AddProperty(&file, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    return material;
}

// The given triangles' mesh, with their vertices in the order of first use. meshOf and localOf
// are kept across meshes so that each mesh costs its own triangles only.
aiMesh* Mesh(const SceneData& scene, const std::vector<std::int32_t>& triangles, unsigned material,
             const aiString& name, std::vector<unsigned>& meshOf, std::vector<unsigned>& localOf) {
    auto* mesh = new aiMesh;
    mesh->mName = name;
    mesh->mMaterialIndex = material;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    std::vector<std::int32_t> used;
    for (const std::int32_t t : triangles) {
        for (int k = 0; k < 3; ++k) {
            const auto v = static_cast<std::size_t>(scene.indices[3 * static_cast<std::size_t>(t) + k]);
            if (meshOf[v] == material) continue;
            meshOf[v] = material;
            localOf[v] = static_cast<unsigned>(used.size());
            used.push_back(static_cast<std::int32_t>(v));
        }
    }
    mesh->mNumVertices = static_cast<unsigned>(used.size());
    mesh->mVertices = new aiVector3D[used.size()];
    mesh->mNormals = new aiVector3D[used.size()];
    mesh->mTextureCoords[0] = new aiVector3D[used.size()];
    mesh->mNumUVComponents[0] = 2;
    for (std::size_t k = 0; k < used.size(); ++k) {
        const Vertex& v = scene.vertices[static_cast<std::size_t>(used[k])];
        mesh->mVertices[k] = aiVector3D(v.x, v.y, -v.z);
        mesh->mNormals[k] = aiVector3D(v.nx, v.ny, -v.nz);
        mesh->mTextureCoords[0][k] = aiVector3D(v.u, 1.0f - v.v, 0.0f);
    }
    mesh->mNumFaces = static_cast<unsigned>(triangles.size());
    mesh->mFaces = new aiFace[triangles.size()];
    for (std::size_t f = 0; f < triangles.size(); ++f) {
        const std::int32_t* corner = &scene.indices[3 * static_cast<std::size_t>(triangles[f])];
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = 3;
        face.mIndices = new unsigned[3]{localOf[static_cast<std::size_t>(corner[0])],
                                        localOf[static_cast<std::size_t>(corner[2])],
                                        localOf[static_cast<std::size_t>(corner[1])]};
    }
    return mesh;
}

}  // namespace

std::unique_ptr<aiScene> MapAsModel(const SceneData& scene, const std::vector<std::string>& texturePaths) {
    auto model = std::make_unique<aiScene>();
    const std::size_t slots = texturePaths.size();
    model->mNumMaterials = static_cast<unsigned>(slots);
    model->mMaterials = new aiMaterial*[slots];
    for (std::size_t slot = 0; slot < slots; ++slot)
        model->mMaterials[slot] = Material(slot, texturePaths[slot]);

    std::vector<std::vector<std::int32_t>> bySlot(slots);
    for (std::int32_t t = 0; t < scene.triangleCount; ++t) {
        bySlot[static_cast<std::size_t>(scene.faces[static_cast<std::size_t>(t)].textureIndex)].push_back(t);
    }
    const auto meshCount = static_cast<unsigned>(std::count_if(
        bySlot.begin(), bySlot.end(), [](const auto& triangles) { return !triangles.empty(); }));
    model->mNumMeshes = meshCount;
    model->mMeshes = new aiMesh*[meshCount];
    // A node of its own for each mesh, so that its name survives formats that merge a node's meshes.
    model->mRootNode = new aiNode("map");
    model->mRootNode->mNumChildren = meshCount;
    model->mRootNode->mChildren = new aiNode*[meshCount];
    std::vector<unsigned> meshOf(static_cast<std::size_t>(scene.vertexCount), UINT32_MAX);
    std::vector<unsigned> localOf(static_cast<std::size_t>(scene.vertexCount));
    unsigned next = 0;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        if (bySlot[slot].empty()) continue;
        const aiString name(MaterialName(slot, texturePaths[slot]));
        model->mMeshes[next] = Mesh(scene, bySlot[slot], static_cast<unsigned>(slot), name, meshOf, localOf);
        auto* node = new aiNode(name.C_Str());
        node->mParent = model->mRootNode;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{next};
        model->mRootNode->mChildren[next] = node;
        ++next;
    }
    return model;
}

const char* ModelFormat(const std::filesystem::path& output) {
    const std::string extension = output.extension().string();
    if (::strcasecmp(extension.c_str(), ".obj") == 0) return "obj";
    if (::strcasecmp(extension.c_str(), ".gltf") == 0) return "gltf2";
    if (::strcasecmp(extension.c_str(), ".glb") == 0) return "glb2";
    return nullptr;
}

std::string WriteModel(const aiScene& model, const char* format, const std::filesystem::path& output) {
    Assimp::Exporter exporter;
    if (exporter.Export(&model, format, output.string()) == aiReturn_SUCCESS) return {};
    return exporter.GetErrorString();
}
