// The image decoders on their own: no display, no GL context. Texture uploads
// what they give (texture_test checks the uploads); tools read files
// through them.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Picture.h"
#include "tools/common/PngFile.h"

using vq_engine::Picture;

namespace {

const std::string testdata = std::string(VQ_TEST_DATA_DIR) + "/";
const int largestSide = 16384;

// libpng itself, asked for 8-bit RGB rows, row 0 at the top, and nothing
// else: no gamma, no background.
bool readRgbRows(FILE* file, std::vector<unsigned char>& rgb, int& width, int& height) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    width = int(png_get_image_width(png, info));
    height = int(png_get_image_height(png, info));
    rgb.resize(size_t(3) * width * height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; y++)
        rows.push_back(&rgb[size_t(3) * width * y]);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::vector<unsigned char> libpngRgb(const std::string& path, int& width, int& height) {
    std::vector<unsigned char> rgb;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file && !readRgbRows(file, rgb, width, height))
        rgb.clear();
    if (file)
        std::fclose(file);
    return rgb;
}

std::string writeBytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::string path = testing::TempDir() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

} // namespace

TEST(Picture, DecodesWithoutADisplayOrAGLContext) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    struct Case {
        std::string file;
        vq_engine::ImgType type;
    };
    for (const Case& c : {Case{"png/basn2c08.png", vq_engine::IMG_PNG}, Case{"jpeg/hopper.jpg", vq_engine::IMG_JPEG},
                          Case{"tga/200x32_l_bl_rle.tga", vq_engine::IMG_TGA}}) {
        Picture picture;
        std::string reason;
        ASSERT_TRUE(picture.load((testdata + c.file).c_str(), c.type, largestSide, reason)) << c.file << ": " << reason;
        EXPECT_GT(picture.width, 0) << c.file;
        EXPECT_EQ(picture.pixels.size(), size_t(picture.width) * picture.height * picture.channels()) << c.file;
    }
}

// Grey, palette and RGB files without alpha, of 8 bits a sample, read the same
// as libpng's own reader reads them.
TEST(Picture, PngsMatchLibpngsOwnReading) {
    for (const char* name : {"basn0g08.png", "basn2c08.png", "basn3p08.png", "basi2c08.png", "rgb-8.png"}) {
        std::string path = testdata + "png/" + name;
        int width = 0, height = 0;
        std::vector<unsigned char> expected = libpngRgb(path, width, height);
        ASSERT_FALSE(expected.empty()) << name;
        Picture picture;
        std::string reason;
        ASSERT_TRUE(picture.loadPNG(path.c_str(), largestSide, reason)) << name << ": " << reason;
        EXPECT_EQ(picture.width, width) << name;
        EXPECT_EQ(picture.height, height) << name;
        EXPECT_EQ(picture.topDownRgb(), expected) << name;

        tools::RgbImage read;
        ASSERT_EQ(tools::readPng(path, read), "") << name;
        EXPECT_EQ(read.rgb, expected) << name;
    }
}

// A 2x2 TGA stored bottom row first in BGR: the picture keeps that row at the
// bottom, and the top-down RGB view puts it last with its channels turned round.
TEST(Picture, TopDownRgbFlipsTheRowsAndOrdersTheChannels) {
    std::vector<unsigned char> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = 24;
    bytes.insert(bytes.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    std::string path = writeBytes("tiny.tga", bytes);
    Picture picture;
    std::string reason;
    ASSERT_TRUE(picture.loadTGA(path.c_str(), largestSide, reason)) << reason;
    EXPECT_EQ(picture.layout, vq_engine::PIXELS_BGR);
    std::vector<unsigned char> topDown = {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0};
    EXPECT_EQ(picture.topDownRgb(), topDown);
}

TEST(Picture, RefusesASideOverTheLimitAndStaysEmpty) {
    Picture picture;
    std::string reason;
    EXPECT_FALSE(picture.loadJPEG((testdata + "jpeg/hopper.jpg").c_str(), 16, reason));
    EXPECT_NE(reason.find("is larger than a texture may be"), std::string::npos) << reason;
    EXPECT_EQ(picture.width, 0);
    EXPECT_TRUE(picture.pixels.empty());

    EXPECT_FALSE(picture.loadPNG((testdata + "forged/png-16384x4096-in-69-bytes.png").c_str(), largestSide, reason));
    EXPECT_NE(reason.find("cannot hold the 16384x4096 pixels its header claims"), std::string::npos) << reason;
    EXPECT_FALSE(picture.load((testdata + "png/rgb-8.png").c_str(), vq_engine::ImgType(7), largestSide, reason));
    EXPECT_EQ(reason, "unknown image type 7");
}
