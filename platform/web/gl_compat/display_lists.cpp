// display_lists.cpp — lists kept as recorded steps and replayed on a call:
// the triangles drawn and the model-view steps between them. Names are
// handed out in increasing order and never reused.
#include <cstdint>

#include "platform/web/gl_compat/gl_compat_internal.h"

namespace {

// As deep as GL lets lists call lists; deeper calls are ignored.
constexpr int kMaxCallDepth = 64;

void RunList(GLuint name);

// Runs a list's steps; none is recorded again, even while a list is being
// compiled and executed: that list records only the call that led here.
void Replay(const CompatList& list)
{
    for (const CompatCommand& command : list.commands) {
        switch (command.op) {
        case CompatOp::Draw: CompatDraw(command.mode, command.vertices); break;
        case CompatOp::Translate: glTranslatef(command.x, command.y, command.z); break;
        case CompatOp::Rotate: glRotatef(command.angle, command.x, command.y, command.z); break;
        case CompatOp::Scale: glScalef(command.x, command.y, command.z); break;
        case CompatOp::CallList: RunList(command.list); break;
        }
    }
}

void RunList(GLuint name)
{
    CompatGlState& state = CompatState();
    const auto found = state.lists.find(name);
    if (found == state.lists.end() || state.callDepth >= kMaxCallDepth)
        return;
    ++state.callDepth;
    Replay(found->second);
    --state.callDepth;
}

// The offset that entry `index` of a glCallLists array names; false for a
// type GL does not accept there.
bool ListOffset(GLenum type, const GLvoid* lists, GLsizei index, int64_t* offset)
{
    switch (type) {
    case GL_BYTE: *offset = static_cast<const GLbyte*>(lists)[index]; return true;
    case GL_UNSIGNED_BYTE: *offset = static_cast<const GLubyte*>(lists)[index]; return true;
    case GL_SHORT: *offset = static_cast<const GLshort*>(lists)[index]; return true;
    case GL_UNSIGNED_SHORT: *offset = static_cast<const GLushort*>(lists)[index]; return true;
    case GL_INT: *offset = static_cast<const GLint*>(lists)[index]; return true;
    case GL_UNSIGNED_INT: *offset = static_cast<const GLuint*>(lists)[index]; return true;
    case GL_FLOAT: *offset = static_cast<int64_t>(static_cast<const GLfloat*>(lists)[index]); return true;
    default: return false;
    }
}

}  // namespace

GLuint CompatGlGenLists(GLsizei range)
{
    CompatGlState& state = CompatState();
    if (range <= 0)
        return 0;
    const GLuint first = state.nextName;
    for (GLsizei i = 0; i < range; ++i)
        state.lists[first + static_cast<GLuint>(i)] = CompatList{};
    state.nextName += static_cast<GLuint>(range);
    return first;
}

void CompatGlNewList(GLuint list, GLenum mode)
{
    CompatGlState& state = CompatState();
    if (list == 0 || state.compiling || (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE))
        return;
    state.compiling = true;
    state.executeToo = mode == GL_COMPILE_AND_EXECUTE;
    state.compiledName = list;
    state.compiled = CompatList{};
}

void CompatGlEndList()
{
    CompatGlState& state = CompatState();
    if (!state.compiling)
        return;
    state.compiling = false;
    state.lists[state.compiledName] = std::move(state.compiled);
    state.compiled = CompatList{};
}

void CompatGlCallList(GLuint list)
{
    if (CompatRecord(CompatCommand{CompatOp::CallList, 0, {}, 0, 0, 0, 0, list}))
        RunList(list);
}

void CompatGlCallLists(GLsizei count, GLenum type, const GLvoid* lists)
{
    if (lists == nullptr)
        return;
    for (GLsizei i = 0; i < count; ++i) {
        int64_t offset = 0;
        if (!ListOffset(type, lists, i, &offset))
            return;
        const int64_t name = static_cast<int64_t>(CompatState().listBase) + offset;
        if (name > 0 && name <= UINT32_MAX)
            CompatGlCallList(static_cast<GLuint>(name));
    }
}

void CompatGlListBase(GLuint base)
{
    CompatState().listBase = base;
}

void CompatGlDeleteLists(GLuint list, GLsizei range)
{
    CompatGlState& state = CompatState();
    for (GLsizei i = 0; i < range; ++i)
        state.lists.erase(list + static_cast<GLuint>(i));
}

GLboolean CompatGlIsList(GLuint list)
{
    return CompatState().lists.count(list) != 0 ? GL_TRUE : GL_FALSE;
}
