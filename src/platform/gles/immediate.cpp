// glBegin to glEnd: vertices collect on the CPU and go to ES in one upload at glEnd.
#include "platform/gles/immediate.h"

#include "platform/gles/draw.h"
#include "platform/gles/matrix_math.h"

namespace gl_subset {

std::vector<Vertex> triangle_edges(const std::vector<Vertex> &triangles, const float mvp[16],
                                   bool cull_back) {
    std::vector<Vertex> lines;
    lines.reserve(triangles.size() / 3 * 6);
    for (std::size_t t = 0; t + 3 <= triangles.size(); t += 3) {
        Vertex v[3] = {triangles[t], triangles[t + 1], triangles[t + 2]};
        float window[3][2];
        for (int i = 0; i < 3; ++i) {
            const float object[4] = {v[i].position[0], v[i].position[1], v[i].position[2], 1};
            float clip[4];
            transform(clip, mvp, object);
            window[i][0] = clip[0] / clip[3];
            window[i][1] = clip[1] / clip[3];
        }
        const float area = (window[1][0] - window[0][0]) * (window[2][1] - window[0][1]) -
                           (window[2][0] - window[0][0]) * (window[1][1] - window[0][1]);
        // Culling passes only triangles with a front area: one without area faces neither way.
        if (cull_back && !(area > 0))
            continue;
        const float facing = area >= 0 ? 1.0f : 0.0f;
        for (Vertex &corner : v)
            corner.facing = facing;
        for (int edge : {2, 0, 1}) {
            lines.push_back(v[edge]);
            lines.push_back(v[(edge + 1) % 3]);
        }
    }
    return lines;
}

} // namespace gl_subset

using namespace gl_subset;

extern "C" {

void glBegin(GLenum mode) {
    Context *c = ready("glBegin");
    if (c == nullptr)
        return;
    c->inside_begin = true;
    c->begin_refused = mode != GL_TRIANGLES;
    c->batch.clear();
    if (c->begin_refused)
        report("glBegin", "mode", mode);
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    Context *c = current();
    if (c == nullptr) {
        report("glNormal3f", "no current context");
        return;
    }
    c->normal[0] = nx;
    c->normal[1] = ny;
    c->normal[2] = nz;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    Context *c = current();
    // Outside glBegin/glEnd a vertex has no effect in OpenGL either.
    if (c == nullptr || !c->inside_begin) {
        report("glVertex3f", "outside glBegin/glEnd");
        return;
    }
    if (c->begin_refused)
        return;
    c->batch.push_back({{x, y, z}, {c->normal[0], c->normal[1], c->normal[2]}, 1.0f});
}

void glEnd(void) {
    Context *c = current();
    if (c == nullptr || !c->inside_begin) {
        report("glEnd", "without glBegin");
        return;
    }
    c->inside_begin = false;
    if (c->begin_refused)
        return;
    // An incomplete last triangle is dropped, as OpenGL drops it.
    c->batch.resize(c->batch.size() / 3 * 3);
    if (c->polygon_mode == GL_FILL) {
        draw_batch(*c, GL_TRIANGLES, c->batch);
        return;
    }
    // Culling decides per polygon before its edges are drawn; ES never culls lines.
    float mvp[16];
    multiply(mvp, c->projection.top().m, c->modelview.top().m);
    draw_batch(*c, GL_LINES, triangle_edges(c->batch, mvp, c->cull_face));
}

} // extern "C"
