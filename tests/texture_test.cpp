// Textures from the shared set of real TGA, JPEG and PNG files: each decoded
// texture is read back from GL and compared with the reference decoding that
// comes with the file, or with ImageMagick's decoding where there is none.
// Damaged and unsupported files must leave an empty texture and one line.

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "tests/support/GLContext.h"
#include "tests/support/Image.h"
#include "tests/support/NamedPipe.h"
#include "tests/support/Process.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using vq_engine::ImgType;
using vq_engine::ShaderProgram;
using vq_engine::Texture;

namespace {

const std::string testdata = std::string(VQ_TEST_DATA_DIR) + "/";

// RGBA, row 0 at the top of the picture.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

struct Difference {
    int most = 0;
    double mean = 0;
};

Pixels textureContents(Texture& texture) {
    Pixels pixels;
    glBindTexture(GL_TEXTURE_2D, texture.getTexID());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &pixels.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &pixels.height);
    size_t rowBytes = size_t(4) * pixels.width;
    std::vector<unsigned char> bottomUp(rowBytes * pixels.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!bottomUp.empty())
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = pixels.height - 1; y >= 0; y--)
        pixels.rgba.insert(pixels.rgba.end(), bottomUp.begin() + y * rowBytes,
                           bottomUp.begin() + (y + 1) * rowBytes);
    return pixels;
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

Pixels decodeWithImageMagick(const std::string& path) {
    Pixels pixels;
    std::istringstream size(commandOutput("identify -format '%w %h' " + quoted(path) + " 2>/dev/null"));
    size >> pixels.width >> pixels.height;
    // PngSuite files carry gAMA 1.0, which ImageMagick would convert to sRGB
    // unless told the samples are sRGB already; textures keep stored samples.
    std::string raw = commandOutput("convert " + quoted(path) +
                                    " -set colorspace sRGB -depth 8 rgba:- 2>/dev/null");
    if (!size || raw.size() != size_t(4) * pixels.width * pixels.height)
        return Pixels();
    pixels.rgba.assign(raw.begin(), raw.end());
    return pixels;
}

Pixels decodePPM(const std::string& path) {
    Image image = parsePPM(readTextFile(path));
    Pixels pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        pixels.rgba.insert(pixels.rgba.end(), {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2], 255});
    return pixels;
}

Pixels decodeReference(const std::string& path) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".ppm") == 0)
        return decodePPM(path);
    return decodeWithImageMagick(path);
}

// A one-channel upload lands in red: green and blue read back 0, alpha 1.
Pixels greyAsRed(Pixels grey) {
    for (size_t i = 0; i < grey.rgba.size(); i += 4) {
        grey.rgba[i + 1] = grey.rgba[i + 2] = 0;
        grey.rgba[i + 3] = 255;
    }
    return grey;
}

Difference compare(const Pixels& actual, const Pixels& expected, int channels = 4) {
    Difference difference;
    long long sum = 0;
    size_t count = 0;
    for (size_t i = 0; i < expected.rgba.size() && i < actual.rgba.size(); i++) {
        if (int(i % 4) >= channels)
            continue;
        int d = std::abs(int(actual.rgba[i]) - int(expected.rgba[i]));
        difference.most = std::max(difference.most, d);
        sum += d;
        count++;
    }
    difference.mean = count ? double(sum) / count : 0;
    return difference;
}

// Loads path and checks it against expected within tolerance (largest channel difference).
void expectDecodes(const std::string& path, ImgType type, const Pixels& expected, int tolerance,
                   double meanTolerance = 256, int channels = 4) {
    SCOPED_TRACE(path);
    ASSERT_GT(expected.width, 0) << "no reference decoding";
    CaptureStdout();
    Texture texture(path.c_str(), type);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(texture.getWidth(), expected.width);
    EXPECT_EQ(texture.getHeight(), expected.height);
    Pixels actual = textureContents(texture);
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    Difference difference = compare(actual, expected, channels);
    EXPECT_LE(difference.most, tolerance);
    EXPECT_LE(difference.mean, meanTolerance);
}

// A file the loader must turn down: nothing uploaded, one line naming it.
void expectRejected(const std::string& path, ImgType type) {
    SCOPED_TRACE(path);
    CaptureStdout();
    Texture texture(path.c_str(), type);
    std::string output = GetCapturedStdout();
    EXPECT_EQ(texture.getWidth(), 0);
    EXPECT_EQ(texture.getHeight(), 0);
    EXPECT_NE(texture.getTexID(), 0u);
    EXPECT_NE(output.find(path), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    Pixels contents = textureContents(texture);
    EXPECT_EQ(contents.width, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// 8-bit grey and RGB PNGs are uploaded as stored, without the alpha a tRNS
// chunk would give them; other kinds are converted, tRNS becoming alpha.
// IHDR byte 24 is the bit depth, byte 25 the colour type.
struct PngKind {
    bool oneChannel;
    bool opaque;
};

PngKind pngKind(const std::string& path) {
    std::string bytes = readTextFile(path);
    if (bytes.size() <= 25)
        return {false, false};
    bool transparency = bytes.find("tRNS") != std::string::npos;
    bool eightBit = bytes[24] == 8;
    bool grey = bytes[25] == 0;
    bool rgb = bytes[25] == 2;
    return {grey && (eightBit || !transparency), eightBit && (grey || rgb)};
}

Pixels opaque(Pixels pixels) {
    for (size_t i = 3; i < pixels.rgba.size(); i += 4)
        pixels.rgba[i] = 255;
    return pixels;
}

// A width x 1 PNG of 8-bit samples with a tRNS colour key.
std::string writeKeyedPng(const std::string& path, int colourType, const std::vector<unsigned char>& samples,
                          png_color_16 key) {
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    int channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    png_set_IHDR(png, info, png_uint_32(samples.size() / channels), 1, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_tRNS(png, info, nullptr, 0, &key);
    png_write_info(png, info);
    png_write_row(png, samples.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return path;
}

class TextureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::is_directory(testdata)) << "test images not found at " << testdata;
    }
};

class TextureBytes : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
        std::string path = dir.path + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    TempDir dir;
};

std::vector<unsigned char> tgaHeader(int type, int width, int height, int depth, int descriptor) {
    return {0, 0, (unsigned char)type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            (unsigned char)(width & 0xff), (unsigned char)(width >> 8),
            (unsigned char)(height & 0xff), (unsigned char)(height >> 8),
            (unsigned char)depth, (unsigned char)descriptor};
}

const char* const validPngs[] = {
    "basn0g01.png", "basn0g02.png", "basn0g04.png", "basn0g08.png", "basn0g16.png",
    "basn2c08.png", "basn2c16.png", "basn3p01.png", "basn3p02.png", "basn3p04.png",
    "basn3p08.png", "basn4a08.png", "basn4a16.png", "basn6a08.png", "basn6a16.png",
    "basi0g01.png", "basi0g08.png", "basi2c08.png", "basi2c16.png", "basi3p08.png",
    "basi4a08.png", "basi6a08.png", "basi6a16.png", "s01n3p01.png", "s01i3p01.png",
    "s02n3p01.png", "s03n3p01.png", "s04n3p01.png", "s05n3p02.png", "s06n3p02.png",
    "s07n3p02.png", "s09n3p02.png", "s32n3p04.png", "s33n3p04.png", "s35n3p04.png",
    "s37i3p04.png", "s39n3p04.png", "s40n3p04.png", "tbbn0g04.png", "tbrn2c08.png",
    "tbwn3p08.png", "tp0n0g08.png", "tp0n2c08.png", "tp1n3p08.png", "tm3n3p02.png",
    "bgan6a08.png", "bgai4a08.png", "bggn4a16.png", "f00n2c08.png", "f01n2c08.png",
    "f02n2c08.png", "f03n2c08.png", "f04n2c08.png", "f99n0g04.png", "oi1n2c16.png",
    "oi2n0g16.png", "oi4n2c16.png", "oi9n2c16.png", "z00n2c08.png", "z03n2c08.png",
    "z09n2c08.png", "cm0n0g04.png", "ct1n0g04.png", "ctzn0g04.png", "cs3n3p08.png",
    "ch1n3p04.png", "ccwn2c08.png", "cdfn2c08.png", "g03n2c08.png", "g25n0g16.png",
    "pp0n6a08.png", "ps1n0g08.png", "PngSuite.png", "pngtest.png", "rgb-8.png",
    "gray-alpha-8.png", "tango-icon-address-book-new-16.png",
};

const char* const corruptPngs[] = {
    "xs1n0g01.png", "xs2n0g01.png", "xs4n0g01.png", "xcrn0g04.png", "xhdn0g08.png",
    "xc1n0g08.png", "xc9n2c08.png", "xd0n2c08.png", "xd3n2c08.png", "xdtn0g01.png",
    "x_issue230_0.png", "x_unexpected_eof.png", "badcrc.png", "badadler.png", "huge_IDAT.png",
    "basn6a08-truncated.png",
};

struct Reference {
    const char* file;
    const char* reference; // beside the file; nullptr: ImageMagick decodes the file itself
    int tolerance;
    double meanTolerance;
};

const Reference jpegs[] = {
    // TurboJPEG's default (accurate) DCT against djpeg -dct float.
    {"testorig.jpg", "testorig.ppm", 3, 1.0},
    // The reference used the fast DCT and merged upsampling: close, not equal.
    {"testimgint.jpg", "testimgari.ppm", 32, 2.5},
    {"testimgari.jpg", "testimgari.ppm", 32, 2.5},
    {"restarts.jpg", "restarts.png", 2, 0.5},
    {"jpg-progressive.jpg", "jpg-progressive.png", 0, 0},
    {"jpg-gray.jpg", "jpg-gray.png", 0, 0},
    {"jpg-size-1x1.jpg", "jpg-size-1x1.png", 0, 0},
    {"jpg-size-2x2.jpg", "jpg-size-2x2.png", 0, 0},
    {"jpg-size-3x3.jpg", "jpg-size-3x3.png", 0, 0},
    {"jpg-size-4x4.jpg", "jpg-size-4x4.png", 0, 0},
    {"jpg-size-7x7.jpg", "jpg-size-7x7.png", 0, 0},
    {"jpg-size-15x15.jpg", "jpg-size-15x15.png", 0, 0},
    {"jpg-size-16x16.jpg", "jpg-size-16x16.png", 0, 0},
    {"jpg-size-17x17.jpg", "jpg-size-17x17.png", 0, 0},
    {"jpg-size-33x33.jpg", "jpg-size-33x33.png", 0, 0},
    {"non-interleaved-mcu.jpg", "non-interleaved-mcu.png", 0, 0},
    {"16bit-qtables.jpg", "16bit-qtables.png", 0, 0},
    {"testimggray.jpg", nullptr, 1, 0.1},
    {"hopper.jpg", nullptr, 1, 0.1},
    // Junk before a marker is only a warning: the picture is whole.
    {"junk_jpeg_header.jpg", nullptr, 1, 0.1},
};

const char* const rejectedJpegs[] = {
    "empty.jpg", "missing-sof.jpg", "null_height.jpg", "max_size.jpg", "monkey12.jpg",
    "jpg-cmyk-1.jpg", "truncated_jpeg.jpg",
};

const Reference colourTgas[] = {
    {"200x32_rgb_bl_raw.tga", "200x32_rgb.png", 0, 0},
    {"200x32_rgb_bl_rle.tga", "200x32_rgb.png", 0, 0},
    {"200x32_rgb_tl_rle.tga", "200x32_rgb.png", 0, 0},
    {"200x32_rgba_bl_raw.tga", "200x32_rgba.png", 0, 0},
    {"200x32_rgba_tl_rle.tga", "200x32_rgba.png", 0, 0},
    {"200x32_p_bl_raw.tga", "200x32_p.png", 0, 0},
    {"200x32_p_bl_rle.tga", "200x32_p.png", 0, 0},
    {"200x32_la_bl_raw.tga", "200x32_la.png", 0, 0},
    {"200x32_la_bl_rle.tga", "200x32_la.png", 0, 0},
    {"sample.tga", "sample.png", 0, 0},
    {"utc24.tga", "utc24.tga.png", 0, 0},
    {"utc32.tga", "utc32.tga.png", 0, 0},
    {"ctc24.tga", "ctc24.tga.png", 0, 0},
    {"ucm8.tga", "ucm8.tga.png", 0, 0},
    {"top_left.tga", "top_left.tga.png", 0, 0},
    {"bottom_right.tga", "bottom_right.tga.png", 0, 0},
    {"b5-attrib.tga", "b5-attrib.tga.png", 0, 0},
    {"cmap_offset.tga", "cmap_offset.tga.png", 0, 0},
};

const Reference greyTgas[] = {
    {"200x32_l_bl_raw.tga", "200x32_l.png", 0, 0},
    {"200x32_l_bl_rle.tga", "200x32_l.png", 0, 0},
    {"200x32_l_tl_rle.tga", "200x32_l.png", 0, 0},
    {"1x1_l_bl_raw.tga", "1x1_l.png", 0, 0},
    {"1x1_l_tl_raw.tga", "1x1_l.png", 0, 0},
    {"ubw8.tga", "ubw8.tga.png", 0, 0},
};

const char* const corruptTgas[] = {
    "p_8.tga", "flip-zero-height.tga", "orientation-zero-width.tga", "overfull-image.tga",
    "slice-copy-length.tga",
};

} // namespace

TEST_F(TextureFiles, EveryValidPngMatchesAnIndependentDecoding) {
    for (const char* name : validPngs) {
        std::string path = testdata + "png/" + name;
        Pixels expected = decodeWithImageMagick(path);
        PngKind kind = pngKind(path);
        if (kind.opaque)
            expected = opaque(expected);
        if (kind.oneChannel)
            expected = greyAsRed(expected);
        // 16-bit samples are scaled to 8 bits; two roundings may differ by one.
        expectDecodes(path, vq_engine::IMG_PNG, expected, 1);
    }
}

TEST_F(TextureFiles, CorruptPngsLeaveAnEmptyTexture) {
    for (const char* name : corruptPngs)
        expectRejected(testdata + "png/" + name, vq_engine::IMG_PNG);
}

TEST_F(TextureFiles, JpegsMatchTheirReferenceDecodings) {
    for (const Reference& jpeg : jpegs) {
        std::string path = testdata + "jpeg/" + jpeg.file;
        Pixels expected = decodeReference(jpeg.reference ? testdata + "jpeg/" + jpeg.reference : path);
        expectDecodes(path, vq_engine::IMG_JPEG, expected, jpeg.tolerance, jpeg.meanTolerance);
    }
}

TEST_F(TextureFiles, CorruptAndUnsupportedJpegsLeaveAnEmptyTexture) {
    for (const char* name : rejectedJpegs)
        expectRejected(testdata + "jpeg/" + name, vq_engine::IMG_JPEG);
}

TEST_F(TextureFiles, TgasOfEveryKindMatchTheirUprightReferences) {
    for (const Reference& tga : colourTgas)
        expectDecodes(testdata + "tga/" + tga.file, vq_engine::IMG_TGA,
                      decodeReference(testdata + "tga/" + tga.reference), tga.tolerance);
    for (const Reference& tga : greyTgas)
        expectDecodes(testdata + "tga/" + tga.file, vq_engine::IMG_TGA,
                      greyAsRed(decodeReference(testdata + "tga/" + tga.reference)), tga.tolerance);
}

TEST_F(TextureFiles, SixteenBitTgaColoursWidenLikeImageMagick) {
    // The 5-5-5 attribute bit is not taken as alpha (writers fill it at
    // random), so only the colour channels are compared; ImageMagick truncates
    // where the texture rounds.
    std::string path = testdata + "tga/rgba16.tga";
    expectDecodes(path, vq_engine::IMG_TGA, decodeWithImageMagick(path), 1, 1, 3);
}

TEST_F(TextureFiles, CorruptTgasLeaveAnEmptyTexture) {
    for (const char* name : corruptTgas)
        expectRejected(testdata + "tga/" + name, vq_engine::IMG_TGA);
}

TEST_F(TextureFiles, AFileOfAnotherKindIsRejected) {
    expectRejected(testdata + "png/basn2c08.png", vq_engine::IMG_JPEG);
    expectRejected(testdata + "jpeg/hopper.jpg", vq_engine::IMG_PNG);
    expectRejected(testdata + "obj/cube.obj", vq_engine::IMG_TGA);
}

TEST_F(TextureFiles, UploadStateIsLinearRepeatRgbaWithoutMipmaps) {
    Texture texture((testdata + "png/basn6a08.png").c_str(), vq_engine::IMG_PNG);
    GLint bound = 0, value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture.getTexID());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    EXPECT_TRUE(value == GL_RGBA || value == GL_RGBA8) << std::hex << value;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 0);
}

TEST_F(TextureFiles, AddTextureBindsTheTextureOnTheNextUnit) {
    TempDir dir;
    std::ofstream(dir.path + "/t.vs") << "#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n";
    std::ofstream(dir.path + "/t.fs") << "#version 410 core\nuniform sampler2D a;\nuniform sampler2D b;\n"
                                         "out vec4 c;\nvoid main() { c = texture(a, vec2(0.5)) + "
                                         "texture(b, vec2(0.5)); }\n";
    ShaderProgram program;
    program.addShader((dir.path + "/t.vs").c_str(), GL_VERTEX_SHADER);
    program.addShader((dir.path + "/t.fs").c_str(), GL_FRAGMENT_SHADER);
    program.compile();
    Texture first((testdata + "tga/utc24.tga").c_str(), vq_engine::IMG_TGA);
    Texture second((testdata + "jpeg/hopper.jpg").c_str(), vq_engine::IMG_JPEG);

    program.use();
    program.addTexture("a", &first);
    program.addTexture("b", &second);
    GLint bound = 0, unit = -1;
    for (int i = 0; i < 2; i++) {
        glActiveTexture(GL_TEXTURE0 + i);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), (i == 0 ? first : second).getTexID());
        glGetUniformiv(program.getProgramID(), glGetUniformLocation(program.getProgramID(), i ? "b" : "a"),
                       &unit);
        EXPECT_EQ(unit, i);
    }
    EXPECT_EQ(program.textureUnit, 2);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(TextureBytes, TwoByTwoTgaKeepsItsFirstStoredRowAtTheBottom) {
    std::vector<unsigned char> bytes = tgaHeader(2, 2, 2, 24, 0);
    // Stored BGR: blue, green, then red, white.
    bytes.insert(bytes.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    std::string path = write("tiny.tga", bytes);
    Texture texture(path.c_str(), vq_engine::IMG_TGA);
    Pixels pixels = textureContents(texture);
    ASSERT_EQ(pixels.width, 2);
    ASSERT_EQ(pixels.height, 2);
    std::vector<unsigned char> expected = {
        255, 0, 0, 255, 255, 255, 255, 255, // top: red, white
        0, 0, 255, 255, 0, 255, 0, 255,     // bottom: blue, green
    };
    EXPECT_EQ(pixels.rgba, expected);
}

TEST_F(TextureBytes, TgaSizeChecksRejectLyingHeaders) {
    // Three pixels of data for a 4x4 image.
    std::vector<unsigned char> shortData = tgaHeader(2, 4, 4, 24, 0);
    shortData.insert(shortData.end(), 9, 0x80);
    expectRejected(write("short.tga", shortData), vq_engine::IMG_TGA);

    // 65535 x 65535 run-length image in 18 bytes: refused before any allocation.
    expectRejected(write("huge.tga", tgaHeader(10, 65535, 65535, 32, 0)), vq_engine::IMG_TGA);

    // A colour index beyond a two-entry map.
    std::vector<unsigned char> mapped = tgaHeader(1, 1, 1, 8, 0);
    mapped[1] = 1;
    mapped[5] = 2;
    mapped[7] = 24;
    mapped.insert(mapped.end(), {1, 2, 3, 4, 5, 6, 7});
    expectRejected(write("index.tga", mapped), vq_engine::IMG_TGA);

    // An ID field longer than the file.
    std::vector<unsigned char> id = tgaHeader(3, 1, 1, 8, 0);
    id[0] = 200;
    id.push_back(7);
    expectRejected(write("id.tga", id), vq_engine::IMG_TGA);

    // A run that goes past the last pixel.
    std::vector<unsigned char> overrun = tgaHeader(11, 2, 1, 8, 0);
    overrun.insert(overrun.end(), {0x82, 9});
    expectRejected(write("overrun.tga", overrun), vq_engine::IMG_TGA);
}

TEST_F(TextureBytes, MissingFilesAndUnknownTypesGiveAnEmptyTexture) {
    std::string missing = dir.path + "/absent";
    expectRejected(missing + ".png", vq_engine::IMG_PNG);
    expectRejected(missing + ".jpg", vq_engine::IMG_JPEG);
    expectRejected(missing + ".tga", vq_engine::IMG_TGA);
    expectRejected(write("any.tga", tgaHeader(2, 1, 1, 24, 0)), ImgType(7));
    expectRejected(dir.path, vq_engine::IMG_JPEG);
    expectRejected(dir.path, vq_engine::IMG_PNG);
}

TEST_F(TextureBytes, APipeOrADirectoryInPlaceOfTheFileIsRefusedWithoutWaiting) {
    NamedPipe pipe(dir.path + "/pipe");
    ASSERT_TRUE(pipe.made());
    for (ImgType type : {vq_engine::IMG_PNG, vq_engine::IMG_JPEG, vq_engine::IMG_TGA}) {
        SCOPED_TRACE(int(type));
        CaptureStdout();
        int width = -1;
        bool blocked = pipe.blocksOpening([&] { width = Texture(pipe.path.c_str(), type).getWidth(); });
        EXPECT_FALSE(blocked) << "the loader waited for a writer on the pipe";
        EXPECT_EQ(GetCapturedStdout(), "Texture error: " + pipe.path + ": cannot open: is a named pipe\n");
        EXPECT_EQ(width, 0);

        CaptureStdout();
        EXPECT_EQ(Texture(dir.path.c_str(), type).getWidth(), 0);
        EXPECT_EQ(GetCapturedStdout(), "Texture error: " + dir.path + ": cannot open: is a directory\n");
    }
}

// Headers that claim 16384x4096 (the 64-megapixel cap, allowed) in files far
// too small to hold it are refused without the 256 MiB picture being filled:
// the PNG before anything is allocated, the JPEG at its first missing data.
TEST_F(TextureFiles, TinyFilesClaimingHugeImagesAreRefusedEarly) {
    std::string png = testdata + "forged/png-16384x4096-in-69-bytes.png";
    CaptureStdout();
    EXPECT_EQ(Texture(png.c_str(), vq_engine::IMG_PNG).getWidth(), 0);
    EXPECT_EQ(GetCapturedStdout(), "Texture error: " + png +
                                       ": PNG: a file of 69 bytes cannot hold the 16384x4096 pixels its header claims\n");

    std::string jpeg = testdata + "forged/jpeg-16384x4096-in-346-bytes.jpg";
    CaptureStdout();
    EXPECT_EQ(Texture(jpeg.c_str(), vq_engine::IMG_JPEG).getWidth(), 0);
    EXPECT_EQ(GetCapturedStdout(), "Texture error: " + jpeg + ": JPEG data: Premature end of JPEG file\n");
}

// Inputs the fuzz targets found: each once made the loader misbehave.
TEST_F(TextureFiles, FuzzFindingsAreRefusedWithOneLine) {
    // Ancillary chunks whose length fields claim 1.7 and 1.9 GB: libpng
    // allocated that much for text the texture never uses.
    expectRejected(testdata + "fuzz/png-huge-ancillary-chunk.png", vq_engine::IMG_PNG);
    expectRejected(testdata + "fuzz/png-huge-text-chunk.png", vq_engine::IMG_PNG);
}

TEST_F(TextureBytes, EightBitGreyAndRgbPngsWithAColourKeyArriveAsStored) {
    png_color_16 greyKey = {};
    greyKey.gray = 0x40;
    std::string grey = writeKeyedPng(dir.path + "/grey.png", PNG_COLOR_TYPE_GRAY, {0x40, 0x90, 0xff}, greyKey);
    png_color_16 rgbKey = {};
    rgbKey.red = 10;
    rgbKey.green = 20;
    rgbKey.blue = 30;
    std::string rgb = writeKeyedPng(dir.path + "/rgb.png", PNG_COLOR_TYPE_RGB, {10, 20, 30, 200, 100, 50}, rgbKey);

    Texture greyTexture(grey.c_str(), vq_engine::IMG_PNG);
    // One channel, read back in red; the keyed sample keeps its value and no alpha appears.
    EXPECT_EQ(textureContents(greyTexture).rgba,
              (std::vector<unsigned char>{0x40, 0, 0, 255, 0x90, 0, 0, 255, 0xff, 0, 0, 255}));
    Texture rgbTexture(rgb.c_str(), vq_engine::IMG_PNG);
    EXPECT_EQ(textureContents(rgbTexture).rgba,
              (std::vector<unsigned char>{10, 20, 30, 255, 200, 100, 50, 255}));
}
