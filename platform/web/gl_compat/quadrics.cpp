// quadrics.cpp — the utility library's sphere, cylinder and disk, drawn as
// quad strips through the compatibility layer's own Begin/End (so they can
// go into display lists too), with its texture coordinates:
//   around the z axis, s runs from 0 at +y through 0.25 at -x, 0.5 at -y and
//   0.75 at +x back to 1 at +y (as Mesa's library draws them, whatever its
//   manual says); the slice at angle a lies at (sin a, cos a);
//   a cylinder's t runs from 0 at z = 0 to 1 at its height, a sphere's from
//   0 at z = -radius to 1 at z = radius, evenly along its meridians;
//   a disk maps (x, y) to (0.5 + x / 2r, 0.5 + y / 2r), r its outer radius.
#include <cmath>
#include <numbers>

#include "platform/web/gl_compat/gl_compat.h"

struct GLUquadric {
    bool textured = false;
};

namespace {

struct RingPoint {
    double x, y, z;
    double s, t;
};

// The point of slice `slice` (of `slices`) on the ring at height z and radius r.
RingPoint OnRing(int slice, int slices, double radius, double z, double t)
{
    const double fraction = static_cast<double>(slice) / slices;
    const double angle = 2.0 * std::numbers::pi * fraction;
    return {radius * std::sin(angle), radius * std::cos(angle), z, 1.0 - fraction, t};
}

void Emit(const GLUquadric* quadric, const RingPoint& point)
{
    if (quadric->textured)
        CompatGlTexCoord2f(static_cast<GLfloat>(point.s), static_cast<GLfloat>(point.t));
    CompatGlVertex3d(point.x, point.y, point.z);
}

}  // namespace

GLUquadric* CompatGluNewQuadric()
{
    return new GLUquadric{};
}

void CompatGluDeleteQuadric(GLUquadric* quadric)
{
    delete quadric;
}

void CompatGluQuadricTexture(GLUquadric* quadric, GLboolean textured)
{
    if (quadric != nullptr)
        quadric->textured = textured == GL_TRUE;
}

void CompatGluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                       GLint stacks)
{
    if (quadric == nullptr || slices < 2 || stacks < 1)
        return;
    for (int stack = 0; stack < stacks; ++stack) {
        const double low = static_cast<double>(stack) / stacks;
        const double high = static_cast<double>(stack + 1) / stacks;
        CompatGlBegin(GL_QUAD_STRIP);
        for (int slice = 0; slice <= slices; ++slice) {
            Emit(quadric, OnRing(slice, slices, base + (top - base) * low, height * low, low));
            Emit(quadric, OnRing(slice, slices, base + (top - base) * high, height * high, high));
        }
        CompatGlEnd();
    }
}

void CompatGluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks)
{
    if (quadric == nullptr || slices < 2 || stacks < 1)
        return;
    // Stack 0 starts at the +z pole; the polar angle grows evenly per stack.
    auto ring = [&](int slice, int stack) {
        const double polar = std::numbers::pi * stack / stacks;
        RingPoint point = OnRing(slice, slices, radius * std::sin(polar), radius * std::cos(polar),
                                 1.0 - static_cast<double>(stack) / stacks);
        return point;
    };
    for (int stack = 0; stack < stacks; ++stack) {
        CompatGlBegin(GL_QUAD_STRIP);
        for (int slice = 0; slice <= slices; ++slice) {
            Emit(quadric, ring(slice, stack));
            Emit(quadric, ring(slice, stack + 1));
        }
        CompatGlEnd();
    }
}

void CompatGluDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops)
{
    if (quadric == nullptr || slices < 2 || loops < 1 || outer <= 0.0)
        return;
    auto ring = [&](int slice, int loop) {
        RingPoint point = OnRing(slice, slices, inner + (outer - inner) * loop / loops, 0.0, 0.0);
        point.s = 0.5 + point.x / (2.0 * outer);
        point.t = 0.5 + point.y / (2.0 * outer);
        return point;
    };
    for (int loop = 0; loop < loops; ++loop) {
        CompatGlBegin(GL_QUAD_STRIP);
        for (int slice = 0; slice <= slices; ++slice) {
            Emit(quadric, ring(slice, loop + 1));
            Emit(quadric, ring(slice, loop));
        }
        CompatGlEnd();
    }
}
