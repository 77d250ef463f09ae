// The drawing buffer behind the canvas: its size within what the context can draw, a framebuffer
// of the depth the program asks for, and the sizes the context really has.
mergeInto(LibraryManager.library, {
  web_gl_integer__deps: ['$GL'],
  web_gl_integer: function (name) {
    return GL.currentContext ? GL.currentContext.GLctx.getParameter(name) : 0;
  },

  // The backing store asked for, within the largest renderbuffer and viewport: beyond them the
  // framebuffer would not be complete. The canvas keeps its CSS size, so the browser scales the
  // picture. Before there is a context, as asked.
  web_fit_canvas__deps: ['$GL', '$WebLayer', 'web_size_framebuffer'],
  web_fit_canvas: function (width, height) {
    var gl = GL.currentContext && GL.currentContext.GLctx;
    if (gl && !gl.isContextLost()) {
      var largest = gl.getParameter(gl.MAX_RENDERBUFFER_SIZE);
      var viewport = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
      var scale = Math.min(1, largest / width, largest / height, viewport[0] / width,
        viewport[1] / height);
      width = Math.max(1, Math.floor(width * scale));
      height = Math.max(1, Math.floor(height * scale));
    }
    WebLayer.canvas.width = width;
    WebLayer.canvas.height = height;
    _web_size_framebuffer();
  },

  // The canvas's own depth buffer is as deep as the browser likes (24 bits), but the depth the
  // program asks for decides which copy of a doubled triangle wins. With WebGL 2, drawing goes to
  // a framebuffer with exactly that depth, and SwapBuffers blits its colour to the canvas. The
  // OpenGL 1.1 subset never binds framebuffers, so this binding stays in force. It is as large as
  // the drawing buffer the browser really gave, which may be less than the canvas asked for.
  web_make_framebuffer__deps: ['$GL', '$WebLayer', 'web_size_framebuffer'],
  web_make_framebuffer: function (depth_bits, stencil_bits) {
    var gl = GL.currentContext && GL.currentContext.GLctx;
    if (!gl || typeof WebGL2RenderingContext == 'undefined' || !(gl instanceof WebGL2RenderingContext))
      return 0;
    var depth = stencil_bits ? gl.DEPTH24_STENCIL8 : depth_bits > 24 ? gl.DEPTH_COMPONENT32F :
      depth_bits > 16 ? gl.DEPTH_COMPONENT24 : depth_bits ? gl.DEPTH_COMPONENT16 : 0;
    var made = { framebuffer: gl.createFramebuffer(), colour: gl.createRenderbuffer(),
      depth: depth ? gl.createRenderbuffer() : null, depthFormat: depth, depthBits: depth_bits,
      stencilBits: stencil_bits };
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
    _web_size_framebuffer();
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) != gl.FRAMEBUFFER_COMPLETE) {
      gl.bindFramebuffer(gl.FRAMEBUFFER, null);
      WebLayer.framebuffer = null;
      return 0;
    }
    // A new framebuffer's viewport is not set for it: OpenGL starts with the whole drawable.
    gl.viewport(0, 0, made.width, made.height);
    return 1;
  },

  // A context that comes back has lost its framebuffer: the same one is made again.
  web_remake_framebuffer__deps: ['$WebLayer', 'web_make_framebuffer'],
  web_remake_framebuffer: function () {
    var made = WebLayer.framebuffer;
    return made ? _web_make_framebuffer(made.depthBits, made.stencilBits) : 1;
  },

  web_size_framebuffer__deps: ['$WebLayer'],
  web_size_framebuffer: function () {
    var made = WebLayer.framebuffer, gl = WebLayer.gl;
    if (!made) return;
    var width = gl.drawingBufferWidth, height = gl.drawingBufferHeight;
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
