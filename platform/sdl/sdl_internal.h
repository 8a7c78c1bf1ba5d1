// sdl_internal.h — what the files of the SDL platform share among themselves.
//
// The program sees only opaque handles; here they get their contents. The
// program has one window, so the handles are few and small: a window owns its
// one device context (the window's own, valid for its whole life) and the
// swap pacer that goes with it. Everything else the platform remembers
// between calls is one record, SdlState.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>
#include <sys/types.h>

#include <csignal>

#include <chrono>
#include <string>
#include <vector>

#include "platform/common/gesture_keys.h"
#include "platform/common/message_queue.h"
#include "platform/common/picture_fit.h"
#include "platform/common/step_pace.h"
#include "platform/platform.h"

// How the picture reaches the screen, chosen once from what is known of
// the display (sdl_output.cpp).
enum class SdlOutputKind {
    None,               // not chosen yet, or given back
    ModeSwitch,         // a display that changes modes, SDL gives the mode back (a console's KMS)
    WatchedModeSwitch,  // an X server driving a monitor: the mode watcher gives it back should the program die
    CompositorDesktop,  // a compositor's output at its own size, the window full screen on the desktop
    CompositorMode,     // the same through Xwayland, the window full screen in the output's own mode
    Window,             // an ordinary window on the desktop, which the user may resize
};

// What the display knows before the window is made.
struct SdlDisplayFacts {
    std::string videoDriver;    // SDL's: "x11", "wayland", ...
    bool xwayland = false;      // the X server runs on a Wayland compositor
    std::string windowManager;  // as it announces itself on X, empty when none does
    bool windowed = false;      // the user asked for a window
};

// Everything that follows from the kind of output.
struct SdlOutputTraits {
    Uint32 fullScreen;       // 0, SDL_WINDOW_FULLSCREEN (in the recorded mode) or SDL_WINDOW_FULLSCREEN_DESKTOP
    bool framed;             // the window manager frames the window, which is resizable and centred
    bool highDpi;            // the drawable in the output's own pixels, a scaled one's too
    bool fitsPicture;        // the picture kept 4:3 in whatever drawable the window has
    bool recordsOutputMode;  // the mode recorded is the output's own, not the one asked for
    bool watchesMode;        // the X11 mode watcher starts
    bool stepsAsideForBoxes; // hidden while a box is up: a compositor may keep a full-screen window above it
};

SdlOutputKind SdlPlanOutput(const SdlDisplayFacts& facts);
SdlOutputTraits SdlTraitsOf(SdlOutputKind kind);

struct PlatformInstance {
    int unused;  // only its address is used, as the owner of the window class
};

// The pixel format as the window was created with it: SDL fixes the GL
// attributes when the window is made, so this is all a context can get.
struct SdlFramebufferRequest {
    int colorBits;  // bits per pixel, 0 when SDL may choose
    int depthBits;  // depth-buffer bits asked for
};

// Holds the swaps to the program's pace, 60 steps a second (sdl_swap.cpp).
struct SdlSwapPacer {
    bool paced;            // not turned off by vblank_mode=0
    bool driverSyncs;      // the driver's swap waits for the refresh itself
    StepSchedule schedule;
    double lastRefreshAt;  // seconds on the steady clock: the refresh that showed the last frame
};

struct PlatformDeviceContext {
    PlatformWindow* window;
    bool formatSet;
    PixelFormatDescriptor format;  // as recorded by PlatformSetPixelFormat
    SdlSwapPacer pacer;
};

// The framebuffer-object calls, from the driver (OpenGL 3.0 or
// ARB_framebuffer_object, which every Mesa driver has).
struct SdlFramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
    // Null unless the driver has Mesa's flip (listed only where this call
    // takes it): a framebuffer object stored top row first, as the window.
    PFNGLFRAMEBUFFERPARAMETERIPROC framebufferParameteri;
};

// A drawable of another shape than the picture (a full-screen window the
// size of a compositor's output, a resized window) gets the picture drawn
// off screen at the largest 4:3 size that fits and copied in centred, with
// black bars. The names belong to the window's rendering context.
struct SdlLetterbox {
    PictureRect picture;         // in the drawable; the whole drawable when no copy is needed
    int drawableWidth;           // pixels, as last fitted
    int drawableHeight;
    unsigned int framebuffer;    // GL framebuffer object the program draws into, 0 when none
    unsigned int colorTexture;   // its colour, a texture
    unsigned int depthBuffer;    // its depth, a renderbuffer
    bool callsLoaded;            // the context was asked for its framebuffer calls
    bool hasCalls;               // and has them
    SdlFramebufferCalls calls;
    bool shownUnfitted;          // shown since the picture was last fitted: the program may not know its size
};

struct PlatformWindow {
    SDL_Window* sdl;
    SdlFramebufferRequest framebuffer;
    PlatformDeviceContext deviceContext;
    bool fitsPicture;        // keeps the picture 4:3 in whatever drawable it gets, as its output does
    SdlLetterbox letterbox;  // while fitsPicture and a context is current
};

struct PlatformRenderContext {
    SDL_GLContext context;
    PlatformWindow* window;  // the window it was made for
};

struct SdlSound;  // sdl_sound.h

// The X11 display-mode watcher while it runs (sdl_mode_watch.cpp).
struct SdlModeWatch {
    pid_t watcher = 0;                   // its process, 0 when none runs
    volatile sig_atomic_t channel = -1;  // the program's end of the socket; the fatal-signal reporter reads it
    bool reporting[NSIG] = {};           // signals whose reporter is installed
};

struct SdlPlatformState {
    // window class and exit hook
    PlatformInstance instance;  // only its address is used
    bool classRegistered;       // the video subsystem is up
    bool exitHookSet;
    // display mode
    bool windowed;                  // asked for an ordinary window on the desktop, cursor left alone
    SdlOutputKind output;           // chosen by PlatformChangeDisplayMode; None before and after
    SDL_DisplayMode requestedMode;  // the mode recorded then, which a full-screen window takes
    // window
    PlatformWindow* window;  // the program window, null before it exists and after it is gone
    // messages and sound
    MessageQueue queue;  // translated from SDL events, not yet taken; quit last
    GestureKeys gestures;  // the mouse's and the fingers', played as keys
    SdlSound* sound;  // the open sound, null when closed
    // Sessions whose thread did not finish in time: never waited for, never
    // freed, and SDL's shutdown at exit leaves the audio alone.
    std::vector<SdlSound*> abandonedSound;
    SdlModeWatch modeWatch;
};

extern SdlPlatformState SdlState;

// Whether SDL's video runs on the named driver ("x11", "wayland").
bool SdlVideoDriverIs(const char* name);

// One line on standard error naming the SDL call that failed and why. Only
// failures are reported: the program prints nothing in normal operation.
void SdlReportFailure(const char* call);

// Where an X display name (DISPLAY) is served: a local socket, or a host's
// TCP port 6000 + number.
struct SdlXAddress {
    bool local = false;
    std::string host;  // empty when local
    int number = 0;    // the display's number
};
// False for a name that is no X display's.
bool SdlParseXDisplay(const char* name, SdlXAddress* address);
// The compositor's socket for WAYLAND_DISPLAY (wayland-0 when unset) in the
// runtime folder; empty when there is none to try (an empty name).
std::string SdlWaylandSocketPath(const char* waylandDisplay, const char* runtimeDirectory);
// Whether a compositor on WAYLAND_DISPLAY or an X server on DISPLAY answers
// within `milliseconds`.
bool SdlDisplayAnswers(int milliseconds);

// The traits of the chosen output (SdlState.output).
SdlOutputTraits SdlOutput();

// Fits the window's picture to its drawable as it is now, making, resizing
// or dropping the off-screen framebuffer (the window's context must be
// current), and gives the picture's size, the size the program draws at.
void SdlFitWindowPicture(PlatformWindow* window, int* width, int* height);
// The one producer of the WM_SIZE the program hears for its picture, called
// from the message pump: for a size event of the window (its size as SDL
// says) the picture's size once fitted; with no event, once the window was
// shown, the picture's size if the program has not heard it (false when
// there is nothing to tell; a size event always gets its message).
bool SdlPictureSizeMessage(PlatformWindow* window, const WindowMessage* sizeEvent, WindowMessage* message);
// Copies an off-screen picture into the window's back buffer, centred with
// black bars; nothing when the program draws into the window itself.
void SdlPresentPicture(PlatformWindow* window);
// After the swap: the program's next frame goes off screen again.
void SdlResumePicture(PlatformWindow* window);
// Forgets the framebuffer: its context is being deleted, and its names with it.
void SdlForgetLetterbox(PlatformWindow* window);

// Of the display's modes, the index of the one of exactly width x height
// whose depth is closest to bits (the first of equals, which SDL lists with
// the highest refresh rate first), or -1 when no mode has that size.
int SdlChooseDisplayMode(const SDL_DisplayMode* modes, int count, int width, int height, int bits);

// Whether a context on a window made with `framebuffer` can give `request`.
bool SdlPixelFormatAvailable(const PixelFormatDescriptor& request, const SdlFramebufferRequest& framebuffer);

// The Windows virtual-key code for a key, or 0 when it has none below 256.
uint8_t SdlVirtualKey(SDL_Keycode key, SDL_Scancode scancode);

// Follows the mouse, the fingers, the keys the user holds and the focus for
// the gestures (sdl_gestures.cpp).
void SdlFollowGestures(const SDL_Event& event);

// Translates one SDL event into the program's messages (none, one or two),
// returning how many were written to out.
int SdlTranslateEvent(const SDL_Event& event, WindowMessage out[2]);

// Starts pacing a device context's swaps from now on; driverSyncs: the
// driver's swap waits for the refresh itself.
void SdlStartSwapPacer(SdlSwapPacer* pacer, bool driverSyncs);

// On X11, starts the process that gives the desktop its mode back should the
// program end without doing so; returns once the desktop's configuration is
// saved. Elsewhere nothing: other window systems end a client's mode with it.
void SdlStartModeWatch();
// Installs the reporter of fatal signals, which tells the watcher which one
// the program dies of, where a signal has no handler; and takes back those
// still the reporter's.
void SdlStartReportingSignals();
void SdlStopReportingSignals();
// Waits up to 3 s for the watcher's word that the desktop is saved.
bool SdlAwaitModeWatchReady(int channel);
// Ends the watch; `restored` tells the watcher the desktop mode is back, so
// it leaves the display alone. Harmless when no watcher runs.
void SdlEndModeWatch(bool restored);

// Makes an X error a line on standard error, and a lost X connection end
// the process at once (sdl_x11_connection.cpp).
void SdlHandleXErrors();
