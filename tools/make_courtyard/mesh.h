#pragma once
// A triangle mesh in the map file's terms, and the shapes the sample scenes are built from.
// Every shape winds its triangles clockwise as seen from outside, so the face normal
// (P1 - P0) x (P2 - P0) points at the viewer and Direct3D's default culling keeps it.
#include <vector>

struct Point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Point operator*(Point a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Point Cross(Point a, Point b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct MapVertex {
    Point position;
    float u = 0.0f;
    float v = 0.0f;
};

struct MapTriangle {
    int a = 0;
    int b = 0;
    int c = 0;
    int texture = 0;
};

struct MapMesh {
    Point start;
    std::vector<MapVertex> vertices;
    std::vector<MapTriangle> triangles;
};

// How a shape's faces take a texture: one repeat per tileSize world units. Side faces use
// sideTexture, faces pointing up or down topTexture.
struct Surface {
    int sideTexture = 0;
    int topTexture = 0;
    float tileSize = 1.0f;
};

inline Surface Plain(int texture, float tileSize) {
    return {texture, texture, tileSize};
}

// The quad origin, origin + along, origin + along + across, origin + across; it faces along x across.
// Texture coordinates: (u, v) at the origin, and how much they change over the whole along edge
// and over the whole across edge.
struct QuadUv {
    float u = 0.0f;
    float v = 0.0f;
    float uAlong = 0.0f;
    float vAlong = 0.0f;
    float uAcross = 0.0f;
    float vAcross = 0.0f;
};
void AddQuad(MapMesh& mesh, Point origin, Point along, Point across, int texture, const QuadUv& uv);

// A quad textured by the world position of its corners (so neighbouring quads line up):
// floors and ceilings by x and z, walls by their horizontal direction and y.
void AddWorldQuad(MapMesh& mesh, Point origin, Point along, Point across, int texture, float tileSize);

// An axis-aligned box from low to high, textured in world coordinates; without its bottom
// when it stands on something (bottom = false).
void AddBox(MapMesh& mesh, Point low, Point high, const Surface& surface, bool bottom = false);

// A box turned by yaw radians about the vertical through its centre, one texture repeat per face
// (a crate). The bottom is left out: it stands on the ground.
void AddTurnedBox(MapMesh& mesh, Point centre, Point size, float yaw, int texture);

// An upright cylinder on base centre, smooth-shaded sides (the seam faces +z) and a flat top.
void AddCylinder(MapMesh& mesh, Point base, float radius, float height, int segments, const Surface& surface);

// An upright cone (a tree's crown, a spire), smooth-shaded, open at the bottom.
void AddCone(MapMesh& mesh, Point base, float radius, float height, int segments, int texture,
             float tileSize);

// An upright ring-shaped wall between two radii with a flat rim: outer faces out, inner faces in,
// flat-shaded facets (a basin).
void AddRing(MapMesh& mesh, Point base, float innerRadius, float outerRadius, float height, int segments,
             const Surface& surface);

// A flat regular polygon facing up (a water surface).
void AddDisc(MapMesh& mesh, Point centre, float radius, int segments, int texture, float tileSize);

// A four-sided tapering shaft with a pyramid tip (an obelisk), flat-shaded.
void AddObelisk(MapMesh& mesh, Point base, float baseWidth, float topWidth, float shaftHeight,
                float tipHeight, const Surface& surface);

// A copy of source's triangles moved by offset, appended to mesh.
void AppendMoved(MapMesh& mesh, const MapMesh& source, Point offset);
