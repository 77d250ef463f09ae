// The model: a helicoid held in constant tables, and the call that sends it to OpenGL.
#pragma once

#include <cstdint>

// One triangle: three corners, each with a position, a normal and a texture coordinate index.
struct MeshFace {
    std::int32_t position_index[3];
    std::int32_t normal_index[3];
    std::int32_t texcoord_index[3]; // -1: none
};

struct Mesh {
    const MeshFace *faces;
    std::int32_t face_count;
    const float (*positions)[3];
    std::int32_t position_count;
    const float (*normals)[3];
    std::int32_t normal_count;
    const float (*texcoords)[2];
    std::int32_t texcoord_count;
};

// The built-in model's tables (generated; see tools/gen_mesh_tables.cpp).
inline constexpr std::int32_t helicoid_face_count = 3528;
inline constexpr std::int32_t helicoid_position_count = 10584;
inline constexpr std::int32_t helicoid_normal_count = 1005;
extern const MeshFace helicoid_faces[helicoid_face_count];
extern const float helicoid_positions[helicoid_position_count][3];
extern const float helicoid_normals[helicoid_normal_count][3];

// Sends viewer.mesh as one batch of triangles, each corner's normal before its vertex.
void draw_mesh();
