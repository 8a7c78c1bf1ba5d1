// sdl_file_view.cpp — file mapping needs nothing of SDL: the POSIX one serves.
#include "platform/posix/file_view.h"

bool PlatformOpenFileView(const char* path, FileView* view)
{
    return PosixOpenFileView(path, view);
}

void PlatformCloseFileView(FileView* view)
{
    PosixCloseFileView(view);
}
