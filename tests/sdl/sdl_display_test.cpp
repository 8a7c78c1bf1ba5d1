// The SDL display: which pixel-format requests a window can give, and the
// whole road from window class to GL context and back on SDL's offscreen
// driver, where no display is needed.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sdl/sdl_internal.h"

namespace {

// SDL unloads Mesa's driver when its offscreen display closes, and with it
// the roots of the driver's one-time allocations, which LeakSanitizer then
// reports as leaks. A display of the tests' own, never closed, keeps the
// driver loaded so that only real leaks are reported.
class MesaDriverKeptLoaded : public ::testing::Environment {
public:
    void SetUp() override
    {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay == nullptr)
            return;
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY)
            eglInitialize(display, nullptr, nullptr);
    }
};

const ::testing::Environment* const kMesaDriver = ::testing::AddGlobalTestEnvironment(new MesaDriverKeptLoaded);

// The request the program makes: double-buffered RGBA, 16 colour bits, 16 depth bits.
PixelFormatDescriptor ProgramRequest()
{
    PixelFormatDescriptor request{};
    request.nSize = sizeof(PixelFormatDescriptor);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

constexpr SdlFramebufferRequest kWindowFramebuffer{16, 16};

TEST(SdlPixelFormat, TheProgramsRequestIsAvailable)
{
    EXPECT_TRUE(SdlPixelFormatAvailable(ProgramRequest(), kWindowFramebuffer));
    PixelFormatDescriptor anyDepth = ProgramRequest();
    anyDepth.cDepthBits = 0;
    EXPECT_TRUE(SdlPixelFormatAvailable(anyDepth, kWindowFramebuffer));
}

TEST(SdlPixelFormat, RequestsBeyondWhatTheWindowWasMadeWithAreRefused)
{
    PixelFormatDescriptor request = ProgramRequest();
    request.iPixelType = 1;  // colour index
    EXPECT_FALSE(SdlPixelFormatAvailable(request, kWindowFramebuffer));

    request = ProgramRequest();
    request.dwFlags &= ~PFD_DOUBLEBUFFER;
    EXPECT_FALSE(SdlPixelFormatAvailable(request, kWindowFramebuffer));

    request = ProgramRequest();
    request.dwFlags |= 0x02;  // stereo
    EXPECT_FALSE(SdlPixelFormatAvailable(request, kWindowFramebuffer));

    request = ProgramRequest();
    request.cDepthBits = 24;
    EXPECT_FALSE(SdlPixelFormatAvailable(request, kWindowFramebuffer));

    request = ProgramRequest();
    request.cStencilBits = 8;
    EXPECT_FALSE(SdlPixelFormatAvailable(request, kWindowFramebuffer));
}

class SdlOffscreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        instance = PlatformModuleHandle();
        ASSERT_TRUE(PlatformRegisterWindowClass(instance));
    }
    void TearDown() override
    {
        if (SdlState.window != nullptr)
            PlatformDestroyWindow(SdlState.window);
        PlatformRestoreDisplayMode();
        PlatformSetWindowed(false);
        PlatformUnregisterWindowClass(instance);
    }
    // The window's one pixel format set, then a context for it; null on failure.
    static RenderContextHandle MakeContext(WindowHandle window)
    {
        DeviceContextHandle deviceContext = PlatformGetDeviceContext(window);
        const PixelFormatDescriptor request = ProgramRequest();
        if (!PlatformSetPixelFormat(deviceContext, PlatformChoosePixelFormat(deviceContext, &request), &request))
            return nullptr;
        return PlatformCreateRenderContext(deviceContext);
    }
    InstanceHandle instance = nullptr;
};

TEST_F(SdlOffscreenTest, TheClassRegistersOnceAndCannotGoWhileItsWindowExists)
{
    EXPECT_FALSE(PlatformRegisterWindowClass(instance));
    WindowHandle window = PlatformCreateWindow(instance, "Marivelt", 800, 600);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(PlatformUnregisterWindowClass(instance));
    EXPECT_TRUE(PlatformDestroyWindow(window));
    EXPECT_TRUE(PlatformUnregisterWindowClass(instance));
    EXPECT_FALSE(PlatformUnregisterWindowClass(instance));
    EXPECT_TRUE(PlatformRegisterWindowClass(instance));
}

TEST_F(SdlOffscreenTest, ADisplayWithoutTheModeRefusesAndNothingIsRecorded)
{
    // The offscreen driver's display offers no 800 x 600 mode.
    EXPECT_FALSE(PlatformChangeDisplayMode(800, 600, 16));
    EXPECT_EQ(SdlState.output, SdlOutputKind::None);
    EXPECT_TRUE(PlatformConfirmDisplayMode()) << "no change asked for, none to confirm";
    PlatformRestoreDisplayMode();  // harmless with no change in force
}

TEST_F(SdlOffscreenTest, AWindowedRunChangesNoModeAndMakesAFramedWindowWithTheCursorShown)
{
    PlatformSetWindowed(true);
    // The offscreen display has no 800 x 600 mode, and a windowed run needs none.
    EXPECT_TRUE(PlatformChangeDisplayMode(800, 600, 16));
    EXPECT_EQ(SdlState.output, SdlOutputKind::Window);
    EXPECT_EQ(SdlOutput().fullScreen, 0u);
    PlatformShowCursor(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    WindowHandle window = PlatformCreateWindow(instance, "Marivelt", 800, 600);
    PlatformSetWindowed(false);
    ASSERT_NE(window, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(window->sdl);
    EXPECT_EQ(flags & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(flags & SDL_WINDOW_BORDERLESS, 0u);
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    PlatformRestoreDisplayMode();
    EXPECT_TRUE(PlatformDestroyWindow(window));
}

TEST_F(SdlOffscreenTest, TheWindowHasOneDeviceContextWhosePixelFormatIsSetOnce)
{
    WindowHandle window = PlatformCreateWindow(instance, "Marivelt", 800, 600);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(PlatformCreateWindow(instance, "Second", 800, 600), nullptr) << "the program has one window";

    DeviceContextHandle deviceContext = PlatformGetDeviceContext(window);
    ASSERT_NE(deviceContext, nullptr);
    EXPECT_EQ(PlatformGetDeviceContext(window), deviceContext);
    EXPECT_EQ(PlatformCreateRenderContext(deviceContext), nullptr) << "no context before a pixel format";

    const PixelFormatDescriptor request = ProgramRequest();
    int index = PlatformChoosePixelFormat(deviceContext, &request);
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(PlatformSetPixelFormat(deviceContext, index + 1, &request));
    EXPECT_TRUE(PlatformSetPixelFormat(deviceContext, index, &request));
    EXPECT_FALSE(PlatformSetPixelFormat(deviceContext, index, &request)) << "a window's format is set for good";

    EXPECT_TRUE(PlatformReleaseDeviceContext(window, deviceContext));
    EXPECT_FALSE(PlatformReleaseDeviceContext(window, nullptr));
    EXPECT_TRUE(PlatformDestroyWindow(window));
    EXPECT_FALSE(PlatformDestroyWindow(window)) << "already gone";
}

TEST_F(SdlOffscreenTest, ACreatedContextIsNotCurrentUntilMadeCurrentAndAMissingBackBufferFailsThen)
{
    WindowHandle window = PlatformCreateWindow(instance, "Marivelt", 800, 600);
    ASSERT_NE(window, nullptr);
    DeviceContextHandle deviceContext = PlatformGetDeviceContext(window);
    RenderContextHandle renderContext = MakeContext(window);
    ASSERT_NE(renderContext, nullptr);
    EXPECT_FALSE(PlatformHasCurrentContext());

    // The offscreen driver draws into a single-buffered surface: the granted
    // format lacks the back buffer the program asked for.
    EXPECT_FALSE(PlatformMakeCurrent(deviceContext, renderContext));
    EXPECT_FALSE(PlatformHasCurrentContext());

    EXPECT_TRUE(PlatformMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(PlatformDeleteRenderContext(renderContext));
    EXPECT_FALSE(PlatformDeleteRenderContext(nullptr));
    EXPECT_TRUE(PlatformDestroyWindow(window));
}


// A resized window on the offscreen driver: the program is told the
// picture's size, draws off screen, and the copy puts its picture centred
// between black bars. The driver's surface is single-buffered, so the
// context is made current directly and the copy read back where it lands.
TEST_F(SdlOffscreenTest, AWindowOfAnotherShapeGetsThePictureCentredBetweenBlackBars)
{
    PlatformSetWindowed(true);
    ASSERT_TRUE(PlatformChangeDisplayMode(800, 600, 16));
    WindowHandle window = PlatformCreateWindow(instance, "Marivelt", 1920, 1080);
    ASSERT_NE(window, nullptr);
    RenderContextHandle renderContext = MakeContext(window);
    ASSERT_NE(renderContext, nullptr);
    ASSERT_EQ(SDL_GL_MakeCurrent(window->sdl, renderContext->context), 0) << SDL_GetError();

    int width = 0, height = 0;
    SdlFitWindowPicture(window, &width, &height);
    EXPECT_EQ(width, 1440);
    EXPECT_EQ(height, 1080);
    // The program's frame: red, its top rows green, its scissor left on.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 1070, 1440, 10);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SdlPresentPicture(window);

    // The red channel, pushed over 255 should green or blue be lit.
    auto red = [](int x, int y) {
        GLubyte pixel[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return static_cast<int>(pixel[0]) + (pixel[1] | pixel[2] ? 1000 : 0);
    };
    auto readWindow = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    readWindow(GL_READ_FRAMEBUFFER, 0);
    EXPECT_EQ(red(0, 540), 0) << "the left bar";
    EXPECT_EQ(red(239, 1079), 0);
    EXPECT_EQ(red(240, 0), 255) << "the picture's edge";
    EXPECT_EQ(red(960, 540), 255);
    EXPECT_EQ(red(1679, 1069), 255);
    EXPECT_EQ(red(1680, 0), 0) << "the right bar";
    EXPECT_GE(red(960, 1075), 1000) << "the picture's top stays on top";
    GLfloat clearColor[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    EXPECT_EQ(clearColor[1], 1.0f) << "the program's clear colour is its own";
    GLint scissorBox[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST) && scissorBox[1] == 1070) << "and so is its scissor";

    SdlResumePicture(window);
    GLint drawing = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    EXPECT_NE(drawing, 0) << "the next frame goes off screen again";

    EXPECT_TRUE(PlatformMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(PlatformDeleteRenderContext(renderContext));
    EXPECT_TRUE(PlatformDestroyWindow(window));
}

TEST(SdlWithoutVideo, EveryStepRefusesBeforeTheClassIsRegistered)
{
    EXPECT_FALSE(PlatformChangeDisplayMode(800, 600, 16));
    EXPECT_EQ(PlatformCreateWindow(PlatformModuleHandle(), "Marivelt", 800, 600), nullptr);
    EXPECT_EQ(PlatformGetDeviceContext(nullptr), nullptr);
    EXPECT_EQ(PlatformChoosePixelFormat(nullptr, nullptr), 0);
    EXPECT_EQ(PlatformCreateRenderContext(nullptr), nullptr);
    EXPECT_FALSE(PlatformSwapBuffers(nullptr));
    EXPECT_FALSE(PlatformHasCurrentContext());
    EXPECT_EQ(PlatformGetFocus(), nullptr);
    EXPECT_FALSE(PlatformUnregisterWindowClass(PlatformModuleHandle()));
    PlatformShowCursor(true);
    PlatformRestoreDisplayMode();
}

}  // namespace
