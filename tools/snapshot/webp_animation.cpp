// webp_animation.cpp — the animated WebP writer over libwebp's encoder.
#include "tools/snapshot/webp_animation.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdio>

struct WebpAnimation {
    WebPAnimEncoder* encoder = nullptr;
    WebPConfig config;
};

namespace {

bool Fail(const WebpAnimation* animation, const char* step)
{
    std::fprintf(stderr, "snapshot: WebP encoder: %s failed: %s\n", step,
                 WebPAnimEncoderGetError(animation->encoder));
    return false;
}

}  // namespace

WebpAnimation* OpenWebpAnimation(int width, int height)
{
    auto* animation = new WebpAnimation;
    WebPAnimEncoderOptions options;
    if (WebPAnimEncoderOptionsInit(&options) && WebPConfigInit(&animation->config)) {
        options.anim_params.loop_count = 0;  // for ever
        options.anim_params.bgcolor = 0x000000FF;  // opaque black, as the scenes' background
        // Lossless would pass 2 MB for the preview, and lossy blurs the
        // water's fine lines; near-lossless only nudges the low bits of busy
        // pixels, keeps full colour resolution and lands near 1.5 MB.
        animation->config.lossless = 1;
        animation->config.near_lossless = 40;
        animation->config.quality = 75;  // the effort: more buys under 1 % for four times the time
        animation->config.method = 4;
        animation->config.thread_level = 0;  // one thread: nothing left to scheduling
        if (WebPValidateConfig(&animation->config))
            animation->encoder = WebPAnimEncoderNew(width, height, &options);
    }
    if (animation->encoder == nullptr) {
        std::fprintf(stderr, "snapshot: cannot make a WebP encoder of %d x %d\n", width, height);
        delete animation;
        return nullptr;
    }
    return animation;
}

bool AddWebpPicture(WebpAnimation* animation, const FramePicture& picture, int timeMs)
{
    WebPPicture frame;
    if (!WebPPictureInit(&frame))
        return Fail(animation, "picture set-up");
    frame.use_argb = 1;
    frame.width = picture.width;
    frame.height = picture.height;
    const bool added = WebPPictureImportRGB(&frame, picture.rgb.data(), picture.width * 3) &&
                       WebPAnimEncoderAdd(animation->encoder, &frame, timeMs, &animation->config);
    WebPPictureFree(&frame);
    return added || Fail(animation, "adding a picture");
}

bool WriteWebpAnimation(WebpAnimation* animation, int endMs, const std::string& path)
{
    WebPData file;
    WebPDataInit(&file);
    if (!WebPAnimEncoderAdd(animation->encoder, nullptr, endMs, nullptr) ||
        !WebPAnimEncoderAssemble(animation->encoder, &file))
        return Fail(animation, "assembling the file");
    FILE* out = std::fopen(path.c_str(), "wb");
    bool written = out != nullptr && std::fwrite(file.bytes, 1, file.size, out) == file.size;
    if (out != nullptr)
        written = std::fclose(out) == 0 && written;
    WebPDataClear(&file);
    if (!written)
        std::fprintf(stderr, "snapshot: cannot write %s\n", path.c_str());
    return written;
}

void CloseWebpAnimation(WebpAnimation* animation)
{
    if (animation == nullptr)
        return;
    WebPAnimEncoderDelete(animation->encoder);
    delete animation;
}
