#pragma once
// Reads the scene file into SceneData, creating each texture as its name is read.
#include <cstddef>
#include <cstdint>

#include "scene/scene_data.h"

constexpr const char* kMapFileName = "map.txt";
constexpr int kNameBufferSize = 255;    // a name holds at most 254 bytes
constexpr int kMaxSkipBeforeName = 11;  // characters allowed before a name's opening '%'

// Maps shorter than this are read on one thread: a second costs more to start than it saves.
constexpr std::size_t kReadAheadFrom = std::size_t{1} << 20;

// Starts reading "map.txt" on a thread of its own, up to its texture names, so that the file is
// read while the window and the device are made; the next LoadMap takes what it read and reads the
// names. It reports nothing: where anything is wrong, LoadMap reads the file again and says what.
// A map shorter than `from` bytes is left to LoadMap.
void StartReadingMap(std::uint64_t from = kReadAheadFrom);

// Reads "map.txt" from the current directory. On failure writes one line naming the file, the
// line and the problem to stderr, releases what it created and leaves the scene empty. With no
// device it reads the geometry alone: no image is opened and no texture warned about.
bool LoadMap(IDirect3DDevice9* device, SceneData& scene);

// The same, for a named file.
bool LoadMapFile(const char* path, IDirect3DDevice9* device, SceneData& scene);

// The same, for text already in memory (read as a text-mode file would be: CR LF is one LF; a
// UTF-8 byte-order mark is skipped). fileName only names the source in messages. Texts of
// readAheadFrom bytes and more have their vertex list read on two threads.
bool LoadMapText(const char* fileName, const char* text, std::size_t size, IDirect3DDevice9* device,
                 SceneData& scene, std::size_t readAheadFrom = kReadAheadFrom);
