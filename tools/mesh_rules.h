// Rules every copy of the helicoid tables must keep. The table generator refuses to write tables
// that break one, and the tests hold the compiled tables to the same rules.
#pragma once

#include "scene/mesh.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>

namespace mesh_rules {

inline constexpr int top_level = 48; // cells lie between levels j and j + 1, j = 0 to 48
inline constexpr int outer_step = 9; // and between radial steps k - 1 and k, k = 1 to 9
inline constexpr int faces_per_cell = 8;
inline constexpr std::int32_t zero_normal = 1;
inline constexpr double normal_tolerance = 2e-6;
inline constexpr int shared_uses = 760;
inline constexpr int distinct_points = 500;

// Cells run from the top level down and, within a level, from the outer step inwards.
constexpr int face_of_cell(int j, int k, int face_in_group) {
    return ((top_level - j) * outer_step + (outer_step - k)) * faces_per_cell + face_in_group;
}

// These four cells have no geometric reason to stand apart; they are kept so that the numbering of
// the normal table stays the one every copy of the model has.
constexpr bool is_sharing_exception(int j, int k) {
    return (j == 42 && k == 5) || (j == 27 && k == 2) || (j == 20 && k == 2) || (j == 15 && k == 8);
}

// Face 0 of cell (j, k) lies in the plane of face 4 of cell (j + 1, k + 1) (the helicoid is
// symmetric under a half turn about each radial line), so the two can share a normal entry.
constexpr bool shares_normals(int j, int k) {
    return j <= top_level - 1 && k <= outer_step - 1 && !is_sharing_exception(j, k);
}

using Vec3 = std::array<double, 3>;

inline Vec3 unit_normal(const Vec3 &p0, const Vec3 &p1, const Vec3 &p2) {
    const Vec3 a{p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const Vec3 b{p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    const Vec3 n{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return {n[0] / length, n[1] / length, n[2] / length};
}

inline Vec3 to_double(const float (&v)[3]) {
    return {v[0], v[1], v[2]};
}

namespace detail {

inline std::string at_face(const char *rule, int face) {
    return std::string(rule) + " (face " + std::to_string(face) + ")";
}

inline bool same_point(const float (&a)[3], const float (&b)[3]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

inline bool has_negative_zero(const float (*table)[3], int count) {
    for (int i = 0; i < count; ++i)
        for (float c : table[i])
            if (c == 0.0f && std::signbit(c))
                return true;
    return false;
}

// Indices, counts and the face layout; everything after this may index the tables freely.
inline std::string broken_layout(const Mesh &m) {
    if (m.face_count != helicoid_face_count || m.position_count != helicoid_position_count ||
        m.normal_count != helicoid_normal_count)
        return "counts: expected 3528 faces, 10584 positions, 1005 normals";
    for (int i = 0; i < m.face_count; ++i) {
        const MeshFace &f = m.faces[i];
        for (int c = 0; c < 3; ++c) {
            if (f.texcoord_index[c] != -1)
                return at_face("texture coordinate indices are -1", i);
            if (f.position_index[c] != 3 * i + c)
                return at_face("face i uses positions 3i to 3i + 2", i);
            if (f.normal_index[c] < 0 || f.normal_index[c] >= m.normal_count)
                return at_face("normal indices in range", i);
            if (f.normal_index[c] != f.normal_index[0])
                return at_face("one normal per face", i);
        }
    }
    return {};
}

inline std::string broken_face_pairs(const Mesh &m) {
    const float(&zero)[3] = m.normals[zero_normal];
    if (zero[0] != 0.0f || zero[1] != 0.0f || zero[2] != 0.0f)
        return "normal entry 1 is the zero normal";
    for (int i = 0; i < m.face_count; ++i) {
        const MeshFace &f = m.faces[i];
        const auto *p = &m.positions[3 * i];
        if (i % 2 == 1) {
            if (!same_point(p[2], p[0]) || f.normal_index[0] != zero_normal)
                return at_face("odd faces are degenerate and use the zero normal", i);
            continue;
        }
        if (f.normal_index[0] == zero_normal)
            return at_face("proper faces do not use the zero normal", i);
        const int in_group = i % faces_per_cell;
        if (in_group == 2 || in_group == 6) {
            const auto *q = &m.positions[3 * (i - 2)];
            if (!same_point(p[0], q[2]) || !same_point(p[1], q[1]) || !same_point(p[2], q[0]))
                return at_face("faces 2 and 6 are faces 0 and 4 reversed", i);
            const float(&n)[3] = m.normals[f.normal_index[0]];
            const float(&o)[3] = m.normals[m.faces[i - 2].normal_index[0]];
            if (n[0] != -o[0] || n[1] != -o[1] || n[2] != -o[2])
                return at_face("faces 2 and 6 have the negated normals of faces 0 and 4", i);
        }
    }
    return {};
}

inline std::string broken_normal_values(const Mesh &m) {
    for (int i = 0; i < m.face_count; i += 2) {
        const float(&n)[3] = m.normals[m.faces[i].normal_index[0]];
        const Vec3 exact =
            unit_normal(to_double(m.positions[3 * i]), to_double(m.positions[3 * i + 1]),
                        to_double(m.positions[3 * i + 2]));
        for (int c = 0; c < 3; ++c)
            if (!(std::fabs(n[c] - exact[c]) <= normal_tolerance))
                return at_face("proper face normals within 2e-6 of the unit normal of the corners",
                               i);
        const int in_group = i % faces_per_cell;
        if ((in_group == 0 || in_group == 4) ? n[1] < 0.0f : n[1] > 0.0f)
            return at_face("faces 0 and 4 face up (y >= 0), faces 2 and 6 down (y <= 0)", i);
    }
    return {};
}

inline std::string broken_numbering(const Mesh &m) {
    std::int32_t next_entry = 0;
    int shared = 0;
    for (int j = top_level; j >= 0; --j) {
        for (int k = outer_step; k >= 1; --k) {
            for (int g = 0; g < faces_per_cell; ++g) {
                const int i = face_of_cell(j, k, g);
                const std::int32_t entry = m.faces[i].normal_index[0];
                const bool new_entry = entry == next_entry;
                if (entry > next_entry)
                    return at_face("normal entries numbered in order of first use", i);
                if (new_entry)
                    ++next_entry;
                if (g % 2 == 1)
                    continue;
                const bool share = (g == 0 || g == 2) && shares_normals(j, k);
                if (!share && !new_entry)
                    return at_face("normal entries shared only by the sharing rule", i);
                if (share) {
                    ++shared;
                    const int partner = face_of_cell(j + 1, k + 1, g + 4);
                    if (entry != m.faces[partner].normal_index[0])
                        return at_face("normal entries shared by the sharing rule", i);
                }
            }
        }
    }
    if (next_entry != m.normal_count)
        return "every normal entry is used";
    if (shared != shared_uses)
        return "760 shared uses of normal entries";
    return {};
}

inline std::string broken_geometry(const Mesh &m) {
    std::set<std::tuple<float, float, float>> points;
    float low[3] = {m.positions[0][0], m.positions[0][1], m.positions[0][2]};
    float high[3] = {low[0], low[1], low[2]};
    for (int i = 0; i < m.position_count; ++i) {
        const float(&p)[3] = m.positions[i];
        points.emplace(p[0], p[1], p[2]);
        for (int c = 0; c < 3; ++c) {
            low[c] = std::fmin(low[c], p[c]);
            high[c] = std::fmax(high[c], p[c]);
        }
        const double dy = p[1] - 9.0;
        if (!(std::sqrt(double(p[0]) * p[0] + dy * dy + double(p[2]) * p[2]) < 12.1))
            return "every point less than 12.1 from (0, 9, 0)";
    }
    if (points.size() != distinct_points)
        return "500 distinct points";
    if (low[0] != -7.963033f || high[0] != 7.995890f || low[1] != 0.0f || high[1] != 15.707963f ||
        low[2] != -8.0f || high[2] != 8.0f)
        return "extent x -7.963033 to 7.995890, y 0 to 15.707963, z -8 to 8";
    return {};
}

} // namespace detail

// Empty when the tables keep every rule; otherwise the first broken rule and where it breaks.
inline std::string broken_rule(const Mesh &m) {
    std::string broken = detail::broken_layout(m);
    if (broken.empty() && (detail::has_negative_zero(m.positions, m.position_count) ||
                           detail::has_negative_zero(m.normals, m.normal_count)))
        broken = "no negative zero";
    if (broken.empty())
        broken = detail::broken_face_pairs(m);
    if (broken.empty())
        broken = detail::broken_normal_values(m);
    if (broken.empty())
        broken = detail::broken_numbering(m);
    if (broken.empty())
        broken = detail::broken_geometry(m);
    return broken;
}

} // namespace mesh_rules
