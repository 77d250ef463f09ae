// The page's side of the Win32 subset, shared part: waiting through Asyncify, frames and time,
// the viewport, and the status the page and its tests read. Linked with --js-library, as are
// canvas.js, message_box.js and framebuffer.js beside it.
mergeInto(LibraryManager.library, {
  $WebLayer: {
    waker: null,
    screen: null, // what the canvas and its keys stand on, scaled where the viewport is short
    canvas: null,
    keys: null, // the on-screen keys' row, on a touch screen
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

  // The page's status line says so while the browser has taken the WebGL context away.
  web_show_lost: function (lost) {
    var line = document.getElementById('status');
    var text = 'The picture is lost for the moment: the browser took WebGL away. It comes back ' +
      'when the browser gives WebGL back.';
    if (lost) line.textContent = text;
    else if (line.textContent === text) line.textContent = '';
  },

  web_viewport: function (height) {
    return height ? window.innerHeight : window.innerWidth;
  },

  web_now_ms: function () {
    return performance.now();
  },
});
