// gl_compat_internal.h — what the compatibility layer's files share: the
// vertex of a collected primitive and the one record of its state.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

#include "platform/web/gl_compat/gl_compat.h"

struct CompatVertex {
    GLfloat x, y, z;  // object coordinates
    GLfloat s, t;     // texture coordinates
};

enum class CompatOp { Draw, Translate, Rotate, Scale, CallList };

// One recorded step of a display list. A Draw holds triangles (or a line or
// point primitive as it came), already converted when the list was made.
struct CompatCommand {
    CompatOp op;
    GLenum mode;                    // Draw: the primitive drawn
    std::vector<CompatVertex> vertices;  // Draw
    GLfloat angle, x, y, z;         // Rotate (degrees), Translate, Scale
    GLuint list;                    // CallList
};

struct CompatList {
    std::vector<CompatCommand> commands;
};

struct CompatGlState {
    // the primitive between Begin and End
    bool inPrimitive = false;
    GLenum mode = GL_TRIANGLES;
    std::vector<CompatVertex> primitive;
    GLfloat s = 0.0f, t = 0.0f;  // the current texture coordinates
    // display lists
    std::map<GLuint, CompatList> lists;  // every name handed out and not deleted
    GLuint nextName = 1;                 // names are never handed out twice
    GLuint listBase = 0;
    bool compiling = false;
    bool executeToo = false;  // GL_COMPILE_AND_EXECUTE
    GLuint compiledName = 0;
    CompatList compiled;      // the list being made, stored at EndList
    int callDepth = 0;        // lists calling lists
};

CompatGlState& CompatState();

// Turns a collected primitive into what the emulation draws: triangles for
// every filled kind, lines and points as they are.
GLenum CompatDrawnMode(GLenum mode);
std::vector<CompatVertex> CompatTriangulate(GLenum mode, const std::vector<CompatVertex>& vertices);
void CompatDraw(GLenum drawnMode, const std::vector<CompatVertex>& vertices);

// Appends a step to the list being compiled; true when it should also run now.
bool CompatRecord(CompatCommand command);
