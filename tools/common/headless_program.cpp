// headless_program.cpp — run folder, start-up and shutdown for the tools.
#include "tools/common/headless_program.h"

#include <cstdio>
#include <system_error>

#include "display/display.h"
#include "platform/headless/headless.h"
#include "state/window_request.h"

bool EnterRunFolder(const char* tool, const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error)
        std::fprintf(stderr, "%s: cannot enter the run folder %s: %s\n", tool, folder.c_str(),
                     error.message().c_str());
    return !error;
}

bool StartProgram(const char* tool)
{
    HeadlessReset();
    if (OpenDisplay(kWindowTitle, kDisplayWidth, kDisplayHeight, kDisplayBits))
        return true;
    for (const HeadlessBox& box : HeadlessBoxes())
        std::fprintf(stderr, "%s: start-up failed: %s: %s\n", tool, box.caption.c_str(), box.text.c_str());
    return false;
}

void StopProgram()
{
    CloseDisplay();
    HeadlessReset();
}
