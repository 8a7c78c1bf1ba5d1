// main.cpp — assetgen: writes the program's Graphics/ and Sounds/ into a run
// folder, or a contact sheet of the textures.
//
//   assetgen [--font FILE] RUN_DIR
//   assetgen [--font FILE] --contact-sheet FILE.png
#include "assetgen.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: assetgen [--font FILE] RUN_DIR\n"
    "       assetgen [--font FILE] --contact-sheet FILE.png\n"
    "Writes Graphics/*.bmp and Sounds/*.wav below RUN_DIR, or one PNG of all textures.\n"
    "FILE is the DejaVu Sans Mono Bold font for the glyph sheet.\n";

struct Request {
    const char* fontPath = kDefaultGlyphFont;
    const char* runDir = nullptr;
    const char* contactSheet = nullptr;
};

bool ParseArguments(int argc, char** argv, Request* request)
{
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--font") == 0 && hasValue)
            request->fontPath = argv[++i];
        else if (std::strcmp(argv[i], "--contact-sheet") == 0 && hasValue)
            request->contactSheet = argv[++i];
        else if (argv[i][0] != '-' && request->runDir == nullptr)
            request->runDir = argv[i];
        else
            return false;
    }
    return (request->runDir == nullptr) != (request->contactSheet == nullptr);
}

bool WriteRunFolder(const Request& request, std::string* error)
{
    auto start = std::chrono::steady_clock::now();
    std::vector<AssetFile> files;
    if (!BuildAssetFiles(request.fontPath, &files, error) || !WriteAssetFiles(request.runDir, files, error))
        return false;
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("assetgen: wrote %zu files below %s in %.2f s\n", files.size(), request.runDir, elapsed.count());
    return true;
}

bool WriteSheet(const Request& request, std::string* error)
{
    std::vector<Picture> pictures;
    if (!BuildTexturePictures(request.fontPath, &pictures, error) ||
        !WriteContactSheet(request.contactSheet, pictures, error))
        return false;
    std::printf("assetgen: wrote %s\n", request.contactSheet);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Request request;
    if (!ParseArguments(argc, argv, &request)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string error;
    bool done = request.runDir != nullptr ? WriteRunFolder(request, &error) : WriteSheet(request, &error);
    if (!done) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
