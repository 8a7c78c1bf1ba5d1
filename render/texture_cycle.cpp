// texture_cycle.cpp — the frame-by-frame texture change of the water surface
// (two textures) and the flame (three): one slot per frame, in turn.
#include "render/render.h"
#include "render/scenes.h"

void StepTextureCycle(std::span<const TextureSlot> slots, int32_t* frame)
{
    const int32_t count = static_cast<int32_t>(slots.size());
    if (*frame < 0 || *frame >= count) {
        return;
    }
    BindTextureSlot(slots[static_cast<size_t>(*frame)]);
    *frame = *frame + 1 == count ? 0 : *frame + 1;
}
