// The page's side of the Win32 subset: waiting through Asyncify, the canvas and its pointer
// events, pointer capture, and the modal message box. Linked with --js-library.
mergeInto(LibraryManager.library, {
  $WebLayer: {
    waker: null,
    canvas: null,
    pointer: null, // the id of the pressed pointer, for capture
    // Rewinding must start from JavaScript with no compiled code on the stack, and the program's
    // exit() unwinds it by throwing ExitStatus, which ends it and is no error.
    resume: function (wakeUp) {
      try {
        wakeUp();
      } catch (e) {
        if (!(e instanceof ExitStatus) && e !== 'unwind') throw e;
      }
    },
    status: function () {
      if (!window.helicoidStatus) window.helicoidStatus = { frames: 0, firstFrameMs: null, exitCode: null };
      return window.helicoidStatus;
    },
  },

  web_wait__deps: ['$WebLayer'],
  web_wait: function (timeout_ms) {
    return Asyncify.handleSleep(function (wakeUp) {
      var done = false;
      var timer = 0;
      var finish = function () {
        if (done) return;
        done = true;
        clearTimeout(timer);
        WebLayer.waker = null;
        WebLayer.resume(wakeUp);
      };
      if (timeout_ms >= 0) timer = setTimeout(finish, timeout_ms);
      WebLayer.waker = finish;
    });
  },

  web_wake__deps: ['$WebLayer'],
  web_wake: function () {
    var waker = WebLayer.waker;
    if (waker) Promise.resolve().then(waker);
  },

  web_next_frame__deps: ['$WebLayer'],
  web_next_frame: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      requestAnimationFrame(function () {
        WebLayer.resume(wakeUp);
      });
    });
  },

  web_frame_presented__deps: ['$WebLayer'],
  web_frame_presented: function () {
    var status = WebLayer.status();
    if (status.firstFrameMs === null) status.firstFrameMs = performance.now();
    status.frames++;
  },

  web_message_box__deps: ['$WebLayer'],
  web_message_box: function (text, caption, error) {
    text = UTF8ToString(text);
    caption = UTF8ToString(caption);
    return Asyncify.handleSleep(function (wakeUp) {
      var box = document.createElement('dialog');
      box.className = error ? 'message-box error' : 'message-box';
      var title = document.createElement('div');
      title.className = 'caption';
      title.textContent = caption;
      var body = document.createElement('p');
      body.className = 'text';
      body.textContent = text;
      var ok = document.createElement('button');
      ok.textContent = 'OK';
      ok.autofocus = true;
      box.append(title, body, ok);
      var dismissed = false;
      var dismiss = function (event) {
        if (event) event.preventDefault();
        if (dismissed) return;
        dismissed = true;
        box.close();
        box.remove();
        WebLayer.status().boxDismissedMs = performance.now();
        setTimeout(function () {
          WebLayer.resume(wakeUp);
        }, 0);
      };
      ok.addEventListener('click', function () { dismiss(); });
      // Escape answers an OK box with IDOK on Windows too.
      box.addEventListener('cancel', dismiss);
      document.body.append(box);
      box.showModal();
      WebLayer.status().boxShownMs = performance.now();
      ok.focus();
    });
  },

  web_create_canvas__deps: ['$WebLayer'],
  web_create_canvas: function (id, x, y, pointer) {
    var canvas = document.createElement('canvas');
    canvas.id = UTF8ToString(id);
    canvas.style.position = 'absolute';
    canvas.style.left = x + 'px';
    canvas.style.top = y + 'px';
    canvas.style.visibility = 'hidden';
    // Drags turn the model; they must not scroll or zoom the page on touch screens.
    canvas.style.touchAction = 'none';
    canvas.tabIndex = -1;
    var send = function (message, event) {
      var rect = canvas.getBoundingClientRect();
      {{{ makeDynCall('viiii', 'pointer') }}}(message, Math.floor(event.clientX - rect.left),
        Math.floor(event.clientY - rect.top), event.buttons | (event.shiftKey ? 0x100 : 0) |
        (event.ctrlKey ? 0x200 : 0));
    };
    canvas.addEventListener('pointerdown', function (event) {
      if (event.button !== 0) return;
      WebLayer.pointer = event.pointerId;
      event.preventDefault();
      send(0x0201, event);
    });
    canvas.addEventListener('pointermove', function (event) { send(0x0200, event); });
    canvas.addEventListener('pointerup', function (event) {
      if (event.button !== 0) return;
      send(0x0202, event);
      WebLayer.pointer = null;
    });
    canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });
    document.body.append(canvas);
    WebLayer.canvas = canvas;
  },

  web_show_canvas__deps: ['$WebLayer'],
  web_show_canvas: function (shown) {
    WebLayer.canvas.style.visibility = shown ? 'visible' : 'hidden';
  },

  web_remove_canvas__deps: ['$WebLayer'],
  web_remove_canvas: function () {
    if (WebLayer.canvas) WebLayer.canvas.remove();
    WebLayer.canvas = null;
    WebLayer.pointer = null;
  },

  // Capture needs a pressed pointer; without one the browser has nothing to capture.
  web_set_capture__deps: ['$WebLayer'],
  web_set_capture: function (capture) {
    var canvas = WebLayer.canvas;
    if (!canvas || WebLayer.pointer === null) return 0;
    try {
      if (capture) canvas.setPointerCapture(WebLayer.pointer);
      else canvas.releasePointerCapture(WebLayer.pointer);
    } catch (e) {
      return 0; // the pointer was released meanwhile
    }
    return 1;
  },

  web_viewport: function (height) {
    return height ? window.innerHeight : window.innerWidth;
  },

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

  web_now_ms: function () {
    return performance.now();
  },
});
