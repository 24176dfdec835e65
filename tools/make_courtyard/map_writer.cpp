// Map text: integers in plain decimal (never a leading zero, which the viewer would read as
// octal), floats short and exact enough for the scene.
#include "tools/make_courtyard/map_writer.h"

#include <cstdio>

std::string FormatNumber(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(value));
    std::string number = text;
    while (number.back() == '0') {
        number.pop_back();
    }
    if (number.back() == '.') {
        number.pop_back();
    }
    return number == "-0" ? "0" : number;
}

std::string FormatMap(const MapMesh& mesh, const std::vector<std::string>& textureNames,
                      const std::string& note) {
    std::string text;
    text.reserve(mesh.triangles.size() * 24 + mesh.vertices.size() * 40 + 256);
    text += FormatNumber(mesh.start.x) + " " + FormatNumber(mesh.start.y) + " " + FormatNumber(mesh.start.z) +
            "\n";
    text += std::to_string(mesh.triangles.size()) + "\n";
    for (const MapTriangle& t : mesh.triangles) {
        text += std::to_string(t.a) + " " + std::to_string(t.b) + " " + std::to_string(t.c) + " " +
                std::to_string(t.texture) + "\n";
    }
    text += std::to_string(mesh.vertices.size()) + "\n";
    for (const MapVertex& v : mesh.vertices) {
        text += FormatNumber(v.position.x) + " " + FormatNumber(v.position.y) + " " +
                FormatNumber(v.position.z) + " " + FormatNumber(v.u) + " " + FormatNumber(v.v) + "\n";
    }
    text += std::to_string(textureNames.size()) + "\n";
    for (const std::string& name : textureNames) {
        text += "%" + name + "%\n";
    }
    return text + note;
}
