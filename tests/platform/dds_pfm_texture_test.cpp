#define STB_DXT_IMPLEMENTATION
#include <gtest/gtest.h>
#include <stb_dxt.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/texture_from_file.h"
#include "tests/fakes/recording_device.h"

namespace {

namespace fs = std::filesystem;

std::string Le(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
}

struct DdsFormat {
    std::uint32_t flags;  // DDPF_*
    std::string fourCc;
    std::uint32_t bits, red, green, blue, alpha;
};
const DdsFormat kDxt1{4, "DXT1", 0, 0, 0, 0, 0};
const DdsFormat kDxt3{4, "DXT3", 0, 0, 0, 0, 0};
const DdsFormat kDxt5{4, "DXT5", 0, 0, 0, 0, 0};

std::string Dds(std::uint32_t width, std::uint32_t height, const DdsFormat& f, const std::string& data,
                std::uint32_t caps2 = 0, std::uint32_t mipmaps = 0) {
    const std::string fourCc = f.fourCc.empty() ? Le(0, 4) : f.fourCc;
    return "DDS " + Le(124, 4) + Le(0x1007 | (mipmaps > 0 ? 0x20000 : 0), 4) + Le(height, 4) + Le(width, 4) +
           Le(0, 4) + Le(0, 4) + Le(mipmaps, 4) + std::string(44, '\0') + Le(32, 4) + Le(f.flags, 4) +
           fourCc + Le(f.bits, 4) + Le(f.red, 4) + Le(f.green, 4) + Le(f.blue, 4) + Le(f.alpha, 4) +
           Le(0x1000, 4) + Le(caps2, 4) + std::string(12, '\0') + data;
}

// Four 4x4 quarters of an 8x8 image: red, green, blue and half-transparent white.
const unsigned char kQuarters[4][4] = {
    {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 128}};

std::string Blocks(bool alpha) {
    std::string blocks;
    for (const auto& colour : kQuarters) {
        unsigned char texels[64];
        for (int i = 0; i < 16; ++i) std::memcpy(texels + 4 * i, colour, 4);
        unsigned char block[16];
        stb_compress_dxt_block(block, texels, alpha ? 1 : 0, STB_DXT_HIGHQUAL);
        blocks.append(reinterpret_cast<char*>(block), alpha ? 16 : 8);
    }
    return blocks;
}

class DdsAndPfmTextures : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("vellmora_dds_" + std::to_string(::getpid()));
    RecordingDevice device;

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    // The file's texture, or null with the reason in why.
    const RecordingTexture* Load(const std::string& bytes, std::string& why) {
        const std::string path = (dir / "image").string();
        std::ofstream(path, std::ios::binary) << bytes;
        RegularFile file;
        EXPECT_EQ(OpenRegularFile(path.c_str(), file).status, OpenStatus::kOk);
        IDirect3DTexture9* texture = nullptr;
        why.clear();
        if (FAILED(CreateTextureFromImageFile(&device, file, &texture, why))) return nullptr;
        return device.textures.back().get();
    }
};

// B, G, R, A of texel (x, y) within tolerance.
void ExpectNear(const RecordingTexture& t, int x, int y, const unsigned char rgba[4], int tolerance) {
    const unsigned char* p = t.texels.data() + (y * t.width + x) * 4;
    EXPECT_NEAR(p[0], rgba[2], tolerance) << x << "," << y;
    EXPECT_NEAR(p[1], rgba[1], tolerance) << x << "," << y;
    EXPECT_NEAR(p[2], rgba[0], tolerance) << x << "," << y;
    EXPECT_NEAR(p[3], rgba[3], tolerance) << x << "," << y;
}

TEST_F(DdsAndPfmTextures, EveryDdsLayoutDecodesToTheColoursItHolds) {
    std::string bgra, rgba, bgr;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const unsigned char* c = kQuarters[(y / 4) * 2 + x / 4];
            bgra += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0]),
                     static_cast<char>(c[3])};
            rgba += {static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2]),
                     static_cast<char>(c[3])};
            bgr += bgra.substr(bgra.size() - 4, 3);
        }
    }
    struct Case {
        std::string file;
        int tolerance;  // 5:6:5 end points; DXT3's 4-bit alpha
        bool opaque;
    } cases[] = {
        {Dds(8, 8, kDxt1, Blocks(false)), 8, true},
        {Dds(8, 8, kDxt5, Blocks(true)), 8, false},
        {Dds(8, 8, {0x41, "", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, bgra), 0, false},
        {Dds(8, 8, {0x40, "", 32, 0xFF0000, 0xFF00, 0xFF, 0}, bgra), 0, true},
        {Dds(8, 8, {0x40, "", 24, 0xFF0000, 0xFF00, 0xFF, 0}, bgr), 0, true},
        {Dds(8, 8, {0x41, "", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000}, rgba), 0, false},
    };
    for (const Case& c : cases) {
        std::string why;
        const RecordingTexture* t = Load(c.file, why);
        ASSERT_NE(t, nullptr) << why;
        EXPECT_EQ(t->width, 8u);
        EXPECT_EQ(t->levels, 1u);
        for (int quarter = 0; quarter < 4; ++quarter) {
            unsigned char expected[4];
            std::memcpy(expected, kQuarters[quarter], 4);
            if (c.opaque) expected[3] = 255;
            ExpectNear(*t, (quarter % 2) * 4 + 1, (quarter / 2) * 4 + 2, expected, c.tolerance);
        }
    }
}

// DXT1's three-colour blocks (first end point not above the second) make index 3 transparent
// black; DXT3 keeps 4 bits of alpha a texel. Odd sizes drop the blocks' texels past the edge.
TEST_F(DdsAndPfmTextures, DxtOneBitAlphaAndExplicitAlphaDecode) {
    const std::string white = Le(0xFFFF, 2);
    const std::string threeColour = Le(0x001F, 2) + white + Le(0xFFFFFFFC, 4);  // texel 0 blue, rest index 3
    const std::string explicitAlpha = Le(0xF3, 8) + white + white + Le(0, 4);
    std::string why;
    const RecordingTexture* t = Load(Dds(3, 2, kDxt1, threeColour), why);
    ASSERT_NE(t, nullptr) << why;
    const unsigned char blue[] = {0, 0, 255, 255}, clear[] = {0, 0, 0, 0};
    ExpectNear(*t, 0, 0, blue, 0);
    ExpectNear(*t, 2, 1, clear, 0);
    t = Load(Dds(2, 1, kDxt3, explicitAlpha), why);
    ASSERT_NE(t, nullptr) << why;
    const unsigned char faint[] = {255, 255, 255, 51}, solid[] = {255, 255, 255, 255};
    ExpectNear(*t, 0, 0, faint, 0);
    ExpectNear(*t, 1, 0, solid, 0);
}

// The blocks go to the device as they are where its adapter has the format, row by row of blocks,
// and are decoded where it does not, or where the image is not of whole blocks.
TEST_F(DdsAndPfmTextures, DxtBlocksStayCompressedWhereTheAdapterHasTheirFormat) {
    device.textureFormats = {D3DFMT_A8R8G8B8, D3DFMT_DXT1, D3DFMT_DXT5};
    const std::string dxt1 = Blocks(false);
    const std::string dxt5 = Blocks(true);
    struct Case {
        std::string file;
        UINT width, height;
        std::uint32_t asked;  // 0: not asked
        D3DFORMAT format;
        std::string texels;
    } cases[] = {
        {Dds(8, 8, kDxt1, dxt1), 8, 8, D3DFMT_DXT1, D3DFMT_DXT1, dxt1},
        {Dds(8, 8, kDxt5, dxt5), 8, 8, D3DFMT_DXT5, D3DFMT_DXT5, dxt5},
        {Dds(8, 8, kDxt3, dxt5), 8, 8, D3DFMT_DXT3, D3DFMT_A8R8G8B8, ""},
        {Dds(6, 5, kDxt1, dxt1), 6, 5, 0, D3DFMT_A8R8G8B8, ""},
    };
    for (const Case& c : cases) {
        device.calls.clear();
        std::string why;
        const RecordingTexture* t = Load(c.file, why);
        ASSERT_NE(t, nullptr) << why;
        // The adapter is asked once, for the file's block format, and only for whole blocks.
        const std::string check = "CheckDeviceFormat(0, 1, 22, 0, 3, " + std::to_string(c.asked) + ")";
        EXPECT_EQ(
            std::count_if(device.calls.begin(), device.calls.end(),
                          [](const std::string& call) { return call.starts_with("CheckDeviceFormat("); }),
            c.asked != 0 ? 1 : 0);
        EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), check), c.asked != 0 ? 1 : 0);
        EXPECT_EQ(t->unlockCount, 1);
        EXPECT_EQ(t->format, c.format);
        EXPECT_EQ(t->levels, 1u);
        EXPECT_EQ(t->pool, D3DPOOL_MANAGED);
        EXPECT_EQ(t->width, c.width);
        EXPECT_EQ(t->height, c.height);
        if (!c.texels.empty()) {
            EXPECT_EQ(std::string(t->texels.begin(), t->texels.end()), c.texels);
        }
    }
}

std::string Float(float value, bool littleEndian) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    const std::string text = Le(bits, 4);
    return littleEndian ? text : std::string(text.rbegin(), text.rend());
}

// A PFM and a Radiance HDR file of the same light give the same texels; PFM rows run bottom to top
// and values beyond 0–1 are clamped.
TEST_F(DdsAndPfmTextures, PfmLooksLikeTheSameLightInHdrWhicheverItsByteOrder) {
    const float light[] = {0.5f, 0.25f, 1.0f, 0.125f, 0.0f, 0.75f};  // top row; the bottom is 2 and -1
    std::vector<float> hdrLight(light, light + 6);
    hdrLight.insert(hdrLight.end(), {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f});
    const std::string hdr = (dir / "light.hdr").string();
    ASSERT_TRUE(stbi_write_hdr(hdr.c_str(), 2, 2, 3, hdrLight.data()));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(&device, hdr.c_str(), &texture), S_OK);
    const std::vector<std::uint8_t> expected = device.textures.back()->texels;
    for (const bool little : {true, false}) {
        std::string file = std::string("PF\n2 2\n") + (little ? "-1.0" : "1.0") + "\n";
        for (const float value : {2.0f, 2.0f, 2.0f, -1.0f, -1.0f, -1.0f}) file += Float(value, little);
        for (const float value : light) file += Float(value, little);
        std::string why;
        const RecordingTexture* t = Load(file, why);
        ASSERT_NE(t, nullptr) << why;
        EXPECT_EQ(t->texels, expected);
    }
    std::string why;
    const RecordingTexture* grey = Load("Pf 1 1 -1\n" + Float(0.5f, true), why);
    ASSERT_NE(grey, nullptr) << why;
    EXPECT_EQ(grey->texels, std::vector<std::uint8_t>({186, 186, 186, 255}));
}

TEST_F(DdsAndPfmTextures, RefusalsSayWhyBeforeAnyTextureIsMade) {
    const DdsFormat argb{0x41, "", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const std::string fourTexels(16, '\x7F');
    const struct {
        std::string file;
        std::string why;
    } refusals[] = {
        {Dds(1, 1, argb, std::string(24, '\0'), 0xFE00),
         "a DDS cube map: the viewer reads 2-D textures only"},
        {Dds(1, 1, argb, std::string(8, '\0'), 0x200000),
         "a DDS volume texture: the viewer reads 2-D textures only"},
        {Dds(2, 2, argb, fourTexels.substr(1)),
         "pixel data cut short: the file holds 143 of the 144 bytes its header declares"},
        {Dds(2, 2, argb, fourTexels, 0, 2),
         "pixel data cut short: the file holds 144 of the 148 bytes its header declares"},
        {Dds(8192, 8, kDxt1, ""), "8192x8 pixels, larger than the device's 4096x2048 limit"},
        {Dds(4, 4, {4, "ATI2", 0, 0, 0, 0, 0}, fourTexels),
         "a DDS pixel format the viewer does not read (ATI2)"},
        {"PF\n1 2\n-1\n" + std::string(23, '\0'),
         "pixel data cut short: the file holds 33 of the 34 bytes its header declares"},
    };
    for (const auto& refusal : refusals) {
        std::string why;
        EXPECT_EQ(Load(refusal.file, why), nullptr);
        EXPECT_EQ(why, refusal.why);
    }
    EXPECT_TRUE(device.textures.empty());
}

}  // namespace
