// assetgen_file_test.cpp — the generator's file writers and its promise that
// every build writes the same bytes, and the program's own bitmap reader on
// the files it writes.
#include <SDL.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "image/dib_reader.h"
#include "platform/headless/headless.h"
#include "tests/unit/assetgen_test_support.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() : path(fs::temp_directory_path() / ("assetgen_test_" + std::to_string(getpid())))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchFolder() { fs::remove_all(path); }
};

TEST(AssetgenFiles, BmpRowsArePaddedBottomFirstAndBlueGreenRed)
{
    // 5 x 2: a red-to-blue bottom row under a white-to-black top row.
    Picture picture{5, 2, 3, {}};
    const uint8_t bottom[5][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}, {1, 2, 3}};
    const uint8_t top[5][3] = {{255, 255, 255}, {200, 200, 200}, {100, 100, 100}, {50, 50, 50}, {0, 0, 0}};
    for (const auto* row : {bottom, top})
        for (int x = 0; x < 5; ++x)
            picture.pixels.insert(picture.pixels.end(), row[x], row[x] + 3);
    AssetBytes file;
    ASSERT_TRUE(EncodeBmp(picture, &file));
    ASSERT_EQ(file.size(), 54u + 2u * 16u);  // 15 bytes of pixels and 1 fill byte per row
    EXPECT_EQ(file[54], 0);                   // bottom-left pixel stored blue, green, red
    EXPECT_EQ(file[56], 255);
    EXPECT_EQ(file[54 + 15], 0);              // the fill byte

    ViewedPicture viewed = DecodeWithStb(file, 3);
    ASSERT_EQ(viewed.width, 5);
    ASSERT_EQ(viewed.height, 2);
    for (int x = 0; x < 5; ++x) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(viewed.At(x, 0)[c], top[x][c]) << "top row, pixel " << x;
            EXPECT_EQ(viewed.At(x, 1)[c], bottom[x][c]) << "bottom row, pixel " << x;
        }
    }
}

TEST(AssetgenFiles, InconsistentPicturesAreRefused)
{
    AssetBytes file;
    EXPECT_FALSE(EncodeBmp(Picture{0, 4, 3, {}}, &file));
    EXPECT_FALSE(EncodeBmp(Picture{4, 4, 3, std::vector<uint8_t>(47)}, &file));
    EXPECT_FALSE(EncodeBmp(Picture{4, 4, 2, std::vector<uint8_t>(32)}, &file));
    EXPECT_TRUE(file.empty());
    EXPECT_TRUE(EncodeBmp(Picture{4, 4, 1, std::vector<uint8_t>(16)}, &file));
}

TEST(AssetgenFiles, WavSamplesSurviveSdlsLoader)
{
    const std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 7};
    AssetBytes file = EncodeWav(samples);
    SDL_AudioSpec audio;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    ASSERT_NE(SDL_LoadWAV_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1, &audio, &buffer,
                             &length),
              nullptr)
        << SDL_GetError();
    ASSERT_EQ(length, samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i)
        EXPECT_EQ(static_cast<int16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8)), samples[i]);
    SDL_FreeWAV(buffer);
}

TEST(AssetgenFiles, SecondGenerationWritesTheBuildsBytesAgain)
{
    ScratchFolder scratch;
    std::vector<AssetFile> files;
    std::string error;
    ASSERT_TRUE(BuildAssetFiles(kDefaultGlyphFont, &files, &error)) << error;
    ASSERT_EQ(files.size(), 16u);
    // The names the program has always read its data under.
    std::string names;
    for (const AssetFile& asset : files)
        names += asset.path + " ";
    EXPECT_EQ(names,
              "Graphics/Water1.bmp Graphics/Water2.bmp Graphics/PoolBottom.bmp Graphics/PoolSide.bmp "
              "Graphics/FirePole.bmp Graphics/Fire1.bmp Graphics/Fire2.bmp Graphics/Fire3.bmp "
              "Graphics/Tornado.bmp Graphics/Earth.bmp Graphics/Planet.bmp Graphics/FontMap.bmp "
              "Sounds/ChangeScene.wav Sounds/TornadoNoise.wav Sounds/GeneralKeyPress.wav Sounds/MoveAround.wav ");
    ASSERT_TRUE(WriteAssetFiles(scratch.path.string(), files, &error)) << error;
    for (const AssetFile& asset : files) {
        SCOPED_TRACE(asset.path);
        EXPECT_EQ(ReadAssetFile((scratch.path / asset.path).string()), asset.bytes);
        // The run folder holds what the build wrote.
        EXPECT_EQ(ReadAssetFile(asset.path), asset.bytes);
    }
}

TEST(AssetgenFiles, FailuresAreReportedWithTheirCause)
{
    ScratchFolder scratch;
    std::vector<AssetFile> files;
    std::string error;
    EXPECT_FALSE(BuildAssetFiles("/no/such/font.ttf", &files, &error));
    EXPECT_NE(error.find("/no/such/font.ttf"), std::string::npos) << error;

    // A plain file where the Graphics folder should go.
    fs::path blocker = scratch.path / "blocked";
    { std::ofstream(blocker) << "not a folder"; }
    error.clear();
    EXPECT_FALSE(WriteAssetFiles(blocker.string(), {{"Graphics/Water1.bmp", {1, 2, 3}}}, &error));
    EXPECT_NE(error.find("blocked"), std::string::npos) << error;
}

TEST(AssetgenFiles, TheProgramsReaderSeesWhatStbImageSees)
{
    HeadlessReset();
    for (const TextureExpectation& expected : ExpectedTextures()) {
        SCOPED_TRACE(expected.path);
        ViewedPicture viewed = DecodeWithStb(ReadAssetFile(expected.path), 3);
        ASSERT_EQ(viewed.width, expected.width);
        RgbImage* image = ReadDibFile(expected.path);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, viewed.width);
        EXPECT_EQ(image->height, viewed.height);
        if (image->width == viewed.width && image->height == viewed.height) {
            // The reader keeps the file's order, bottom row first.
            size_t rowBytes = 3 * static_cast<size_t>(viewed.width);
            bool same = true;
            for (int y = 0; y < viewed.height && same; ++y)
                same = std::equal(image->pixels + y * rowBytes, image->pixels + (y + 1) * rowBytes,
                                  viewed.At(0, viewed.height - 1 - y));
            EXPECT_TRUE(same);
        }
        FreeRgbImage(image);
    }
    EXPECT_TRUE(HeadlessBoxes().empty());
}

}  // namespace
