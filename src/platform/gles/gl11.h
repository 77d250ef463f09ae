// The OpenGL 1.1 the viewer, its frame and the snapshot tool call, and nothing more, implemented
// over OpenGL ES 2.0 (or WebGL 1). platform/opengl.h includes this header in place of <GL/gl.h>
// when the build selects the subset (CMake option HELICOID_GL_SUBSET). The platform plugs its
// ES 2.0 context in through gl_subset.h.
//
// Names, types and numeric values are OpenGL's, so the viewer's sources compile unchanged. A
// function missing here is outside the subset and fails to link; an argument the subset does not
// handle prints one line on stderr naming the call and the value (each distinct one once), and
// the call does nothing. There is no glGetError.
//
// Emulated, by OpenGL 1.1's rules:
// - Modelview and projection stacks (32 and 2 deep) in software, in single precision with the
//   products summed in the order fixed-function implementations use, so glGetFloatv reads back
//   their matrices; glRotatef turns about a coordinate axis exactly and treats a vanishing axis
//   as no rotation.
// - Immediate mode: glBegin(GL_TRIANGLES) collects glNormal3f/glVertex3f and glEnd uploads the
//   batch once and draws it once.
// - Per-vertex lighting of up to eight directional lights, each with its position taken under
//   the modelview in force when it was set; an infinite viewer; the default light model ambient;
//   two-sided lighting with separate front and back materials; colours clamped per vertex.
// - Fog GL_LINEAR, GL_EXP and GL_EXP2 per fragment, by the eye-space |z|.
// - Depth test and face culling (ES's own); glClear of colour and depth.
// - glPolygonMode(GL_FRONT_AND_BACK, GL_LINE): ES has no polygon mode, so each triangle's three
//   edges are drawn as lines, with the facing the triangle has on the screen choosing its
//   material (a triangle without area counts as front, as in fixed-function rasterizers).
// - One 2D texture: level 0, RGBA bytes for a GL_RGB or GL_RGBA texture, GL_NEAREST or
//   GL_LINEAR, GL_REPEAT, environment GL_MODULATE or GL_REPLACE. An incomplete texture switches
//   texturing off, as in OpenGL 1.1 (ES would sample black).
//
// Not emulated (the viewer uses none of it): glColor (the current colour stays white),
// glTexCoord (the coordinate stays (0, 0)), lights at a point, spot lights and attenuation, the
// light model's ambient and local viewer, different polygon modes for front and back, culling
// of polygons drawn as lines, lines wider than 1, other primitives, blending, display lists,
// vertex arrays, state queries other than the two matrices.
//
// Known deviations from the OpenGL 1.1 text, and why:
// - Specular light reaches a vertex only where n.L > 0; the text says n.L != 0. Fixed-function
//   implementations (Mesa's among them) use > 0, and the pictures are held to theirs.
// - Fog distance is |z| in eye space, which the text allows in place of the true distance.
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

#define GL_FALSE 0
#define GL_TRUE 1

// glBegin
#define GL_TRIANGLES 0x0004

// glClear
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000

// Faces and polygon modes
#define GL_FRONT 0x0404
#define GL_BACK 0x0405
#define GL_FRONT_AND_BACK 0x0408
#define GL_POINT 0x1B00
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
#define GL_LIGHT7 0x4007

// Lights, light model and materials
#define GL_LIGHT_MODEL_TWO_SIDE 0x0B52
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_AMBIENT_AND_DIFFUSE 0x1602

// Fog
#define GL_FOG_DENSITY 0x0B62
#define GL_FOG_START 0x0B63
#define GL_FOG_END 0x0B64
#define GL_FOG_MODE 0x0B65
#define GL_FOG_COLOR 0x0B66
#define GL_EXP 0x0800
#define GL_EXP2 0x0801
#define GL_LINEAR 0x2601

// Matrices
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7

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
#define GL_UNPACK_ALIGNMENT 0x0CF5
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_UNSIGNED_BYTE 0x1401
#define GL_RGB 0x1907
#define GL_RGBA 0x1908

// Strings
#define GL_VENDOR 0x1F00
#define GL_RENDERER 0x1F01
#define GL_VERSION 0x1F02
#define GL_EXTENSIONS 0x1F03

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

// Fog.
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
