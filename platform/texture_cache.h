#pragma once
// One texture for each image file, shared by every slot that names it: a map may name one image in
// thousands of slots. Each slot holds a reference of its own, so releasing every non-null slot once
// stays right.
#include <map>
#include <string>

#include "platform/d3dx.h"
#include "platform/file_watch.h"
#include "platform/regular_file.h"

struct TextureLoad {
    IDirect3DTexture9* texture = nullptr;  // null when it could not be made
    std::string why;
    WatchedFile source;  // the file it was made from, as opened; no path when none was
};

// What was made so far, by name and by the file a name leads to ("a.png" and "./a.png" are one
// file), and the folders read to find names in other letter case. It holds no references of its own: the
// slots do.
struct TextureCache {
    std::map<std::string, TextureLoad> byName;
    std::map<FileIdentity, TextureLoad> byFile;
    FolderListings folders;
};

// The texture for one more slot naming `name`, made on device when its file is first named.
TextureLoad LoadSharedTexture(TextureCache& cache, IDirect3DDevice9* device, const std::string& name);
