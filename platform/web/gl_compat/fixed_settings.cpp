// fixed_settings.cpp — settings WebGL always has and cannot change: it
// interpolates perspective-correctly and smoothly. Asking for that is
// answered here instead of reaching the context as an invalid enum.
#include "platform/web/gl_compat/gl_compat.h"

void CompatGlHint(GLenum target, GLenum mode)
{
    switch (target) {
    case GL_PERSPECTIVE_CORRECTION_HINT:
    case GL_POINT_SMOOTH_HINT:
    case GL_LINE_SMOOTH_HINT:
    case GL_POLYGON_SMOOTH_HINT:
    case GL_FOG_HINT:
        return;
    default:
        glHint(target, mode);
    }
}

// Flat shading is not offered; smooth, the default, is what is drawn.
void CompatGlShadeModel(GLenum) {}
