// Draws the program's icon, a small helicoid on a dark tile, and writes it as an .ico with the two
// images resource 101 holds: 32 by 32 at 16 colours and at 256 colours. The same artwork, drawn
// afresh at any size in true colour with soft edges, becomes the PNGs of Linux icon themes.
//
//   helicoid-gen-icon OUTPUT.ico [OUTPUT.xpm]
//   helicoid-gen-icon --png SIDE OUTPUT.png
//
// The picture is rendered at four times the size by splatting dense surface samples through a
// depth buffer, averaged down, and reduced to each image's palette by median cut. Everything is
// deterministic, so the committed res/helicoid.ico is exactly what this writes.
#include "command_line.h"
#include "icon_png.h"
#include "output_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int icon_side = 32;
constexpr int oversample = 4;
constexpr int fine_side = icon_side * oversample;
constexpr double pi = 3.14159265358979323846;

struct Colour {
    double r, g, b;
};

// The viewer's own colours: front and back material, on dark grey.
constexpr Colour front = {0.7, 0.3, 0.4};
constexpr Colour back = {0.2, 0.5, 0.3};
constexpr Colour axis = {0.78, 0.78, 0.80};
constexpr Colour tile = {0.16, 0.16, 0.17};

// ==== Rendering ====

// Seen from a little above: the screen's up and the viewing direction, both unit vectors.
constexpr double elevation = 0.35; // radians
const double up_y = std::sin(elevation), up_z = std::cos(elevation);
const double view_y = std::cos(elevation), view_z = -std::sin(elevation);

// The oversampled picture, `side` fine pixels square.
struct Fine {
    explicit Fine(int side)
        : side(side), scale(side / 2.45), depth(static_cast<size_t>(side) * side, 1e9),
          colour(static_cast<size_t>(side) * side, tile) {}
    int side;
    double scale; // world units to fine pixels: the model spans about [-1, 1], inside the tile
    std::vector<double> depth;
    std::vector<Colour> colour;
};

void splat(Fine &fine, double x, double y, double z, Colour c) {
    const double sx = fine.side / 2.0 + x * fine.scale;
    const double sy = fine.side / 2.0 - (y * up_y + z * up_z) * fine.scale;
    const int px = static_cast<int>(std::floor(sx));
    const int py = static_cast<int>(std::floor(sy));
    if (px < 0 || py < 0 || px >= fine.side || py >= fine.side)
        return;
    const double depth = y * view_y + z * view_z;
    const size_t i = static_cast<size_t>(py) * fine.side + px;
    if (depth < fine.depth[i]) {
        fine.depth[i] = depth;
        fine.colour[i] = c;
    }
}

Colour shade(Colour base, double nx, double ny, double nz) {
    // Light from the upper left, in front.
    const double lx = -0.45, ly = -0.55, lz = 0.70;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double lambert = std::max(0.0, (nx * lx + ny * ly + nz * lz) / length);
    const double k = 0.45 + 0.85 * lambert;
    return {std::min(1.0, base.r * k), std::min(1.0, base.g * k), std::min(1.0, base.b * k)};
}

// `density` multiplies the samples along each direction, so that larger pictures have no holes.
void draw_helicoid(Fine &fine, int density) {
    // x = u cos v, y = u sin v, z = c v: one and a half turns, a blade through the axis.
    constexpr double turns = 1.5;
    constexpr double height = 1.35;
    constexpr double v_end = turns * 2 * pi;
    constexpr double c = height / v_end;
    const int u_steps = 400 * density, v_steps = 6000 * density;
    for (int j = 0; j <= v_steps; ++j) {
        const double v = v_end * j / v_steps;
        const double cv = std::cos(v), sv = std::sin(v);
        const double z = c * v - height / 2;
        for (int i = 0; i <= u_steps; ++i) {
            const double u = -1.0 + 2.0 * i / u_steps;
            // The normal dp/du x dp/dv; its side toward the viewer decides front or back.
            double nx = c * sv, ny = -c * cv, nz = u;
            const bool toward_viewer = ny * view_y + nz * view_z < 0;
            if (!toward_viewer) {
                nx = -nx;
                ny = -ny;
                nz = -nz;
            }
            splat(fine, u * cv, u * sv, z, shade(toward_viewer ? front : back, nx, ny, nz));
        }
    }
}

void draw_axis(Fine &fine, int density) {
    constexpr double radius = 0.06, half_length = 1.12;
    const int z_steps = 800 * density, around = 90 * density;
    for (int j = 0; j <= z_steps; ++j) {
        const double z = -half_length + 2 * half_length * j / z_steps;
        for (int i = 0; i < around; ++i) {
            const double a = 2 * pi * i / around;
            splat(fine, radius * std::cos(a), radius * std::sin(a), z,
                  shade(axis, std::cos(a), std::sin(a), 0.0));
        }
    }
}

// The tile: a square with rounded corners, in fine pixels; the radius is 6 of 32 icon pixels.
bool on_tile(int fx, int fy, int side) {
    const double r = 0.1875 * side;
    const double x = fx + 0.5, y = fy + 0.5;
    const double cx = std::clamp(x, r, side - r);
    const double cy = std::clamp(y, r, side - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

struct Rgb {
    int r, g, b;
    auto operator<=>(const Rgb &) const = default;
};

struct Picture {
    std::array<Rgb, icon_side * icon_side> rgb{};
    std::array<bool, icon_side * icon_side> opaque{}; // top row first
};

Fine draw(int side) {
    Fine fine(side);
    const int density = std::max(1, (side + 127) / 128);
    draw_helicoid(fine, density);
    draw_axis(fine, density);
    return fine;
}

Picture render() {
    const Fine fine = draw(fine_side);
    Picture picture;
    for (int y = 0; y < icon_side; ++y)
        for (int x = 0; x < icon_side; ++x) {
            Colour sum = {0, 0, 0};
            int inside = 0;
            for (int sy = 0; sy < oversample; ++sy)
                for (int sx = 0; sx < oversample; ++sx) {
                    const int fx = x * oversample + sx, fy = y * oversample + sy;
                    if (!on_tile(fx, fy, fine_side))
                        continue;
                    const Colour &c = fine.colour[static_cast<size_t>(fy) * fine_side + fx];
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++inside;
                }
            const int i = y * icon_side + x;
            picture.opaque[i] = 2 * inside >= oversample * oversample;
            if (!picture.opaque[i])
                continue;
            auto level = [&](double v) {
                return static_cast<int>(std::lround(255.0 * v / inside));
            };
            picture.rgb[i] = {level(sum.r), level(sum.g), level(sum.b)};
        }
    return picture;
}

// The artwork at `side` pixels as RGBA, top row first. Colour is the mean of a pixel's samples on
// the tile and alpha their share, so the rounded corners come out smooth.
std::vector<unsigned char> render_rgba(int side) {
    const int sub = oversample * oversample;
    const Fine fine = draw(side * oversample);
    std::vector<unsigned char> rgba(static_cast<size_t>(side) * side * 4, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            Colour sum = {0, 0, 0};
            int inside = 0;
            for (int sy = 0; sy < oversample; ++sy)
                for (int sx = 0; sx < oversample; ++sx) {
                    const int fx = x * oversample + sx, fy = y * oversample + sy;
                    if (!on_tile(fx, fy, fine.side))
                        continue;
                    const Colour &c = fine.colour[static_cast<size_t>(fy) * fine.side + fx];
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++inside;
                }
            if (inside == 0)
                continue;
            unsigned char *p = &rgba[(static_cast<size_t>(y) * side + x) * 4];
            auto level = [](double v) {
                return static_cast<unsigned char>(std::lround(255.0 * v));
            };
            p[0] = level(sum.r / inside);
            p[1] = level(sum.g / inside);
            p[2] = level(sum.b / inside);
            p[3] = level(static_cast<double>(inside) / sub);
        }
    return rgba;
}

// ==== Palette reduction ====

int channel(const Rgb &c, int k) {
    return k == 0 ? c.r : k == 1 ? c.g : c.b;
}

// Median cut: split the box with the widest channel range at its median until there are
// `count` boxes; each palette colour is its box's mean.
std::vector<Rgb> median_cut(std::vector<Rgb> colours, size_t count) {
    std::vector<std::vector<Rgb>> boxes = {std::move(colours)};
    while (boxes.size() < count) {
        int best = -1, best_channel = 0, best_range = 0;
        for (size_t b = 0; b < boxes.size(); ++b)
            for (int k = 0; k < 3; ++k) {
                const auto [lo, hi] = std::minmax_element(
                    boxes[b].begin(), boxes[b].end(),
                    [k](const Rgb &p, const Rgb &q) { return channel(p, k) < channel(q, k); });
                const int range = channel(*hi, k) - channel(*lo, k);
                if (range > best_range) {
                    best = static_cast<int>(b);
                    best_channel = k;
                    best_range = range;
                }
            }
        if (best < 0)
            break; // every box holds one colour only
        auto &box = boxes[static_cast<size_t>(best)];
        std::sort(box.begin(), box.end(), [best_channel](const Rgb &p, const Rgb &q) {
            const int a = channel(p, best_channel), b = channel(q, best_channel);
            return a != b ? a < b : p < q;
        });
        // Split at the median, moved off a run of equal values so both halves are non-empty.
        size_t cut = box.size() / 2;
        while (cut > 0 && channel(box[cut - 1], best_channel) == channel(box[cut], best_channel))
            --cut;
        if (cut == 0)
            cut = static_cast<size_t>(std::upper_bound(box.begin(), box.end(), box[0],
                                                       [best_channel](const Rgb &p, const Rgb &q) {
                                                           return channel(p, best_channel) <
                                                                  channel(q, best_channel);
                                                       }) -
                                      box.begin());
        std::vector<Rgb> upper(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> palette;
    for (const auto &box : boxes) {
        long r = 0, g = 0, b = 0;
        for (const Rgb &c : box) {
            r += c.r;
            g += c.g;
            b += c.b;
        }
        const long n = static_cast<long>(box.size());
        palette.push_back({static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                           static_cast<int>((b + n / 2) / n)});
    }
    std::sort(palette.begin(), palette.end());
    return palette;
}

struct Indexed {
    std::vector<Rgb> palette; // 1 << bits entries; entry 0 is black, for the transparent pixels
    std::array<int, icon_side * icon_side> index{};
};

Indexed reduce(const Picture &picture, int bits) {
    std::vector<Rgb> opaque;
    for (size_t i = 0; i < picture.rgb.size(); ++i)
        if (picture.opaque[i])
            opaque.push_back(picture.rgb[i]);
    Indexed out;
    const size_t size = size_t{1} << bits;
    out.palette = {{0, 0, 0}};
    for (const Rgb &c : median_cut(opaque, size - 1))
        out.palette.push_back(c);
    out.palette.resize(size, Rgb{0, 0, 0});
    for (size_t i = 0; i < picture.rgb.size(); ++i) {
        if (!picture.opaque[i])
            continue; // index 0: black under a set mask bit leaves the screen as it is
        int best = 0;
        long best_distance = std::numeric_limits<long>::max();
        for (size_t k = 1; k < out.palette.size(); ++k) {
            const Rgb &p = out.palette[k], &c = picture.rgb[i];
            const long d = long{p.r - c.r} * (p.r - c.r) + long{p.g - c.g} * (p.g - c.g) +
                           long{p.b - c.b} * (p.b - c.b);
            if (d < best_distance) {
                best_distance = d;
                best = static_cast<int>(k);
            }
        }
        out.index[i] = best;
    }
    return out;
}

// ==== The .ico file ====

void put16(std::string &out, unsigned v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string &out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// One image as the .ico stores it: a DIB header of doubled height, the palette, the colour
// bits and the AND mask, rows bottom up, each padded to four bytes.
std::string image(const Picture &picture, const Indexed &indexed, int bits) {
    const int xor_row = ((icon_side * bits + 31) / 32) * 4;
    const int and_row = ((icon_side + 31) / 32) * 4;
    std::string out;
    put32(out, 40);
    put32(out, icon_side);
    put32(out, icon_side * 2);
    put16(out, 1);
    put16(out, static_cast<unsigned>(bits));
    put32(out, 0); // BI_RGB
    put32(out, static_cast<std::uint32_t>((xor_row + and_row) * icon_side));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (const Rgb &c : indexed.palette) {
        out += static_cast<char>(c.b);
        out += static_cast<char>(c.g);
        out += static_cast<char>(c.r);
        out += '\0';
    }
    for (int y = icon_side - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(xor_row), '\0');
        for (int x = 0; x < icon_side; ++x) {
            const int v = indexed.index[y * icon_side + x];
            if (bits == 8)
                row[x] = static_cast<char>(v);
            else
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? v << 4 : v));
        }
        out += row;
    }
    for (int y = icon_side - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(and_row), '\0');
        for (int x = 0; x < icon_side; ++x)
            if (!picture.opaque[y * icon_side + x])
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

// ==== The same artwork for Linux desktops, as an XPM (text, so no image library is needed) ====

std::string xpm(const Picture &picture, const Indexed &indexed) {
    // Two characters a pixel name up to 256 colours; "  " is the transparent one.
    auto code = [](int index) {
        const char *digits = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        return std::string{digits[index / 62 % 62], digits[index % 62]};
    };
    std::string out = "/* XPM */\n/* generated by tools/gen_icon.cpp */\n"
                      "static const char *helicoid[] = {\n";
    char line[64];
    std::snprintf(line, sizeof line, "\"%d %d %zu 2\",\n", icon_side, icon_side,
                  indexed.palette.size() + 1);
    out += line;
    out += "\"   c None\",\n";
    for (size_t k = 0; k < indexed.palette.size(); ++k) {
        const Rgb &c = indexed.palette[k];
        std::snprintf(line, sizeof line, "\"%s c #%02X%02X%02X\",\n",
                      code(static_cast<int>(k)).c_str(), c.r, c.g, c.b);
        out += line;
    }
    for (int y = 0; y < icon_side; ++y) {
        out += '"';
        for (int x = 0; x < icon_side; ++x) {
            const int i = y * icon_side + x;
            out += picture.opaque[i] ? code(indexed.index[i]) : std::string("  ");
        }
        out += y + 1 < icon_side ? "\",\n" : "\"\n";
    }
    return out + "};\n";
}

} // namespace

int main(int argc, char **argv) {
    const Tool tool{"helicoid-gen-icon",
                    {"OUTPUT.ico [OUTPUT.xpm]", "--png SIDE OUTPUT.png"},
                    "Draws the program's icon: an .ico (32x32, 16 and 256 colours) and its XPM, "
                    "or one PNG.",
                    {{"--png", "SIDE", "a PNG of SIDE by SIDE pixels, 8 to 1024, in true colour"}}};
    CommandLine line;
    if (const auto answered = read_command_line(tool, argc, argv, &line))
        return *answered;
    const std::vector<std::string> &files = line.operands;
    std::string error;
    if (!line.options.empty()) {
        const std::string &text = line.options.back().second;
        char *end = nullptr;
        const long side = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || side < 8 || side > 1024)
            return tool_error(
                tool, "SIDE must be a whole number from 8 to 1024, not '" + text + "'", exit_usage);
        if (files.size() != 1)
            return tool_error(tool, "--png SIDE needs one OUTPUT.png; see --help", exit_usage);
        const int n = static_cast<int>(side);
        if (!write_rgba_png(files[0].c_str(), n, render_rgba(n), &error))
            return tool_error(tool, error, exit_failure);
        return 0;
    }
    if (files.size() != 1 && files.size() != 2)
        return tool_error(
            tool, "needs OUTPUT.ico [OUTPUT.xpm] or --png SIDE OUTPUT.png; see --help", exit_usage);
    const Picture picture = render();
    const int depths[] = {4, 8};
    std::vector<std::string> images;
    for (const int bits : depths)
        images.push_back(image(picture, reduce(picture, bits), bits));

    std::string file;
    put16(file, 0);
    put16(file, 1); // an icon
    put16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file += static_cast<char>(icon_side);
        file += static_cast<char>(icon_side);
        file += static_cast<char>(depths[i] == 4 ? 16 : 0); // colour count; 0 means 256 or more
        file += '\0';
        put16(file, 1);
        put16(file, static_cast<unsigned>(depths[i]));
        put32(file, static_cast<std::uint32_t>(images[i].size()));
        put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string &data : images)
        file += data;

    if (!write_output_file(files[0], file, &error) ||
        (files.size() == 2 &&
         !write_output_file(files[1], xpm(picture, reduce(picture, 8)), &error)))
        return tool_error(tool, error, exit_failure);
    return 0;
}
