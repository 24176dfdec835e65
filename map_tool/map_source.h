#pragma once
// A map named on the command line, read as the viewer reads it: the viewer reads its map from the
// current folder and looks the texture names up from there, so the tool works in the map's folder.
#include <filesystem>
#include <string>

#include "scene/map_reader.h"

class MapFolder {
  public:
    // A folder holding map.txt, or a map file; the current folder is the map's while this lives.
    explicit MapFolder(const std::string& argument);
    ~MapFolder();
    MapFolder(const MapFolder&) = delete;
    MapFolder& operator=(const MapFolder&) = delete;

    // The map as the viewer reads it, refused also where the viewer's device would refuse it.
    MapRead Read() const;

    const std::string& FileName() const { return fileName_; }

  private:
    std::string fileName_;
    std::filesystem::path previous_;
    std::string refusal_;  // the folder could not be entered
};
