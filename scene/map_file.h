#pragma once
// The map file: read whole into memory and handed to the map reader, on a thread of its own where
// that pays. Nothing here writes to stderr: the caller reports what the result says.
#include <cstdint>
#include <future>

#include "scene/map_reader.h"

constexpr const char* kMapFileName = "map.txt";

// Maps shorter than this are read when their result is asked for: a thread started before the
// window costs a short map's start-up more than it saves (about 10 ms, measured with the courtyard).
constexpr std::uint64_t kReadAheadFrom = std::uint64_t{1} << 20;

// Reads the named file (looked up as Windows looks names up) and then its text. A file that cannot
// be opened or read is refused with a line naming it.
MapRead ReadMapFile(const char* path);

// The viewer's map: ReadMapFile("map.txt"), except that a missing one's line goes on to name the
// current directory and, where the map tool is installed, how to make a map from a model.
MapRead ReadTheMap();

// ReadTheMap() on a thread of its own, so that the map is read while the window and the device are
// made; a short map is read when the result is asked for.
std::future<MapRead> StartReadingMap();
