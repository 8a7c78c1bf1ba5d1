// asset_set.cpp — the sixteen files the program reads, built and written.
#include "assetgen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

const char* const kTextureFiles[kTextureFileCount] = {
    "Graphics/Water1.bmp", "Graphics/Water2.bmp", "Graphics/PoolBottom.bmp", "Graphics/PoolSide.bmp",
    "Graphics/FirePole.bmp", "Graphics/Fire1.bmp", "Graphics/Fire2.bmp", "Graphics/Fire3.bmp",
    "Graphics/Tornado.bmp", "Graphics/Earth.bmp", "Graphics/Planet.bmp", "Graphics/FontMap.bmp",
};

const char* const kSoundFiles[kSoundFileCount] = {
    "Sounds/ChangeScene.wav", "Sounds/TornadoNoise.wav", "Sounds/GeneralKeyPress.wav", "Sounds/MoveAround.wav",
};

bool BuildTexturePictures(const char* fontPath, std::vector<Picture>* pictures, std::string* error)
{
    Picture fontSheet;
    if (!BuildFontSheet(fontPath, &fontSheet, error))
        return false;
    *pictures = {
        BuildWaterPicture(0), BuildWaterPicture(1), BuildPoolBottomPicture(), BuildPoolSidePicture(),
        BuildFirePolePicture(), BuildFlamePicture(0), BuildFlamePicture(1), BuildFlamePicture(2),
        BuildTornadoPicture(), BuildEarthPicture(), BuildPlanetPicture(), std::move(fontSheet),
    };
    return true;
}

bool BuildAssetFiles(const char* fontPath, std::vector<AssetFile>* files, std::string* error)
{
    std::vector<Picture> pictures;
    if (!BuildTexturePictures(fontPath, &pictures, error))
        return false;
    files->clear();
    for (int slot = 0; slot < kTextureFileCount; ++slot) {
        AssetFile file{kTextureFiles[slot], {}};
        if (!EncodeBmp(pictures[static_cast<size_t>(slot)], &file.bytes)) {
            *error = std::string("cannot encode ") + kTextureFiles[slot];
            return false;
        }
        files->push_back(std::move(file));
    }
    const std::vector<int16_t> sounds[kSoundFileCount] = {
        BuildChangeSceneSound(), BuildTornadoSound(), BuildKeyPressSound(), BuildMoveSound(),
    };
    for (int i = 0; i < kSoundFileCount; ++i)
        files->push_back({kSoundFiles[i], EncodeWav(sounds[i])});
    return true;
}

bool WriteAssetFiles(const std::string& root, const std::vector<AssetFile>& files, std::string* error)
{
    for (const AssetFile& asset : files) {
        std::filesystem::path path = std::filesystem::path(root) / asset.path;
        std::error_code code;
        std::filesystem::create_directories(path.parent_path(), code);
        if (code) {
            *error = "cannot create " + path.parent_path().string() + ": " + code.message();
            return false;
        }
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            *error = "cannot write " + path.string() + ": " + std::strerror(errno);
            return false;
        }
        bool written = std::fwrite(asset.bytes.data(), 1, asset.bytes.size(), file) == asset.bytes.size();
        bool closed = std::fclose(file) == 0;
        if (!written || !closed) {
            *error = "cannot write " + path.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}
