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

#include "platform/common/message_parameters.h"
#include "platform/sdl/sdl_internal.h"

namespace {

template <typename Call>
bool Load(Call* call, const char* name)
{
    *call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(name));
    return *call != nullptr;
}

// Null when the window's context has no framebuffer objects. Loaded once
// for the context, and forgotten with it.
const SdlFramebufferCalls* FramebufferCalls(SdlLetterbox* letterbox)
{
    SdlFramebufferCalls& calls = letterbox->calls;
    if (!letterbox->callsLoaded) {
        letterbox->callsLoaded = true;
        letterbox->hasCalls = SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") &&
                              Load(&calls.genFramebuffers, "glGenFramebuffers") &&
                              Load(&calls.deleteFramebuffers, "glDeleteFramebuffers") &&
                              Load(&calls.bindFramebuffer, "glBindFramebuffer") &&
                              Load(&calls.genRenderbuffers, "glGenRenderbuffers") &&
                              Load(&calls.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                              Load(&calls.bindRenderbuffer, "glBindRenderbuffer") &&
                              Load(&calls.renderbufferStorage, "glRenderbufferStorage") &&
                              Load(&calls.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                              Load(&calls.framebufferTexture2D, "glFramebufferTexture2D") &&
                              Load(&calls.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                              Load(&calls.blitFramebuffer, "glBlitFramebuffer");
        if (letterbox->hasCalls && SDL_GL_ExtensionSupported("GL_MESA_framebuffer_flip_y"))
            Load(&calls.framebufferParameteri, "glFramebufferParameteri");
    }
    return letterbox->hasCalls ? &calls : nullptr;
}

void DropFramebuffer(SdlLetterbox* letterbox, const SdlFramebufferCalls& gl)
{
    if (letterbox->framebuffer == 0)
        return;
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(1, &letterbox->framebuffer);
    glDeleteTextures(1, &letterbox->colorTexture);
    gl.deleteRenderbuffers(1, &letterbox->depthBuffer);
    letterbox->framebuffer = letterbox->colorTexture = letterbox->depthBuffer = 0;
}

// A colour and a depth buffer of the picture's size, bound for drawing.
// The final copy is the frame's largest cost after the drawing itself
// unless the driver can take it as a plain copy of rows: so the colour is
// kept in the window's own byte order (blue, green, red, as the unsized
// format picks for BGRA data) and, where Mesa allows, top row first like
// the window. On llvmpipe that makes the copy of 1440 x 1080 about ten
// times faster than a shader's pass.
bool MakeFramebuffer(SdlLetterbox* letterbox, const SdlFramebufferCalls& gl)
{
    const int width = letterbox->picture.width, height = letterbox->picture.height;
    GLint programTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &programTexture);
    glGenTextures(1, &letterbox->colorTexture);
    glBindTexture(GL_TEXTURE_2D, letterbox->colorTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(programTexture));
    gl.genFramebuffers(1, &letterbox->framebuffer);
    gl.genRenderbuffers(1, &letterbox->depthBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, letterbox->depthBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.bindFramebuffer(GL_FRAMEBUFFER, letterbox->framebuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, letterbox->colorTexture, 0);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, letterbox->depthBuffer);
    if (gl.framebufferParameteri != nullptr)
        gl.framebufferParameteri(GL_FRAMEBUFFER, GL_FRAMEBUFFER_FLIP_Y_MESA, GL_TRUE);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        return true;
    DropFramebuffer(letterbox, gl);
    return false;
}

// Black where the picture does not reach: left and right of it, or above
// and below. Only the bars, a quarter of a 16:9 output: a software renderer
// pays for every pixel. Leaves the scissor test on.
void ClearBars(const SdlLetterbox& letterbox)
{
    const PictureRect& picture = letterbox.picture;
    const bool sideBars = picture.width < letterbox.drawableWidth;
    const int barWidth = sideBars ? picture.x : letterbox.drawableWidth;
    const int barHeight = sideBars ? letterbox.drawableHeight : picture.y;
    // The second bar takes what the first leaves, an odd pixel included.
    const int farX = sideBars ? picture.x + picture.width : 0;
    const int farY = sideBars ? 0 : picture.y + picture.height;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, barWidth, barHeight);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(farX, farY, letterbox.drawableWidth - farX, letterbox.drawableHeight - farY);
    glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

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
    const SdlFramebufferCalls* gl = window->fitsPicture ? FramebufferCalls(&letterbox) : nullptr;
    PictureRect picture = FitPicture(drawableWidth, drawableHeight);
    // Exactly the drawable's shape (or a minimised window): nothing to copy.
    const bool copied = gl != nullptr && picture.width > 0 && picture.height > 0 &&
                        (picture.width != drawableWidth || picture.height != drawableHeight);
    if (!copied)
        picture = PictureRect{0, 0, drawableWidth, drawableHeight};
    const bool resized = picture.width != letterbox.picture.width || picture.height != letterbox.picture.height;
    letterbox.picture = picture;
    letterbox.drawableWidth = drawableWidth;
    letterbox.drawableHeight = drawableHeight;
    if (gl != nullptr && (resized || !copied))
        DropFramebuffer(&letterbox, *gl);
    if (copied && letterbox.framebuffer == 0 && !MakeFramebuffer(&letterbox, *gl))
        letterbox.picture = PictureRect{0, 0, drawableWidth, drawableHeight};
    *width = letterbox.picture.width;
    *height = letterbox.picture.height;
}

bool SdlPictureSizeMessage(PlatformWindow* window, const WindowMessage* sizeEvent, WindowMessage* message)
{
    SdlLetterbox& letterbox = window->letterbox;
    if (sizeEvent != nullptr && !window->fitsPicture) {
        *message = *sizeEvent;  // the program draws into the window, at its size
        return true;
    }
    if (sizeEvent == nullptr && !letterbox.shownUnfitted)
        return false;
    letterbox.shownUnfitted = false;
    const PictureRect told = letterbox.picture;
    int width = 0, height = 0;
    SdlFitWindowPicture(window, &width, &height);
    if (sizeEvent == nullptr && width == told.width && height == told.height)
        return false;
    *message = WindowMessage{window, WM_SIZE, sizeEvent != nullptr ? sizeEvent->wParam : 0,
                             SizeParameter(width, height)};
    return true;
}

void SdlPresentPicture(PlatformWindow* window)
{
    const SdlLetterbox& letterbox = window->letterbox;
    if (letterbox.framebuffer == 0)
        return;
    const SdlFramebufferCalls& gl = window->letterbox.calls;
    const PictureRect& picture = letterbox.picture;
    // The program's clear colour and scissor are its own: put back after.
    GLfloat clearColor[4];
    GLint scissorBox[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    const GLboolean scissoring = glIsEnabled(GL_SCISSOR_TEST);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    ClearBars(letterbox);
    // Same size, unscissored: a copy, pixel for pixel.
    glDisable(GL_SCISSOR_TEST);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, letterbox.framebuffer);
    gl.blitFramebuffer(0, 0, picture.width, picture.height, picture.x, picture.y, picture.x + picture.width,
                       picture.y + picture.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (scissoring)
        glEnable(GL_SCISSOR_TEST);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
}

void SdlResumePicture(PlatformWindow* window)
{
    if (window->letterbox.framebuffer != 0)
        window->letterbox.calls.bindFramebuffer(GL_FRAMEBUFFER, window->letterbox.framebuffer);
}

void SdlForgetLetterbox(PlatformWindow* window)
{
    window->letterbox = SdlLetterbox{};
}
