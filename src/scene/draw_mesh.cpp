// Sends the model to OpenGL in immediate mode, the only way OpenGL 1.1 offers without arrays.
#include "platform/opengl.h"
#include "scene/mesh.h"
#include "scene/viewer_state.h"

void draw_mesh() {
    const Mesh &mesh = viewer.mesh;
    glLineWidth(1.0f);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < mesh.face_count; ++i) {
        const MeshFace &face = mesh.faces[i];
        for (int c = 0; c < 3; ++c) {
            const float *n = mesh.normals[face.normal_index[c]];
            const float *p = mesh.positions[face.position_index[c]];
            glNormal3f(n[0], n[1], n[2]);
            glVertex3f(p[0], p[1], p[2]);
        }
    }
    glEnd();
}
