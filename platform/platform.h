// platform.h — everything Marivelt takes from the system.
//
// The program was shaped around a classic desktop window system: a window
// class, a display-mode change, a window with a device context, a pixel
// format, a GL rendering context, a message queue, a buffer swap, message
// boxes, a cursor switch, fire-and-forget sound cues and a read-only file
// mapping. Each is one small free function here, in the program's terms.
// Two implementations exist and are chosen at link time:
//   platform/sdl/       the real thing (SDL2 + POSIX), linked into marivelt
//   platform/headless/  offscreen Mesa GL through EGL, scripted events and
//                       recorded boxes and cues, for tests and tools
// Nothing above platform/ includes an SDL, EGL or POSIX header.
#pragma once

#include <cstddef>
#include <cstdint>

struct GLUquadric;

// Opaque handles; null means "none".
struct PlatformInstance;
struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformRenderContext;
using InstanceHandle = PlatformInstance*;
using WindowHandle = PlatformWindow*;
using DeviceContextHandle = PlatformDeviceContext*;
using RenderContextHandle = PlatformRenderContext*;

// The pixel-format request, member for member the classic 40-byte descriptor.
struct PixelFormatDescriptor {
    uint16_t nSize;
    uint16_t nVersion;
    uint32_t dwFlags;
    uint8_t iPixelType;
    uint8_t cColorBits;
    uint8_t cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    uint8_t cAlphaBits, cAlphaShift;
    uint8_t cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    uint8_t cDepthBits;
    uint8_t cStencilBits;
    uint8_t cAuxBuffers;
    uint8_t iLayerType;
    uint8_t bReserved;
    uint32_t dwLayerMask;
    uint32_t dwVisibleMask;
    uint32_t dwDamageMask;
};
static_assert(sizeof(PixelFormatDescriptor) == 40, "the descriptor is 40 bytes");

constexpr uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

// The depth buffer of every window's pixel format, in bits: the program asks
// for it, and a platform that fixes the framebuffer when the window is made,
// before any request comes, gives it from here.
constexpr uint8_t kDepthBufferBits = 16;

// Window messages, with the classic codes so that exit codes and tests read
// the same as on the system the program was designed for.
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;

// WM_SYSCOMMAND parameters.
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;

// Virtual-key codes read by the program.
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_UP = 0x26;
constexpr uint8_t VK_RIGHT = 0x27;
constexpr uint8_t VK_DOWN = 0x28;

// One retrieved message. wParam/lParam carry what the classic messages carry:
// the virtual-key code for key messages, (minimised flag << 16) for
// WM_ACTIVATE, (height << 16 | width) for WM_SIZE, the quit code for WM_QUIT.
struct WindowMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

inline uint16_t LowWord(uintptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
inline uint16_t HighWord(uintptr_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }

enum class MessageBoxIcon {
    None,         // the bitmap reader's boxes
    Exclamation,  // warning: start-up failures and the farewell box
    Hand,         // stop/error: the refused display mode
    Asterisk,     // information: shutdown failures
};

// A read-only view of a whole file; the bytes stay valid until PlatformCloseFileView.
struct FileView {
    const unsigned char* data;
    size_t size;
    int descriptor;  // private to the platform
};

// ---- process and window system ---------------------------------------------
InstanceHandle PlatformModuleHandle();
bool PlatformRegisterWindowClass(InstanceHandle instance);
bool PlatformUnregisterWindowClass(InstanceHandle instance);

// Chooses, before the display is opened, an ordinary framed window on the
// desktop instead of full screen: the display-mode change and its restore
// then change nothing, the window is placed by the window manager, and the
// cursor is never hidden. For users whose desktop must keep its mode.
void PlatformSetWindowed(bool windowed);

// Switches the display to width x height at the depth closest to bits; the
// change is temporary. RestoreDisplayMode gives the desktop mode back and is
// harmless when no change is in force.
bool PlatformChangeDisplayMode(int width, int height, int bits);
void PlatformRestoreDisplayMode();
// Whether the display really runs the mode asked for, once the window is
// shown: a display can still refuse the switch then. True when no change
// was asked for.
bool PlatformConfirmDisplayMode();

void PlatformShowCursor(bool show);

// A borderless full-screen window at (0, 0), created hidden; a framed one
// when windowed.
WindowHandle PlatformCreateWindow(InstanceHandle instance, const char* title, int width, int height);
bool PlatformDestroyWindow(WindowHandle window);
void PlatformShowWindow(WindowHandle window);
void PlatformSetForegroundWindow(WindowHandle window);
void PlatformSetFocus(WindowHandle window);
WindowHandle PlatformGetFocus();

DeviceContextHandle PlatformGetDeviceContext(WindowHandle window);
bool PlatformReleaseDeviceContext(WindowHandle window, DeviceContextHandle deviceContext);
int PlatformChoosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatDescriptor* request);
bool PlatformSetPixelFormat(DeviceContextHandle deviceContext, int index, const PixelFormatDescriptor* request);

RenderContextHandle PlatformCreateRenderContext(DeviceContextHandle deviceContext);
// With both null, makes no context current.
bool PlatformMakeCurrent(DeviceContextHandle deviceContext, RenderContextHandle renderContext);
bool PlatformDeleteRenderContext(RenderContextHandle renderContext);
bool PlatformHasCurrentContext();
// The GL utility library's quadric object, or null when none can be made.
// It comes through here, like the context, so that a test can refuse it.
GLUquadric* PlatformNewQuadric();

// Presents the back buffer; paced to the display's refresh like a vsync'd swap.
bool PlatformSwapBuffers(DeviceContextHandle deviceContext);

// ---- message queue -----------------------------------------------------------
// Takes at most one waiting message, at once; false when nothing is waiting.
bool PlatformPeekMessage(WindowMessage* record);
void PlatformPostQuitMessage(int exitCode);
intptr_t PlatformDefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// ---- user feedback -----------------------------------------------------------
// Modal; returns when dismissed. Falls back to standard error when no box can be shown.
void PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, MessageBoxIcon icon);
// Opens the sound device and reads the named cue files in the background,
// so that the first cue starts as promptly as the rest; returns at once.
// CloseSound lets what still plays fade out, then closes the device.
void PlatformOpenSound(const char* const* cuePaths, size_t count);
void PlatformCloseSound();
// Starts a cue without waiting; cuts off the one still playing. A missing
// file, no audio device or no open sound is silently nothing.
void PlatformPlaySound(const char* path);

// ---- files -------------------------------------------------------------------
// Maps the whole file read-only. False when it cannot be opened or mapped
// (an empty file cannot be mapped); nothing is left open then.
bool PlatformOpenFileView(const char* path, FileView* view);
void PlatformCloseFileView(FileView* view);
