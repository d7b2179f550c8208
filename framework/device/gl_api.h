#pragma once
// The OpenGL entry points the device uses, declared with their prototypes (the compatibility
// profile's fixed-function calls and the buffer, framebuffer and BGRA array extensions of
// GL 3.x, which the GL library exports directly).

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
