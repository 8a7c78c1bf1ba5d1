// web_internal.h — what the web platform's files share: the handles'
// contents, the one record of what the platform remembers, and the browser
// side's calls (web_library.js).
#pragma once

#include <cstdint>

#include "platform/common/message_queue.h"
#include "platform/platform.h"

struct PlatformWindow {
    int width, height;  // the canvas outside full screen, pixels
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
    bool windowed = false;      // asked for; the page looks the same either way
    PlatformWindow* window = nullptr;
    PlatformRenderContext* context = nullptr;  // the one context a canvas can have
    MessageQueue queue;         // the page's messages as the program takes them, quit last
    bool listening = false;     // the page's events are being taken
};
extern WebState Web;

extern "C" {
void marivelt_listen();
int marivelt_take_message(int32_t out[3]);
int marivelt_open_canvas(const char* title, int width, int height);
void marivelt_close_canvas();
void marivelt_show_cursor(int show);
int marivelt_create_context();
void marivelt_present();
void marivelt_message_box(const char* text, const char* caption, int icon);
void marivelt_open_sound(const char* const* paths, int count);
void marivelt_play_sound(const char* path);
void marivelt_close_sound();
}
