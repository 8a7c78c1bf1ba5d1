// headless_program.h — what the tools that run the whole program share: its
// run folder and its start-up and shutdown on the headless platform.
#pragma once

#include <filesystem>

// Changes into the folder that holds Graphics and Sounds; says why not on
// standard error, under the tool's name.
bool EnterRunFolder(const char* tool, const std::filesystem::path& folder);

// The program's own start-up on the headless platform; on failure the boxes
// it showed go to standard error.
bool StartProgram(const char* tool);
void StopProgram();
