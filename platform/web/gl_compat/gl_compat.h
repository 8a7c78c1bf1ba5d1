// gl_compat.h — the fixed-function calls the browser's GL emulation lacks,
// written over the calls it has: display lists recorded and replayed, the
// utility library's quadrics with its texture coordinates, quad strips and
// polygons drawn as triangles, the double-precision matrix calls, the
// numeric internal formats of a texture upload, and the hints and shading
// setting WebGL has no use for.
//
// Every call here is plain OpenGL 1.1 underneath, so the same code runs on
// Mesa natively, where its tests compare it with the real thing. In the web
// build platform/web/include/GL/ maps the program's gl and glu names onto
// these; the program's own code is compiled unchanged.
#pragma once

#include <GL/gl.h>

struct GLUquadric;

// ---- immediate mode: a primitive is collected and drawn at its end ----------
void CompatGlBegin(GLenum mode);
void CompatGlEnd();
void CompatGlTexCoord2f(GLfloat s, GLfloat t);
void CompatGlVertex2i(GLint x, GLint y);
void CompatGlVertex2f(GLfloat x, GLfloat y);
void CompatGlVertex3f(GLfloat x, GLfloat y, GLfloat z);
void CompatGlVertex3d(GLdouble x, GLdouble y, GLdouble z);

// ---- the model-view steps, recorded when a list is being compiled ------------
void CompatGlTranslatef(GLfloat x, GLfloat y, GLfloat z);
void CompatGlTranslated(GLdouble x, GLdouble y, GLdouble z);
void CompatGlRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z);
void CompatGlRotated(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z);
void CompatGlScalef(GLfloat x, GLfloat y, GLfloat z);
void CompatGlScaled(GLdouble x, GLdouble y, GLdouble z);

// ---- display lists ---------------------------------------------------------
GLuint CompatGlGenLists(GLsizei range);
void CompatGlNewList(GLuint list, GLenum mode);
void CompatGlEndList();
void CompatGlCallList(GLuint list);
void CompatGlCallLists(GLsizei count, GLenum type, const GLvoid* lists);
void CompatGlListBase(GLuint base);
void CompatGlDeleteLists(GLuint list, GLsizei range);
GLboolean CompatGlIsList(GLuint list);

// ---- the context -------------------------------------------------------------
// Forgets what the layer kept for a context, as the context's end does: its
// lists (names start again from 1), the list base, a list or primitive left
// open, the current texture coordinates.
void CompatGlForgetContext();

// ---- textures: internal formats 1 to 4 become the format names ---------------
void CompatGlTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                        GLint border, GLenum format, GLenum type, const GLvoid* pixels);

// ---- settings WebGL always has: perspective-correct, smooth ------------------
void CompatGlHint(GLenum target, GLenum mode);
void CompatGlShadeModel(GLenum mode);

// ---- quadrics (filled, outward, smooth; texture coordinates when asked) -------
GLUquadric* CompatGluNewQuadric();
void CompatGluDeleteQuadric(GLUquadric* quadric);
void CompatGluQuadricTexture(GLUquadric* quadric, GLboolean textured);
void CompatGluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);
void CompatGluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                       GLint stacks);
void CompatGluDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops);
