// The OpenGL 1.1 the viewer, its frame and the snapshot tool call, and nothing more, implemented
// over OpenGL ES 2.0 (or WebGL 1). platform/opengl.h includes this header in place of <GL/gl.h>
// when the build selects the subset (CMake option HELICOID_GL_SUBSET). The platform plugs its
// ES 2.0 context in through gl_subset.h.
//
// Names, types and numeric values are OpenGL's, so the viewer's sources compile unchanged. A
// function missing here is outside the subset and fails to link. The calls and arguments below
// are the ones the viewer makes in any of its builds (texturing, its environment, culling and
// perspective are chosen when the program is built); any other argument prints one line on
// stderr naming the call and the value (each distinct one once), and the call does nothing.
// There is no glGetError.
//
//   glBegin(GL_TRIANGLES), glNormal3f, glVertex3f, glEnd
//   glMatrixMode(GL_MODELVIEW | GL_PROJECTION), glLoadIdentity, glMultMatrixf, glRotatef,
//     glTranslatef, glOrtho and glFrustum (a volume OpenGL takes), glPushMatrix and glPopMatrix
//     (within the stack: 32 modelview matrices, 2 projection ones),
//     glGetFloatv(GL_MODELVIEW_MATRIX)
//   glLightfv(GL_LIGHT0 to GL_LIGHT6, GL_AMBIENT | GL_DIFFUSE | GL_SPECULAR | GL_POSITION with w 0)
//   glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1)
//   glMaterialfv(GL_FRONT | GL_BACK, GL_AMBIENT | GL_DIFFUSE | GL_SPECULAR)
//   glMaterialf(GL_FRONT | GL_BACK, GL_SHININESS, 0 to 128)
//   glFogi(GL_FOG_MODE, GL_EXP2), glFogf(GL_FOG_DENSITY, at least 0), glFogfv(GL_FOG_COLOR)
//   glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE | GL_REPLACE)
//   glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER | GL_TEXTURE_MAG_FILTER, GL_NEAREST)
//   glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S | GL_TEXTURE_WRAP_T, GL_REPEAT)
//   glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, sides powers of two, 0, GL_RGBA, GL_UNSIGNED_BYTE)
//   glEnable, glDisable(GL_LIGHTING | GL_LIGHT0 to GL_LIGHT6 | GL_FOG | GL_TEXTURE_2D |
//     GL_CULL_FACE | GL_DEPTH_TEST)
//   glPolygonMode(GL_FRONT_AND_BACK, GL_FILL | GL_LINE), glLineWidth(1)
//   glClearColor, glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), glFlush, glFinish
//   glPixelStorei(GL_PACK_ALIGNMENT, 1), glReadPixels(GL_RGBA, GL_UNSIGNED_BYTE)
//   glGetString(GL_RENDERER)
//
// Emulated, by OpenGL 1.1's rules:
// - Modelview and projection stacks in software, in single precision with the products summed
//   in the order fixed-function implementations use, so glGetFloatv reads back the modelview
//   matrix as they would; glRotatef turns about a coordinate axis exactly and treats a vanishing
//   axis as no rotation.
// - Immediate mode: glEnd uploads the batch once and draws it once.
// - Per-vertex lighting by directional lights, each with its position taken under the modelview
//   in force when it was set; an infinite viewer; the default light model ambient; two-sided
//   lighting with separate front and back materials; colours clamped per vertex.
// - GL_EXP2 fog per fragment, by the eye-space |z|.
// - Depth test and back-face culling (ES's own); glClear of colour and depth.
// - Polygons drawn as lines: ES has no polygon mode, so each triangle's three edges are drawn as
//   lines, with the facing the triangle has on the screen choosing its material and, under
//   culling, whether it is drawn (a triangle without area counts as front, as in fixed-function
//   rasterizers).
// - The 2D texture, its environment GL_MODULATE or GL_REPLACE.
//
// Not emulated (the viewer uses none of it): glColor (the current colour stays white),
// glTexCoord (the coordinate stays (0, 0)), fog modes other than GL_EXP2, mipmaps, lights at a
// point, the light model's ambient and local viewer, other primitives, state queries other than
// the modelview matrix.
//
// Known deviations from the OpenGL 1.1 text, and why:
// - Specular light reaches a vertex only where n.L > 0; the text says n.L != 0. Fixed-function
//   implementations (Mesa's among them) use > 0, and the pictures are held to theirs.
// - Fog distance is |z| in eye space, which the text allows in place of the true distance.
// - Fog is GL_EXP2 and lighting two-sided from the start, where OpenGL starts with GL_EXP and
//   one-sided lighting: the viewer sets both before its first frame, and they are the only
//   modes the subset draws.
// - The texture's minification filter must be set before drawing: ES's initial one needs
//   mipmaps, which the subset does not make.
#pragma once

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef int GLint;
typedef int GLsizei;
typedef unsigned int GLuint;
typedef unsigned char GLubyte;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;

// glBegin
#define GL_TRIANGLES 0x0004

// glClear
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000

// Faces and polygon modes
#define GL_FRONT 0x0404
#define GL_BACK 0x0405
#define GL_FRONT_AND_BACK 0x0408
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02

// Capabilities
#define GL_CULL_FACE 0x0B44
#define GL_LIGHTING 0x0B50
#define GL_FOG 0x0B60
#define GL_DEPTH_TEST 0x0B71
#define GL_TEXTURE_2D 0x0DE1
#define GL_LIGHT0 0x4000
#define GL_LIGHT1 0x4001
#define GL_LIGHT2 0x4002
#define GL_LIGHT3 0x4003
#define GL_LIGHT4 0x4004
#define GL_LIGHT5 0x4005
#define GL_LIGHT6 0x4006

// Lights, light model and materials
#define GL_LIGHT_MODEL_TWO_SIDE 0x0B52
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_SHININESS 0x1601

// Fog
#define GL_FOG_DENSITY 0x0B62
#define GL_FOG_MODE 0x0B65
#define GL_FOG_COLOR 0x0B66
#define GL_EXP2 0x0801

// Matrices
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6

// Texturing
#define GL_TEXTURE_ENV 0x2300
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_MODULATE 0x2100
#define GL_REPLACE 0x1E01
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803
#define GL_NEAREST 0x2600
#define GL_REPEAT 0x2901

// Pixels
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_UNSIGNED_BYTE 0x1401
#define GL_RGB 0x1907
#define GL_RGBA 0x1908

// Strings
#define GL_RENDERER 0x1F01

extern "C" {

// Immediate mode: one buffer upload and one draw per glEnd.
void glBegin(GLenum mode);
void glEnd(void);
void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);

// Matrix stacks, kept in software.
void glMatrixMode(GLenum mode);
void glLoadIdentity(void);
void glPushMatrix(void);
void glPopMatrix(void);
void glMultMatrixf(const GLfloat *m);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
             GLdouble far_val);
void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
               GLdouble far_val);
void glGetFloatv(GLenum pname, GLfloat *params);

// Lighting, evaluated per vertex in the generated program.
void glLightfv(GLenum light, GLenum pname, const GLfloat *params);
void glLightModeli(GLenum pname, GLint param);
void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params);
void glMaterialf(GLenum face, GLenum pname, GLfloat param);

// Fog: GL_EXP2 only.
void glFogi(GLenum pname, GLint param);
void glFogf(GLenum pname, GLfloat param);
void glFogfv(GLenum pname, const GLfloat *params);

// Texturing: one 2D texture, environment GL_MODULATE or GL_REPLACE.
void glTexEnvi(GLenum target, GLenum pname, GLint param);
void glTexParameteri(GLenum target, GLenum pname, GLint param);
void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid *pixels);

// Rasterisation and framebuffer state.
void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glPolygonMode(GLenum face, GLenum mode);
void glLineWidth(GLfloat width);
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glClear(GLbitfield mask);
void glFlush(void);
void glFinish(void);
void glPixelStorei(GLenum pname, GLint param);
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid *pixels);
const GLubyte *glGetString(GLenum name);

} // extern "C"
