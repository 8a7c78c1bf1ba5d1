// web_internal.h — what the web platform's files share: the handles'
// contents, the one record of what the platform remembers, the page's news
// and the browser side's calls (web_library.js).
#pragma once

#include <cstdint>

#include "platform/common/gesture_keys.h"
#include "platform/common/message_queue.h"
#include "platform/common/step_pace.h"
#include "platform/platform.h"
#include "platform/web/refresh_period.h"

struct PlatformWindow {
    int width, height;            // the canvas outside full screen, pixels
    int shownWidth, shownHeight;  // its drawing buffer now, pixels
};
struct PlatformDeviceContext {
    PlatformWindow* window;
    bool formatSet;
};
struct PlatformRenderContext {
    bool current;
};

struct WebState {
    bool classRegistered = false;
    PlatformWindow* window = nullptr;
    PlatformRenderContext* context = nullptr;  // the one context a canvas can have
    MessageQueue queue;         // the page's messages as the program takes them, quit last
    GestureKeys gesture;        // the pointers' gestures, played as keys
    StepSchedule pace;          // which animation frames show a new step
    RefreshPeriod refresh;      // the display's refresh, as the animation frames tell it
    bool listening = false;     // the page's events are being taken
};
extern WebState Web;

// What the page tells the platform, oldest first (web_library.js queues it
// in the page's terms; PlatformPeekMessage turns it into messages and
// gestures). The page is given these numbers when it starts listening.
enum WebNews : int32_t {
    kNewsNone,
    kNewsKey,            // down (0/1), virtual-key code, system key (0/1: ALT held)
    kNewsFocus,          // gained (0/1)
    kNewsShown,          // shown (0/1): a hidden page is the minimised window
    kNewsStage,          // fills (0/1), width, height: the room the picture may fill, pixels
    kNewsPointerDown,    // pointer, moves the scene (0/1: the right button), x, y
    kNewsPointerMove,    // pointer, x, y
    kNewsPointerUp,      // pointer
    kNewsPointerCancel,  // the browser took every pointer
    kNewsWheel,          // notches, > 0 turned away from the user
};
// A pointer's x and y come in widths of the picture from its top left corner.

extern "C" {
void marivelt_listen(int key, int focus, int shown, int stage, int pointerDown, int pointerMove, int pointerUp,
                     int pointerCancel, int wheel);
int marivelt_take_news(double out[4]);
int marivelt_open_canvas(const char* title, int width, int height);
void marivelt_size_canvas(int width, int height, int fills);
void marivelt_close_canvas();
void marivelt_show_cursor(int show);
int marivelt_create_context();
double marivelt_present();
double marivelt_next_frame();
void marivelt_message_box(const char* text, const char* caption, int icon);
void marivelt_open_sound(const char* const* paths, int count);
void marivelt_play_sound(const char* path);
void marivelt_close_sound();
}
