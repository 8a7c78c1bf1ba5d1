// texture_format.cpp — a texture upload with a numeric internal format.
// OpenGL 1.1 accepts the component count (1 to 4) there; WebGL wants the
// format's name, the same as the pixel data's.
#include "platform/web/gl_compat/gl_compat.h"

void CompatGlTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                        GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    constexpr GLenum kByComponentCount[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    if (internalFormat >= 1 && internalFormat <= 4)
        internalFormat = static_cast<GLint>(kByComponentCount[internalFormat - 1]);
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
