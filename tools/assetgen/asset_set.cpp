// asset_set.cpp — the sixteen files the program reads, built and written.
#include "assetgen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
    for (int slot = 0; slot < kTextureCount; ++slot) {
        AssetFile file{kTextureFiles[slot], {}};
        if (!EncodeBmp(pictures[static_cast<size_t>(slot)], &file.bytes)) {
            *error = std::string("cannot encode ") + kTextureFiles[slot];
            return false;
        }
        files->push_back(std::move(file));
    }
    const std::vector<int16_t> sounds[kCueCount] = {
        BuildChangeSceneSound(), BuildTornadoSound(), BuildKeyPressSound(), BuildMoveSound(),
    };
    for (int cue = 0; cue < kCueCount; ++cue)
        files->push_back({kCueFiles[cue], EncodeWav(sounds[cue])});
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
