// The one 2D texture: environment, parameters and image. ES wants the image in its internal
// format, so the RGBA image for an RGB texture loses its alpha here rather than in the driver.
// Parameters and image are kept, for a context that is lost and comes back.
#include "platform/gles/state.h"

using namespace gl_subset;

void gl_subset::upload_texture(const Context &c) {
    // Rows of three-byte texels are not 4-aligned when a side is 1 or 2.
    c.es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    c.es.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB, c.texture_width, c.texture_height, 0, GL_RGB,
                    GL_UNSIGNED_BYTE, c.texture_pixels.data());
}

extern "C" {

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
    Context *c = ready("glTexEnvi");
    if (c == nullptr)
        return;
    if (target != GL_TEXTURE_ENV || pname != GL_TEXTURE_ENV_MODE ||
        (param != GL_MODULATE && param != GL_REPLACE)) {
        report("glTexEnvi", "pname or mode", pname == GL_TEXTURE_ENV_MODE ? param : pname);
        return;
    }
    c->texture_replace = param == GL_REPLACE;
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Context *c = ready("glTexParameteri");
    if (c == nullptr)
        return;
    const bool filter = pname == GL_TEXTURE_MIN_FILTER || pname == GL_TEXTURE_MAG_FILTER;
    const bool wrap = pname == GL_TEXTURE_WRAP_S || pname == GL_TEXTURE_WRAP_T;
    if (target != GL_TEXTURE_2D ||
        !((filter && param == GL_NEAREST) || (wrap && param == GL_REPEAT))) {
        report("glTexParameteri", "pname or value", filter || wrap ? param : pname);
        return;
    }
    c->texture_parameters[pname] = param;
    c->es.TexParameteri(target, pname, param);
}

void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid *pixels) {
    Context *c = ready("glTexImage2D");
    if (c == nullptr)
        return;
    // OpenGL 1.1 refuses sides that are not powers of two; ES would take them and then sample
    // black under GL_REPEAT.
    const auto power_of_two = [](GLsizei side) { return side > 0 && (side & (side - 1)) == 0; };
    if (target != GL_TEXTURE_2D || level != 0 || internal_format != GL_RGB || border != 0 ||
        format != GL_RGBA || type != GL_UNSIGNED_BYTE || !power_of_two(width) ||
        !power_of_two(height) || pixels == nullptr) {
        report("glTexImage2D", "an image other than level 0 of GL_RGB from RGBA bytes, sides "
                               "powers of two");
        return;
    }
    const auto *source = static_cast<const unsigned char *>(pixels);
    c->texture_width = width;
    c->texture_height = height;
    c->texture_pixels.resize(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            c->texture_pixels[i * 3 + k] = source[i * 4 + k];
    upload_texture(*c);
}

} // extern "C"
