// randr_configuration.cpp — reading and giving back the RandR configuration.
//
// Giving it back is what xrandr itself does: the CRTCs that differ are
// switched off, the screen takes its old size (which a CRTC left on might not
// fit), and the CRTCs are set as they were, all under one server grab so that
// no other client sees the screen half done.
#include "platform/sdl/mode_watcher/randr_configuration.h"

#include <algorithm>

namespace {

constexpr int kRandrMajor = 1;
constexpr int kRandrMinor = 2;  // CRTCs and outputs

bool g_requestFailed = false;

int RecordRequestFailure(Display*, XErrorEvent*)
{
    g_requestFailed = true;
    return 0;
}

bool SameSetting(const RandrCrtcSetting& a, const RandrCrtcSetting& b)
{
    return a.crtc == b.crtc && a.mode == b.mode && a.x == b.x && a.y == b.y && a.rotation == b.rotation &&
           a.outputs == b.outputs;
}

bool ReadCrtcSetting(Display* display, XRRScreenResources* resources, RRCrtc crtc, RandrCrtcSetting* setting)
{
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
    if (info == nullptr)
        return false;
    *setting = RandrCrtcSetting{crtc, info->mode, info->x, info->y, info->rotation,
                                std::vector<RROutput>(info->outputs, info->outputs + info->noutput)};
    XRRFreeCrtcInfo(info);
    return true;
}

// The root window's size is the screen's, read from the server itself: the
// size this connection learnt when it opened may be out of date.
bool ReadScreenSize(Display* display, int* width, int* height)
{
    Window root;
    int x, y;
    unsigned int rootWidth, rootHeight, border, depth;
    if (!XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &rootWidth, &rootHeight, &border, &depth))
        return false;
    *width = static_cast<int>(rootWidth);
    *height = static_cast<int>(rootHeight);
    return true;
}

bool ReadCrtcSettings(Display* display, std::vector<RandrCrtcSetting>* settings)
{
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr)
        return false;
    bool read = true;
    settings->clear();
    for (int index = 0; index < resources->ncrtc && read; ++index) {
        RandrCrtcSetting setting{};
        read = ReadCrtcSetting(display, resources, resources->crtcs[index], &setting);
        settings->push_back(setting);
    }
    XRRFreeScreenResources(resources);
    return read;
}

bool ApplyCrtcSetting(Display* display, XRRScreenResources* resources, const RandrCrtcSetting& setting)
{
    std::vector<RROutput> outputs = setting.outputs;
    return XRRSetCrtcConfig(display, resources, setting.crtc, CurrentTime, setting.x, setting.y, setting.mode,
                            setting.rotation, outputs.data(), static_cast<int>(outputs.size())) == RRSetConfigSuccess;
}

bool SwitchCrtcOff(Display* display, XRRScreenResources* resources, RRCrtc crtc)
{
    return XRRSetCrtcConfig(display, resources, crtc, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0) ==
           RRSetConfigSuccess;
}

}  // namespace

bool SaveRandrConfiguration(Display* display, RandrConfiguration* saved)
{
    int eventBase, errorBase, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major < kRandrMajor || (major == kRandrMajor && minor < kRandrMinor))
        return false;
    saved->widthMm = DisplayWidthMM(display, DefaultScreen(display));
    saved->heightMm = DisplayHeightMM(display, DefaultScreen(display));
    return ReadScreenSize(display, &saved->width, &saved->height) && ReadCrtcSettings(display, &saved->crtcs);
}

bool RandrConfigurationChanged(Display* display, const RandrConfiguration& saved)
{
    int width, height;
    std::vector<RandrCrtcSetting> current;
    if (!ReadScreenSize(display, &width, &height) || !ReadCrtcSettings(display, &current))
        return true;
    return width != saved.width || height != saved.height ||
           !std::equal(current.begin(), current.end(), saved.crtcs.begin(), saved.crtcs.end(), SameSetting);
}

bool RestoreRandrConfiguration(Display* display, const RandrConfiguration& saved)
{
    g_requestFailed = false;
    XErrorHandler previous = XSetErrorHandler(RecordRequestFailure);
    XGrabServer(display);
    bool restored = false;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources != nullptr) {
        std::vector<const RandrCrtcSetting*> differing;
        for (const RandrCrtcSetting& setting : saved.crtcs) {
            RandrCrtcSetting current{};
            if (!ReadCrtcSetting(display, resources, setting.crtc, &current) || !SameSetting(current, setting))
                differing.push_back(&setting);
        }
        restored = true;
        for (const RandrCrtcSetting* setting : differing)
            restored = SwitchCrtcOff(display, resources, setting->crtc) && restored;
        int width, height;
        if (!ReadScreenSize(display, &width, &height) || width != saved.width || height != saved.height)
            XRRSetScreenSize(display, DefaultRootWindow(display), saved.width, saved.height, saved.widthMm,
                             saved.heightMm);
        for (const RandrCrtcSetting* setting : differing)
            restored = ApplyCrtcSetting(display, resources, *setting) && restored;
        XRRFreeScreenResources(resources);
    }
    XUngrabServer(display);
    XSync(display, False);
    XSetErrorHandler(previous);
    return restored && !g_requestFailed;
}
