#pragma once
// Deterministic, tileable noise for the procedural textures: the same numbers on every machine,
// and a pattern whose period divides the image size wraps without a seam.
#include <cstdint>

// A pseudo-random number in [0, 1) for integer coordinates and a seed.
float Hash(int x, int y, std::uint32_t seed);

// Smooth value noise in [0, 1) at pixel (x, y) of a size-pixel square that repeats; cells is the
// number of lattice cells across it (must divide size).
float TileNoise(float x, float y, int size, int cells, std::uint32_t seed);

// Octaves of TileNoise, each twice as fine and half as strong; in [0, 1).
float TileFbm(float x, float y, int size, int cells, int octaves, std::uint32_t seed);
