// sdl_letterbox.cpp — the picture kept 4:3 in a drawable of another shape.
//
// Where a compositor brings the program to the screen (Wayland, natively or
// through Xwayland), an 800 x 600 mode is only emulated: the window would be
// stretched to the output's shape. There the window takes the output at its
// own size instead, and so does a resized or maximised window. The program
// then draws into a framebuffer object the size of the largest 4:3
// rectangle that fits, in the drawable's own pixels, so text and edges stay
// sharp, and each swap copies it in, centred, with black bars. The program
// above the platform stays OpenGL 1.1 and never knows: it is told the
// picture's size as its window size. Without framebuffer objects the
// program draws into the window itself, stretched, as it would anyway.
#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/sdl/sdl_internal.h"

namespace {

// The framebuffer-object calls, from the driver (OpenGL 3.0 or
// ARB_framebuffer_object, which every Mesa driver has).
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

template <typename Call>
bool Load(Call* call, const char* name)
{
    *call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(name));
    return *call != nullptr;
}

// Null when the current context has no framebuffer objects.
const FramebufferCalls* CurrentFramebufferCalls()
{
    static FramebufferCalls calls{};
    static bool loaded = false;
    if (!loaded) {
        loaded = SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") &&
                 Load(&calls.genFramebuffers, "glGenFramebuffers") &&
                 Load(&calls.deleteFramebuffers, "glDeleteFramebuffers") &&
                 Load(&calls.bindFramebuffer, "glBindFramebuffer") &&
                 Load(&calls.genRenderbuffers, "glGenRenderbuffers") &&
                 Load(&calls.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                 Load(&calls.bindRenderbuffer, "glBindRenderbuffer") &&
                 Load(&calls.renderbufferStorage, "glRenderbufferStorage") &&
                 Load(&calls.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                 Load(&calls.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                 Load(&calls.blitFramebuffer, "glBlitFramebuffer");
        if (!loaded)
            return nullptr;
    }
    return &calls;
}

void DropFramebuffer(SdlLetterbox* letterbox, const FramebufferCalls& gl)
{
    if (letterbox->framebuffer == 0)
        return;
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(1, &letterbox->framebuffer);
    gl.deleteRenderbuffers(1, &letterbox->colorBuffer);
    gl.deleteRenderbuffers(1, &letterbox->depthBuffer);
    letterbox->framebuffer = letterbox->colorBuffer = letterbox->depthBuffer = 0;
}

// A colour and a depth buffer of the picture's size, bound for drawing.
bool MakeFramebuffer(SdlLetterbox* letterbox, const FramebufferCalls& gl)
{
    const int width = letterbox->picture.width, height = letterbox->picture.height;
    gl.genFramebuffers(1, &letterbox->framebuffer);
    gl.genRenderbuffers(1, &letterbox->colorBuffer);
    gl.genRenderbuffers(1, &letterbox->depthBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, letterbox->colorBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, letterbox->depthBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.bindFramebuffer(GL_FRAMEBUFFER, letterbox->framebuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, letterbox->colorBuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, letterbox->depthBuffer);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        return true;
    DropFramebuffer(letterbox, gl);
    return false;
}

// Black where the picture does not reach: left and right of it, or above
// and below. Only the bars, a third of a 16:9 output: a software renderer
// pays for every pixel. The program's clear colour and scissor state are
// its own, so they are put back.
void ClearBars(const SdlLetterbox& letterbox)
{
    const SdlPictureRect& picture = letterbox.picture;
    const bool sideBars = picture.width < letterbox.drawableWidth;
    const int barWidth = sideBars ? picture.x : letterbox.drawableWidth;
    const int barHeight = sideBars ? letterbox.drawableHeight : picture.y;
    // The second bar takes what the first leaves, an odd pixel included.
    const int farX = sideBars ? picture.x + picture.width : 0;
    const int farY = sideBars ? 0 : picture.y + picture.height;
    GLfloat clearColor[4];
    GLint scissorBox[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    const GLboolean scissoring = glIsEnabled(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, barWidth, barHeight);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(farX, farY, letterbox.drawableWidth - farX, letterbox.drawableHeight - farY);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (!scissoring)
        glDisable(GL_SCISSOR_TEST);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
}

}  // namespace

SdlPictureRect SdlFitPicture(int width, int height)
{
    if (width <= 0 || height <= 0)
        return SdlPictureRect{0, 0, 0, 0};
    // 64 bits: a width times three must not overflow on any drawable.
    long long pictureWidth = width, pictureHeight = height;
    if (pictureWidth * 3 > pictureHeight * 4)
        pictureWidth = pictureHeight * 4 / 3;
    else
        pictureHeight = pictureWidth * 3 / 4;
    const int fittedWidth = static_cast<int>(pictureWidth), fittedHeight = static_cast<int>(pictureHeight);
    return SdlPictureRect{(width - fittedWidth) / 2, (height - fittedHeight) / 2, fittedWidth, fittedHeight};
}

void SdlFitWindowPicture(PlatformWindow* window, int* width, int* height)
{
    SdlLetterbox& letterbox = window->letterbox;
    // Framebuffers are made and dropped in the window's own context; without
    // it (before the program's context, after its release) the picture stays.
    if (SDL_GL_GetCurrentWindow() != window->sdl || SDL_GL_GetCurrentContext() == nullptr) {
        *width = letterbox.picture.width;
        *height = letterbox.picture.height;
        return;
    }
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window->sdl, &drawableWidth, &drawableHeight);
    const FramebufferCalls* gl = window->fitsPicture ? CurrentFramebufferCalls() : nullptr;
    SdlPictureRect picture = SdlFitPicture(drawableWidth, drawableHeight);
    // Exactly the drawable's shape (or a minimised window): nothing to copy.
    const bool copied = gl != nullptr && picture.width > 0 && picture.height > 0 &&
                        (picture.width != drawableWidth || picture.height != drawableHeight);
    if (!copied)
        picture = SdlPictureRect{0, 0, drawableWidth, drawableHeight};
    const bool resized = picture.width != letterbox.picture.width || picture.height != letterbox.picture.height;
    letterbox.picture = picture;
    letterbox.drawableWidth = drawableWidth;
    letterbox.drawableHeight = drawableHeight;
    if (gl != nullptr && (resized || !copied))
        DropFramebuffer(&letterbox, *gl);
    if (copied && letterbox.framebuffer == 0 && !MakeFramebuffer(&letterbox, *gl))
        letterbox.picture = SdlPictureRect{0, 0, drawableWidth, drawableHeight};
    *width = letterbox.picture.width;
    *height = letterbox.picture.height;
}

void SdlPresentPicture(PlatformWindow* window)
{
    const SdlLetterbox& letterbox = window->letterbox;
    if (letterbox.framebuffer == 0)
        return;
    const FramebufferCalls& gl = *CurrentFramebufferCalls();
    const SdlPictureRect& picture = letterbox.picture;
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    ClearBars(letterbox);
    // Same size: a copy, pixel for pixel.
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, letterbox.framebuffer);
    gl.blitFramebuffer(0, 0, picture.width, picture.height, picture.x, picture.y, picture.x + picture.width,
                       picture.y + picture.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

void SdlResumePicture(PlatformWindow* window)
{
    if (window->letterbox.framebuffer != 0)
        CurrentFramebufferCalls()->bindFramebuffer(GL_FRAMEBUFFER, window->letterbox.framebuffer);
}

void SdlForgetLetterbox(PlatformWindow* window)
{
    window->letterbox = SdlLetterbox{};
}
