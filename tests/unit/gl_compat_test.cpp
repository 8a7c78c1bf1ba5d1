// gl_compat_test.cpp — the web build's GL compatibility layer against Mesa's
// own GL and GLU: each drawing is made once through the real calls and once
// through the layer, and the two frames must look alike. A gradient texture
// (red along s, green along t) makes a wrong texture coordinate a wrong colour.
#include "platform/web/gl_compat/gl_compat.h"
#include "tests/unit/render_test_support.h"

namespace {

// The calls a drawing makes, from Mesa or from the layer.
struct GlCalls {
    void (*begin)(GLenum); void (*end)(); void (*texCoord2f)(GLfloat, GLfloat);
    void (*vertex3f)(GLfloat, GLfloat, GLfloat); void (*translated)(GLdouble, GLdouble, GLdouble);
    GLuint (*genLists)(GLsizei); void (*newList)(GLuint, GLenum); void (*endList)(); void (*callList)(GLuint);
    void (*callLists)(GLsizei, GLenum, const GLvoid*); void (*listBase)(GLuint);
    GLUquadric* (*newQuadric)(); void (*quadricTexture)(GLUquadric*, GLboolean);
    void (*sphere)(GLUquadric*, GLdouble, GLint, GLint);
    void (*cylinder)(GLUquadric*, GLdouble, GLdouble, GLdouble, GLint, GLint);
    void (*disk)(GLUquadric*, GLdouble, GLdouble, GLint, GLint); void (*deleteQuadric)(GLUquadric*);
};
const GlCalls kMesa{glBegin, glEnd, glTexCoord2f, glVertex3f, glTranslated, glGenLists, glNewList, glEndList,
                    glCallList, glCallLists, glListBase, gluNewQuadric, gluQuadricTexture, gluSphere, gluCylinder,
                    gluDisk, gluDeleteQuadric};
const GlCalls kCompat{CompatGlBegin, CompatGlEnd, CompatGlTexCoord2f, CompatGlVertex3f, CompatGlTranslated,
                      CompatGlGenLists, CompatGlNewList, CompatGlEndList, CompatGlCallList, CompatGlCallLists,
                      CompatGlListBase, CompatGluNewQuadric, CompatGluQuadricTexture, CompatGluSphere,
                      CompatGluCylinder, CompatGluDisk, CompatGluDeleteQuadric};

template <typename Draw>
void WithQuadric(const GlCalls& gl, Draw draw)
{
    GLUquadric* quadric = gl.newQuadric();
    gl.quadricTexture(quadric, GL_TRUE);
    draw(quadric);
    gl.deleteQuadric(quadric);
}
#define QUADRIC(call) [](const GlCalls& gl) { WithQuadric(gl, [&](GLUquadric* q) { gl.call; }); }

// An outline of n corners on a circle, with the texture laid flat over it.
void Outline(const GlCalls& gl, GLenum mode, int corners)
{
    gl.begin(mode);
    for (int i = 0; i < corners; ++i) {
        const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(corners);
        const float x = std::cos(angle), y = std::sin(angle) * (i % 2 == 0 ? 1.0f : 0.6f);
        gl.texCoord2f(0.5f + x / 2, 0.5f + y / 2);
        gl.vertex3f(x, y, 0.2f * x);
    }
    gl.end();
}

// A band of quads across the strip's pairs, narrowing as it goes.
void Band(const GlCalls& gl)
{
    gl.begin(GL_QUAD_STRIP);
    for (int i = 0; i <= 6; ++i) {
        const float x = -1.0f + i / 3.0f, half = 0.6f - i * 0.07f;
        gl.texCoord2f(i / 6.0f, 0.0f);
        gl.vertex3f(x, -half, 0.0f);
        gl.texCoord2f(i / 6.0f, 1.0f);
        gl.vertex3f(x, half, 0.1f * i);
    }
    gl.end();
}

// Text as the program writes it: a square per list, each moving the pen on.
// Returns the list that calls lists.
GLuint GlyphLists(const GlCalls& gl, GLenum compileMode)
{
    const GLuint base = gl.genLists(3);
    for (GLuint cell = 0; cell < 3; ++cell) {
        gl.newList(base + cell, compileMode);
        gl.begin(GL_QUADS);
        const float s = cell / 3.0f;
        gl.texCoord2f(s, 0.0f), gl.vertex3f(0.0f, 0.0f, 0.0f);
        gl.texCoord2f(s + 0.33f, 0.0f), gl.vertex3f(0.4f, 0.0f, 0.0f);
        gl.texCoord2f(s + 0.33f, 1.0f), gl.vertex3f(0.4f, 0.4f, 0.0f);
        gl.texCoord2f(s, 1.0f), gl.vertex3f(0.0f, 0.4f, 0.0f);
        gl.end(), gl.translated(0.45, 0.0, 0.0), gl.endList();
    }
    // A list calling lists, drawn further down.
    const GLuint line = gl.genLists(1);
    gl.newList(line, GL_COMPILE);
    gl.translated(-1.0, -0.8, 0.0), gl.callList(base + 2), gl.callList(base);
    gl.endList();

    const GLbyte text[] = {1, 0, 2, 2, -1, 1};  // -1 names a list that does not exist
    gl.translated(-1.2, 0.3, 0.0), gl.listBase(base - 1), gl.callLists(6, GL_BYTE, text), gl.callList(line);
    return line;
}

// A list made while drawn that calls the list calling lists: it holds that
// one call, so drawn again it shows the same two squares.
void ListsCalledWhileMade(const GlCalls& gl)
{
    const GLuint line = GlyphLists(gl, GL_COMPILE);
    const GLuint page = gl.genLists(1);
    gl.newList(page, GL_COMPILE_AND_EXECUTE), gl.translated(-0.4, 1.3, 0.0), gl.callList(line), gl.endList();
    gl.callList(page);
}

struct Drawing { const char* name; void (*draw)(const GlCalls&); };

const Drawing kDrawings[] = {
    {"planet", QUADRIC(sphere(q, 0.9, 32, 32))},
    {"coarse_sphere", QUADRIC(sphere(q, 1.0, 7, 5))},
    {"pool_wall", QUADRIC(cylinder(q, 1, 1, 0.4, 16, 16))},
    {"funnel", QUADRIC(cylinder(q, 0.2, 0.7, 1.5, 32, 3))},
    {"pool_floor", QUADRIC(disk(q, 0, 1, 16, 16))},
    {"ring", QUADRIC(disk(q, 0.4, 1.1, 9, 3))},
    {"polygon", [](const GlCalls& gl) { Outline(gl, GL_POLYGON, 7); }},
    {"triangle_fan", [](const GlCalls& gl) { Outline(gl, GL_TRIANGLE_FAN, 9); }},
    {"triangle_strip", [](const GlCalls& gl) { Outline(gl, GL_TRIANGLE_STRIP, 8); }},
    {"quad_strip", Band},
    {"glyph_lists", [](const GlCalls& gl) { GlyphLists(gl, GL_COMPILE); }},
    {"glyph_lists_also_drawn", [](const GlCalls& gl) { GlyphLists(gl, GL_COMPILE_AND_EXECUTE); }},
    {"lists_called_while_made", ListsCalledWhileMade},
};

class GlCompatTest : public RenderTest, public ::testing::WithParamInterface<Drawing> {
protected:
    static constexpr int kWidth = 200, kHeight = 150;

    void SetUp() override
    {
        RenderTest::SetUp();
        CompatGlForgetContext();
        ASSERT_NO_FATAL_FAILURE(OpenContext(kWidth, kHeight));
        std::vector<unsigned char> gradient;
        for (int t = 0; t < 64; ++t)
            for (int s = 0; s < 64; ++s)
                gradient.insert(gradient.end(), {static_cast<unsigned char>(s * 4), static_cast<unsigned char>(t * 4), 96});
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        CompatGlTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, gradient.data());
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
    }

    static Frame Draw(const GlCalls& gl)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -4.0f), glRotatef(-60.0f, 1.0f, 0.0f, 0.0f), glRotatef(25.0f, 0.0f, 0.0f, 1.0f);
        GetParam().draw(gl);
        return ReadFrame();
    }
};

TEST_P(GlCompatTest, LooksAsMesaDrawsIt)
{
    const Frame mesa = Draw(kMesa);
    const Frame compat = Draw(kCompat);
    int lit = 0, off = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            lit += !(mesa.At(x, y) == Rgb{0, 0, 0});
            off += !Near(mesa.At(x, y), compat.At(x, y), 24);
        }
    EXPECT_GT(lit, 500) << "too little drawn to compare";
    // Edges a pixel apart, where the two split a quad differently.
    EXPECT_LE(off, lit / 100 + 10) << off << " of " << lit << " lit pixels differ";
}

INSTANTIATE_TEST_SUITE_P(Drawings, GlCompatTest, ::testing::ValuesIn(kDrawings),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
