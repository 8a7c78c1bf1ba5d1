// headless_gl.cpp — offscreen OpenGL on Mesa through EGL's surfaceless platform,
// and the utility library's quadric, which a test can refuse.
// Each render context owns its own pbuffer. The EGL display is opened once and
// stays open for the life of the process: terminating it would unload the
// driver, whose one-time allocations would then show up as leaks.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

#include "platform/headless/headless_internal.h"

namespace {

bool OpenEglDisplay()
{
    HeadlessEgl& egl = HeadlessEglState();
    if (egl.display != EGL_NO_DISPLAY)
        return true;
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        std::fprintf(stderr, "headless: eglGetPlatformDisplayEXT is missing\n");
        return false;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        std::fprintf(stderr, "headless: no surfaceless EGL display (0x%x)\n", eglGetError());
        return false;
    }
    const EGLint attributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
        EGL_DEPTH_SIZE, kDepthBufferBits,
        EGL_NONE,
    };
    EGLint found = 0;
    if (!eglChooseConfig(display, attributes, &egl.config, 1, &found) || found < 1 || !eglBindAPI(EGL_OPENGL_API)) {
        std::fprintf(stderr, "headless: no EGL config for desktop GL with depth (0x%x)\n", eglGetError());
        eglTerminate(display);
        return false;
    }
    egl.display = display;
    return true;
}

}  // namespace

bool HeadlessCreateGl(int width, int height, HeadlessGl* gl)
{
    if (!OpenEglDisplay())
        return false;
    const HeadlessEgl& egl = HeadlessEglState();
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        EGL_NONE,
    };
    EGLContext context = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT)
        return false;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(egl.display, egl.config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        eglDestroyContext(egl.display, context);
        return false;
    }
    gl->context = context;
    gl->surface = surface;
    return true;
}

bool HeadlessMakeGlCurrent(const HeadlessGl* gl)
{
    EGLDisplay display = HeadlessEglState().display;
    if (gl == nullptr)
        return display == EGL_NO_DISPLAY ||
               eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    return eglMakeCurrent(display, gl->surface, gl->surface, gl->context);
}

void HeadlessDestroyGl(HeadlessGl* gl)
{
    EGLDisplay display = HeadlessEglState().display;
    if (gl->surface != nullptr)
        eglDestroySurface(display, gl->surface);
    if (gl->context != nullptr)
        eglDestroyContext(display, gl->context);
    *gl = HeadlessGl{};
}

bool HeadlessGlIsCurrent()
{
    return eglGetCurrentContext() != EGL_NO_CONTEXT;
}

void HeadlessSwapCurrentGl()
{
    // A pbuffer has no front buffer and its swap does nothing, so the frame's
    // queued work is finished here, as a real swap would have it: otherwise
    // the software rasteriser keeps piling up unexecuted frames.
    if (eglGetCurrentContext() != EGL_NO_CONTEXT)
        glFinish();
}

GLUquadric* PlatformNewQuadric()
{
    if (HeadlessStepFails(HeadlessStep::NewQuadric, "NewQuadric"))
        return nullptr;
    return gluNewQuadric();
}
