#include "catalog/PictureLoader.h"

#include "gamecfg/Error.h"

#include <gtest/gtest.h>

#include <cstdio> // before jpeglib.h, which uses FILE
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <jpeglib.h>

namespace {

namespace stdfs = std::filesystem;

struct TColour {
    unsigned char R, G, B;
};

constexpr int kWidth = 16, kHeight = 8;

// A solid-colour picture as a real encoder writes it; CMYK input is taken in
// the inverted form Adobe's encoder uses, as the Adobe marker declares.
std::string EncodeJpeg(J_COLOR_SPACE space, std::vector<unsigned char> pixel, bool progressive = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = static_cast<int>(pixel.size());
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row;
    for (int x = 0; x < kWidth; ++x) {
        row.insert(row.end(), pixel.begin(), pixel.end());
    }
    for (JSAMPROW rows[] = {row.data()}; info.next_scanline < info.image_height;) {
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

const std::string kRed = EncodeJpeg(JCS_RGB, {200, 30, 40});

// Grows a picture to an exact file size with a comment segment after SOI.
std::string PaddedTo(const std::string& jpeg, size_t size) {
    const size_t length = size - jpeg.size() - 2; // counts itself, not the marker
    std::string segment = "\xFF\xFE";
    segment += static_cast<char>(length >> 8);
    segment += static_cast<char>(length & 0xFF);
    segment.append(length - 2, 'k');
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

class PictureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FRoot =
            stdfs::temp_directory_path() / ("kw_pictures_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        stdfs::create_directories(FRoot / "images" / "weapons");
    }
    void TearDown() override { stdfs::remove_all(FRoot); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const stdfs::path path = FRoot / "images" / "weapons" / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    stdfs::path FRoot;
};

TEST_F(PictureLoaderTest, DecodesEveryLayoutToRgbWithoutPrinting) {
    const std::pair<std::string, TColour> cases[] = {
        {kRed, {200, 30, 40}},
        {EncodeJpeg(JCS_RGB, {20, 180, 60}, true), {20, 180, 60}},
        {EncodeJpeg(JCS_GRAYSCALE, {90}), {90, 90, 90}},
        {EncodeJpeg(JCS_CMYK, {255, 0, 0, 255}), {255, 0, 0}},
        {kRed.substr(0, 2) + "stray" + kRed.substr(2), {200, 30, 40}}, // libjpeg only warns
    };
    for (const auto& [bytes, colour] : cases) {
        kw::TPic pic;
        ::testing::internal::CaptureStderr();
        LoadFromFile(pic, Write("p.jpg", bytes));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        ASSERT_EQ(pic.Rgb.size(), size_t{kWidth * kHeight * 3});
        const unsigned char* centre = &pic.Rgb[(kHeight / 2 * kWidth + kWidth / 2) * 3];
        EXPECT_NEAR(centre[0], colour.R, 6);
        EXPECT_NEAR(centre[1], colour.G, 6);
        EXPECT_NEAR(centre[2], colour.B, 6);
    }
}

TEST_F(PictureLoaderTest, BrokenFilesThrowWithoutPrintingOrEndingTheProcess) {
    for (const std::string& bytes : {kRed.substr(0, kRed.size() / 4), kRed.substr(0, kRed.size() - 8),
                                     std::string("not a picture"), std::string()}) {
        const std::string path = Write("broken.jpg", bytes);
        kw::TPic pic;
        ::testing::internal::CaptureStderr();
        EXPECT_THROW(LoadFromFile(pic, path), kw::Error);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
}

TEST_F(PictureLoaderTest, FolderListingKeepsSortedValidPicturesWithinTheSizeLimit) {
    Write("x.old.jpg", kRed);
    Write("WPN_AK74.JPG", kRed);
    Write("at_limit.jpg", PaddedTo(kRed, 51200));
    Write("over_limit.jpg", PaddedTo(kRed, 51201));
    Write("broken.jpg", kRed.substr(0, kRed.size() / 3));
    Write("readme.txt", kRed);
    kw::TPicList list;
    LoadPictures(list, FRoot.string() + "/", "images\\weapons");
    std::vector<std::string> names;
    for (const auto& pic : list) {
        names.push_back(pic->Name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"at_limit", "WPN_AK74", "x.old"}));

    LoadPictures(list, FRoot.string() + "/", "images\\no_such_folder");
    EXPECT_TRUE(list.empty());
}

// Section names are windows-1251 bytes; a file system that names files in UTF-8 names the picture of a
// Cyrillic section in UTF-8.
TEST_F(PictureLoaderTest, NamesArriveInTheGamesCodePage) {
    Write("wpn_\xD1\x80\xD1\x8B\xD1\x81\xD1\x8C.jpg", kRed); // "рысь" in UTF-8
    kw::TPicList list;
    LoadPictures(list, FRoot.string() + "/", "images\\weapons");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Name, "wpn_\xF0\xFB\xF1\xFC");
}

TEST(ShippedPictures, EveryShippedPictureLoads) {
    const std::string exeFolder = KW_SOURCE_DIR "/resources/";
    kw::TPictureLists lists;
    LoadAllPictures(lists, exeFolder);
    const std::pair<const char*, const kw::TPicList*> folders[] = {
        {"weapons", &lists.Weapon}, {"ammo", &lists.Ammo},  {"outfits", &lists.Outfit},
        {"arts", &lists.Art},       {"items", &lists.Item},
    };
    for (const auto& [folder, list] : folders) {
        SCOPED_TRACE(folder);
        const auto files = stdfs::directory_iterator(exeFolder + "images/" + folder);
        EXPECT_EQ(list->size(), static_cast<size_t>(std::distance(begin(files), end(files))));
        EXPECT_FALSE(list->empty());
    }
}

} // namespace
