// The subset's state for one ES 2.0 context: OpenGL 1.1's state as far as the subset keeps it,
// the ES functions and objects it draws with, and the batch of the open glBegin.
#pragma once

#include "platform/gles/es2.h"

#include <map>
#include <string>
#include <vector>

namespace gl_subset {

struct Matrix {
    float m[16]; // column-major, as OpenGL stores it
};

struct MatrixStack {
    std::vector<Matrix> entries; // the top is the current matrix
    std::size_t max_depth = 0;
    Matrix &top() { return entries.back(); }
    const Matrix &top() const { return entries.back(); }
};

struct Light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float eye_position[4] = {0, 0, 1, 0}; // transformed by the modelview in force when set
    bool enabled = false;
};

struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float shininess = 0;
};

// One vertex as the program takes it; facing is used only by the lines that stand for polygon
// edges, whose facing ES cannot know.
struct Vertex {
    float position[3];
    float normal[3];
    float facing; // 1 front, 0 back
};

constexpr int max_lights = 7; // GL_LIGHT0 to GL_LIGHT6

struct Program {
    GLuint id = 0; // 0: it did not build
    GLint mvp, eye_z, normal_matrix, light_direction, light_half, ambient[2], diffuse[2],
        specular[2], scene[2], shininess[2], colour, sampler, fog_scale, fog_colour;
};

struct Context {
    Es2 es;
    std::map<unsigned, Program> programs; // by ProgramKey::code()
    GLuint buffer = 0;
    GLuint texture = 0;
    std::string renderer;

    MatrixStack modelview;
    MatrixStack projection;
    GLenum matrix_mode = GL_MODELVIEW;

    bool lighting = false;
    Light lights[max_lights];
    Material materials[2]; // front, back

    bool fog = false; // always GL_EXP2
    float fog_density = 1;
    float fog_colour[4] = {0, 0, 0, 0};

    bool texturing = false;
    bool texture_replace = false;
    // What ES was handed once and must be handed again when a lost context comes back.
    std::map<GLenum, GLint> texture_parameters;
    GLsizei texture_width = 0; // 0 until an image is loaded
    GLsizei texture_height = 0;
    std::vector<unsigned char> texture_pixels; // RGB, rows packed to 1 byte
    GLint pack_alignment = 4;
    float clear_colour[4] = {0, 0, 0, 0};
    bool depth_test = false;
    bool lost = false; // the platform lost the ES context: its objects are gone, draws dropped

    bool cull_face = false; // back faces, the only ones OpenGL culls unless told otherwise
    GLenum polygon_mode = GL_FILL;

    bool inside_begin = false;
    bool begin_refused = false; // its vertices are dropped without a report each
    std::vector<Vertex> batch;
    float normal[3] = {0, 0, 1};
};

Context *current();
// Hands ES the kept texture image (texture.cpp).
void upload_texture(const Context &context);
MatrixStack &current_stack(Context &context);

// The context for an OpenGL 1.1 call outside glBegin/glEnd, or null after reporting why not.
Context *ready(const char *call);

// One line on stderr naming the call and what it cannot do; each distinct one once, so that a
// frame loop does not flood the terminal.
void report(const char *call, const char *what, unsigned value);
void report(const char *call, const char *what);

} // namespace gl_subset
