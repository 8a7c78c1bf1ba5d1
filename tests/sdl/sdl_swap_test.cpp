// The swap keeps the program's pace unless Mesa's vblank_mode=0 turns
// pacing off, whether the driver waits for the refresh or not.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_internal.h"

namespace {

TEST(SdlSwapPacer, VblankModeZeroAloneTurnsPacingOff)
{
    SdlSwapPacer pacer{};
    unsetenv("vblank_mode");
    SdlStartSwapPacer(&pacer, true);
    EXPECT_TRUE(pacer.paced);
    EXPECT_TRUE(pacer.driverSyncs);
    SdlStartSwapPacer(&pacer, false);
    EXPECT_TRUE(pacer.paced);
    setenv("vblank_mode", "0", 1);
    SdlStartSwapPacer(&pacer, false);
    EXPECT_FALSE(pacer.paced);
    unsetenv("vblank_mode");
}

}  // namespace
