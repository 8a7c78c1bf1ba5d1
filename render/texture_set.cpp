// texture_set.cpp — the twelve textures, loaded once, all or nothing, from
// the BMP files under Graphics/, and bound by slot. Depends on the bitmap
// reader.
#include <GL/gl.h>

#include <cstdio>

#include "image/dib_reader.h"
#include "render/render.h"
#include "state/app_state.h"

namespace {

void UploadTexture(unsigned int name, const RgbImage* image)
{
    constexpr GLint kThreeComponents = 3;
    // The reader packs rows to 3 * width bytes, while GL expects rows padded
    // to 4 by default: read them unpadded for this upload, then put the
    // default back so no other pixel transfer is affected.
    constexpr GLint kPackedRows = 1;
    constexpr GLint kDefaultAlignment = 4;

    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, kPackedRows);
    glTexImage2D(GL_TEXTURE_2D, 0, kThreeComponents, image->width, image->height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, image->pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, kDefaultAlignment);
}

RgbImage* LoadImageFile(const char* path)
{
    if (path == nullptr) {
        return nullptr;
    }
    // Only an existence test: a missing file is not the reader's to report.
    FILE* file = fopen(path, "r");
    if (file == nullptr) {
        return nullptr;
    }
    fclose(file);
    return ReadDibFile(path);
}

}  // namespace

bool LoadTextureSet()
{
    RgbImage* images[kTextureCount] = {};
    bool loaded = true;
    for (int slot = 0; slot < kTextureCount && loaded; ++slot) {
        images[slot] = LoadImageFile(kTextureFiles[slot]);
        loaded = images[slot] != nullptr;
    }

    // Names are made only for a complete set, so a failure leaves none behind.
    if (loaded) {
        glGenTextures(kTextureCount, AppState.textures);
        for (int slot = 0; slot < kTextureCount; ++slot) {
            UploadTexture(AppState.textures[slot], images[slot]);
        }
    }

    for (RgbImage* image : images) {
        FreeRgbImage(image);
    }
    return loaded;
}

void BindTextureSlot(TextureSlot slot)
{
    glBindTexture(GL_TEXTURE_2D, AppState.textures[slot]);
}
