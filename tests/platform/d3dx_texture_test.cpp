#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/d3dx.h"
#include "platform/image_extent.h"
#include "platform/texture_from_file.h"
#include "tests/fakes/recording_device.h"

namespace {

namespace fs = std::filesystem;

// A 3×2 image: top row red, green, blue; bottom row white, black, half-transparent grey.
const unsigned char kPixels[] = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0,   255, 255,
                                 255, 255, 255, 255, 0, 0,   0, 255, 128, 128, 128, 128};

class TextureFromFile : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("vellmora_texture_" + std::to_string(::getpid()));
    RecordingDevice device;

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string PathOf(const char* name) { return (dir / name).string(); }
};

void ExpectTexel(const RecordingTexture& t, int x, int y, unsigned b, unsigned g, unsigned r, unsigned a) {
    const unsigned char* p = t.texels.data() + (y * t.width + x) * 4;
    EXPECT_EQ(p[0], b) << x << "," << y;
    EXPECT_EQ(p[1], g) << x << "," << y;
    EXPECT_EQ(p[2], r) << x << "," << y;
    EXPECT_EQ(p[3], a) << x << "," << y;
}

// The same BMP with its rows stored top first, as a negative height says.
void WriteTopDownBmp(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t pixels = static_cast<unsigned char>(bytes[10]);  // 3x2 at 32 bits: two rows of 12
    std::swap_ranges(bytes.begin() + pixels, bytes.begin() + pixels + 12, bytes.begin() + pixels + 12);
    bytes.replace(22, 4, "\xFE\xFF\xFF\xFF", 4);  // -2
    std::ofstream(to, std::ios::binary) << bytes;
}

TEST_F(TextureFromFile, LosslessFormatsFillAManagedA8R8G8B8TextureInBgraOrder) {
    const std::string png = PathOf("t.png");
    const std::string bmp = PathOf("t.bmp");
    const std::string tga = PathOf("t.tga");
    const std::string topDown = PathOf("top-down.bmp");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 3, 2, 4, kPixels, 12));
    ASSERT_TRUE(stbi_write_bmp(bmp.c_str(), 3, 2, 4, kPixels));
    ASSERT_TRUE(stbi_write_tga(tga.c_str(), 3, 2, 4, kPixels));
    WriteTopDownBmp(bmp, topDown);
    for (const std::string& file : {png, bmp, tga, topDown}) {
        SCOPED_TRACE(file);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileA(&device, file.c_str(), &texture), S_OK);
        ASSERT_NE(texture, nullptr);
        const RecordingTexture& t = *device.textures.back();
        EXPECT_EQ(texture, &t);
        EXPECT_EQ(t.width, 3u);
        EXPECT_EQ(t.height, 2u);
        EXPECT_EQ(t.levels, 1u);
        EXPECT_EQ(t.format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(t.pool, D3DPOOL_MANAGED);
        EXPECT_EQ(t.unlockCount, 1);
        ExpectTexel(t, 0, 0, 0, 0, 255, 255);
        ExpectTexel(t, 2, 0, 255, 0, 0, 255);
        ExpectTexel(t, 0, 1, 255, 255, 255, 255);
        ExpectTexel(t, 1, 1, 0, 0, 0, 255);
    }
}

TEST_F(TextureFromFile, PpmAndJpegDecode) {
    const std::string ppm = PathOf("t.ppm");
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n2 1\n255\n";
        out.write("\x10\x20\x30\xff\x00\x80", 6);
    }
    const std::string jpg = PathOf("t.jpg");
    std::vector<unsigned char> grey(16 * 16 * 3, 200);
    ASSERT_TRUE(stbi_write_jpg(jpg.c_str(), 16, 16, 3, grey.data(), 95));

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(&device, ppm.c_str(), &texture), S_OK);
    ExpectTexel(*device.textures.back(), 0, 0, 0x30, 0x20, 0x10, 255);
    ExpectTexel(*device.textures.back(), 1, 0, 0x80, 0x00, 0xff, 255);

    ASSERT_EQ(D3DXCreateTextureFromFileA(&device, jpg.c_str(), &texture), S_OK);
    const RecordingTexture& t = *device.textures.back();
    EXPECT_EQ(t.width, 16u);
    EXPECT_NEAR(t.texels[4 * 100 + 1], 200, 3);
    EXPECT_EQ(t.texels[4 * 100 + 3], 255);
}

TEST_F(TextureFromFile, GreyImagesFillAllThreeColoursAndOnlyStoredAlphaIsKept) {
    const unsigned char grey[] = {10, 200};
    const unsigned char greyAlpha[] = {10, 20, 200, 40};
    const std::string g = PathOf("g.png");
    const std::string ga = PathOf("ga.png");
    ASSERT_TRUE(stbi_write_png(g.c_str(), 2, 1, 1, grey, 2));
    ASSERT_TRUE(stbi_write_png(ga.c_str(), 2, 1, 2, greyAlpha, 4));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(&device, g.c_str(), &texture), S_OK);
    ExpectTexel(*device.textures.back(), 1, 0, 200, 200, 200, 255);
    ASSERT_EQ(D3DXCreateTextureFromFileA(&device, ga.c_str(), &texture), S_OK);
    ExpectTexel(*device.textures.back(), 0, 0, 10, 10, 10, 20);
    ExpectTexel(*device.textures.back(), 1, 0, 200, 200, 200, 40);
}

// Each refusal comes before any pixel is decoded or any texture made, and says why.
TEST_F(TextureFromFile, OversizedAndCutShortImagesAreRefusedFromTheirHeaders) {
    const std::string png = PathOf("t.png");
    const std::string bmp = PathOf("t.bmp");
    const std::string ppm = PathOf("t.ppm");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 2, 3, 4, kPixels, 8));
    const std::string topDown = PathOf("top-down.bmp");
    ASSERT_TRUE(stbi_write_bmp(bmp.c_str(), 3, 2, 4, kPixels));
    WriteTopDownBmp(bmp, topDown);
    fs::resize_file(bmp, fs::file_size(bmp) - 1);  // one byte short is short
    fs::resize_file(topDown, fs::file_size(topDown) - 4);
    std::ofstream(ppm, std::ios::binary) << "P6 # a comment\n2 1\n255\n\x10\x20\x30\xff";
    device.caps = {3, 2};
    const struct {
        std::string file;
        std::string why;
    } refusals[] = {
        {png, "2x3 pixels, larger than the device's 3x2 limit"},
        {bmp, "pixel data cut short: the file holds 145 of the 146 bytes its header declares"},
        {topDown, "pixel data cut short: the file holds 142 of the 146 bytes its header declares"},
        {ppm, "pixel data cut short: the file holds 27 of the 29 bytes its header declares"},
    };
    for (const auto& refusal : refusals) {
        RegularFile file;
        std::string why;
        ASSERT_EQ(OpenRegularFile(refusal.file.c_str(), file).status, OpenStatus::kOk);
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(&device);
        EXPECT_TRUE(FAILED(CreateTextureFromImageFile(&device, file, &texture, why)));
        EXPECT_EQ(why, refusal.why);
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_TRUE(device.textures.empty());
}

std::string Le(std::uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
}

// What a header declares, to the byte: a BMP's last row needs no padding, whichever way its rows
// run, and a TGA's pixels come after its ID field.
TEST(DeclaredImageBytes, CountToTheByteWhatTheHeaderDeclares) {
    auto bmp = [](std::int32_t height) {
        return "BM" + Le(0, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(1, 4) +
               Le(static_cast<std::uint32_t>(height), 4) + Le(1, 2) + Le(24, 2) + std::string(24, '\0');
    };
    const std::string tga =
        Le(5, 1) + Le(0, 1) + Le(2, 1) + std::string(9, '\0') + Le(2, 2) + Le(1, 2) + Le(24, 1) + Le(0, 1);
    for (const auto& [head, bytes] :
         {std::pair{bmp(2), 54 + 4 + 3}, {bmp(-2), 54 + 4 + 3}, {tga, 18 + 5 + 6}}) {
        EXPECT_EQ(DeclaredImageBytes(reinterpret_cast<const unsigned char*>(head.data()), head.size()),
                  static_cast<std::uint64_t>(bytes));
    }
}

TEST_F(TextureFromFile, UnreadableImagesFailAndLeaveTheSlotNull) {
    const std::string text = PathOf("not_an_image.png");
    std::ofstream(text) << "hello";
    for (const std::string& file : {PathOf("missing.bmp"), text, PathOf("")}) {
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(&device);
        EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(&device, file.c_str(), &texture))) << file;
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_TRUE(device.textures.empty());
}

TEST_F(TextureFromFile, DeviceFailuresGiveNoTextureAndReleaseWhatWasMade) {
    const std::string png = PathOf("t.png");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 3, 2, 4, kPixels, 12));
    IDirect3DTexture9* texture = nullptr;

    device.createTextureResult = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_EQ(D3DXCreateTextureFromFileA(&device, png.c_str(), &texture), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(texture, nullptr);

    device.createTextureResult = S_OK;
    device.textureLockResult = D3DERR_INVALIDCALL;
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(&device, png.c_str(), &texture)));
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(device.textures.size(), 1u);
    EXPECT_EQ(device.textures.back()->releaseCount, 1);

    EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, png.c_str(), &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
}

}  // namespace
