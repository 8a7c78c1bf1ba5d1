// key_actions.h — what the held keys do on an idle pass of the frame loop.
#pragma once

// Works through the key table once, in its order: every held key changes its
// field and may start a sound cue.
void ApplyHeldKeys();
