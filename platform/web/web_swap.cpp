// web_swap.cpp — the swap, paced to 60 steps a second on any display.
//
// A page cannot wait for a refresh of its own choosing, only for the next
// animation frame: the frame is presented, and the program sleeps from one
// animation frame to the next until one comes that shows a new step
// (platform/common/step_pace.h), so a 144 Hz display shows 60 passes a
// second as a 60 Hz one does. A hidden page has no animation frames: the
// program sleeps until it shows again.
#include "platform/web/web_internal.h"

bool PlatformSwapBuffers(DeviceContextHandle deviceContext)
{
    if (deviceContext == nullptr || !deviceContext->formatSet)
        return false;
    double frameAt = marivelt_present();
    while (!StepShownAt(&Web.pace, frameAt, NoteAnimationFrame(&Web.refresh, frameAt)))
        frameAt = marivelt_next_frame();
    return true;
}
