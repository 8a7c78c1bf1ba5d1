// render_test_support.h — shared pieces of the renderer tests: a fresh process
// with a current offscreen context, a scratch folder with small BMPs of known
// colours, and pixel read-back.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app_state_reset.h"
#include "image/dib_reader.h"
#include "platform/headless/headless.h"
#include "render/render.h"
#include "state/app_state.h"
#include "tools/common/dib_builder.h"

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Filtering and blending may round a step either way.
inline bool Near(const Rgb& a, const Rgb& b, int tolerance = 2)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// What additive blending at the fixed alpha of 0.7 makes of a texel over a background.
inline Rgb AddAt70(const Rgb& background, const Rgb& texel)
{
    auto add = [](int under, int over) { return std::min(255, under + static_cast<int>(over * 0.7f + 0.5f)); };
    return {add(background.r, texel.r), add(background.g, texel.g), add(background.b, texel.b)};
}

// ---- BMP files ------------------------------------------------------------------

// A 24-bit BMP with its file header; pixels bottom row first.
inline void WriteBmp(const std::filesystem::path& path, int width, int height, const std::vector<Rgb>& pixels)
{
    std::vector<uint32_t> values;
    for (const Rgb& c : pixels)
        values.push_back(static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b));
    DibRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.pixelData = PackRows(values, width, height, 24);
    const std::vector<uint8_t> file = BuildDib(recipe);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
}

inline void WriteSolidBmp(const std::filesystem::path& path, Rgb colour, int size = 8)
{
    WriteBmp(path, size, size, std::vector<Rgb>(static_cast<size_t>(size * size), colour));
}

// Solid colours, one per slot, so any pixel tells which texture drew it.
// Kept below 0xD0 so that sums under additive blending stay readable.
inline const Rgb kSlotColours[kTextureCount] = {
    {20, 40, 160},  {20, 160, 40},  {160, 20, 20},  {100, 100, 20}, {0, 0, 120}, {200, 0, 0},
    {0, 200, 0},    {200, 200, 0},  {60, 60, 60},   {120, 80, 40},  {0, 0, 0},   {0, 0, 0},
};
inline const Rgb kPlanetWest = {200, 40, 40};  // s below 0.5
inline const Rgb kPlanetEast = {40, 40, 200};  // s from 0.5 on
inline const Rgb kInk = {255, 255, 255};

// Font sheet of 256 x 256 (one texel per text unit at 800 x 600): every cell
// of a visible character 33 to 127 is inked in its inner 12 x 12 block; the
// blank and the upper half stay black.
inline bool SheetTexelInked(int x, int yFromTop)
{
    const int cell = (yFromTop / 16) * 16 + x / 16;
    const int cx = x % 16, cy = 15 - yFromTop % 16;
    return cell > 128 && cell <= 223 && cx >= 2 && cx < 14 && cy >= 2 && cy < 14;
}

// Writes the twelve files under ./Graphics, leaving out the slot given.
inline void WriteTestGraphics(int missingSlot = -1)
{
    for (int slot = 0; slot < kTextureCount; ++slot) {
        if (slot == missingSlot)
            continue;
        if (slot == kSlotPlanet) {
            std::vector<Rgb> halves;
            for (int i = 0; i < 64; ++i)
                halves.push_back(i % 8 < 4 ? kPlanetWest : kPlanetEast);
            WriteBmp(kTextureFiles[slot], 8, 8, halves);
        } else if (slot == kSlotFontMap) {
            std::vector<Rgb> sheet;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    sheet.push_back(SheetTexelInked(x, 255 - y) ? kInk : Rgb{0, 0, 0});
            WriteBmp(kTextureFiles[slot], 256, 256, sheet);
        } else {
            WriteSolidBmp(kTextureFiles[slot], kSlotColours[slot]);
        }
    }
}

// ---- frames -----------------------------------------------------------------------

struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // bottom row first
    Rgb At(int x, int y) const
    {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    bool operator==(const Frame&) const = default;
};

inline Frame ReadFrame()
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    Frame frame;
    frame.width = viewport[2];
    frame.height = viewport[3];
    frame.rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    return frame;
}

// Lit pixels of the rectangle [x0, x1) x [y0, y1).
inline int CountLit(const Frame& frame, int x0, int y0, int x1, int y1)
{
    int lit = 0;
    for (int y = y0; y < y1 && y < frame.height; ++y)
        for (int x = x0; x < x1 && x < frame.width; ++x)
            if (!(frame.At(x, y) == Rgb{0, 0, 0}))
                ++lit;
    return lit;
}

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // x1, y1 one past the last lit pixel
    bool Empty() const { return x1 < 0; }
};

inline Box LitBounds(const Frame& frame)
{
    Box box;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            if (!(frame.At(x, y) == Rgb{0, 0, 0})) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x + 1);
                box.y1 = std::max(box.y1, y + 1);
            }
    return box;
}

// Draws texture slot's image at one texel per pixel from the lower-left
// corner, opaque, in a pixel-exact orthographic space.
inline void DrawTextureAtTexelSize(int slot, int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, AppState.textures[slot]);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(0, 0);
    glTexCoord2f(1, 0);
    glVertex2i(width, 0);
    glTexCoord2f(1, 1);
    glVertex2i(width, height);
    glTexCoord2f(0, 1);
    glVertex2i(0, height);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// ---- where a scene point lands ------------------------------------------------------
// Built from the numbers that define the picture, not from the renderer: the
// projection of a 45-degree vertical field of view from 0.1 to 100, and the
// view that moves the scene by its translation and then turns it about X, Y
// and Z. GLU's gluProject takes it from there.

struct View {
    float cameraX, cameraY, cameraZ;  // world units
    float rotX, rotY, rotZ;           // degrees
};

inline View ViewOf(const AppStateRecord& state)
{
    return {state.cameraX, state.cameraY, state.cameraZ, state.rotX, state.rotY, state.rotZ};
}

inline void SetView(const View& view)
{
    AppState.cameraX = view.cameraX;
    AppState.cameraY = view.cameraY;
    AppState.cameraZ = view.cameraZ;
    AppState.rotX = view.rotX;
    AppState.rotY = view.rotY;
    AppState.rotZ = view.rotZ;
}

using Matrix = std::array<double, 16>;  // column after column, as OpenGL keeps it

inline Matrix operator*(const Matrix& a, const Matrix& b)
{
    Matrix product{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                product[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return product;
}

inline Matrix Translation(double x, double y, double z)
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// A right-handed turn about axis 0 (X), 1 (Y) or 2 (Z): the next axis after
// it, in cyclic order, turns towards the one after that.
inline Matrix Turn(double degrees, int axis)
{
    const double radians = degrees * std::acos(-1.0) / 180.0;
    const int from = (axis + 1) % 3, towards = (axis + 2) % 3;
    Matrix turn = Translation(0, 0, 0);
    turn[from * 4 + from] = std::cos(radians);
    turn[from * 4 + towards] = std::sin(radians);
    turn[towards * 4 + from] = -std::sin(radians);
    turn[towards * 4 + towards] = std::cos(radians);
    return turn;
}

inline Matrix Perspective(double fieldOfViewDegrees, double aspect, double nearPlane, double farPlane)
{
    const double f = 1.0 / std::tan(fieldOfViewDegrees * std::acos(-1.0) / 360.0);
    const double depth = nearPlane - farPlane;
    return {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (farPlane + nearPlane) / depth, -1,
            0, 0, 2 * farPlane * nearPlane / depth, 0};
}

struct Point {
    double x, y, z;
};

inline Point Transform(const Matrix& m, const Point& p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

struct WindowPoint {
    double x, y;  // pixels from the lower-left corner
};

// Where a point given in the scene's frame lands in a window of that size.
inline WindowPoint ScenePointOnScreen(const View& view, double x, double y, double z, int width = 800,
                                      int height = 600)
{
    const Matrix modelView = Translation(view.cameraX, view.cameraY, view.cameraZ) * Turn(view.rotX, 0) *
                             Turn(view.rotY, 1) * Turn(view.rotZ, 2);
    const Matrix projection = Perspective(45.0, static_cast<double>(width) / height, 0.1, 100.0);
    const GLint viewport[4] = {0, 0, width, height};
    WindowPoint point{};
    double depth = 0;
    gluProject(x, y, z, modelView.data(), projection.data(), viewport, &point.x, &point.y, &depth);
    return point;
}

// ---- fixture ------------------------------------------------------------------------

// A fresh process for every test. Tests that need files of their own work in a
// scratch folder that is removed afterwards; the others use the run folder's
// generated Graphics.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppState();
        HeadlessReset();
        runFolder_ = std::filesystem::current_path();
    }

    void TearDown() override
    {
        HeadlessReset();
        ResetAppState();
        std::filesystem::current_path(runFolder_);
        if (!scratch_.empty())
            std::filesystem::remove_all(scratch_);
    }

    void EnterScratchFolder()
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch_ = std::filesystem::temp_directory_path() /
                   ("marivelt-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                    std::to_string(getpid()));
        std::filesystem::remove_all(scratch_);
        std::filesystem::create_directories(scratch_);
        std::filesystem::current_path(scratch_);
    }

    // A current context of that size with the projection set, as start-up leaves it.
    static void OpenContext(int width = 800, int height = 600)
    {
        HeadlessSetSurfaceSize(width, height);
        ASSERT_TRUE(HeadlessOpenContext(width, height));
        ResizeView(width, height);
    }

    // The whole renderer set-up over a context of that size.
    static void OpenRenderer(int width = 800, int height = 600)
    {
        OpenContext(width, height);
        ASSERT_TRUE(SetupRenderer());
    }

    std::filesystem::path runFolder_;
    std::filesystem::path scratch_;
};
