// The generated program, in GLSL ES 1.00 so that WebGL 1 takes it unchanged.
#include "platform/gles/program.h"

#include <cstdio>

namespace gl_subset {

namespace {

// Lighting as OpenGL 1.1 defines it for directional lights and an infinite viewer: per light,
// ambient + (n.L) diffuse + (n.H)^shininess specular, the specular term only where n.L > 0 (as
// fixed-function hardware does it), summed onto emission + ambient x light model ambient and
// clamped. The back colour uses the reversed normal; the light and material products come
// premultiplied.
const char *const vertex_source = R"(
attribute vec3 a_position;
attribute vec3 a_normal;
attribute float a_facing;
uniform mat4 u_mvp;
uniform vec4 u_eye_z;
uniform mat3 u_normal_matrix;
uniform bool u_lighting;
uniform bool u_two_side;
uniform int u_light_count;
uniform vec3 u_light_direction[8];
uniform vec3 u_light_half[8];
uniform vec3 u_front_ambient[8];
uniform vec3 u_front_diffuse[8];
uniform vec3 u_front_specular[8];
uniform vec3 u_back_ambient[8];
uniform vec3 u_back_diffuse[8];
uniform vec3 u_back_specular[8];
uniform vec4 u_front_scene;
uniform vec4 u_back_scene;
uniform float u_front_shininess;
uniform float u_back_shininess;
uniform vec4 u_colour;
varying vec4 v_front;
varying vec4 v_back;
varying float v_fog_distance;
varying float v_facing;

void main() {
    vec4 position = vec4(a_position, 1.0);
    gl_Position = u_mvp * position;
    v_fog_distance = abs(dot(u_eye_z, position));
    v_facing = a_facing;
    if (!u_lighting) {
        v_front = u_colour;
        v_back = u_colour;
        return;
    }
    vec3 n = u_normal_matrix * a_normal;
    vec3 front = u_front_scene.rgb;
    vec3 back = u_back_scene.rgb;
    for (int i = 0; i < 8; ++i) {
        if (i >= u_light_count)
            break;
        float nl = dot(n, u_light_direction[i]);
        float nh = dot(n, u_light_half[i]);
        front += u_front_ambient[i];
        back += u_back_ambient[i];
        if (nl > 0.0) {
            front += nl * u_front_diffuse[i] +
                     pow(max(nh, 0.0), u_front_shininess) * u_front_specular[i];
        } else if (nl < 0.0) {
            back += -nl * u_back_diffuse[i] +
                    pow(max(-nh, 0.0), u_back_shininess) * u_back_specular[i];
        }
    }
    v_front = vec4(clamp(front, 0.0, 1.0), u_front_scene.a);
    v_back = u_two_side ? vec4(clamp(back, 0.0, 1.0), u_back_scene.a) : v_front;
}
)";

// Lines drawn for polygon edges carry their polygon's facing; ES says lines always face front.
const char *const fragment_source = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform bool u_lines;
uniform bool u_texture;
uniform bool u_texture_replace;
uniform sampler2D u_sampler;
uniform int u_fog_mode;
uniform vec3 u_fog_parameters;
uniform vec3 u_fog_colour;
varying vec4 v_front;
varying vec4 v_back;
varying float v_fog_distance;
varying float v_facing;

void main() {
    bool front = u_lines ? v_facing > 0.5 : gl_FrontFacing;
    vec4 colour = front ? v_front : v_back;
    if (u_texture) {
        // No texture coordinate is ever sent: the current one is OpenGL's initial (0, 0).
        vec3 texel = texture2D(u_sampler, vec2(0.0, 0.0)).rgb;
        colour.rgb = u_texture_replace ? texel : colour.rgb * texel;
    }
    if (u_fog_mode != 0) {
        float c = v_fog_distance;
        float f;
        if (u_fog_mode == 1)
            f = u_fog_parameters.x * c + u_fog_parameters.y;
        else if (u_fog_mode == 2)
            f = exp2(-u_fog_parameters.z * c);
        else
            f = exp2(-(u_fog_parameters.z * c) * (u_fog_parameters.z * c));
        colour.rgb = mix(u_fog_colour, colour.rgb, clamp(f, 0.0, 1.0));
    }
    gl_FragColor = colour;
}
)";

GLuint compile(const Es2 &es, GLenum kind, const char *source) {
    const GLuint shader = es.CreateShader(kind);
    es.ShaderSource(shader, 1, &source, nullptr);
    es.CompileShader(shader);
    GLint ok = 0;
    es.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        es.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "helicoid: gl subset: the %s shader does not compile: %s\n",
                     kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
        es.DeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

bool build_program(Context &context) {
    const Es2 &es = context.es;
    const GLuint vertex = compile(es, GL_VERTEX_SHADER, vertex_source);
    const GLuint fragment = compile(es, GL_FRAGMENT_SHADER, fragment_source);
    if (vertex == 0 || fragment == 0)
        return false;
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
        std::fprintf(stderr, "helicoid: gl subset: the program does not link: %s\n", log);
        return false;
    }
    context.program = program;
    ProgramLocations &at = context.at;
    auto find = [&](const char *name) { return es.GetUniformLocation(program, name); };
    at.mvp = find("u_mvp");
    at.eye_z = find("u_eye_z");
    at.normal_matrix = find("u_normal_matrix");
    at.lighting = find("u_lighting");
    at.two_side = find("u_two_side");
    at.light_count = find("u_light_count");
    at.light_direction = find("u_light_direction");
    at.light_half = find("u_light_half");
    at.ambient[0] = find("u_front_ambient");
    at.diffuse[0] = find("u_front_diffuse");
    at.specular[0] = find("u_front_specular");
    at.ambient[1] = find("u_back_ambient");
    at.diffuse[1] = find("u_back_diffuse");
    at.specular[1] = find("u_back_specular");
    at.scene[0] = find("u_front_scene");
    at.scene[1] = find("u_back_scene");
    at.shininess[0] = find("u_front_shininess");
    at.shininess[1] = find("u_back_shininess");
    at.colour = find("u_colour");
    at.lines = find("u_lines");
    at.texture = find("u_texture");
    at.texture_replace = find("u_texture_replace");
    at.sampler = find("u_sampler");
    at.fog_mode = find("u_fog_mode");
    at.fog_parameters = find("u_fog_parameters");
    at.fog_colour = find("u_fog_colour");
    es.UseProgram(program);
    es.Uniform1i(at.sampler, 0);
    return true;
}

} // namespace gl_subset
