// Writes the helicoid's constant tables (src/scene/mesh_tables.cpp) from the rules of the model.
// Usage: helicoid-gen-tables OUTPUT.cpp
// The tables are built in memory and checked against mesh_rules.h first; if any rule is broken
// nothing is written, so a stale but valid file is never replaced by a broken one. The file is
// written by the rules the tools share (output_file.cpp).

#include "command_line.h"
#include "mesh_rules.h"
#include "output_file.h"
#include "scene/mesh.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using mesh_rules::faces_per_cell;
using mesh_rules::outer_step;
using mesh_rules::top_level;
using mesh_rules::Vec3;

// Six-decimal values are held as integer millionths: negation and the test for zero are then
// exact, and the literal written out is exactly the rounded value.
using Micro3 = std::array<std::int64_t, 3>;

Micro3 to_micro(const Vec3 &v) {
    return {std::llround(v[0] * 1e6), std::llround(v[1] * 1e6), std::llround(v[2] * 1e6)};
}

// Zero has no sign in millionths, so it can only come out as +0.
std::string literal(std::int64_t millionths) {
    if (millionths == 0)
        return "0.0f";
    const std::int64_t magnitude = millionths < 0 ? -millionths : millionths;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%06lldf", millionths < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 1000000),
                  static_cast<long long>(magnitude % 1000000));
    return text;
}

// The float the compiler makes of the literal: the checks must see what the program will see.
float compiled_value(std::int64_t millionths) {
    return std::strtof(literal(millionths).c_str(), nullptr);
}

// Unrounded, in double: normals are taken from these points, since normals taken from the rounded
// corners of the small faces near the axis miss the shared entries' tolerance.
Vec3 surface_point(int j, int k) {
    const double y = 5.0 * std::numbers::pi * j / 49.0;
    const double r = 8.0 * k / 9.0;
    return {r * std::sin(y), y, -r * std::cos(y)};
}

// Corners of the eight faces of cell (j, k), as (level, step) offsets from (j, k). Odd faces
// repeat corner 0 as corner 2; faces 2 and 6 are faces 0 and 4 in reverse.
constexpr int cell_corners[faces_per_cell][3][2] = {
    {{0, 0}, {1, -1}, {1, 0}},  {{0, 0}, {1, 0}, {0, 0}},   {{1, 0}, {1, -1}, {0, 0}},
    {{0, 0}, {1, 0}, {0, 0}},   {{0, -1}, {1, -1}, {0, 0}}, {{0, -1}, {0, 0}, {0, -1}},
    {{0, 0}, {1, -1}, {0, -1}}, {{0, -1}, {0, 0}, {0, -1}},
};

struct Tables {
    std::vector<MeshFace> faces;
    std::vector<Micro3> positions;
    std::vector<Micro3> normals;
};

Tables build_tables() {
    Tables t;
    // entry[j][k][g]: normal entry of face g of cell (j, k), read back by the sharing rule.
    std::vector<std::array<std::int32_t, faces_per_cell>> entry((top_level + 1) * (outer_step + 1));
    auto entries_of = [&](int j, int k) -> std::array<std::int32_t, faces_per_cell> & {
        return entry[j * (outer_step + 1) + k];
    };
    auto new_entry = [&](const Micro3 &value) {
        t.normals.push_back(value);
        return static_cast<std::int32_t>(t.normals.size() - 1);
    };
    std::int32_t zero_entry = -1;

    for (int j = top_level; j >= 0; --j) {
        for (int k = outer_step; k >= 1; --k) {
            for (int g = 0; g < faces_per_cell; ++g) {
                Vec3 corner[3];
                MeshFace face{};
                for (int c = 0; c < 3; ++c) {
                    corner[c] = surface_point(j + cell_corners[g][c][0], k + cell_corners[g][c][1]);
                    face.position_index[c] = static_cast<std::int32_t>(t.positions.size());
                    face.texcoord_index[c] = -1;
                    t.positions.push_back(to_micro(corner[c]));
                }
                std::int32_t n;
                if (g % 2 == 1) {
                    if (zero_entry < 0)
                        zero_entry = new_entry({0, 0, 0});
                    n = zero_entry;
                } else if ((g == 0 || g == 2) && mesh_rules::shares_normals(j, k)) {
                    n = entries_of(j + 1, k + 1)[g + 4];
                } else if (g == 0 || g == 4) {
                    n = new_entry(
                        to_micro(mesh_rules::unit_normal(corner[0], corner[1], corner[2])));
                } else {
                    // Negating the rounded value keeps the two windings exact opposites.
                    const Micro3 front = t.normals[entries_of(j, k)[g - 2]];
                    n = new_entry({-front[0], -front[1], -front[2]});
                }
                entries_of(j, k)[g] = n;
                face.normal_index[0] = face.normal_index[1] = face.normal_index[2] = n;
                t.faces.push_back(face);
            }
        }
    }
    return t;
}

std::unique_ptr<float[][3]> compiled_table(const std::vector<Micro3> &rows) {
    auto table = std::make_unique<float[][3]>(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < 3; ++c)
            table[i][c] = compiled_value(rows[i][c]);
    return table;
}

std::string check(const Tables &t) {
    const auto positions = compiled_table(t.positions);
    const auto normals = compiled_table(t.normals);
    const Mesh mesh{t.faces.data(),  static_cast<std::int32_t>(t.faces.size()),
                    positions.get(), static_cast<std::int32_t>(t.positions.size()),
                    normals.get(),   static_cast<std::int32_t>(t.normals.size()),
                    nullptr,         0};
    return mesh_rules::broken_rule(mesh);
}

std::string triple(const std::int32_t (&v)[3]) {
    return "{" + std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(v[2]) +
           "}";
}

void append_float_table(std::string &out, const char *declaration,
                        const std::vector<Micro3> &rows) {
    out += declaration;
    out += " = {\n";
    for (const Micro3 &r : rows)
        out += "    {" + literal(r[0]) + ", " + literal(r[1]) + ", " + literal(r[2]) + "},\n";
    out += "};\n";
}

std::string render(const Tables &t) {
    std::string out =
        "// Generated by tools/gen_mesh_tables.cpp; do not edit by hand.\n"
        "// Regenerate with: helicoid-gen-tables src/scene/mesh_tables.cpp\n"
        "#include \"scene/mesh.h\"\n"
        "\n"
        "// One row per face, position and normal, so that changes show up as readable diffs.\n"
        "// clang-format off\n"
        "const MeshFace helicoid_faces[helicoid_face_count] = {\n";
    for (const MeshFace &f : t.faces)
        out += "    {" + triple(f.position_index) + ", " + triple(f.normal_index) + ", " +
               triple(f.texcoord_index) + "},\n";
    out += "};\n\n";
    append_float_table(out, "const float helicoid_positions[helicoid_position_count][3]",
                       t.positions);
    out += "\n";
    append_float_table(out, "const float helicoid_normals[helicoid_normal_count][3]", t.normals);
    out += "// clang-format on\n";
    return out;
}

} // namespace

int main(int argc, char **argv) {
    const Tool tool{
        "helicoid-gen-tables",
        {"OUTPUT.cpp"},
        "Writes the model's tables as C++, only when they keep every rule of the model.",
        {}};
    CommandLine line;
    if (const auto answered = read_command_line(tool, argc, argv, &line))
        return *answered;
    if (line.operands.size() != 1)
        return tool_error(tool, "needs one OUTPUT.cpp; see --help", exit_usage);
    const std::string &output = line.operands[0];
    const Tables tables = build_tables();
    const std::string broken = check(tables);
    if (!broken.empty())
        return tool_error(tool, "not writing " + output + ": rule broken: " + broken, exit_failure);
    std::string error;
    if (!write_output_file(output, render(tables), &error))
        return tool_error(tool, error, exit_failure);
    return 0;
}
