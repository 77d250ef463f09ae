// The one 2D texture: environment, parameters and image. ES wants the image in its internal
// format, so an RGBA image for an RGB texture loses its alpha here rather than in the driver.
// Parameters and image are kept, for a context that is lost and comes back.
#include "platform/gles/state.h"

#include <vector>

using namespace gl_subset;

void gl_subset::upload_texture(const Context &c) {
    c.es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    c.es.TexImage2D(GL_TEXTURE_2D, 0, c.texture_format, c.texture_width, c.texture_height, 0,
                    static_cast<GLenum>(c.texture_format), GL_UNSIGNED_BYTE,
                    c.texture_pixels.data());
    c.es.PixelStorei(GL_UNPACK_ALIGNMENT, c.unpack_alignment);
}

extern "C" {

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
    Context *c = ready("glTexEnvi");
    if (c == nullptr)
        return;
    if (target != GL_TEXTURE_ENV || pname != GL_TEXTURE_ENV_MODE) {
        report("glTexEnvi", "target or pname", target == GL_TEXTURE_ENV ? pname : target);
        return;
    }
    if (param != GL_MODULATE && param != GL_REPLACE) {
        report("glTexEnvi", "GL_TEXTURE_ENV_MODE", static_cast<unsigned>(param));
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
    if (target != GL_TEXTURE_2D || (!filter && !wrap)) {
        report("glTexParameteri", "target or pname", target == GL_TEXTURE_2D ? pname : target);
        return;
    }
    // GL_CLAMP and the mipmap filters have no counterpart for an image without levels in ES.
    if ((filter && param != GL_NEAREST && param != GL_LINEAR) || (wrap && param != GL_REPEAT)) {
        report("glTexParameteri", "value", static_cast<unsigned>(param));
        return;
    }
    if (pname == GL_TEXTURE_MIN_FILTER)
        c->texture_min_level0 = true;
    c->texture_parameters[pname] = param;
    c->es.TexParameteri(target, pname, param);
}

void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid *pixels) {
    Context *c = ready("glTexImage2D");
    if (c == nullptr)
        return;
    const bool rgb = internal_format == GL_RGB || internal_format == 3;
    const bool rgba = internal_format == GL_RGBA || internal_format == 4;
    if (target != GL_TEXTURE_2D || level != 0 || border != 0 || type != GL_UNSIGNED_BYTE ||
        format != GL_RGBA || !(rgb || rgba) || width <= 0 || height <= 0 || pixels == nullptr) {
        report("glTexImage2D", "an image other than a level-0 RGBA byte image for GL_RGB(A)");
        return;
    }
    // OpenGL 1.1 refuses other sizes; ES would take them and then sample black under GL_REPEAT.
    if ((width & (width - 1)) != 0 || (height & (height - 1)) != 0) {
        report("glTexImage2D", "a side that is not a power of two");
        return;
    }
    const auto *source = static_cast<const unsigned char *>(pixels);
    const std::size_t count = static_cast<std::size_t>(width) * height;
    const int channels = rgba ? 4 : 3;
    c->texture_format = rgba ? GL_RGBA : GL_RGB;
    c->texture_width = width;
    c->texture_height = height;
    c->texture_pixels.resize(count * channels);
    for (std::size_t i = 0; i < count; ++i)
        for (int k = 0; k < channels; ++k)
            c->texture_pixels[i * channels + k] = source[i * 4 + k];
    c->texture_image = true;
    upload_texture(*c);
}

} // extern "C"
