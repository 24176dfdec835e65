#include "map_tool/model_geometry.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::int32_t kNotYet = -1;
constexpr std::int32_t kRefused = -2;

bool IsTwoSided(const aiScene& scene, unsigned materialIndex) {
    int twoSided = 0;
    return materialIndex < scene.mNumMaterials &&
           scene.mMaterials[materialIndex]->Get(AI_MATKEY_TWOSIDED, twoSided) == aiReturn_SUCCESS &&
           twoSided != 0;
}

class Collector {
  public:
    Collector(const aiScene& scene, ModelGeometry& out) : scene_(scene), out_(out) {}

    void AddMesh(const aiMesh& mesh, const aiMatrix4x4& transform) {
        mesh_ = &mesh;
        transform_ = &transform;
        // The back faces get vertices of their own: sharing them with the front would average
        // each vertex's normal to nothing.
        front_.assign(mesh.mNumVertices, kNotYet);
        back_.clear();
        const bool twoSided = IsTwoSided(scene_, mesh.mMaterialIndex);
        if (twoSided) back_.assign(mesh.mNumVertices, kNotYet);
        const auto material = static_cast<std::int32_t>(mesh.mMaterialIndex);
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices == 1) ++out_.points;
            if (face.mNumIndices == 2) ++out_.lines;
            if (face.mNumIndices != 3) continue;
            const unsigned* i = face.mIndices;
            const MapTriangle front{Index(front_, i[0]), Index(front_, i[1]), Index(front_, i[2]), material};
            if (front.a < 0 || front.b < 0 || front.c < 0) {
                out_.nonFiniteTriangles += twoSided ? 2 : 1;
                continue;
            }
            out_.triangles.push_back(front);
            if (twoSided) {
                out_.triangles.push_back(
                    {Index(back_, i[0]), Index(back_, i[2]), Index(back_, i[1]), material});
            }
        }
    }

  private:
    // The map's index of the mesh's vertex, added on its first use; kRefused for one that is not
    // a finite point.
    std::int32_t Index(std::vector<std::int32_t>& indices, unsigned vertex) {
        std::int32_t& index = indices[vertex];
        if (index != kNotYet) return index;
        const aiVector3D p = *transform_ * mesh_->mVertices[vertex];
        const aiVector3D uv = mesh_->HasTextureCoords(0) ? mesh_->mTextureCoords[0][vertex] : aiVector3D();
        const MapVertex made{p.x, p.y, p.z, uv.x, uv.y};
        if (!(std::isfinite(made.x) && std::isfinite(made.y) && std::isfinite(made.z) &&
              std::isfinite(made.u) && std::isfinite(made.v))) {
            ++out_.nonFiniteVertices;
            return index = kRefused;
        }
        if (out_.vertices.size() == INT32_MAX)
            throw std::length_error("the model has more vertices than a map holds");
        index = static_cast<std::int32_t>(out_.vertices.size());
        out_.vertices.push_back(made);
        return index;
    }

    const aiScene& scene_;
    ModelGeometry& out_;
    const aiMesh* mesh_ = nullptr;
    const aiMatrix4x4* transform_ = nullptr;
    std::vector<std::int32_t> front_;
    std::vector<std::int32_t> back_;
};

}  // namespace

ModelGeometry CollectGeometry(const aiScene& scene) {
    ModelGeometry geometry;
    Collector collector(scene, geometry);
    // A list, not recursion: a model's node tree may be deeper than the stack.
    std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending;
    if (scene.mRootNode != nullptr) pending.emplace_back(scene.mRootNode, scene.mRootNode->mTransformation);
    while (!pending.empty()) {
        const auto [node, transform] = pending.back();
        pending.pop_back();
        for (unsigned m = 0; m < node->mNumMeshes; ++m) {
            if (node->mMeshes[m] < scene.mNumMeshes)
                collector.AddMesh(*scene.mMeshes[node->mMeshes[m]], transform);
        }
        // Children pushed last to first, so that they are visited in the model's order.
        for (unsigned c = node->mNumChildren; c-- > 0;) {
            pending.emplace_back(node->mChildren[c], transform * node->mChildren[c]->mTransformation);
        }
    }
    return geometry;
}
