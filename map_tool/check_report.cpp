// The two forms of a check's report.
#include "map_tool/check_report.h"

#include "map_tool/json_writer.h"
#include "platform/report.h"

namespace {

std::string Range(char axis, const Box& box, int k) {
    return std::string(1, axis) + " " + ShortestText(box.low[k]) + " to " + ShortestText(box.high[k]);
}

std::string Slots(std::int32_t count, const char* which) {
    return std::to_string(count) + which + (count == 1 ? " slot" : " slots");
}

std::string TextureLine(const TextureFile& texture) {
    std::string line = "texture " + std::to_string(texture.firstSlot) + " " + Quote(texture.name);
    if (texture.slots > 1) line += " (and " + Slots(texture.slots - 1, " more") + ")";
    line += ": " + (texture.path.empty() ? std::string("no file") : texture.path);
    if (texture.image.width > 0 || texture.image.height > 0) {
        line += ", " + std::to_string(texture.image.width) + "x" + std::to_string(texture.image.height);
    }
    if (!texture.image.format.empty()) line += ", " + texture.image.format;
    return line + "\n";
}

void WriteSample(JsonWriter& json, const char* key, const Sample& sample) {
    json.Key(key).BeginObject().Key("count").Integer(sample.count).Key("first").BeginArray();
    for (const std::int32_t number : sample.first) json.Integer(number);
    json.EndArray().EndObject();
}

void WriteFloats(JsonWriter& json, const char* key, const std::array<float, 3>& values) {
    json.Key(key).BeginArray();
    for (const float value : values) json.Number(value);
    json.EndArray();
}

void WriteTexture(JsonWriter& json, const TextureFile& texture) {
    json.BeginObject().Key("name").String(texture.name).Key("line").Integer(texture.line);
    json.Key("first_slot").Integer(texture.firstSlot).Key("slots").Integer(texture.slots);
    json.Key("path");
    texture.path.empty() ? json.Null() : json.String(texture.path);
    json.Key("width").Integer(texture.image.width).Key("height").Integer(texture.image.height);
    json.Key("format");
    texture.image.format.empty() ? json.Null() : json.String(texture.image.format);
    json.Key("problems").BeginArray();
    for (const std::string& problem : texture.image.problems) json.String(problem);
    json.EndArray().EndObject();
}

}  // namespace

std::string HumanReport(const MapCheck& check) {
    if (!check.refusal.empty()) return check.refusal + "\n";
    const GeometryCheck& geometry = check.geometry;
    std::string text = check.mapName + ": " + std::to_string(check.triangles) + " triangles, " +
                       std::to_string(check.vertices) + " vertices, " + std::to_string(check.textures) +
                       " textures\n";
    text += "draw calls a frame: " + std::to_string(geometry.drawCalls) + " (" +
            std::to_string(geometry.texturesUsed) + " with the triangles grouped by texture)\n";
    text += "bounds: " + Range('x', geometry.bounds, 0) + ", " + Range('y', geometry.bounds, 1) + ", " +
            Range('z', geometry.bounds, 2) + "; the start " + ShortestText(check.start[0]) + " " +
            ShortestText(check.start[1]) + " " + ShortestText(check.start[2]) +
            (geometry.startInside ? " lies inside\n" : " lies outside\n");
    for (const TextureFile& texture : check.textureFiles) text += TextureLine(texture);
    if (check.emptySlots > 0) text += Slots(check.emptySlots, "") + " without an image (%%), drawn white\n";
    for (const std::string& warning : check.warnings) text += "warning: " + warning + "\n";
    return text;
}

std::string JsonReport(const MapCheck& check) {
    JsonWriter json;
    json.BeginObject().Key("map").String(check.mapName).Key("exit_code").Integer(ExitCode(check));
    json.Key("refusal");
    if (!check.refusal.empty()) return json.String(check.refusal).EndObject().Text() + "\n";
    json.Null();
    const GeometryCheck& geometry = check.geometry;
    json.Key("triangles").Integer(check.triangles).Key("vertices").Integer(check.vertices);
    json.Key("textures").Integer(check.textures).Key("empty_slots").Integer(check.emptySlots);
    json.Key("draw_calls")
        .Integer(geometry.drawCalls)
        .Key("draw_calls_grouped")
        .Integer(geometry.texturesUsed);
    json.Key("bounds").BeginObject();
    WriteFloats(json, "low", geometry.bounds.low);
    WriteFloats(json, "high", geometry.bounds.high);
    json.EndObject();
    WriteFloats(json, "start", check.start);
    json.Key("start_inside").Bool(geometry.startInside);
    json.Key("texture_files").BeginArray();
    for (const TextureFile& texture : check.textureFiles) WriteTexture(json, texture);
    json.EndArray();
    WriteSample(json, "unused_vertices", geometry.unusedVertices);
    WriteSample(json, "unused_textures", geometry.unusedTextures);
    WriteSample(json, "triangles_naming_a_vertex_twice", geometry.repeatedVertex);
    WriteSample(json, "zero_area_triangles", geometry.zeroArea);
    json.Key("warnings").BeginArray();
    for (const std::string& warning : check.warnings) json.String(warning);
    return json.EndArray().EndObject().Text() + "\n";
}
