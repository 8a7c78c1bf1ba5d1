// file_view.cpp — open, fstat, mmap(PROT_READ, MAP_PRIVATE); undone in reverse.
#include "platform/posix/file_view.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool PosixOpenFileView(const char* path, FileView* view)
{
    *view = FileView{nullptr, 0, -1};
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    // An empty file has nothing to map, and a folder or device is no image.
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        close(descriptor);
        return false;
    }
    void* data = mmap(nullptr, static_cast<size_t>(status.st_size), PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (data == MAP_FAILED) {
        close(descriptor);
        return false;
    }
    *view = FileView{static_cast<const unsigned char*>(data), static_cast<size_t>(status.st_size), descriptor};
    return true;
}

void PosixCloseFileView(FileView* view)
{
    if (view->data != nullptr)
        munmap(const_cast<unsigned char*>(view->data), view->size);
    if (view->descriptor >= 0)
        close(view->descriptor);
    *view = FileView{nullptr, 0, -1};
}
