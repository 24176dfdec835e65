#include "map_tool/import_summary.h"

#include <cstdio>

#include "map_tool/counted.h"

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value + 0.0);  // + 0.0 makes -0 plain 0
    return text;
}

}  // namespace

std::string SummaryText(const ImportSummary& s) {
    const Placement& p = s.placement;
    std::string text = s.model + " -> " + s.map + ": " + Counted(s.triangles, "triangle", "triangles") +
                       ", " + Counted(s.vertices, "vertex", "vertices") + ", " +
                       Counted(s.textures, "texture", "textures") + ", " +
                       Counted(s.drawCalls, "draw call", "draw calls") + " per frame, " +
                       Counted(s.warnings.size(), "warning", "warnings") + "\n";
    text += "  bounds: x " + Number(p.min[0]) + " to " + Number(p.max[0]) + ", y " + Number(p.min[1]) +
            " to " + Number(p.max[1]) + ", z " + Number(p.min[2]) + " to " + Number(p.max[2]) +
            " (the model's units)\n";
    text +=
        "  scale: " + Number(p.scale) +
        (s.scaleGiven ? " (as given)" : " (the largest extent made " + Number(kDefaultExtent) + " units)") +
        ", start: " + Number(p.start[0]) + " " + Number(p.start[1]) + " " + Number(p.start[2]) + "\n";
    for (const std::string& warning : s.warnings) text += "  warning: " + warning + "\n";
    return text;
}
