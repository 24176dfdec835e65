// The shapes of the sample scenes, each wound clockwise as seen from outside.
#include "tools/make_courtyard/mesh.h"

#include <cmath>
#include <numbers>

namespace {

struct Corner {
    Point position;
    float u = 0.0f;
    float v = 0.0f;
};

int AddVertex(MapMesh& mesh, const Corner& corner) {
    mesh.vertices.push_back({corner.position, corner.u, corner.v});
    return static_cast<int>(mesh.vertices.size()) - 1;
}

// Corners in clockwise order as seen from the visible side.
void AddQuadCorners(MapMesh& mesh, const Corner (&corners)[4], int texture) {
    const int first = AddVertex(mesh, corners[0]);
    for (int k = 1; k < 4; ++k) {
        AddVertex(mesh, corners[k]);
    }
    mesh.triangles.push_back({first, first + 1, first + 2, texture});
    mesh.triangles.push_back({first, first + 2, first + 3, texture});
}

Point Normalized(Point p) {
    const float length = std::sqrt(Dot(p, p));
    return length > 0.0f ? p * (1.0f / length) : p;
}

// A point on a horizontal circle; angles grow from +x towards +z, which keeps the sides of
// every round shape below facing outwards.
Point OnCircle(Point centre, float radius, float angle) {
    return {centre.x + radius * std::cos(angle), centre.y, centre.z + radius * std::sin(angle)};
}

// The seam of round shapes sits at +z, away from the start view.
float RingAngle(int k, int segments) {
    return std::numbers::pi_v<float> * 0.5f +
           2.0f * std::numbers::pi_v<float> * static_cast<float>(k) / static_cast<float>(segments);
}

// Whole repeats around a circumference, so the texture meets itself at the seam.
float RepeatsAround(float radius, float tileSize) {
    return std::fmax(1.0f, std::round(2.0f * std::numbers::pi_v<float> * radius / tileSize));
}

}  // namespace

void AddQuad(MapMesh& mesh, Point origin, Point along, Point across, int texture, const QuadUv& uv) {
    const Corner corners[4] = {
        {origin, uv.u, uv.v},
        {origin + along, uv.u + uv.uAlong, uv.v + uv.vAlong},
        {origin + along + across, uv.u + uv.uAlong + uv.uAcross, uv.v + uv.vAlong + uv.vAcross},
        {origin + across, uv.u + uv.uAcross, uv.v + uv.vAcross},
    };
    AddQuadCorners(mesh, corners, texture);
}

void AddWorldQuad(MapMesh& mesh, Point origin, Point along, Point across, int texture, float tileSize) {
    const Point normal = Cross(along, across);
    const Point points[4] = {origin, origin + along, origin + along + across, origin + across};
    Corner corners[4];
    for (int k = 0; k < 4; ++k) {
        const Point p = points[k];
        corners[k].position = p;
        if (std::fabs(normal.y) >= std::fabs(normal.x) && std::fabs(normal.y) >= std::fabs(normal.z)) {
            corners[k].u = p.x / tileSize;
            corners[k].v = (normal.y > 0.0f ? -p.z : p.z) / tileSize;
        } else {
            // u runs to the viewer's right, v down the wall.
            const Point right = Normalized(Cross(normal, Point{0.0f, 1.0f, 0.0f}));
            corners[k].u = Dot(p, right) / tileSize;
            corners[k].v = -p.y / tileSize;
        }
    }
    AddQuadCorners(mesh, corners, texture);
}

void AddBox(MapMesh& mesh, Point low, Point high, const Surface& surface, bool bottom) {
    const Point x{high.x - low.x, 0.0f, 0.0f};
    const Point y{0.0f, high.y - low.y, 0.0f};
    const Point z{0.0f, 0.0f, high.z - low.z};
    const int side = surface.sideTexture;
    const float tile = surface.tileSize;
    AddWorldQuad(mesh, low + y, z, x, surface.topTexture, tile);
    AddWorldQuad(mesh, low, y, x, side, tile);
    AddWorldQuad(mesh, low + z, x, y, side, tile);
    AddWorldQuad(mesh, low, z, y, side, tile);
    AddWorldQuad(mesh, low + x, y, z, side, tile);
    if (bottom) {
        AddWorldQuad(mesh, low, x, z, surface.topTexture, tile);
    }
}

void AddTurnedBox(MapMesh& mesh, Point centre, Point size, float yaw, int texture) {
    const Point x = Point{std::cos(yaw), 0.0f, -std::sin(yaw)} * size.x;
    const Point y{0.0f, size.y, 0.0f};
    const Point z = Point{std::sin(yaw), 0.0f, std::cos(yaw)} * size.z;
    const Point low = centre - x * 0.5f - z * 0.5f;
    // Each face shows the whole image once, upright and unmirrored.
    const QuadUv upright{0.0f, 1.0f, 0.0f, -1.0f, 1.0f, 0.0f};
    const QuadUv reversed{1.0f, 1.0f, -1.0f, 0.0f, 0.0f, -1.0f};
    AddQuad(mesh, low + y, z, x, texture, upright);
    AddQuad(mesh, low, y, x, texture, upright);
    AddQuad(mesh, low + z, x, y, texture, reversed);
    AddQuad(mesh, low, z, y, texture, reversed);
    AddQuad(mesh, low + x, y, z, texture, upright);
}

void AddCylinder(MapMesh& mesh, Point base, float radius, float height, int segments,
                 const Surface& surface) {
    const float repeats = RepeatsAround(radius, surface.tileSize);
    const int first = static_cast<int>(mesh.vertices.size());
    // Shared vertices around the side give smooth normals; the seam pair is doubled for u.
    for (int k = 0; k <= segments; ++k) {
        const Point bottom = OnCircle(base, radius, RingAngle(k, segments));
        const float u = repeats * static_cast<float>(k) / static_cast<float>(segments);
        AddVertex(mesh, {bottom, u, -base.y / surface.tileSize});
        AddVertex(mesh, {bottom + Point{0.0f, height, 0.0f}, u, -(base.y + height) / surface.tileSize});
    }
    for (int k = 0; k < segments; ++k) {
        const int b0 = first + 2 * k;
        const int t0 = b0 + 1;
        const int b1 = b0 + 2;
        const int t1 = b0 + 3;
        mesh.triangles.push_back({b0, t0, t1, surface.sideTexture});
        mesh.triangles.push_back({b0, t1, b1, surface.sideTexture});
    }
    AddDisc(mesh, base + Point{0.0f, height, 0.0f}, radius, segments, surface.topTexture, surface.tileSize);
}

void AddCone(MapMesh& mesh, Point base, float radius, float height, int segments, int texture,
             float tileSize) {
    const float repeats = RepeatsAround(radius, tileSize);
    const Point apex = base + Point{0.0f, height, 0.0f};
    const int first = static_cast<int>(mesh.vertices.size());
    for (int k = 0; k <= segments; ++k) {
        const float u = repeats * static_cast<float>(k) / static_cast<float>(segments);
        AddVertex(mesh, {OnCircle(base, radius, RingAngle(k, segments)), u, -base.y / tileSize});
    }
    // One apex per side triangle, so the tip does not average every side into "up".
    for (int k = 0; k < segments; ++k) {
        const float u = repeats * (static_cast<float>(k) + 0.5f) / static_cast<float>(segments);
        const int top = AddVertex(mesh, {apex, u, -apex.y / tileSize});
        mesh.triangles.push_back({first + k, top, first + k + 1, texture});
    }
}

void AddRing(MapMesh& mesh, Point base, float innerRadius, float outerRadius, float height, int segments,
             const Surface& surface) {
    const Point up{0.0f, height, 0.0f};
    const float tile = surface.tileSize;
    for (int k = 0; k < segments; ++k) {
        const float a0 = RingAngle(k, segments);
        const float a1 = RingAngle(k + 1, segments);
        const Point outer0 = OnCircle(base, outerRadius, a0);
        const Point outer1 = OnCircle(base, outerRadius, a1);
        const Point inner0 = OnCircle(base, innerRadius, a0);
        const Point inner1 = OnCircle(base, innerRadius, a1);
        AddWorldQuad(mesh, outer0, up, outer1 - outer0, surface.sideTexture, tile);
        AddWorldQuad(mesh, inner1, up, inner0 - inner1, surface.sideTexture, tile);
        const Corner rim[4] = {
            {inner0 + up, inner0.x / tile, -inner0.z / tile},
            {inner1 + up, inner1.x / tile, -inner1.z / tile},
            {outer1 + up, outer1.x / tile, -outer1.z / tile},
            {outer0 + up, outer0.x / tile, -outer0.z / tile},
        };
        AddQuadCorners(mesh, rim, surface.topTexture);
    }
}

void AddDisc(MapMesh& mesh, Point centre, float radius, int segments, int texture, float tileSize) {
    const int middle = AddVertex(mesh, {centre, centre.x / tileSize, -centre.z / tileSize});
    for (int k = 0; k <= segments; ++k) {
        const Point p = OnCircle(centre, radius, RingAngle(k, segments));
        AddVertex(mesh, {p, p.x / tileSize, -p.z / tileSize});
    }
    for (int k = 0; k < segments; ++k) {
        mesh.triangles.push_back({middle, middle + k + 2, middle + k + 1, texture});
    }
}

void AddObelisk(MapMesh& mesh, Point base, float baseWidth, float topWidth, float shaftHeight,
                float tipHeight, const Surface& surface) {
    // Corners in the order the round shapes use, so each side faces out.
    const float signX[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    const float signZ[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    const float tile = surface.tileSize;
    const float inset = (baseWidth - topWidth) * 0.5f / tile;
    const Point apex = base + Point{0.0f, shaftHeight + tipHeight, 0.0f};
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        const Point b0 = base + Point{signX[k] * baseWidth * 0.5f, 0.0f, signZ[k] * baseWidth * 0.5f};
        const Point b1 = base + Point{signX[n] * baseWidth * 0.5f, 0.0f, signZ[n] * baseWidth * 0.5f};
        const Point t0 = base + Point{signX[k] * topWidth * 0.5f, shaftHeight, signZ[k] * topWidth * 0.5f};
        const Point t1 = base + Point{signX[n] * topWidth * 0.5f, shaftHeight, signZ[n] * topWidth * 0.5f};
        const float width = baseWidth / tile;
        const float top = -(base.y + shaftHeight) / tile;
        const Corner side[4] = {
            {b0, 0.0f, -base.y / tile},
            {t0, inset, top},
            {t1, width - inset, top},
            {b1, width, -base.y / tile},
        };
        AddQuadCorners(mesh, side, surface.sideTexture);
        const int first = AddVertex(mesh, {t0, inset, top});
        AddVertex(mesh, {apex, width * 0.5f, top - tipHeight / tile});
        AddVertex(mesh, {t1, width - inset, top});
        mesh.triangles.push_back({first, first + 1, first + 2, surface.topTexture});
    }
}

void AppendMoved(MapMesh& mesh, const MapMesh& source, Point offset) {
    const int first = static_cast<int>(mesh.vertices.size());
    for (const MapVertex& vertex : source.vertices) {
        mesh.vertices.push_back({vertex.position + offset, vertex.u, vertex.v});
    }
    for (const MapTriangle& triangle : source.triangles) {
        mesh.triangles.push_back(
            {triangle.a + first, triangle.b + first, triangle.c + first, triangle.texture});
    }
}
