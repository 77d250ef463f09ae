// Holds the compiled helicoid tables to the model's rules, and checks that the rule checker the
// table generator relies on names the rule a broken table breaks.

#include "mesh_rules.h"
#include "scene/mesh.h"
#include "scene/viewer_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

// The viewer's own descriptor of the built-in model, as every frame sees it.
Mesh compiled_mesh() {
    return ViewerState{}.mesh;
}

using Vec3 = std::array<double, 3>;

Vec3 exact_unit_normal(const float (&a)[3], const float (&b)[3], const float (&c)[3]) {
    const Vec3 u{double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
    const Vec3 v{double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
    const Vec3 n{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return {n[0] / length, n[1] / length, n[2] / length};
}

// The stored value of a grid coordinate: six decimals, then the float the compiler makes of them.
float six_decimals(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    return std::strtof(text, nullptr) + 0.0f; // + 0.0f turns a rounded -0 into +0
}

const float *corner(int face, int c) {
    return helicoid_positions[helicoid_faces[face].position_index[c]];
}

const float *normal_of(int face) {
    return helicoid_normals[helicoid_faces[face].normal_index[0]];
}

TEST(MeshTables, CountsMatchTheMeshRecord) {
    EXPECT_EQ(std::size(helicoid_faces), 3528u);
    EXPECT_EQ(std::size(helicoid_positions), 10584u);
    EXPECT_EQ(std::size(helicoid_normals), 1005u);
    EXPECT_EQ(sizeof(MeshFace), 9 * sizeof(std::int32_t));
}

TEST(MeshTables, KeepEveryRuleOfTheChecker) {
    EXPECT_EQ(mesh_rules::broken_rule(compiled_mesh()), "");
}

TEST(MeshTables, TellingRows) {
    struct FaceRow {
        int face, first_position, normal;
    };
    for (const FaceRow row : {FaceRow{0, 0, 0}, {1, 3, 1}, {4, 12, 3}, {3527, 10581, 1}}) {
        SCOPED_TRACE(row.face);
        const MeshFace &f = helicoid_faces[row.face];
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(f.position_index[c], row.first_position + c);
            EXPECT_EQ(f.normal_index[c], row.normal);
            EXPECT_EQ(f.texcoord_index[c], -1);
        }
    }

    struct PositionRow {
        int index;
        float x, y, z;
    };
    for (const PositionRow row : {PositionRow{0, 2.520866f, 15.387393f, 7.592446f},
                                  {1, 0.0f, 15.707963f, 7.111111f},
                                  {2, 0.0f, 15.707963f, 8.0f},
                                  {3, 2.520866f, 15.387393f, 7.592446f},
                                  {4, 0.0f, 15.707963f, 8.0f},
                                  {5, 2.520866f, 15.387393f, 7.592446f},
                                  {10581, 0.0f, 0.0f, 0.0f},
                                  {10582, 0.0f, 0.0f, -0.888889f},
                                  {10583, 0.0f, 0.0f, 0.0f}}) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(helicoid_positions[row.index][0], row.x);
        EXPECT_EQ(helicoid_positions[row.index][1], row.y);
        EXPECT_EQ(helicoid_positions[row.index][2], row.z);
    }

    const double normals[4][3] = {{0.126151, 0.992011, 0.0},
                                  {0.0, 0.0, 0.0},
                                  {-0.126151, -0.992011, 0.0},
                                  {0.134406, 0.989921, -0.044626}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(helicoid_normals[i][c], normals[i][c], 1e-6) << "normal " << i;
}

// Recomputes the grid from the model's rule and follows the corner table of a cell, so a wrong
// corner order or cell order shows up even where every other rule still holds.
TEST(MeshTables, FacesFollowTheGridAndCellLayout) {
    auto grid = [](int j, int k) {
        const double y = 5.0 * std::numbers::pi * j / 49.0;
        const double r = 8.0 * k / 9.0;
        return std::array<float, 3>{six_decimals(r * std::sin(y)), six_decimals(y),
                                    six_decimals(-r * std::cos(y))};
    };
    const int corners[8][3][2] = {
        {{0, 0}, {1, -1}, {1, 0}},  {{0, 0}, {1, 0}, {0, 0}},   {{1, 0}, {1, -1}, {0, 0}},
        {{0, 0}, {1, 0}, {0, 0}},   {{0, -1}, {1, -1}, {0, 0}}, {{0, -1}, {0, 0}, {0, -1}},
        {{0, 0}, {1, -1}, {0, -1}}, {{0, -1}, {0, 0}, {0, -1}},
    };
    int face = 0;
    for (int j = 48; j >= 0; --j)
        for (int k = 9; k >= 1; --k)
            for (int g = 0; g < 8; ++g, ++face)
                for (int c = 0; c < 3; ++c) {
                    const auto expected = grid(j + corners[g][c][0], k + corners[g][c][1]);
                    const float *p = corner(face, c);
                    ASSERT_TRUE(p[0] == expected[0] && p[1] == expected[1] && p[2] == expected[2])
                        << "face " << face << " corner " << c;
                }
}

TEST(MeshTables, ExtentAndDistanceFromPivot) {
    float low[3] = {INFINITY, INFINITY, INFINITY};
    float high[3] = {-INFINITY, -INFINITY, -INFINITY};
    double farthest = 0.0;
    for (const auto &p : helicoid_positions) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], p[c]);
            high[c] = std::max(high[c], p[c]);
        }
        farthest = std::max(farthest, std::hypot(double(p[0]), p[1] - 9.0, double(p[2])));
    }
    EXPECT_EQ(low[0], -7.963033f);
    EXPECT_EQ(high[0], 7.995890f);
    EXPECT_EQ(low[1], 0.0f);
    EXPECT_EQ(high[1], 15.707963f);
    EXPECT_EQ(low[2], -8.0f);
    EXPECT_EQ(high[2], 8.0f);
    EXPECT_LT(farthest, 12.1);
}

TEST(MeshTables, NoNegativeZero) {
    for (const auto &p : helicoid_positions)
        for (float c : p)
            ASSERT_FALSE(c == 0.0f && std::signbit(c));
    for (const auto &n : helicoid_normals)
        for (float c : n)
            ASSERT_FALSE(c == 0.0f && std::signbit(c));
}

TEST(MeshTables, NormalsFitTheirFaces) {
    for (int i = 0; i < helicoid_face_count; ++i) {
        const float *n = normal_of(i);
        if (i % 2 == 1) {
            ASSERT_EQ(helicoid_faces[i].normal_index[0], 1) << "degenerate face " << i;
            continue;
        }
        const Vec3 exact =
            exact_unit_normal(helicoid_positions[3 * i], helicoid_positions[3 * i + 1],
                              helicoid_positions[3 * i + 2]);
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(n[c], exact[c], 2e-6) << "face " << i << " component " << c;
        const bool upper = i % 8 == 0 || i % 8 == 4;
        EXPECT_TRUE(upper ? n[1] >= 0.0f : n[1] <= 0.0f) << "face " << i;
    }
    EXPECT_EQ(helicoid_normals[1][0], 0.0f);
    EXPECT_EQ(helicoid_normals[1][1], 0.0f);
    EXPECT_EQ(helicoid_normals[1][2], 0.0f);
}

// A shared use is a proper face whose entry an earlier face already used: uses per entry, counted
// per face (not per corner), minus one each, over all entries but the zero normal.
TEST(MeshTables, NormalEntriesAndSharedUses) {
    std::vector<int> uses(helicoid_normal_count, 0);
    int next_new_entry = 0;
    for (const MeshFace &f : helicoid_faces) {
        const int entry = f.normal_index[0];
        ASSERT_LE(entry, next_new_entry) << "entries are numbered in order of first use";
        if (entry == next_new_entry)
            ++next_new_entry;
        ++uses[entry];
    }
    EXPECT_EQ(next_new_entry, 1005);
    int shared = 0;
    for (int e = 0; e < helicoid_normal_count; ++e)
        if (e != 1) {
            EXPECT_TRUE(uses[e] == 1 || uses[e] == 2) << "entry " << e;
            shared += uses[e] - 1;
        }
    EXPECT_EQ(shared, 760);
    EXPECT_EQ(uses[1], 1764);
}

// A private, writable copy of the tables to break on purpose.
struct TablesCopy {
    MeshFace faces[helicoid_face_count];
    float positions[helicoid_position_count][3];
    float normals[helicoid_normal_count][3];

    TablesCopy() {
        std::copy(std::begin(helicoid_faces), std::end(helicoid_faces), faces);
        std::copy(&helicoid_positions[0][0],
                  &helicoid_positions[0][0] + 3 * helicoid_position_count, &positions[0][0]);
        std::copy(&helicoid_normals[0][0], &helicoid_normals[0][0] + 3 * helicoid_normal_count,
                  &normals[0][0]);
    }
    Mesh mesh() const {
        return {faces,   helicoid_face_count,   positions, helicoid_position_count,
                normals, helicoid_normal_count, nullptr,   0};
    }
};

TEST(MeshRules, NameTheRuleABrokenTableBreaks) {
    struct Fault {
        const char *rule;
        std::function<void(TablesCopy &)> apply;
    };
    const Fault faults[] = {
        {"texture coordinate indices are -1",
         [](TablesCopy &t) { t.faces[7].texcoord_index[1] = 0; }},
        {"one normal per face", [](TablesCopy &t) { t.faces[8].normal_index[2] = 1; }},
        {"no negative zero", [](TablesCopy &t) { t.positions[10581][0] = -0.0f; }},
        {"odd faces are degenerate",
         [](TablesCopy &t) {
             t.faces[5].normal_index[0] = t.faces[5].normal_index[1] = t.faces[5].normal_index[2] =
                 3;
         }},
        {"faces 2 and 6 are faces 0 and 4 reversed",
         [](TablesCopy &t) { std::swap(t.positions[6][0], t.positions[8][0]); }},
        {"within 2e-6",
         [](TablesCopy &t) {
             // Both windings of face 4, so that they stay each other's negation.
             t.normals[3][2] += 3e-6f;
             t.normals[4][2] -= 3e-6f;
         }},
        {"numbered in order of first use",
         [](TablesCopy &t) {
             // Entries 0 and 3 trade places: every value stays right, only the numbering breaks.
             for (MeshFace &f : t.faces)
                 for (std::int32_t &n : f.normal_index)
                     n = n == 0 ? 3 : n == 3 ? 0 : n;
             std::swap(t.normals[0], t.normals[3]);
         }},
        {"shared only by the sharing rule",
         [](TablesCopy &t) {
             // Cell (42, 5) keeps its own entries; give its faces 0 and 2 its partner's instead.
             for (int g : {0, 2}) {
                 const auto &partner = t.faces[mesh_rules::face_of_cell(43, 6, g + 4)].normal_index;
                 std::copy(std::begin(partner), std::end(partner),
                           t.faces[mesh_rules::face_of_cell(42, 5, g)].normal_index);
             }
         }},
    };
    for (const Fault &fault : faults) {
        auto tables = std::make_unique<TablesCopy>();
        fault.apply(*tables);
        EXPECT_NE(mesh_rules::broken_rule(tables->mesh()).find(fault.rule), std::string::npos)
            << "expected \"" << fault.rule << "\", got \""
            << mesh_rules::broken_rule(tables->mesh()) << "\"";
    }
}

} // namespace
