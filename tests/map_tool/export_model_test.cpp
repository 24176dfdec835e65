#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <assimp/Importer.hpp>
#include <bit>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "map_tool/model_geometry.h"
#include "map_tool/verbs.h"
#include "scene/map_reader.h"
#include "scene/normals.h"
#include "tests/scene/map_file_fixture.h"

namespace {

// Every slot used (a model keeps only the materials its meshes use); slots 0 and 2 name one file,
// one in other letter case. v stays exact through 1 - (1 - v) in float.
const std::string kMap =
    "0 1.5 -4\n4\n0 1 2 0\n0 2 3 2\n3 2 4 1\n0 4 1 2\n5\n-1.1 -0.30000001 0.1 0 1\n"
    "-1 1e-7 2.5 0.5 0\n1 123456.79 -0.7 0.1 0.75\n1.0000001 -1 0 3.3333 -2\n"
    "0 0 -3.75 -0.3 0.5\n3\n%Brick.PPM%\n%%\n%sub\\..\\brick.ppm%\n";

// A corner's five floats as bits, so that equal means bit for bit; a triangle from its lowest
// corner, with its texture.
using Corner = std::array<std::uint32_t, 5>;
using Triangle = std::pair<std::array<Corner, 3>, std::int32_t>;

Corner Bits(float x, float y, float z, float u, float v) {
    return {std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), std::bit_cast<std::uint32_t>(z),
            std::bit_cast<std::uint32_t>(u), std::bit_cast<std::uint32_t>(v)};
}

std::vector<Triangle> Sorted(std::vector<Triangle> triangles) {
    for (auto& [corners, texture] : triangles) {
        std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
    }
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

std::vector<Triangle> MapTriangles(const SceneData& scene) {
    std::vector<Triangle> triangles(static_cast<std::size_t>(scene.triangleCount));
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        for (std::size_t k = 0; k < 3; ++k) {
            const Vertex& v = scene.vertices[static_cast<std::size_t>(scene.indices[3 * t + k])];
            triangles[t].first[k] = Bits(v.x, v.y, v.z, v.u, v.v);
        }
        triangles[t].second = scene.faces[t].textureIndex;
    }
    return Sorted(triangles);
}

// As the import takes a model in: its material numbers stand for the texture slots.
std::vector<Triangle> ImportedTriangles(const aiScene& model) {
    const ModelGeometry geometry = CollectGeometry(model);
    std::vector<Triangle> triangles;
    for (const MapTriangle& t : geometry.triangles) {
        Triangle& triangle = triangles.emplace_back();
        const std::int32_t corners[3] = {t.a, t.b, t.c};
        for (std::size_t k = 0; k < 3; ++k) {
            const MapVertex& v = geometry.vertices[static_cast<std::size_t>(corners[k])];
            triangle.first[k] = Bits(v.x, v.y, v.z, v.u, v.v);
        }
        triangle.second = t.texture;
    }
    return Sorted(triangles);
}

std::string Text(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

using Export = MapFileTest;

TEST_F(Export, AGlbReadBackLeftHandedGivesTheMapsTrianglesBitForBitAndItsTextureFiles) {
    Write("map.txt", kMap);
    Write("brick.ppm", "P6 1 1 255\nabc");
    std::filesystem::create_directory("model");
    ASSERT_EQ(RunExport({"map.txt", "model/map.glb"}), 0);

    Assimp::Importer importer;
    const aiScene* model =
        importer.ReadFile("model/map.glb", aiProcess_ConvertToLeftHanded | aiProcess_Triangulate);
    ASSERT_NE(model, nullptr) << importer.GetErrorString();
    SceneData scene = ReadMap("map.txt", kMap).scene;
    EXPECT_EQ(ImportedTriangles(*model), MapTriangles(scene));
    // Each vertex carries the viewer's normal, normalised once more by the exporter; this map's
    // vertices all stand apart.
    GenerateNormals(scene);
    std::map<std::array<float, 3>, std::array<float, 3>> normalAt;
    for (const Vertex& v : scene.vertices) normalAt[{v.x, v.y, v.z}] = {v.nx, v.ny, v.nz};
    std::vector<std::string> textures;
    for (unsigned m = 0; m < model->mNumMeshes; ++m) {
        const aiMesh& mesh = *model->mMeshes[m];
        for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
            const aiVector3D &p = mesh.mVertices[i], &n = mesh.mNormals[i];
            const std::array<float, 3> normal = normalAt.at({p.x, p.y, p.z});
            EXPECT_LT((aiVector3D(normal[0], normal[1], normal[2]) - n).Length(), 1e-6f);
        }
        aiString path;
        model->mMaterials[model->mMeshes[m]->mMaterialIndex]->GetTexture(aiTextureType_DIFFUSE, 0, &path);
        textures.emplace_back(path.C_Str());
    }
    EXPECT_EQ(textures, (std::vector<std::string>{"../brick.ppm", "", "../brick.ppm"}));
}

TEST_F(Export, AnObjAndItsMaterialLibraryNameEachSlotsFileFromTheOutputsFolder) {
    Write("map.txt", kMap);
    Write("brick.ppm", "P6 1 1 255\nabc");
    std::filesystem::create_directory("model");
    ASSERT_EQ(RunExport({".", "model/map.OBJ"}), 0);
    EXPECT_NE(Text("model/map.OBJ").find("mtllib map.mtl\n"), std::string::npos);
    const std::string library = Text("model/map.mtl");
    EXPECT_NE(library.find("newmtl slot0_brick\nKd 1 1 1\nillum 1\nmap_Kd ../brick.ppm\n"), std::string::npos)
        << library;
    EXPECT_NE(library.find("newmtl slot1_white\nKd 1 1 1\nillum 1\n\nnewmtl slot2_brick\nKd 1 1 1\nillum 1\n"
                           "map_Kd ../brick.ppm\n"),
              std::string::npos)
        << library;
}

TEST_F(Export, ARefusedMapAnUnknownExtensionOrAFailedExportIsOneLineAndExitCode2) {
    Write("map.txt", kMap);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunExport({".", "no folder/map.glb"}), 2);
    EXPECT_EQ(RunExport({".", "map.fbx"}), 2);
    Write("map.txt", "0 0 0\n1\n0 1 3 0\n3\n0 0 0 0 0\n0 1 0 0 0\n1 0 0 0 0\n1\n%%\n");
    EXPECT_EQ(RunExport({".", "map.glb"}), 2);
    const std::string lines = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        lines.rfind("vellmora-map: cannot export \"no folder/map.glb\": Could not open output file: ", 0), 0u)
        << lines;
    EXPECT_NE(
        lines.find("/no folder/map.glb\n"
                   "vellmora-map: cannot export to \"map.fbx\": the name must end in .obj, .gltf or .glb\n"
                   "map.txt:3: vertex index 3 is outside 0 to 2 (the map has 3 vertices)\n"),
        std::string::npos)
        << lines;
    EXPECT_FALSE(std::filesystem::exists("map.glb"));
}

}  // namespace
