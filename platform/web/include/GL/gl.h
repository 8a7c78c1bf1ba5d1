// GL/gl.h for the web build: the system's header, then the calls the
// browser's GL emulation lacks mapped onto the compatibility layer. Only the
// web build has this folder on its include path, ahead of the system's.
#pragma once

#include_next <GL/gl.h>

#include "platform/web/gl_compat/gl_compat.h"

#define glBegin CompatGlBegin
#define glEnd CompatGlEnd
#define glTexCoord2f CompatGlTexCoord2f
#define glVertex2i CompatGlVertex2i
#define glVertex2f CompatGlVertex2f
#define glVertex3f CompatGlVertex3f
#define glVertex3d CompatGlVertex3d
#define glTranslatef CompatGlTranslatef
#define glTranslated CompatGlTranslated
#define glRotatef CompatGlRotatef
#define glRotated CompatGlRotated
#define glScalef CompatGlScalef
#define glScaled CompatGlScaled
#define glGenLists CompatGlGenLists
#define glNewList CompatGlNewList
#define glEndList CompatGlEndList
#define glCallList CompatGlCallList
#define glCallLists CompatGlCallLists
#define glListBase CompatGlListBase
#define glDeleteLists CompatGlDeleteLists
#define glIsList CompatGlIsList
#define glTexImage2D CompatGlTexImage2D
#define glHint CompatGlHint
#define glShadeModel CompatGlShadeModel
