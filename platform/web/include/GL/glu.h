// GL/glu.h for the web build: the system's header, then the quadrics mapped
// onto the compatibility layer (the emulation has the projection helpers).
#pragma once

#include_next <GL/glu.h>

#include "GL/gl.h"

#define gluNewQuadric CompatGluNewQuadric
#define gluDeleteQuadric CompatGluDeleteQuadric
#define gluQuadricTexture CompatGluQuadricTexture
#define gluSphere CompatGluSphere
#define gluCylinder CompatGluCylinder
#define gluDisk CompatGluDisk
