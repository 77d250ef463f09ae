// Uniforms from the OpenGL 1.1 state, computed in float as a fixed-function pipeline does
// before its per-vertex stage: the combined matrix, light directions and halfway vectors in eye
// space, and the light-times-material products.
#include "platform/gles/draw.h"

#include "platform/gles/matrix_math.h"
#include "platform/gles/program.h"

#include <cmath>
#include <cstddef>

namespace gl_subset {

namespace {

constexpr float light_model_ambient[3] = {0.2f, 0.2f, 0.2f}; // never changed by the subset
constexpr float one_over_sqrt_ln2 = 1.201122409f;

void normalize(float v[3]) {
    const float squared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (squared == 0)
        return;
    const float scale = 1.0f / std::sqrt(squared);
    for (int i = 0; i < 3; ++i)
        v[i] *= scale;
}

void set_lighting(const Context &c, const Program &p) {
    const Es2 &es = c.es;
    float direction[max_lights][3], half[max_lights][3];
    float ambient[2][max_lights][3], diffuse[2][max_lights][3], specular[2][max_lights][3];
    int count = 0;
    for (const Light &light : c.lights) {
        if (!light.enabled)
            continue;
        for (int k = 0; k < 3; ++k)
            direction[count][k] = light.eye_position[k];
        normalize(direction[count]);
        // An infinite viewer looks along -z: the halfway vector is L + (0, 0, 1), normalised.
        for (int k = 0; k < 3; ++k)
            half[count][k] = direction[count][k] + (k == 2 ? 1.0f : 0.0f);
        normalize(half[count]);
        for (int side = 0; side < 2; ++side) {
            const Material &m = c.materials[side];
            for (int k = 0; k < 3; ++k) {
                ambient[side][count][k] = light.ambient[k] * m.ambient[k];
                diffuse[side][count][k] = light.diffuse[k] * m.diffuse[k];
                specular[side][count][k] = light.specular[k] * m.specular[k];
            }
        }
        ++count;
    }
    es.Uniform3fv(p.light_direction, count, &direction[0][0]);
    es.Uniform3fv(p.light_half, count, &half[0][0]);
    for (int side = 0; side < 2; ++side) {
        es.Uniform3fv(p.ambient[side], count, &ambient[side][0][0]);
        es.Uniform3fv(p.diffuse[side], count, &diffuse[side][0][0]);
        es.Uniform3fv(p.specular[side], count, &specular[side][0][0]);
        // No emission: the material's stays OpenGL's initial black.
        const Material &m = c.materials[side];
        const float scene[4] = {m.ambient[0] * light_model_ambient[0],
                                m.ambient[1] * light_model_ambient[1],
                                m.ambient[2] * light_model_ambient[2], m.diffuse[3]};
        es.Uniform4fv(p.scene[side], 1, scene);
        es.Uniform1f(p.shininess[side], m.shininess);
    }
}

void set_fog(const Context &c, const Program &p) {
    // exp(-x^2) as exp2(-x^2 / ln 2): the square root of 1 / ln 2 goes in before squaring.
    c.es.Uniform1f(p.fog_scale, c.fog_density * one_over_sqrt_ln2);
    c.es.Uniform3fv(p.fog_colour, 1, c.fog_colour);
}

ProgramKey key_for(const Context &c, GLenum primitive) {
    ProgramKey key;
    key.lighting = c.lighting;
    for (const Light &light : c.lights)
        key.lights += (c.lighting && light.enabled) ? 1 : 0;
    key.lines = primitive == GL_LINES;
    if (c.texturing)
        key.texture = c.texture_replace ? 2 : 1;
    key.fog = c.fog;
    return key;
}

} // namespace

void draw_batch(Context &c, GLenum primitive, const std::vector<Vertex> &vertices) {
    // A lost context has no programs to draw with; WebGL would not even make one.
    if (vertices.empty() || c.lost)
        return;
    const ProgramKey key = key_for(c, primitive);
    const Program *p = program_for(c, key);
    if (p == nullptr)
        return; // reported when it failed to build
    const Es2 &es = c.es;
    es.UseProgram(p->id);

    const float *modelview = c.modelview.top().m;
    float mvp[16];
    multiply(mvp, c.projection.top().m, modelview);
    es.UniformMatrix4fv(p->mvp, 1, GL_FALSE, mvp);
    const float eye_z[4] = {modelview[2], modelview[6], modelview[10], modelview[14]};
    es.Uniform4fv(p->eye_z, 1, eye_z);

    if (key.lighting) {
        float normals[9];
        normal_matrix(normals, modelview);
        es.UniformMatrix3fv(p->normal_matrix, 1, GL_FALSE, normals);
        set_lighting(c, *p);
    } else {
        const float white[4] = {1, 1, 1, 1}; // the current colour: nothing sets another
        es.Uniform4fv(p->colour, 1, white);
    }
    if (key.fog)
        set_fog(c, *p);

    es.BindBuffer(GL_ARRAY_BUFFER, c.buffer);
    es.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                  vertices.data(), GL_STREAM_DRAW);
    const auto stride = static_cast<GLsizei>(sizeof(Vertex));
    es.EnableVertexAttribArray(position_slot);
    es.EnableVertexAttribArray(normal_slot);
    es.EnableVertexAttribArray(facing_slot);
    es.VertexAttribPointer(position_slot, 3, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<const void *>(offsetof(Vertex, position)));
    es.VertexAttribPointer(normal_slot, 3, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<const void *>(offsetof(Vertex, normal)));
    es.VertexAttribPointer(facing_slot, 1, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<const void *>(offsetof(Vertex, facing)));
    es.DrawArrays(primitive, 0, static_cast<GLsizei>(vertices.size()));
}

} // namespace gl_subset
