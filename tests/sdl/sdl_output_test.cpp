// The decisions about the output, made from facts alone: which of the
// display's modes a change takes, and which kind of output each desktop gets.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_internal.h"

namespace {

SDL_DisplayMode Mode(int width, int height, Uint32 format)
{
    SDL_DisplayMode mode{};
    mode.w = width;
    mode.h = height;
    mode.format = format;
    return mode;
}

TEST(SdlDisplayModeChoice, OnlyTheExactSizeWillDoAndTheClosestDepthWins)
{
    const SDL_DisplayMode modes[] = {
        Mode(1024, 768, SDL_PIXELFORMAT_RGB565), Mode(800, 600, SDL_PIXELFORMAT_RGB888),
        Mode(800, 600, SDL_PIXELFORMAT_RGB565), Mode(800, 600, SDL_PIXELFORMAT_RGB555),
    };
    EXPECT_EQ(SdlChooseDisplayMode(modes, 4, 800, 600, 16), 2);
    EXPECT_EQ(SdlChooseDisplayMode(modes, 4, 800, 600, 32), 1);
    EXPECT_EQ(SdlChooseDisplayMode(modes, 4, 800, 600, 15), 3);
    EXPECT_EQ(SdlChooseDisplayMode(modes, 4, 1024, 768, 32), 0) << "a size's only depth, however far";
}

TEST(SdlDisplayModeChoice, ADisplayWithoutTheSizeRefuses)
{
    const SDL_DisplayMode modes[] = {Mode(640, 480, SDL_PIXELFORMAT_RGB565), Mode(600, 800, SDL_PIXELFORMAT_RGB565)};
    EXPECT_EQ(SdlChooseDisplayMode(modes, 2, 800, 600, 16), -1);
    EXPECT_EQ(SdlChooseDisplayMode(modes, 0, 800, 600, 16), -1);
}

TEST(SdlDisplayModeChoice, OfEqualDepthsTheFirstListedIsTaken)
{
    // SDL lists the highest refresh rate first.
    SDL_DisplayMode fast = Mode(800, 600, SDL_PIXELFORMAT_RGB565);
    fast.refresh_rate = 75;
    SDL_DisplayMode slow = fast;
    slow.refresh_rate = 60;
    const SDL_DisplayMode modes[] = {fast, slow};
    EXPECT_EQ(SdlChooseDisplayMode(modes, 2, 800, 600, 16), 0);
}

// Every desktop the end-to-end tests run on, and the kind of output it
// gets, worked out from what each desktop does with a full-screen window.
struct OutputRow {
    const char* desktop;
    SdlDisplayFacts facts;
    SdlOutputKind expected;
};

const OutputRow kOutputRows[] = {
    {"xvfb", {"x11", false, "Openbox", false}, SdlOutputKind::WatchedModeSwitch},
    {"xvfb640 (no window manager)", {"x11", false, "", false}, SdlOutputKind::WatchedModeSwitch},
    {"xorg", {"x11", false, "Openbox", false}, SdlOutputKind::WatchedModeSwitch},
    {"xorg --window", {"x11", false, "", true}, SdlOutputKind::Window},
    {"xvfb1024 --window", {"x11", false, "", true}, SdlOutputKind::Window},
    {"weston800, weston1920, weston_hidpi", {"wayland", false, "", false}, SdlOutputKind::CompositorDesktop},
    {"xwayland (weston's)", {"x11", true, "Weston WM", false}, SdlOutputKind::CompositorMode},
    {"gnome", {"wayland", false, "", false}, SdlOutputKind::CompositorDesktop},
    {"gnome_xwayland", {"x11", true, "Mutter", false}, SdlOutputKind::CompositorDesktop},
    {"gnome_xwayland, in a GNOME session", {"x11", true, "GNOME Shell", false}, SdlOutputKind::CompositorDesktop},
    {"kde", {"wayland", false, "", false}, SdlOutputKind::CompositorDesktop},
    {"kde_xwayland", {"x11", true, "KWin", false}, SdlOutputKind::CompositorMode},
    {"Xwayland, its window manager killed", {"x11", true, "", false}, SdlOutputKind::CompositorMode},
    {"a console (kmsdrm)", {"KMSDRM", false, "", false}, SdlOutputKind::ModeSwitch},
    {"gnome --window", {"wayland", false, "", true}, SdlOutputKind::Window},
};

TEST(SdlOutputPlan, EachDesktopGetsItsKindOfOutput)
{
    for (const OutputRow& row : kOutputRows)
        EXPECT_EQ(SdlPlanOutput(row.facts), row.expected) << row.desktop;
}

}  // namespace
