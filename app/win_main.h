// win_main.h — the life of the process: open the display, run the frame loop,
// close the display and say goodbye.
#pragma once

// Returns the process exit code: 27 after ESC, 0 after a window close or a
// failed start.
int WinMain();
