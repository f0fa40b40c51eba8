// The pictures the windows draw by pixel: each PNG must have exactly the size
// its place on screen was laid out for. Read from the PNG header alone.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <string>

namespace zorbik {
namespace {

struct PngHeader {
    bool valid = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The signature and the IHDR chunk, which a PNG file must begin with.
PngHeader ReadPngHeader(const std::string& path)
{
    static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::array<unsigned char, 8 + 8 + 13> bytes{};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return {};
    PngHeader header;
    header.valid = std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()) &&
                   BigEndian32(&bytes[8]) == 13 && std::string(&bytes[12], &bytes[16]) == "IHDR";
    header.width = BigEndian32(&bytes[16]);
    header.height = BigEndian32(&bytes[20]);
    header.bitDepth = bytes[24];
    header.colourType = bytes[25];
    return header;
}

struct Picture {
    const char* path; // below resources/
    std::uint32_t width;
    std::uint32_t height;
};

constexpr Picture kPictures[] = {
    {"markers.png", 96, 16},           {"picture107.png", 199, 341},      {"help/bitmap105.png", 386, 64},
    {"help/bitmap115.png", 387, 152},  {"help/bitmap101.png", 474, 65},   {"help/bitmap100.png", 268, 99},
    {"help/bitmap119.png", 275, 121},  {"help/bitmap118.png", 273, 186},  {"help/bitmap120.png", 284, 122},
    {"help/bitmap116.png", 572, 259},  {"help/bitmap121.png", 291, 54},   {"help/bitmap122.png", 100, 150},
};

std::string ResourcePath(const char* path)
{
    return std::string(ZORBIK_SOURCE_DIR) + "/resources/" + path;
}

TEST(HelpPictures, HaveTheSizeOfTheirPlace)
{
    for (const Picture& picture : kPictures) {
        const PngHeader header = ReadPngHeader(ResourcePath(picture.path));
        ASSERT_TRUE(header.valid) << picture.path << " is no PNG file";
        EXPECT_EQ(header.width, picture.width) << picture.path;
        EXPECT_EQ(header.height, picture.height) << picture.path;
    }
}

// The marker strip is cut into 16 by 16 icons of 24-bit colour.
TEST(HelpPictures, MarkerStripHasTrueColourWithoutAlpha)
{
    const PngHeader header = ReadPngHeader(ResourcePath("markers.png"));
    ASSERT_TRUE(header.valid);
    EXPECT_EQ(header.bitDepth, 8);
    EXPECT_EQ(header.colourType, 2) << "RGB, no palette and no alpha";
}

TEST(HelpPictures, HeaderReaderRefusesWhatIsNoPng)
{
    EXPECT_FALSE(ReadPngHeader(ResourcePath("help/help_en.txt")).valid);
    EXPECT_FALSE(ReadPngHeader(ResourcePath("help/no-such-picture.png")).valid);
}

} // namespace
} // namespace zorbik
