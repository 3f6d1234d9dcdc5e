#include "catalog/PictureLoader.h"
#include "gamecfg/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace kw {
namespace {

namespace stdfs = std::filesystem;

// A progressive picture of 176 bytes whose header claims 28280 x 51715 pixels; the decoder would set aside
// gigabytes for it before reading a single scan.
const std::string
    kForged("\xff\xd8\xff\xee\x00\x0e\x41\x64\x6f\x62\x65\x00\x64\x00\x00\x00\x00\x02\xff\xdb\x00\x43\x00\x10"
            "\x0b\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x83\x70\x64\x78\x5c\x65\x67\x63\xff\xdb"
            "\x00\x43\x01\x11\x12\x12\x18\x15\x18\x2f\x1a\x1a\x2f\x63\x42\x38\x42\x63\x63\x63\x63\x63\x63\x63"
            "\x63\x63\x63\x63\x63\x63\x63\x63\x63\x00\x00\x00\x63\x63\x63\x63\xff\xc0\x00\x14\x08\xca\x03\x6e"
            "\x78\x04\x01\x22\x00\x02\x11\x01\x03\x11\x01\x04\x22\x00\xff\xc4\x00\x1b\x00\x01\x01\x01\x00\x03"
            "\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x02\x03\x04\x05\x06\x00\x20\x10\x08\x02\x01"
            "\x04\x02\x01\x32\x30\x30\x21\xc8\x50\x40\xff\xda\x00\x08\x01\x01\x00\x01\x05\x02\xfa\x7e\xeb\xdf"
            "\x1e\x26\xb0\x27\x00\x0f\xff\xd9",
            176);

TEST(ForgedPictureTest, HugeDeclaredSizeIsRefusedBeforeDecoding) {
    const stdfs::path path =
        stdfs::temp_directory_path() / ("kw-forged-" + std::to_string(std::random_device{}()) + ".jpg");
    std::ofstream(path, std::ios::binary) << kForged;
    TPic pic;
    try {
        LoadFromFile(pic, path.string());
        ADD_FAILURE() << "accepted";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("picture too large"));
    }
    EXPECT_TRUE(pic.Rgb.empty());
    stdfs::remove(path);
}

} // namespace
} // namespace kw
