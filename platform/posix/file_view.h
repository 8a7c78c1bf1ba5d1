// file_view.h — read-only whole-file mapping with POSIX calls, shared by both platforms.
#pragma once

#include "platform/platform.h"

bool PosixOpenFileView(const char* path, FileView* view);
void PosixCloseFileView(FileView* view);
