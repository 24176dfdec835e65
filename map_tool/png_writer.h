#pragma once
// PNG files from 8-bit RGBA pixels, top row first.
#include <cstdint>
#include <filesystem>

bool WritePng(const std::filesystem::path& path, int width, int height, const std::uint8_t* rgba);
