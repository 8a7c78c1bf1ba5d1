// immediate_mode.cpp — Begin/End collected into triangles, and the
// model-view steps, each recorded instead of run while a list is compiled.
// The browser's emulation draws triangles, quads and lines, but refuses quad
// strips and polygons: every filled primitive is drawn as triangles, so all
// kinds look alike to it.
#include "platform/web/gl_compat/gl_compat_internal.h"

CompatGlState& CompatState()
{
    static CompatGlState state;
    return state;
}

void CompatGlForgetContext()
{
    CompatState() = CompatGlState{};
}

GLenum CompatDrawnMode(GLenum mode)
{
    switch (mode) {
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_QUADS:
    case GL_QUAD_STRIP:
    case GL_POLYGON:
        return GL_TRIANGLES;
    default:
        return mode;
    }
}

std::vector<CompatVertex> CompatTriangulate(GLenum mode, const std::vector<CompatVertex>& v)
{
    const size_t n = v.size();
    std::vector<CompatVertex> out;
    auto triangle = [&](size_t a, size_t b, size_t c) { out.insert(out.end(), {v[a], v[b], v[c]}); };
    switch (mode) {
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < n; i += 3)
            triangle(i, i + 1, i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle swaps its first two corners to keep the winding.
        for (size_t i = 0; i + 2 < n; ++i)
            i % 2 == 0 ? triangle(i, i + 1, i + 2) : triangle(i + 1, i, i + 2);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (size_t i = 1; i + 1 < n; ++i)
            triangle(0, i, i + 1);
        break;
    case GL_QUADS:
        for (size_t i = 0; i + 3 < n; i += 4) {
            triangle(i, i + 1, i + 2);
            triangle(i, i + 2, i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        // Pairs of vertices across the strip: quad (i, i+1, i+3, i+2).
        for (size_t i = 0; i + 3 < n; i += 2) {
            triangle(i, i + 1, i + 3);
            triangle(i, i + 3, i + 2);
        }
        break;
    default:
        out = v;
        break;
    }
    return out;
}

void CompatDraw(GLenum drawnMode, const std::vector<CompatVertex>& vertices)
{
    if (vertices.empty())
        return;
    glBegin(drawnMode);
    for (const CompatVertex& vertex : vertices) {
        glTexCoord2f(vertex.s, vertex.t);
        glVertex3f(vertex.x, vertex.y, vertex.z);
    }
    glEnd();
}

bool CompatRecord(CompatCommand command)
{
    CompatGlState& state = CompatState();
    if (!state.compiling)
        return true;
    state.compiled.commands.push_back(std::move(command));
    return state.executeToo;
}

void CompatGlBegin(GLenum mode)
{
    CompatGlState& state = CompatState();
    state.inPrimitive = true;
    state.mode = mode;
    state.primitive.clear();
}

void CompatGlEnd()
{
    CompatGlState& state = CompatState();
    if (!state.inPrimitive)
        return;
    state.inPrimitive = false;
    CompatCommand draw{CompatOp::Draw, CompatDrawnMode(state.mode), CompatTriangulate(state.mode, state.primitive),
                       0, 0, 0, 0, 0};
    if (CompatRecord(draw))
        CompatDraw(draw.mode, draw.vertices);
}

void CompatGlTexCoord2f(GLfloat s, GLfloat t)
{
    CompatState().s = s;
    CompatState().t = t;
}

void CompatGlVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    CompatGlState& state = CompatState();
    if (state.inPrimitive)
        state.primitive.push_back(CompatVertex{x, y, z, state.s, state.t});
}

void CompatGlVertex2i(GLint x, GLint y) { CompatGlVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f); }
void CompatGlVertex2f(GLfloat x, GLfloat y) { CompatGlVertex3f(x, y, 0.0f); }

void CompatGlVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    CompatGlVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

// WebGL computes in single precision: the double calls narrow their arguments.
void CompatGlTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (CompatRecord(CompatCommand{CompatOp::Translate, 0, {}, 0, x, y, z, 0}))
        glTranslatef(x, y, z);
}

void CompatGlRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z)
{
    if (CompatRecord(CompatCommand{CompatOp::Rotate, 0, {}, degrees, x, y, z, 0}))
        glRotatef(degrees, x, y, z);
}

void CompatGlScalef(GLfloat x, GLfloat y, GLfloat z)
{
    if (CompatRecord(CompatCommand{CompatOp::Scale, 0, {}, 0, x, y, z, 0}))
        glScalef(x, y, z);
}

void CompatGlTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    CompatGlTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void CompatGlRotated(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z)
{
    CompatGlRotatef(static_cast<GLfloat>(degrees), static_cast<GLfloat>(x), static_cast<GLfloat>(y),
                    static_cast<GLfloat>(z));
}

void CompatGlScaled(GLdouble x, GLdouble y, GLdouble z)
{
    CompatGlScalef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}
