// Hash-based value noise; integer arithmetic keeps it identical across compilers.
#include "tools/make_courtyard/noise.h"

#include <cmath>

namespace {

int Wrap(int value, int period) {
    return ((value % period) + period) % period;
}

float Smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

float Hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

float TileNoise(float x, float y, int size, int cells, std::uint32_t seed) {
    const float scale = static_cast<float>(cells) / static_cast<float>(size);
    const float fx = x * scale;
    const float fy = y * scale;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = Smooth(fx - static_cast<float>(x0));
    const float ty = Smooth(fy - static_cast<float>(y0));
    const int xa = Wrap(x0, cells);
    const int xb = Wrap(x0 + 1, cells);
    const int ya = Wrap(y0, cells);
    const int yb = Wrap(y0 + 1, cells);
    const float top = Hash(xa, ya, seed) + (Hash(xb, ya, seed) - Hash(xa, ya, seed)) * tx;
    const float bottom = Hash(xa, yb, seed) + (Hash(xb, yb, seed) - Hash(xa, yb, seed)) * tx;
    return top + (bottom - top) * ty;
}

float TileFbm(float x, float y, int size, int cells, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves && cells <= size; ++octave) {
        sum += TileNoise(x, y, size, cells, seed + static_cast<std::uint32_t>(octave)) * weight;
        total += weight;
        weight *= 0.5f;
        cells *= 2;
    }
    return sum / total;
}
