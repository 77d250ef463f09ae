// The drawing buffer behind the canvas: a framebuffer of the depth the program asks for, and
// the sizes the context really has.
mergeInto(LibraryManager.library, {
  web_gl_integer__deps: ['$GL'],
  web_gl_integer: function (name) {
    return GL.currentContext ? GL.currentContext.GLctx.getParameter(name) : 0;
  },

  // The canvas's own depth buffer is as deep as the browser likes (24 bits), but the depth the
  // program asks for decides which copy of a doubled triangle wins. With WebGL 2, drawing goes to
  // a framebuffer with exactly that depth, and SwapBuffers blits its colour to the canvas. The
  // OpenGL 1.1 subset never binds framebuffers, so this binding stays in force.
  web_make_framebuffer__deps: ['$GL', '$WebLayer', 'web_size_framebuffer'],
  web_make_framebuffer: function (depth_bits, stencil_bits, width, height) {
    var gl = GL.currentContext && GL.currentContext.GLctx;
    if (!gl || typeof WebGL2RenderingContext == 'undefined' || !(gl instanceof WebGL2RenderingContext))
      return 0;
    var depth = stencil_bits ? gl.DEPTH24_STENCIL8 : depth_bits > 24 ? gl.DEPTH_COMPONENT32F :
      depth_bits > 16 ? gl.DEPTH_COMPONENT24 : depth_bits ? gl.DEPTH_COMPONENT16 : 0;
    var made = { framebuffer: gl.createFramebuffer(), colour: gl.createRenderbuffer(),
      depth: depth ? gl.createRenderbuffer() : null, depthFormat: depth };
    gl.bindFramebuffer(gl.FRAMEBUFFER, made.framebuffer);
    gl.bindRenderbuffer(gl.RENDERBUFFER, made.colour);
    gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.RENDERBUFFER, made.colour);
    if (depth) {
      gl.bindRenderbuffer(gl.RENDERBUFFER, made.depth);
      gl.framebufferRenderbuffer(gl.FRAMEBUFFER, stencil_bits ? gl.DEPTH_STENCIL_ATTACHMENT :
        gl.DEPTH_ATTACHMENT, gl.RENDERBUFFER, made.depth);
    }
    WebLayer.framebuffer = made;
    WebLayer.gl = gl;
    _web_size_framebuffer(width, height);
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) != gl.FRAMEBUFFER_COMPLETE) {
      gl.bindFramebuffer(gl.FRAMEBUFFER, null);
      WebLayer.framebuffer = null;
      return 0;
    }
    // A new framebuffer's viewport is not set for it: OpenGL starts with the whole drawable.
    gl.viewport(0, 0, width, height);
    return 1;
  },

  web_size_framebuffer__deps: ['$WebLayer'],
  web_size_framebuffer: function (width, height) {
    var made = WebLayer.framebuffer, gl = WebLayer.gl;
    if (!made) return;
    gl.bindRenderbuffer(gl.RENDERBUFFER, made.colour);
    gl.renderbufferStorage(gl.RENDERBUFFER, gl.RGBA8, width, height);
    if (made.depth) {
      gl.bindRenderbuffer(gl.RENDERBUFFER, made.depth);
      gl.renderbufferStorage(gl.RENDERBUFFER, made.depthFormat, width, height);
    }
    gl.bindRenderbuffer(gl.RENDERBUFFER, null);
    made.width = width;
    made.height = height;
  },

  web_present__deps: ['$WebLayer'],
  web_present: function () {
    var made = WebLayer.framebuffer, gl = WebLayer.gl;
    if (!made || gl.isContextLost()) return;
    var scissor = gl.isEnabled(gl.SCISSOR_TEST);
    if (scissor) gl.disable(gl.SCISSOR_TEST);
    gl.bindFramebuffer(gl.DRAW_FRAMEBUFFER, null);
    gl.blitFramebuffer(0, 0, made.width, made.height, 0, 0, made.width, made.height,
      gl.COLOR_BUFFER_BIT, gl.NEAREST);
    gl.bindFramebuffer(gl.FRAMEBUFFER, made.framebuffer);
    if (scissor) gl.enable(gl.SCISSOR_TEST);
  },

  web_forget_framebuffer__deps: ['$WebLayer'],
  web_forget_framebuffer: function () {
    WebLayer.framebuffer = null;
    WebLayer.gl = null;
  },
});
