// headless_feedback.cpp — boxes and cues without a display or a sound
// card, recorded in order for the test to read back; file views are the
// real POSIX mapping, whose opening a test can make fail.
#include <string>

#include "platform/headless/headless_internal.h"
#include "platform/posix/file_view.h"

void PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, MessageBoxIcon icon)
{
    HeadlessRecordCall(std::string("MessageBox ") + caption);
    HeadlessSessionState().boxes.push_back(HeadlessBox{owner, text, caption, icon});
}

void PlatformOpenSound(const char* const* cuePaths, size_t count)
{
    std::string call = "OpenSound";
    for (size_t i = 0; i < count; ++i)
        call += std::string(" ") + cuePaths[i];
    HeadlessRecordCall(call);
}

void PlatformCloseSound()
{
    HeadlessRecordCall("CloseSound");
}

void PlatformPlaySound(const char* path)
{
    HeadlessSessionState().cues.emplace_back(path);
}

bool PlatformOpenFileView(const char* path, FileView* view)
{
    if (HeadlessStepFails(HeadlessStep::OpenFileView, std::string("OpenFileView ") + path)) {
        *view = FileView{nullptr, 0, -1};
        return false;
    }
    return PosixOpenFileView(path, view);
}

void PlatformCloseFileView(FileView* view)
{
    PosixCloseFileView(view);
}
