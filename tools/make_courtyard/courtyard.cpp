// The courtyard's layout, in metres: x right, y up, z forward from the start view.
#include "tools/make_courtyard/courtyard.h"

#include <algorithm>
#include <cmath>

#include "tools/make_courtyard/textures.h"

const char* const kMapNote =
    "\nMade by tools/make_courtyard. The viewer stops reading at the last texture name's closing\n"
    "percent sign, so a note like this one can follow it.\n";

namespace {

// Inside of the walls.
constexpr float kHalfWidth = 10.0f;
constexpr float kHalfDepth = 12.0f;
constexpr float kWall = 0.6f;
constexpr float kWallHeight = 4.0f;
// The gateway in the back wall, reached by steps up to a threshold and down the other side.
constexpr float kGateHalfWidth = 1.6f;
constexpr float kGateTop = 3.4f;
constexpr float kStepRise = 0.2f;
constexpr float kStepRun = 0.6f;
constexpr int kSteps = 3;
constexpr float kLanding = 0.8f;  // the flat top of the steps, on each side of the wall
// The compound's outer bounds, outer steps included.
constexpr float kOuterHalfWidth = kHalfWidth + kWall;
constexpr float kOuterFront = -kHalfDepth - kWall;
constexpr float kOuterBack = kHalfDepth + kWall + kLanding + kSteps * kStepRun;

const Point kStart{0.0f, 1.7f, -10.0f};

const Surface kBrickWall{kBrick, kSandstone, 2.0f};
const Surface kStone = Plain(kSandstone, 1.5f);
const Surface kFineStone = Plain(kSandstone, 1.0f);
const Surface kMarbleStone = Plain(kMarble, 1.5f);
const Surface kWood = Plain(kPlanks, 1.0f);
const Surface kLawn{kSandstone, kGrass, 2.0f};

// A flat floor facing up, cut into square cells so no triangle spans the whole yard.
void AddFloor(MapMesh& mesh, float x0, float z0, float x1, float z1, float cell, int texture,
              float tileSize) {
    for (float z = z0; z < z1 - 1e-3f; z += cell) {
        for (float x = x0; x < x1 - 1e-3f; x += cell) {
            const float dx = std::min(cell, x1 - x);
            const float dz = std::min(cell, z1 - z);
            AddWorldQuad(mesh, {x, 0.0f, z}, {0.0f, 0.0f, dz}, {dx, 0.0f, 0.0f}, texture, tileSize);
        }
    }
}

// Grass filling a rectangle except for the compound in its middle.
void AddGroundAround(MapMesh& mesh, Point centre, float x0, float z0, float x1, float z1) {
    const float left = centre.x - kOuterHalfWidth;
    const float right = centre.x + kOuterHalfWidth;
    const float front = centre.z + kOuterFront;
    const float back = centre.z + kOuterBack;
    AddFloor(mesh, x0, z0, x1, front, 12.0f, kGrass, 2.0f);
    AddFloor(mesh, x0, back, x1, z1, 12.0f, kGrass, 2.0f);
    AddFloor(mesh, x0, front, left, back, 12.0f, kGrass, 2.0f);
    AddFloor(mesh, right, front, x1, back, 12.0f, kGrass, 2.0f);
}

void AddWalls(MapMesh& mesh) {
    const float outer = kOuterHalfWidth;
    const float back = kHalfDepth;
    // Back wall: two piers and the lintel over the gateway.
    AddBox(mesh, {-outer, 0.0f, back}, {-kGateHalfWidth, kWallHeight, back + kWall}, kBrickWall);
    AddBox(mesh, {kGateHalfWidth, 0.0f, back}, {outer, kWallHeight, back + kWall}, kBrickWall);
    AddBox(mesh, {-kGateHalfWidth, kGateTop, back}, {kGateHalfWidth, kWallHeight, back + kWall}, kBrickWall,
           true);
    AddBox(mesh, {-outer, 0.0f, -kHalfDepth - kWall}, {outer, kWallHeight, -kHalfDepth}, kBrickWall);
    AddBox(mesh, {-outer, 0.0f, -kHalfDepth}, {-kHalfWidth, kWallHeight, kHalfDepth}, kBrickWall);
    AddBox(mesh, {kHalfWidth, 0.0f, -kHalfDepth}, {outer, kWallHeight, kHalfDepth}, kBrickWall);
    // Coping stones, overhanging the brick a little on both sides.
    constexpr float kLip = 0.08f;
    constexpr float kCap = 0.25f;
    const float top = kWallHeight + kCap;
    AddBox(mesh, {-outer - kLip, kWallHeight, back - kLip}, {outer + kLip, top, back + kWall + kLip}, kStone,
           true);
    AddBox(mesh, {-outer - kLip, kWallHeight, -kHalfDepth - kWall - kLip},
           {outer + kLip, top, -kHalfDepth + kLip}, kStone, true);
    AddBox(mesh, {-outer - kLip, kWallHeight, -kHalfDepth + kLip}, {-kHalfWidth + kLip, top, back - kLip},
           kStone, true);
    AddBox(mesh, {kHalfWidth - kLip, kWallHeight, -kHalfDepth + kLip}, {outer + kLip, top, back - kLip},
           kStone, true);
}

// Steps up to a threshold through the gateway and down again outside, each step its own block so
// no two faces overlap in one plane.
void AddGatewaySteps(MapMesh& mesh) {
    constexpr float kHalf = 2.4f;
    const float threshold = (kSteps + 1) * kStepRise;
    const float landingFront = kHalfDepth - kLanding;
    const float landingBack = kHalfDepth + kWall + kLanding;
    for (int k = 0; k < kSteps; ++k) {
        const float height = static_cast<float>(k + 1) * kStepRise;
        const float inner = landingFront - static_cast<float>(kSteps - k) * kStepRun;
        const float outer = landingBack + static_cast<float>(kSteps - 1 - k) * kStepRun;
        AddBox(mesh, {-kHalf, 0.0f, inner}, {kHalf, height, inner + kStepRun}, kFineStone);
        AddBox(mesh, {-kHalf, 0.0f, outer}, {kHalf, height, outer + kStepRun}, kFineStone);
    }
    AddBox(mesh, {-kHalf, 0.0f, landingFront}, {kHalf, threshold, landingBack}, kFineStone);
}

// Two rows of marble columns on stone plinths, each row carrying a stone beam.
void AddColonnades(MapMesh& mesh) {
    constexpr float kRowX = 4.5f;
    constexpr float kPlinth = 0.35f;
    constexpr float kShaft = 3.0f;
    constexpr float kCapital = 0.25f;
    constexpr float kBeam = 0.35f;
    const float zs[4] = {-6.0f, -2.0f, 2.0f, 6.0f};
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * kRowX;
        for (float z : zs) {
            AddBox(mesh, {x - 0.45f, 0.0f, z - 0.45f}, {x + 0.45f, kPlinth, z + 0.45f}, kStone);
            AddCylinder(mesh, {x, kPlinth, z}, 0.28f, kShaft, 16, kMarbleStone);
            AddBox(mesh, {x - 0.4f, kPlinth + kShaft, z - 0.4f},
                   {x + 0.4f, kPlinth + kShaft + kCapital, z + 0.4f}, kStone, true);
        }
        const float beamLow = kPlinth + kShaft + kCapital;
        AddBox(mesh, {x - 0.4f, beamLow, zs[0] - 0.5f}, {x + 0.4f, beamLow + kBeam, zs[3] + 0.5f}, kStone,
               true);
    }
}

void AddFountain(MapMesh& mesh, Point centre) {
    AddRing(mesh, centre, 1.7f, 2.0f, 0.55f, 16, kStone);
    AddDisc(mesh, centre + Point{0.0f, 0.4f, 0.0f}, 1.7f, 16, kWater, 2.0f);
    // A stepped spout, kept low so the gateway stays in view over it.
    AddCylinder(mesh, centre + Point{0.0f, 0.4f, 0.0f}, 0.45f, 0.3f, 16, kFineStone);
    AddCylinder(mesh, centre + Point{0.0f, 0.7f, 0.0f}, 0.22f, 0.4f, 12, kMarbleStone);
}

void AddBench(MapMesh& mesh, float x, float z) {
    AddBox(mesh, {x - 0.25f, 0.42f, z - 0.9f}, {x + 0.25f, 0.5f, z + 0.9f}, kWood, true);
    AddBox(mesh, {x - 0.2f, 0.0f, z - 0.75f}, {x + 0.2f, 0.42f, z - 0.65f}, kWood);
    AddBox(mesh, {x - 0.2f, 0.0f, z + 0.65f}, {x + 0.2f, 0.42f, z + 0.75f}, kWood);
}

// Things standing about: crates and barrels in the back corners, benches by the columns.
void AddFurniture(MapMesh& mesh) {
    AddTurnedBox(mesh, {7.4f, 0.0f, 9.6f}, {1.1f, 1.1f, 1.1f}, 0.15f, kCrate);
    AddTurnedBox(mesh, {8.7f, 0.0f, 9.9f}, {1.0f, 1.0f, 1.0f}, -0.35f, kCrate);
    AddTurnedBox(mesh, {7.5f, 1.1f, 9.7f}, {0.85f, 0.85f, 0.85f}, 0.6f, kCrate);
    AddTurnedBox(mesh, {8.9f, 0.0f, 7.8f}, {0.8f, 0.8f, 0.8f}, 0.8f, kCrate);
    AddCylinder(mesh, {-8.3f, 0.0f, 10.4f}, 0.45f, 1.1f, 16, kWood);
    AddCylinder(mesh, {-7.2f, 0.0f, 10.9f}, 0.45f, 1.1f, 16, kWood);
    AddCylinder(mesh, {-8.8f, 0.0f, 9.1f}, 0.45f, 1.1f, 16, kWood);
    AddBench(mesh, -5.6f, 0.0f);
    AddBench(mesh, 5.6f, 0.0f);
}

// Everything inside the walls and the walls themselves: what the grid repeats.
MapMesh BuildCompound() {
    MapMesh mesh;
    mesh.start = kStart;
    AddFloor(mesh, -kHalfWidth, -kHalfDepth, kHalfWidth, kHalfDepth, 2.0f, kPaving, 3.0f);
    AddBox(mesh, {-9.4f, 0.0f, -7.0f}, {-6.2f, 0.15f, 7.0f}, kLawn);
    AddBox(mesh, {6.2f, 0.0f, -7.0f}, {9.4f, 0.15f, 7.0f}, kLawn);
    AddWalls(mesh);
    AddGatewaySteps(mesh);
    AddColonnades(mesh);
    AddFountain(mesh, {0.0f, 0.0f, 0.0f});
    AddFurniture(mesh);
    return mesh;
}

void AddTree(MapMesh& mesh, Point base, float height) {
    AddCylinder(mesh, base, 0.2f, height * 0.3f, 8, kWood);
    AddCone(mesh, base + Point{0.0f, height * 0.25f, 0.0f}, height * 0.22f, height * 0.75f, 12, kGrass, 1.5f);
}

}  // namespace

MapMesh BuildCourtyard() {
    MapMesh mesh = BuildCompound();
    AddGroundAround(mesh, {}, -36.0f, -36.0f, 36.0f, 60.0f);
    // Beyond the gateway: an obelisk on its plinth, seen through the opening and over the wall.
    AddBox(mesh, {-1.2f, 0.0f, 28.8f}, {1.2f, 0.6f, 31.2f}, kStone);
    AddObelisk(mesh, {0.0f, 0.6f, 30.0f}, 1.1f, 0.65f, 7.5f, 0.9f, kMarbleStone);
    const Point trees[] = {{-7.0f, 0.0f, 19.0f}, {6.5f, 0.0f, 21.0f},  {-13.0f, 0.0f, 26.0f},
                           {12.5f, 0.0f, 28.0f}, {-5.0f, 0.0f, 36.0f}, {8.0f, 0.0f, 40.0f}};
    float height = 8.0f;
    for (const Point& tree : trees) {
        AddTree(mesh, tree, height);
        height += 0.7f;
    }
    return mesh;
}

MapMesh BuildCourtyardGrid(int targetTriangles) {
    const MapMesh compound = BuildCompound();
    constexpr float kPitchX = kOuterHalfWidth * 2.0f + 6.0f;
    constexpr float kPitchZ = kOuterBack - kOuterFront + 6.0f;
    // Ground strips add a few triangles per copy; count them in when sizing the grid.
    const double perCopy = static_cast<double>(compound.triangles.size()) + 40.0;
    const int side = std::max(1, static_cast<int>(std::lround(std::sqrt(targetTriangles / perCopy))));
    MapMesh mesh;
    mesh.start = kStart;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const Point offset{static_cast<float>(column - side / 2) * kPitchX, 0.0f,
                               static_cast<float>(row - side / 2) * kPitchZ};
            AppendMoved(mesh, compound, offset);
            const float midZ = (kOuterFront + kOuterBack) * 0.5f;
            AddGroundAround(mesh, offset, offset.x - kPitchX * 0.5f, offset.z + midZ - kPitchZ * 0.5f,
                            offset.x + kPitchX * 0.5f, offset.z + midZ + kPitchZ * 0.5f);
        }
    }
    return mesh;
}
