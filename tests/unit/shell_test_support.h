// shell_test_support.h — a fresh process for every shell test: AppState at its
// start values and the headless platform with an empty script.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app_state_reset.h"
#include "platform/headless/headless.h"
#include "state/app_state.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppState();
        HeadlessReset();
    }
    void TearDown() override
    {
        HeadlessReset();
        ResetAppState();
    }

    // Hold a key for the given number of idle passes, then let it go.
    static void HoldKey(uint8_t key, int passes)
    {
        HeadlessQueueKeyDown(key);
        HeadlessQueueIdle(passes);
        HeadlessQueueKeyUp(key);
    }
    // End the run with ESC held until the next idle pass.
    static void QueueEscape()
    {
        HeadlessQueueKeyDown(VK_ESCAPE);
        HeadlessQueueIdle(1);
    }
};

// Position of the first recorded call that starts with the prefix, or -1.
inline int CallIndex(const std::string& prefix)
{
    const std::vector<std::string>& calls = HeadlessCalls();
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].rfind(prefix, 0) == 0)
            return static_cast<int>(i);
    return -1;
}

inline bool Called(const std::string& prefix)
{
    return CallIndex(prefix) >= 0;
}
