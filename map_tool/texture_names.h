#pragma once
// Names for the images the map names: each a file name the viewer finds on every system, and no
// two alike even where letter case does not count.
#include <set>
#include <string>
#include <string_view>

class TextureNames {
  public:
    TextureNames();
    // The wanted name itself where it is already such a name and still free; otherwise it made
    // plain (printable ASCII without '%', separators or characters Windows refuses, at most 254
    // bytes, no trailing dots or spaces) and then numbered before its extension until it is free.
    std::string Claim(std::string_view wanted);

  private:
    std::set<std::string> taken_;  // in lower case
};
