// sdl_gl_context.cpp — the pixel format, the GL rendering context and the
// utility library's quadric.
//
// The framebuffer was fixed when the window was made (sdl_window.cpp), so
// choosing a pixel format only checks that the request is one the window can
// give, and setting it records it. What the driver really granted can be read
// only once a context is current: that is where a missing back buffer or
// depth buffer is caught, and making the context current fails then.
#include <GL/glu.h>

#include <cstdio>

#include "platform/sdl/sdl_internal.h"

namespace {

// The window's one format; the classic numbering starts at 1.
constexpr int kPixelFormatIndex = 1;

bool ReleaseCurrentContext()
{
    if (SDL_GL_MakeCurrent(nullptr, nullptr) == 0)
        return true;
    SdlReportFailure("SDL_GL_MakeCurrent(none)");
    return false;
}

// Reads back what the driver granted for the current context.
bool GrantedFormatMeets(const PixelFormatDescriptor& format)
{
    int doubleBuffer = 0;
    int depthBits = 0;
    if (SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer) != 0 ||
        SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits) != 0) {
        SdlReportFailure("SDL_GL_GetAttribute");
        return false;
    }
    if (doubleBuffer == 0 || depthBits < format.cDepthBits) {
        std::fprintf(stderr, "marivelt: the GL framebuffer has %s and a %d-bit depth buffer, not the %d bits asked for\n",
                     doubleBuffer != 0 ? "a back buffer" : "no back buffer", depthBits, format.cDepthBits);
        return false;
    }
    return true;
}

}  // namespace

bool SdlPixelFormatAvailable(const PixelFormatDescriptor& request, const SdlFramebufferRequest& framebuffer)
{
    constexpr uint32_t kRequired = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL;
    constexpr uint32_t kProvided = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW;
    return (request.dwFlags & kRequired) == kRequired &&
           (request.dwFlags & ~kProvided) == 0 &&
           request.iPixelType == PFD_TYPE_RGBA &&
           request.cDepthBits <= framebuffer.depthBits &&
           request.cAlphaBits == 0 &&
           request.cAccumBits == 0 &&
           request.cStencilBits == 0 &&
           request.cAuxBuffers == 0;
}

int PlatformChoosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatDescriptor* request)
{
    if (deviceContext == nullptr || request == nullptr ||
        !SdlPixelFormatAvailable(*request, deviceContext->window->framebuffer))
        return 0;
    return kPixelFormatIndex;
}

bool PlatformSetPixelFormat(DeviceContextHandle deviceContext, int index, const PixelFormatDescriptor* request)
{
    // Like a window's pixel format anywhere, it is set once for good.
    if (deviceContext == nullptr || request == nullptr || index != kPixelFormatIndex || deviceContext->formatSet ||
        !SdlPixelFormatAvailable(*request, deviceContext->window->framebuffer))
        return false;
    deviceContext->format = *request;
    deviceContext->formatSet = true;
    return true;
}

RenderContextHandle PlatformCreateRenderContext(DeviceContextHandle deviceContext)
{
    if (deviceContext == nullptr || !deviceContext->formatSet)
        return nullptr;
    SDL_Window* sdl = deviceContext->window->sdl;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(sdl);
    if (context == nullptr) {
        SdlReportFailure("SDL_GL_CreateContext");
        return nullptr;
    }
    // SDL makes a new context current at once; making it current is the
    // program's next, separate step, so the previous state comes back.
    if (SDL_GL_MakeCurrent(previousContext != nullptr ? previousWindow : nullptr, previousContext) != 0) {
        SdlReportFailure("SDL_GL_MakeCurrent(previous)");
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    return new PlatformRenderContext{context, deviceContext->window};
}

bool PlatformMakeCurrent(DeviceContextHandle deviceContext, RenderContextHandle renderContext)
{
    if (renderContext == nullptr)
        return ReleaseCurrentContext();
    if (deviceContext == nullptr || deviceContext->window != renderContext->window || !deviceContext->formatSet)
        return false;
    if (SDL_GL_MakeCurrent(deviceContext->window->sdl, renderContext->context) != 0) {
        SdlReportFailure("SDL_GL_MakeCurrent");
        return false;
    }
    if (!GrantedFormatMeets(deviceContext->format)) {
        ReleaseCurrentContext();
        return false;
    }
    // A driver without vsync refuses the interval, quietly: the swap paces
    // itself then (sdl_swap.cpp).
    bool driverSyncs = SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() == 1;
    SdlStartSwapPacer(&deviceContext->pacer, driverSyncs);
    return true;
}

bool PlatformDeleteRenderContext(RenderContextHandle renderContext)
{
    if (renderContext == nullptr)
        return false;
    SDL_GL_DeleteContext(renderContext->context);
    if (renderContext->window == SdlState.window)
        SdlForgetLetterbox(renderContext->window);
    delete renderContext;
    return true;
}

bool PlatformHasCurrentContext()
{
    return SDL_GL_GetCurrentContext() != nullptr;
}

GLUquadric* PlatformNewQuadric()
{
    return gluNewQuadric();
}
