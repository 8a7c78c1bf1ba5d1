// sdl_window.cpp — the program's one window and its device context.
//
// SDL needs every GL attribute of the framebuffer before the window exists,
// so they are set here: the request the program always makes (double buffer,
// RGBA, kDepthBufferBits of depth) and the recorded mode's colour depth.
// The device context is the window's own, valid as long as the window.
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_x11.h"

namespace {

bool SetGlAttribute(SDL_GLattr attribute, int value, const char* name)
{
    if (SDL_GL_SetAttribute(attribute, value) == 0)
        return true;
    SdlReportFailure(name);
    return false;
}

// Channel sizes are minimums: SDL takes the closest framebuffer that has at
// least these, and a 16-bit display has only 5/6/5 ones to offer.
void ChannelBitsFor(int colorBits, int* red, int* green, int* blue)
{
    *red = *green = *blue = 0;
    if (colorBits == 15) {
        *red = *green = *blue = 5;
    } else if (colorBits == 16) {
        *red = *blue = 5;
        *green = 6;
    } else if (colorBits >= 24) {
        *red = *green = *blue = 8;
    }
}

bool SetFramebufferAttributes(const SdlFramebufferRequest& framebuffer)
{
    int red, green, blue;
    ChannelBitsFor(framebuffer.colorBits, &red, &green, &blue);
    SDL_GL_ResetAttributes();
    // A compatibility context: the program draws in OpenGL 1.1 immediate mode.
    return SetGlAttribute(SDL_GL_DOUBLEBUFFER, 1, "SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER)") &&
           SetGlAttribute(SDL_GL_DEPTH_SIZE, framebuffer.depthBits, "SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE)") &&
           SetGlAttribute(SDL_GL_RED_SIZE, red, "SDL_GL_SetAttribute(SDL_GL_RED_SIZE)") &&
           SetGlAttribute(SDL_GL_GREEN_SIZE, green, "SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE)") &&
           SetGlAttribute(SDL_GL_BLUE_SIZE, blue, "SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE)") &&
           SetGlAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY,
                          "SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK)");
}

}  // namespace

WindowHandle PlatformCreateWindow(InstanceHandle, const char* title, int width, int height)
{
    if (!SdlState.classRegistered || SdlState.window != nullptr)
        return nullptr;
    const SdlOutputTraits output = SdlOutput();
    SDL_DisplayMode mode = SdlState.requestedMode;
    SdlFramebufferRequest framebuffer{
        output.fullScreen != 0 ? static_cast<int>(SDL_BITSPERPIXEL(mode.format)) : 0, kDepthBufferBits};
    if (!SetFramebufferAttributes(framebuffer))
        return nullptr;

    // Hidden until the program shows it; full screen in a mode takes the
    // recorded one when it is shown. A framed window is centred on the
    // display, and the user may resize it.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | output.fullScreen;
    int position = 0;
    if (output.framed) {
        position = SDL_WINDOWPOS_CENTERED;
        flags |= SDL_WINDOW_RESIZABLE;
    } else {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    if (output.highDpi)
        flags |= SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Window* sdl = SDL_CreateWindow(title, position, position, width, height, flags);
    if (sdl == nullptr) {
        SdlReportFailure("SDL_CreateWindow");
        return nullptr;
    }
    if (output.fullScreen == SDL_WINDOW_FULLSCREEN && SDL_SetWindowDisplayMode(sdl, &mode) != 0) {
        SdlReportFailure("SDL_SetWindowDisplayMode");
        SDL_DestroyWindow(sdl);
        return nullptr;
    }
    // While the window exists the screen saver stays off, and keys come only
    // as key events, never as text.
    SDL_DisableScreenSaver();
    SDL_StopTextInput();

    PlatformWindow* window = new PlatformWindow{};
    window->sdl = sdl;
    window->framebuffer = framebuffer;
    window->deviceContext.window = window;
    window->fitsPicture = output.fitsPicture;
    window->letterbox.picture = PictureRect{0, 0, width, height};  // what the program starts drawing at
    SdlState.window = window;
    return window;
}

bool PlatformDestroyWindow(WindowHandle window)
{
    if (window == nullptr || window != SdlState.window)
        return false;
    SdlDestroyWindowWithin(window->sdl);
    delete window;
    SdlState.window = nullptr;
    return true;
}

void PlatformShowWindow(WindowHandle window)
{
    if (window == nullptr)
        return;
    SdlShowWindowWithin(window->sdl);
    // The drawable now has its size: the message pump fits the picture to it.
    window->letterbox.shownUnfitted = window->fitsPicture;
}

void PlatformSetForegroundWindow(WindowHandle window)
{
    if (window != nullptr)
        SDL_RaiseWindow(window->sdl);
}

void PlatformSetFocus(WindowHandle window)
{
    if (window == nullptr)
        return;
    // A Wayland client cannot take the keyboard focus: the compositor gives
    // it to the window it has just shown and raised.
    if (SdlVideoDriverIs("wayland"))
        return;
    // A request the window manager may still refuse while it maps the window;
    // the keyboard focus arrives with its own message either way, and SDL
    // leaves no error text of its own for this case, so nothing is reported.
    if (SdlWindowViewable(window->sdl))
        SDL_SetWindowInputFocus(window->sdl);
}

WindowHandle PlatformGetFocus()
{
    if (SdlState.window == nullptr || SDL_GetKeyboardFocus() != SdlState.window->sdl)
        return nullptr;
    return SdlState.window;
}

DeviceContextHandle PlatformGetDeviceContext(WindowHandle window)
{
    return window != nullptr ? &window->deviceContext : nullptr;
}

bool PlatformReleaseDeviceContext(WindowHandle window, DeviceContextHandle deviceContext)
{
    return window != nullptr && deviceContext == &window->deviceContext;
}
