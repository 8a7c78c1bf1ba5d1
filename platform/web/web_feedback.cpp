// web_feedback.cpp — boxes as the page's own dialog, cues through the
// browser's audio, and the data files packed with the page (read through
// the POSIX calls emscripten's file system answers).
#include "platform/posix/file_view.h"
#include "platform/web/web_internal.h"

void PlatformMessageBox(WindowHandle, const char* text, const char* caption, MessageBoxIcon icon)
{
    marivelt_message_box(text, caption, static_cast<int>(icon));
}

void PlatformOpenSound(const char* const* cuePaths, size_t count)
{
    marivelt_open_sound(cuePaths, static_cast<int>(count));
}

void PlatformCloseSound() { marivelt_close_sound(); }
void PlatformPlaySound(const char* path) { marivelt_play_sound(path); }

bool PlatformOpenFileView(const char* path, FileView* view)
{
    return PosixOpenFileView(path, view);
}

void PlatformCloseFileView(FileView* view)
{
    PosixCloseFileView(view);
}
