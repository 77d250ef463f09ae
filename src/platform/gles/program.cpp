// The generated programs, in GLSL ES 1.00 so that WebGL 1 takes them unchanged. The state that
// shapes a program arrives as #defines in front of the one source.
#include "platform/gles/program.h"

#include <cstdio>
#include <string>
#include <vector>

namespace gl_subset {

namespace {

// What the vertex stage hands the fragment stage; both stages declare it.
const char *const varyings = R"(
varying vec4 v_front;
varying float v_fog_distance;
#if LIGHTING
varying vec4 v_back;
#endif
#if LINES
varying float v_facing;
#endif
)";

// Lighting as OpenGL 1.1 defines it for directional lights, an infinite viewer and two sides:
// per light, ambient + (n.L) diffuse + (n.H)^shininess specular, the specular term only where
// n.L > 0 (as fixed-function implementations do it), summed onto ambient x light model ambient
// and clamped. The back colour uses the reversed normal. Light and material products come
// premultiplied.
const char *const vertex_source = R"(
attribute vec3 a_position;
attribute vec3 a_normal;
attribute float a_facing;
uniform mat4 u_mvp;
uniform vec4 u_eye_z;
#if !LIGHTING
uniform vec4 u_colour;
#else
uniform mat3 u_normal_matrix;
uniform vec4 u_front_scene;
uniform float u_front_shininess;
uniform vec4 u_back_scene;
uniform float u_back_shininess;
uniform vec3 u_light_direction[LIGHTS];
uniform vec3 u_light_half[LIGHTS];
uniform vec3 u_front_ambient[LIGHTS];
uniform vec3 u_front_diffuse[LIGHTS];
uniform vec3 u_front_specular[LIGHTS];
uniform vec3 u_back_ambient[LIGHTS];
uniform vec3 u_back_diffuse[LIGHTS];
uniform vec3 u_back_specular[LIGHTS];
#endif

void main() {
    vec4 position = vec4(a_position, 1.0);
    gl_Position = u_mvp * position;
    v_fog_distance = abs(dot(u_eye_z, position));
#if LINES
    v_facing = a_facing;
#endif
#if !LIGHTING
    v_front = u_colour;
#else
    vec3 n = u_normal_matrix * a_normal;
    vec3 front = u_front_scene.rgb;
    vec3 back = u_back_scene.rgb;
    for (int i = 0; i < LIGHTS; ++i) {
        float nl = dot(n, u_light_direction[i]);
        float nh = dot(n, u_light_half[i]);
        float lit = nl > 0.0 ? 1.0 : 0.0;
        front += u_front_ambient[i] + max(nl, 0.0) * u_front_diffuse[i] +
                 lit * pow(max(nh, 0.0), u_front_shininess) * u_front_specular[i];
        float unlit = nl < 0.0 ? 1.0 : 0.0;
        back += u_back_ambient[i] + max(-nl, 0.0) * u_back_diffuse[i] +
                unlit * pow(max(-nh, 0.0), u_back_shininess) * u_back_specular[i];
    }
    v_front = vec4(clamp(front, 0.0, 1.0), u_front_scene.a);
    v_back = vec4(clamp(back, 0.0, 1.0), u_back_scene.a);
#endif
}
)";

// A fragment shader has no default float precision, which its varyings need.
const char *const fragment_precision = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
)";

// Lines drawn for polygon edges carry their polygon's facing; ES says lines always face front.
// Unlit, both faces take the current colour.
const char *const fragment_source = R"(
#if TEXTURE
uniform sampler2D u_sampler;
#endif
#if FOG
uniform float u_fog_scale;
uniform vec3 u_fog_colour;
#endif

void main() {
#if LIGHTING && LINES
    vec4 colour = v_facing > 0.5 ? v_front : v_back;
#elif LIGHTING
    vec4 colour = gl_FrontFacing ? v_front : v_back;
#else
    vec4 colour = v_front;
#endif
#if TEXTURE
    // No texture coordinate is ever sent: the current one is OpenGL's initial (0, 0).
    vec3 texel = texture2D(u_sampler, vec2(0.0, 0.0)).rgb;
#if TEXTURE == 2
    colour.rgb = texel;
#else
    colour.rgb *= texel;
#endif
#endif
#if FOG
    // GL_EXP2: exp(-(density z)^2), as exp2 of the scaled depth squared.
    float scaled = u_fog_scale * v_fog_distance;
    colour.rgb = mix(u_fog_colour, colour.rgb, clamp(exp2(-scaled * scaled), 0.0, 1.0));
#endif
    gl_FragColor = colour;
}
)";

GLuint compile(const Es2 &es, GLenum kind, std::vector<const GLchar *> parts) {
    const GLuint shader = es.CreateShader(kind);
    es.ShaderSource(shader, static_cast<GLsizei>(parts.size()), parts.data(), nullptr);
    es.CompileShader(shader);
    GLint ok = 0;
    es.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        es.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "helicoid: gl subset: a %s shader does not compile: %s\n",
                     kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
        es.DeleteShader(shader);
        return 0;
    }
    return shader;
}

Program build(const Es2 &es, const ProgramKey &key) {
    const std::string defines = "#define LIGHTING " + std::to_string(key.lighting ? 1 : 0) +
                                "\n#define LIGHTS " + std::to_string(key.lights) +
                                "\n#define LINES " + std::to_string(key.lines ? 1 : 0) +
                                "\n#define TEXTURE " + std::to_string(key.texture) +
                                "\n#define FOG " + std::to_string(key.fog ? 1 : 0) + "\n";
    Program p;
    const GLuint vertex = compile(es, GL_VERTEX_SHADER, {defines.c_str(), varyings, vertex_source});
    const GLuint fragment = compile(
        es, GL_FRAGMENT_SHADER, {defines.c_str(), fragment_precision, varyings, fragment_source});
    if (vertex == 0 || fragment == 0)
        return p;
    const GLuint program = es.CreateProgram();
    es.AttachShader(program, vertex);
    es.AttachShader(program, fragment);
    es.BindAttribLocation(program, position_slot, "a_position");
    es.BindAttribLocation(program, normal_slot, "a_normal");
    es.BindAttribLocation(program, facing_slot, "a_facing");
    es.LinkProgram(program);
    es.DeleteShader(vertex);
    es.DeleteShader(fragment);
    GLint ok = 0;
    es.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        es.GetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "helicoid: gl subset: a program does not link: %s\n", log);
        return p;
    }
    p.id = program;
    auto find = [&](const char *name) { return es.GetUniformLocation(program, name); };
    p.mvp = find("u_mvp");
    p.eye_z = find("u_eye_z");
    p.normal_matrix = find("u_normal_matrix");
    p.light_direction = find("u_light_direction");
    p.light_half = find("u_light_half");
    p.ambient[0] = find("u_front_ambient");
    p.diffuse[0] = find("u_front_diffuse");
    p.specular[0] = find("u_front_specular");
    p.ambient[1] = find("u_back_ambient");
    p.diffuse[1] = find("u_back_diffuse");
    p.specular[1] = find("u_back_specular");
    p.scene[0] = find("u_front_scene");
    p.scene[1] = find("u_back_scene");
    p.shininess[0] = find("u_front_shininess");
    p.shininess[1] = find("u_back_shininess");
    p.colour = find("u_colour");
    p.sampler = find("u_sampler");
    p.fog_scale = find("u_fog_scale");
    p.fog_colour = find("u_fog_colour");
    es.UseProgram(program);
    es.Uniform1i(p.sampler, 0);
    return p;
}

} // namespace

unsigned ProgramKey::code() const {
    return (lighting ? 1u : 0u) | static_cast<unsigned>(lights) << 1 | (lines ? 1u : 0u) << 4 |
           static_cast<unsigned>(texture) << 5 | (fog ? 1u : 0u) << 7;
}

const Program *program_for(Context &context, const ProgramKey &key) {
    auto found = context.programs.find(key.code());
    if (found == context.programs.end())
        found = context.programs.emplace(key.code(), build(context.es, key)).first;
    return found->second.id != 0 ? &found->second : nullptr;
}

} // namespace gl_subset
