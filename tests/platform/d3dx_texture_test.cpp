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
using namespace std::string_literals;

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

std::string Le(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
}

std::string Be(std::uint64_t value, int bytes) {
    const std::string text = Le(value, bytes);
    return {text.rbegin(), text.rend()};
}

// What a header declares, to the byte: a BMP's last row needs no padding, whichever way its rows
// run, and a TGA's pixels come after its ID field.
TEST(FewestImageBytes, CountToTheByteWhatTheHeaderDeclares) {
    auto bmp = [](std::int32_t height) {
        return "BM" + Le(0, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(1, 4) +
               Le(static_cast<std::uint32_t>(height), 4) + Le(1, 2) + Le(24, 2) + std::string(24, '\0');
    };
    const std::string tga =
        Le(5, 1) + Le(0, 1) + Le(2, 1) + std::string(9, '\0') + Le(2, 2) + Le(1, 2) + Le(24, 1) + Le(0, 1);
    for (const auto& [head, bytes] :
         {std::pair{bmp(2), 54 + 4 + 3}, {bmp(-2), 54 + 4 + 3}, {tga, 18 + 5 + 6}}) {
        const auto* data = reinterpret_cast<const unsigned char*>(head.data());
        EXPECT_EQ(FewestImageBytes(data, head.size(), 2, 1).bytes, static_cast<std::uint64_t>(bytes));
    }
}

void Append(void* text, void* data, int size) {
    static_cast<std::string*>(text)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

// Each compressed format at its best packing loads (these TGA, HDR, PSD and PIC files are as short
// as their runs allow); one whose header claims more pixels than its file can hold is refused
// before a pixel is decoded; a zlib stream inflating past its 1x1 pixels stops when it outgrows them.
TEST_F(TextureFromFile, CompressedImagesLoadOnlyWhereTheirFileCanHoldTheirPixels) {
    const std::vector<unsigned char> grey(1024 * 512 * 4, 90);
    const std::vector<float> light(1024 * 512 * 3, 0.5f);
    std::string tga, hdr, png, jpg, bomb;
    ASSERT_TRUE(stbi_write_tga_to_func(Append, &tga, 1024, 512, 4, grey.data()));
    ASSERT_TRUE(stbi_write_hdr_to_func(Append, &hdr, 1024, 512, 3, light.data()));
    ASSERT_TRUE(stbi_write_png_to_func(Append, &png, 1024, 512, 4, grey.data(), 4096));
    ASSERT_TRUE(stbi_write_jpg_to_func(Append, &jpg, 1024, 512, 4, grey.data(), 50));
    ASSERT_TRUE(stbi_write_png_to_func(Append, &bomb, 2048, 1024, 1, grey.data(), 2048));
    auto psd = [](std::uint32_t width, std::uint32_t height) {  // RGB, PackBits
        return "8BPS" + Be(1, 2) + std::string(6, '\0') + Be(3, 2) + Be(height, 4) + Be(width, 4) + Be(8, 2) +
               Be(3, 2) + std::string(12, '\0') + Be(1, 2);
    };
    auto gif = [](std::uint32_t width, std::uint32_t height) {  // black and white
        return "GIF89a" + Le(width, 2) + Le(height, 2) + "\x80\0\0\0\0\0\xFF\xFF\xFF,"s + Le(0, 4) +
               Le(width, 2) + Le(height, 2) + '\0';
    };
    auto pic = [](std::uint32_t width, std::uint32_t height) {
        return Be(0x5380F634, 4) + std::string(84, '\0') + "PICT" + Be(width, 2) + Be(height, 2) +
               std::string(8, '\0');
    };
    auto refused = [](const std::string& file, const char* packing) {
        return std::pair{file, "the file's " + std::to_string(file.size()) +
                                   " bytes cannot hold the 1024x512 pixels its header declares (" + packing +
                                   ")"};
    };
    const std::pair<std::string, std::string> files[] = {
        {tga, ""},
        {hdr, ""},
        {png, ""},
        {jpg, ""},
        {psd(128, 1) + Be(2, 6) + "\x81\x10\x81\x20\x81\x30", ""},
        {gif(2, 1) + "\x02\x02\x44\x0A\0;"s, ""},
        {pic(300, 1) + "\0\x08\x02\xE0\x80"s + Be(300, 2) + "\x10\x20\x30", ""},
        refused(tga.substr(0, 18), "run-length TGA packs at most 128 pixels per packet"),
        refused(hdr.substr(0, hdr.find("1024\n") + 5),
                "Radiance HDR runs pack at most 127 pixels in 2 bytes"),
        refused(png.substr(0, 33), "PNG's deflate data expands at most 1032-fold"),
        refused(jpg.substr(0, jpg.find("\xFF\xC4")), "JPEG codes each 8x8 block in at least one bit"),
        refused(psd(1024, 512), "PSD's PackBits packs at most 128 bytes in 2"),
        refused(gif(1024, 512) + "\x02\x01\x04\0;"s, "GIF's LZW codes give at most 4096 pixels per 12 bits"),
        refused(pic(1024, 512) + "\0\x08\0\0\0"s, "Softimage PIC runs end with each row"),
        {bomb.replace(16, 8, Be(1, 4) + Be(1, 4)),
         "cannot be decoded (its data expands beyond the 1x1 pixels it declares)"},
    };
    for (const auto& [bytes, expected] : files) {
        std::ofstream(PathOf("image"), std::ios::binary) << bytes;
        RegularFile file;
        std::string why;
        ASSERT_EQ(OpenRegularFile(PathOf("image").c_str(), file).status, OpenStatus::kOk);
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(SUCCEEDED(CreateTextureFromImageFile(&device, file, &texture, why)), expected.empty());
        EXPECT_EQ(why, expected);
    }
    ASSERT_EQ(device.textures.size(), 7u);
    ExpectTexel(*device.textures[4], 127, 0, 0x30, 0x20, 0x10, 255);
    ExpectTexel(*device.textures[6], 299, 0, 0x30, 0x20, 0x10, 255);
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
