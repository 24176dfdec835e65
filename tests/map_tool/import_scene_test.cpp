// From the library's scene to the map's records: geometry, texture slots and their images, the
// grouping by texture and the placement in front of the start. Scenes are built here in code.
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "map_tool/map_placement.h"
#include "map_tool/model_geometry.h"
#include "map_tool/texture_slots.h"
#include "tests/scene/map_file_fixture.h"

namespace fs = std::filesystem;

namespace {

// A mesh of the faces given, with the first texture coordinates the vertices' x and y.
aiMesh* Mesh(const std::vector<aiVector3D>& vertices, const std::vector<std::vector<unsigned>>& faces,
             unsigned material = 0) {
    auto* mesh = new aiMesh;
    mesh->mNumVertices = static_cast<unsigned>(vertices.size());
    mesh->mVertices = new aiVector3D[vertices.size()];
    mesh->mTextureCoords[0] = new aiVector3D[vertices.size()];
    std::copy(vertices.begin(), vertices.end(), mesh->mVertices);
    for (std::size_t i = 0; i < vertices.size(); ++i)
        mesh->mTextureCoords[0][i] = {vertices[i].x, vertices[i].y, 0};
    mesh->mNumFaces = static_cast<unsigned>(faces.size());
    mesh->mFaces = new aiFace[faces.size()];
    for (std::size_t f = 0; f < faces.size(); ++f) {
        mesh->mFaces[f].mNumIndices = static_cast<unsigned>(faces[f].size());
        mesh->mFaces[f].mIndices = new unsigned[faces[f].size()];
        std::copy(faces[f].begin(), faces[f].end(), mesh->mFaces[f].mIndices);
    }
    mesh->mMaterialIndex = material;
    return mesh;
}

aiMaterial* Material(const char* name, aiColor4D colour, int twoSided = 0, const char* texture = nullptr) {
    auto* material = new aiMaterial;
    const aiString materialName(name);
    material->AddProperty(&materialName, AI_MATKEY_NAME);
    material->AddProperty(&colour, 1, AI_MATKEY_COLOR_DIFFUSE);
    material->AddProperty(&twoSided, 1, AI_MATKEY_TWOSIDED);
    if (texture != nullptr) {
        const aiString path(texture);
        material->AddProperty(&path, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    return material;
}

// The meshes all hang from the root node; the scene owns them and the materials.
std::unique_ptr<aiScene> SceneOf(std::vector<aiMesh*> meshes, std::vector<aiMaterial*> materials) {
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode("root");
    scene->mNumMeshes = static_cast<unsigned>(meshes.size());
    scene->mMeshes = new aiMesh*[meshes.size()];
    std::copy(meshes.begin(), meshes.end(), scene->mMeshes);
    scene->mRootNode->mNumMeshes = scene->mNumMeshes;
    scene->mRootNode->mMeshes = new unsigned[meshes.size()];
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) scene->mRootNode->mMeshes[m] = m;
    scene->mNumMaterials = static_cast<unsigned>(materials.size());
    scene->mMaterials = new aiMaterial*[materials.size()];
    std::copy(materials.begin(), materials.end(), scene->mMaterials);
    return scene;
}

const aiColor4D kRed(1, 0, 0, 1);
const aiColor4D kBlue(0, 0, 1, 1);
const std::vector<aiVector3D> kOneTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ImportGeometry, TwoSidedMaterialsGetEachTriangleBothWaysRoundOnVerticesOfTheirOwn) {
    const auto scene = SceneOf({Mesh(kOneTriangle, {{0, 1, 2}}, 1), Mesh(kOneTriangle, {{0, 1, 2}}, 0)},
                               {Material("one side", kRed), Material("both sides", kRed, 1)});

    const ModelGeometry geometry = CollectGeometry(*scene);

    ASSERT_EQ(geometry.triangles.size(), 3u);
    // The back copy follows its front, with vertices of its own so that their normals do not cancel.
    EXPECT_EQ(std::vector<std::int32_t>(
                  {geometry.triangles[0].a, geometry.triangles[0].b, geometry.triangles[0].c}),
              std::vector<std::int32_t>({0, 1, 2}));
    const MapTriangle& back = geometry.triangles[1];
    EXPECT_GE(std::min({back.a, back.b, back.c}), 3);
    EXPECT_EQ(geometry.vertices[back.b].y, 1.0f);
    EXPECT_EQ(geometry.vertices[back.c].x, 1.0f);
    EXPECT_EQ(geometry.triangles[1].texture, 1);
    EXPECT_EQ(geometry.triangles[2].texture, 0);
    EXPECT_EQ(geometry.vertices.size(), 9u);
}

TEST(ImportGeometry, EveryNodeDrawsItsMeshesAndPointsLinesAndNonFiniteVerticesAreLeftOut) {
    const float inf = INFINITY;
    const auto scene = SceneOf({Mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {inf, 0, 0}, {5, 5, 5}},
                                     {{0, 1, 2}, {4}, {0, 4}, {0, 3, 1}})},
                               {Material("m", kRed)});
    // The mesh drawn again by a child node, moved 10 along x.
    auto* child = new aiNode("moved");
    child->mTransformation = aiMatrix4x4(aiVector3D(1, 1, 1), aiQuaternion(), aiVector3D(10, 0, 0));
    child->mNumMeshes = 1;
    child->mMeshes = new unsigned[1]{0};
    scene->mRootNode->addChildren(1, &child);

    const ModelGeometry geometry = CollectGeometry(*scene);

    ASSERT_EQ(geometry.triangles.size(), 2u);
    EXPECT_EQ(geometry.vertices[geometry.triangles[0].b].x, 1.0f);
    EXPECT_EQ(geometry.vertices[geometry.triangles[1].b].x, 11.0f);
    // Only the vertices of the triangles kept: not the point's, the line's or the infinite one.
    EXPECT_EQ(geometry.vertices.size(), 6u);
    EXPECT_EQ(geometry.points, 2u);
    EXPECT_EQ(geometry.lines, 2u);
    EXPECT_EQ(geometry.nonFiniteVertices, 2u);
    EXPECT_EQ(geometry.nonFiniteTriangles, 2u);
}

TEST(ImportGrouping, TrianglesOfEachTextureComeTogetherInTheirOwnOrder) {
    std::vector<MapTriangle> triangles = {
        {0, 0, 0, 2}, {1, 1, 1, 0}, {2, 2, 2, 2}, {3, 3, 3, 1}, {4, 4, 4, 0}};

    EXPECT_EQ(GroupByTexture(triangles, 4), 3u);  // slot 3 is used by nothing, and costs no draw call

    std::vector<std::int32_t> order;
    for (const MapTriangle& t : triangles) order.push_back(t.a);
    EXPECT_EQ(order, std::vector<std::int32_t>({1, 4, 3, 0, 2}));
}

TEST(ImportPlacement, TheDefaultSizeAndStartShowTheWholeModelWithinTheViewersReach) {
    std::vector<MapVertex> box;
    for (int corner = 0; corner < 8; ++corner) {
        box.push_back({corner & 1 ? 3.0f : -1.0f, corner & 2 ? 2.0f : 0.0f, corner & 4 ? 6.0f : 5.0f, 0, 0});
    }
    Placement placement;
    std::string why;

    ASSERT_TRUE(PlaceModel(box, std::nullopt, std::nullopt, placement, why));

    EXPECT_DOUBLE_EQ(placement.scale, 5.0);  // the largest extent, 4, made 20
    EXPECT_EQ(box[7].x, 15.0f);
    const std::array<float, 3>& start = placement.start;
    const double slope = std::tan(M_PI / 8);
    for (const MapVertex& v : box) {
        const double ahead = v.z - start[2];
        EXPECT_GT(ahead, 0.1);
        EXPECT_LT(ahead, 100.0);
        EXPECT_LE(std::abs(v.x - start[0]), ahead * slope);
        EXPECT_LE(std::abs(v.y - start[1]), ahead * slope);
    }

    ASSERT_TRUE(PlaceModel(box, 1.0, std::array<float, 3>{1, 2, 3}, placement, why));
    EXPECT_EQ(box[7].x, 15.0f);
    EXPECT_EQ(placement.start, (std::array<float, 3>{1, 2, 3}));

    EXPECT_FALSE(PlaceModel(box, 1e38, std::nullopt, placement, why));
    EXPECT_NE(why.find("range of a float"), std::string::npos);
}

class ImportImages : public MapFileTest {
  protected:
    // An embedded image of compressed bytes, as glTF binaries and FBX files hold them.
    static aiTexture* Compressed(std::string_view bytes, const char* hint, const char* fileName) {
        auto* texture = new aiTexture;
        texture->mWidth = static_cast<unsigned>(bytes.size());
        texture->pcData = new aiTexel[bytes.size() / sizeof(aiTexel) + 1];
        std::memcpy(texture->pcData, bytes.data(), bytes.size());
        std::strcpy(texture->achFormatHint, hint);
        texture->mFilename = fileName;
        return texture;
    }
};

TEST_F(ImportImages, EmbeddedImagesAreWrittenOutAndMaterialsWithoutOneGetTheirColour) {
    const std::string png("\x89PNG\r\n\x1a\n and the rest", 21);
    std::vector<aiMesh*> meshes;
    for (unsigned m = 0; m < 6; ++m) meshes.push_back(Mesh(kOneTriangle, {{0, 1, 2}}, m));
    const auto scene = SceneOf(meshes, {Material("skin", kRed, 0, "*0"), Material("ktx", kBlue, 0, "*1"),
                                        Material("red", kRed), Material("skin again", kRed, 0, "*0"),
                                        Material("pixels", kRed, 0, "*2"), Material("dds", kBlue, 0, "*3")});
    auto* pixels = new aiTexture;
    pixels->mWidth = 2;
    pixels->mHeight = 1;
    pixels->pcData = new aiTexel[2]{{1, 2, 3, 4}, {5, 6, 7, 8}};
    scene->mNumTextures = 4;
    scene->mTextures = new aiTexture* [4] {
        Compressed(png, "png", "textures/skin.png"), Compressed("\xABKTX 11\xBB\r\n", "ktx", ""), pixels,
            Compressed("DDS |||||||", "dds", "")
    };
    ModelGeometry geometry = CollectGeometry(*scene);

    const TextureSlots slots = MakeTextureSlots(*scene, "/models/Model.glb", dir, geometry.triangles);

    EXPECT_EQ(slots.names,
              std::vector<std::string>({"skin.png", "ktx.png", "red.png", "Model-2.png", "Model-3.dds"}));
    std::vector<std::int32_t> textures;
    for (const MapTriangle& t : geometry.triangles) textures.push_back(t.texture);
    EXPECT_EQ(textures, std::vector<std::int32_t>({0, 1, 2, 0, 3, 4}));
    EXPECT_EQ(FileBytes(dir / "skin.png"), png);
    EXPECT_EQ(FileBytes(dir / "Model-3.dds"), "DDS |||||||");
    ASSERT_EQ(slots.warnings.size(), 1u);
    EXPECT_NE(slots.warnings[0].find("Model-1.ktx"), std::string::npos) << slots.warnings[0];
    // The colour images are 4x4 PNGs (the width and height stand in the IHDR chunk).
    const std::string red = FileBytes(dir / "red.png");
    ASSERT_GE(red.size(), 24u);
    EXPECT_EQ(red.substr(0, 8), png.substr(0, 8));
    EXPECT_EQ(red.substr(16, 8), std::string("\0\0\0\x04\0\0\0\x04", 8));
    EXPECT_EQ(FileBytes(dir / "Model-2.png").substr(16, 8), std::string("\0\0\0\x02\0\0\0\x01", 8));
}

}  // namespace
