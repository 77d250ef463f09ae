// Immediate mode's batch, and the edges that stand in for polygons drawn as lines (ES has no
// glPolygonMode).
#pragma once

#include "platform/gles/state.h"

namespace gl_subset {

// Each triangle's three edges as line pairs, in the order v2-v0, v0-v1, v1-v2, each vertex
// marked with the triangle's facing under mvp (counter-clockwise in window space is front; a
// triangle without area counts as front); with cull_back, only triangles that face front with
// an area.
std::vector<Vertex> triangle_edges(const std::vector<Vertex> &triangles, const float mvp[16],
                                   bool cull_back);

} // namespace gl_subset
