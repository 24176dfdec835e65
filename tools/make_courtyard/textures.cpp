// Procedural textures: patterns whose periods divide the image size, coloured with tileable noise.
#include "tools/make_courtyard/textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/make_courtyard/noise.h"

const char* const kTextureFileNames[kTextureCount] = {
    "old brick.png",    "paving stones.bmp",    "oak planks.png", "grass.bmp",
    "white marble.png", "sandstone blocks.bmp", "pond water.png", "wooden crate.bmp",
};

namespace {

constexpr int kSize = kTextureSize;
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Colour operator*(Colour c, float s) {
    return {c.r * s, c.g * s, c.b * s};
}
Colour Mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Image Blank() {
    return {kSize, kSize, std::vector<std::uint8_t>(kSize * kSize * 3)};
}

void Put(Image& image, int x, int y, Colour c) {
    x = ((x % kSize) + kSize) % kSize;
    y = ((y % kSize) + kSize) % kSize;
    std::uint8_t* p =
        image.rgb.data() + (static_cast<std::size_t>(y) * kSize + static_cast<std::size_t>(x)) * 3;
    p[0] = static_cast<std::uint8_t>(std::clamp(c.r, 0.0f, 255.0f));
    p[1] = static_cast<std::uint8_t>(std::clamp(c.g, 0.0f, 255.0f));
    p[2] = static_cast<std::uint8_t>(std::clamp(c.b, 0.0f, 255.0f));
}

// Distance in pixels from (x, y) to the nearest edge of a w-by-h cell, given the offsets inside it.
int EdgeDistance(int inX, int inY, int w, int h) {
    return std::min(std::min(inX, w - 1 - inX), std::min(inY, h - 1 - inY));
}

// Wood with its grain running along `along`: long wavy lines, light and dark, and fine fibres.
Colour Wood(float along, float across, Colour light, Colour dark, std::uint32_t seed) {
    const float wobble = TileFbm(across, along, kSize, 2, 4, seed) * 4.0f;
    const float lines = 0.5f + 0.5f * std::sin(kTwoPi * (across * 14.0f / kSize + wobble));
    const float fibre = Hash(static_cast<int>(across), static_cast<int>(along) / 16, seed + 7u);
    const float pores = 0.94f + 0.12f * Hash(static_cast<int>(along), static_cast<int>(across), seed + 9u);
    return Mix(light, dark, lines * lines * lines * 0.75f + fibre * 0.25f) * pores;
}

Image MakeBrick() {
    Image image = Blank();
    const Colour mortar{172.0f, 166.0f, 150.0f};
    constexpr int kCourse = 32;
    constexpr int kLength = 64;
    constexpr int kJoint = 4;
    for (int y = 0; y < kSize; ++y) {
        const int course = y / kCourse;
        const int shift = (course % 2) * (kLength / 2);
        for (int x = 0; x < kSize; ++x) {
            const int xs = (x + shift) % kSize;
            const int brick = xs / kLength;
            const int inX = xs % kLength;
            const int inY = y % kCourse;
            const float grit = TileFbm(static_cast<float>(x), static_cast<float>(y), kSize, 32, 3, 11u);
            if (inX >= kLength - kJoint || inY >= kCourse - kJoint) {
                Put(image, x, y, mortar * (0.8f + 0.35f * grit));
                continue;
            }
            const float tone = Hash(brick, course, 3u);
            Colour base{150.0f + 40.0f * tone, 58.0f + 22.0f * Hash(brick, course, 4u), 42.0f + 10.0f * tone};
            if (Hash(brick, course, 5u) < 0.18f) {
                base = base * 0.62f;  // a sooty old brick here and there
            }
            const int edge = EdgeDistance(inX, inY, kLength - kJoint, kCourse - kJoint);
            const float bevel = edge < 2 ? 0.8f : 1.0f;
            const float speckle = 0.85f + 0.3f * Hash(x, y, 6u);
            Put(image, x, y, base * ((0.75f + 0.5f * grit) * bevel * speckle));
        }
    }
    return image;
}

Image MakePaving() {
    Image image = Blank();
    const Colour grout{72.0f, 70.0f, 64.0f};
    constexpr int kRow = 64;
    constexpr int kGrout = 4;
    for (int y = 0; y < kSize; ++y) {
        const int row = y / kRow;
        const int shift = static_cast<int>(Hash(row, 0, 21u) * 4.0f) * 16;
        for (int x = 0; x < kSize; ++x) {
            const int xs = (x + shift) % kSize;
            // Slabs alternate between long and short within a row.
            const int slab = xs < 96 ? 0 : (xs < 160 ? 1 : 2);
            const int slabStart = slab == 0 ? 0 : (slab == 1 ? 96 : 160);
            const int slabWidth = slab == 0 ? 96 : (slab == 1 ? 64 : 96);
            const int inX = xs - slabStart;
            const int inY = y % kRow;
            const float grain = TileFbm(static_cast<float>(x), static_cast<float>(y), kSize, 16, 4, 23u);
            if (inX >= slabWidth - kGrout || inY >= kRow - kGrout) {
                Put(image, x, y, grout * (0.8f + 0.4f * grain));
                continue;
            }
            const float tone = Hash(slab, row, 24u);
            const float warmth = 8.0f * Hash(slab, row, 25u);
            const Colour base{150.0f + 45.0f * tone + warmth, 146.0f + 42.0f * tone,
                              136.0f + 36.0f * tone - warmth};
            const int edge = EdgeDistance(inX, inY, slabWidth - kGrout, kRow - kGrout);
            const float bevel = edge < 3 ? 0.82f : 1.0f;
            const float pit = Hash(x, y, 26u) < 0.015f ? 0.6f : 1.0f;
            Put(image, x, y, base * ((0.72f + 0.5f * grain) * bevel * pit));
        }
    }
    return image;
}

Image MakePlanks() {
    Image image = Blank();
    const Colour light{176.0f, 124.0f, 74.0f};
    const Colour dark{118.0f, 76.0f, 42.0f};
    constexpr int kWidth = 64;
    for (int x = 0; x < kSize; ++x) {
        const int plank = x / kWidth;
        const int inX = x % kWidth;
        const int joint = static_cast<int>(Hash(plank, 0, 31u) * kSize);
        for (int y = 0; y < kSize; ++y) {
            const int fromJoint = ((y - joint) % kSize + kSize) % kSize;
            if (inX < 2 || fromJoint < 2) {
                Put(image, x, y, Colour{52.0f, 34.0f, 22.0f});
                continue;
            }
            const float shade = 0.85f + 0.3f * Hash(plank, fromJoint < kSize / 2 ? 1 : 2, 32u);
            Colour c = Wood(static_cast<float>(y), static_cast<float>(x), light, dark, 33u + plank) * shade;
            const bool nail =
                (fromJoint >= 6 && fromJoint <= 9) && (inX == 14 || inX == 15 || inX == 50 || inX == 51);
            if (nail) {
                c = Colour{60.0f, 60.0f, 64.0f};
            }
            Put(image, x, y, c);
        }
    }
    return image;
}

Image MakeGrass() {
    Image image = Blank();
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float patch = TileFbm(static_cast<float>(x), static_cast<float>(y), kSize, 8, 4, 41u);
            const Colour lush{58.0f, 118.0f, 34.0f};
            const Colour dry{128.0f, 136.0f, 52.0f};
            const float speckle = 0.8f + 0.4f * Hash(x, y, 42u);
            Put(image, x, y, Mix(lush, dry, patch * patch) * speckle);
        }
    }
    // Blades: short, slightly slanted strokes, light and dark, wrapping at the edges.
    for (int blade = 0; blade < 2600; ++blade) {
        const int x = static_cast<int>(Hash(blade, 0, 43u) * kSize);
        const int y = static_cast<int>(Hash(blade, 1, 43u) * kSize);
        const int length = 4 + static_cast<int>(Hash(blade, 2, 43u) * 8.0f);
        const float slant = (Hash(blade, 3, 43u) - 0.5f) * 0.8f;
        const Colour tint =
            Hash(blade, 4, 43u) < 0.5f ? Colour{120.0f, 172.0f, 62.0f} : Colour{28.0f, 72.0f, 18.0f};
        for (int k = 0; k < length; ++k) {
            Put(image, x + static_cast<int>(std::lround(slant * static_cast<float>(k))), y - k, tint);
        }
    }
    return image;
}

Image MakeMarble() {
    Image image = Blank();
    const Colour white{232.0f, 229.0f, 222.0f};
    const Colour vein{112.0f, 112.0f, 122.0f};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float turbulence = TileFbm(fx, fy, kSize, 4, 5, 51u);
            const float main = std::fabs(std::sin(kTwoPi * (2.0f * fx + fy) / kSize + turbulence * 9.0f));
            const float fine = std::fabs(std::sin(kTwoPi * (fx - 3.0f * fy) / kSize + turbulence * 14.0f));
            float darkness = std::max(0.0f, 1.0f - main / 0.09f);
            darkness = std::max(darkness, 0.45f * std::max(0.0f, 1.0f - fine / 0.05f));
            const float cloud = 0.92f + 0.1f * TileFbm(fx, fy, kSize, 16, 3, 52u);
            Put(image, x, y, Mix(white, vein, darkness) * cloud);
        }
    }
    return image;
}

Image MakeSandstone() {
    Image image = Blank();
    const Colour joint{118.0f, 98.0f, 72.0f};
    constexpr int kCourse = 64;
    constexpr int kLength = 128;
    for (int y = 0; y < kSize; ++y) {
        const int course = y / kCourse;
        const int shift = (course % 2) * (kLength / 2);
        for (int x = 0; x < kSize; ++x) {
            const int xs = (x + shift) % kSize;
            const int block = xs / kLength;
            const int inX = xs % kLength;
            const int inY = y % kCourse;
            const float grain = TileFbm(static_cast<float>(x), static_cast<float>(y), kSize, 32, 3, 61u);
            if (inX >= kLength - 3 || inY >= kCourse - 3) {
                Put(image, x, y, joint * (0.85f + 0.3f * grain));
                continue;
            }
            const float tone = Hash(block, course, 62u);
            const Colour base{196.0f + 30.0f * tone, 164.0f + 24.0f * tone, 112.0f + 18.0f * tone};
            // Chisel marks: faint diagonal tooling across each block.
            const float tooling = 0.97f + 0.03f * std::sin(kTwoPi * static_cast<float>(inX + inY) / 8.0f);
            const int edge = EdgeDistance(inX, inY, kLength - 3, kCourse - 3);
            const float bevel = edge < 3 ? 0.85f : 1.0f;
            Put(image, x, y, base * ((0.8f + 0.35f * grain) * tooling * bevel));
        }
    }
    return image;
}

Image MakeWater() {
    Image image = Blank();
    const Colour deep{24.0f, 70.0f, 118.0f};
    const Colour shallow{70.0f, 140.0f, 178.0f};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float warp = TileFbm(fx, fy, kSize, 4, 3, 71u) * 6.0f;
            const float waves = 0.5f + 0.25f * std::sin(kTwoPi * (3.0f * fx + 2.0f * fy) / kSize + warp) +
                                0.25f * std::sin(kTwoPi * (-2.0f * fx + 5.0f * fy) / kSize + warp * 1.3f);
            Colour c = Mix(deep, shallow, waves);
            if (waves > 0.9f) {
                c = Mix(c, Colour{220.0f, 238.0f, 250.0f}, (waves - 0.9f) * 6.0f);  // glints on the crests
            }
            Put(image, x, y, c);
        }
    }
    return image;
}

Image MakeCrate() {
    Image image = Blank();
    const Colour light{196.0f, 150.0f, 92.0f};
    const Colour dark{146.0f, 104.0f, 58.0f};
    constexpr int kFrame = 28;
    constexpr int kSlat = 57;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int edge = EdgeDistance(x, y, kSize, kSize);
            // Distance from the diagonal brace running from the bottom left to the top right.
            const int brace = std::abs(x + y - (kSize - 1));
            Colour c;
            if (edge < kFrame) {
                const bool horizontal = y < kFrame || y >= kSize - kFrame;
                c = horizontal ? Wood(static_cast<float>(x), static_cast<float>(y), light, dark, 81u)
                               : Wood(static_cast<float>(y), static_cast<float>(x), light, dark, 82u);
                if (edge == kFrame - 1 || edge == 0) {
                    c = c * 0.55f;
                }
            } else if (brace < kFrame) {
                c = Wood(static_cast<float>(x - y), static_cast<float>(x + y), light, dark, 83u);
                if (brace >= kFrame - 2) {
                    c = c * 0.55f;
                }
            } else {
                const int inY = (y - kFrame) % kSlat;
                c = Wood(static_cast<float>(x), static_cast<float>(y), light, dark, 84u) * 0.82f;
                if (inY < 2) {
                    c = Colour{70.0f, 46.0f, 26.0f};
                }
            }
            // A nail near each corner of the frame.
            const int cornerX = x < kSize / 2 ? x : kSize - 1 - x;
            const int cornerY = y < kSize / 2 ? y : kSize - 1 - y;
            const bool nail = std::abs(cornerX - 14) <= 2 && std::abs(cornerY - 14) <= 2;
            Put(image, x, y, nail ? Colour{54.0f, 54.0f, 58.0f} : c);
        }
    }
    return image;
}

}  // namespace

Image MakeTexture(TextureId id) {
    switch (id) {
        case kBrick:
            return MakeBrick();
        case kPaving:
            return MakePaving();
        case kPlanks:
            return MakePlanks();
        case kGrass:
            return MakeGrass();
        case kMarble:
            return MakeMarble();
        case kSandstone:
            return MakeSandstone();
        case kWater:
            return MakeWater();
        case kCrate:
            return MakeCrate();
        case kTextureCount:
            break;
    }
    return {};
}
