// fscanf per number, fgetc per name character. It checks what it reads, so that it does the same
// work as the real reader, but makes no effort to be fast.
#include "bench/fscanf_map_reader.h"

#include <cstdint>
#include <cstdio>

#include "scene/map_reader.h"

namespace {

bool ReadFloat(std::FILE* file, float& value) {
    return std::fscanf(file, "%f", &value) == 1;
}
bool ReadInt(std::FILE* file, std::int32_t& value) {
    return std::fscanf(file, "%i", &value) == 1;
}

bool ReadCount(std::FILE* file, std::int32_t& count, std::int32_t limit) {
    return ReadInt(file, count) && count >= 0 && count <= limit;
}

bool ReadName(std::FILE* file, char (&name)[kMaxNameBytes + 1]) {
    int c = std::fgetc(file);
    for (int skipped = 0; c != '%'; c = std::fgetc(file)) {
        if (++skipped > kMaxSkipBeforeName) {
            return false;
        }
    }
    for (int length = 0;; ++length) {
        c = std::fgetc(file);
        if (c == EOF || length > kMaxNameBytes) {
            return false;
        }
        if (c == '%' || c == 0) {
            name[length] = '\0';
            return true;
        }
        name[length] = static_cast<char>(c);
    }
}

bool ReadScene(std::FILE* file, IDirect3DDevice9* device, SceneData& scene) {
    Vec3& start = scene.startPosition;
    if (!ReadFloat(file, start.x) || !ReadFloat(file, start.y) || !ReadFloat(file, start.z) ||
        !ReadCount(file, scene.triangleCount, kTriangleCountRule.most)) {
        return false;
    }
    scene.indexCount = 3 * scene.triangleCount;
    scene.indices.resize(static_cast<std::size_t>(scene.indexCount));
    scene.faces.resize(static_cast<std::size_t>(scene.triangleCount));
    for (std::int32_t t = 0; t < scene.triangleCount; ++t) {
        std::int32_t* corners = &scene.indices[3 * static_cast<std::size_t>(t)];
        if (!ReadInt(file, corners[0]) || !ReadInt(file, corners[1]) || !ReadInt(file, corners[2]) ||
            !ReadInt(file, scene.faces[t].textureIndex)) {
            return false;
        }
    }
    if (!ReadCount(file, scene.vertexCount, kVertexCountRule.most)) {
        return false;
    }
    scene.vertices.resize(static_cast<std::size_t>(scene.vertexCount));
    for (Vertex& v : scene.vertices) {
        if (!ReadFloat(file, v.x) || !ReadFloat(file, v.y) || !ReadFloat(file, v.z) ||
            !ReadFloat(file, v.u) || !ReadFloat(file, v.v)) {
            return false;
        }
    }
    if (!ReadCount(file, scene.textureCount, kTextureCountRule.most)) {
        return false;
    }
    for (std::int32_t index : scene.indices) {
        if (index < 0 || index >= scene.vertexCount) {
            return false;
        }
    }
    for (const FaceRecord& face : scene.faces) {
        if (face.textureIndex < 0 || face.textureIndex >= scene.textureCount) {
            return false;
        }
    }
    scene.textures.assign(static_cast<std::size_t>(scene.textureCount), nullptr);
    char name[kMaxNameBytes + 1];
    for (IDirect3DTexture9*& texture : scene.textures) {
        if (!ReadName(file, name)) {
            return false;
        }
        D3DXCreateTextureFromFileA(device, name, &texture);
    }
    return true;
}

}  // namespace

bool LoadMapWithFscanf(const char* path, IDirect3DDevice9* device, SceneData& scene) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return false;
    }
    const bool loaded = ReadScene(file, device, scene);
    std::fclose(file);
    return loaded;
}
