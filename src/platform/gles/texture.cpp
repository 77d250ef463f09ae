// The one 2D texture: environment, parameters and image. ES wants the image in its internal
// format, so an RGBA image for an RGB texture loses its alpha here rather than in the driver.
#include "platform/gles/state.h"

#include <vector>

using namespace gl_subset;

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
    c->texture_image = true;
    if (rgba) {
        c->es.TexImage2D(target, 0, GL_RGBA, width, height, 0, GL_RGBA, type, source);
        return;
    }
    std::vector<unsigned char> packed(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            packed[i * 3 + k] = source[i * 4 + k];
    c->es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    c->es.TexImage2D(target, 0, GL_RGB, width, height, 0, GL_RGB, type, packed.data());
    c->es.PixelStorei(GL_UNPACK_ALIGNMENT, c->unpack_alignment);
}

} // extern "C"
