// The canvas that is the window: its element, its pointer events, pointer capture, the on-screen
// keys of a touch screen, and where they stand when the viewport changes.
mergeInto(LibraryManager.library, {
  web_create_canvas__deps: ['$WebLayer', '$web_create_keys', '$web_layout'],
  web_create_canvas: function (id, x, y, pointer, key) {
    // The window and its keys stand on a screen of their own, which the layout may scale.
    var screen = document.createElement('div');
    screen.style.cssText = 'position: absolute; left: 0; top: 0; transform-origin: 0 0';
    var canvas = document.createElement('canvas');
    canvas.id = UTF8ToString(id);
    canvas.style.position = 'absolute';
    canvas.style.left = x + 'px';
    canvas.style.top = y + 'px';
    canvas.style.visibility = 'hidden';
    // Drags turn the model; they must not scroll or zoom the page on touch screens.
    canvas.style.touchAction = 'none';
    canvas.tabIndex = -1;
    // What the window shows, and how to use it, for a screen reader: texts of the page, if any.
    canvas.setAttribute('role', 'img');
    canvas.setAttribute('aria-labelledby', 'helicoid-label');
    canvas.setAttribute('aria-describedby', 'helicoid-help');
    // Window pixels: a scaled screen shows fewer CSS pixels than the window has.
    var send = function (message, event) {
      var rect = canvas.getBoundingClientRect();
      var zoom = rect.width > 0 ? canvas.offsetWidth / rect.width : 1;
      {{{ makeDynCall('viiii', 'pointer') }}}(message, Math.floor((event.clientX - rect.left) * zoom),
        Math.floor((event.clientY - rect.top) * zoom), event.buttons |
        (event.shiftKey ? 0x100 : 0) | (event.ctrlKey ? 0x200 : 0));
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
    screen.append(canvas);
    (document.querySelector('main') || document.body).append(screen);
    WebLayer.screen = screen;
    WebLayer.canvas = canvas;
    web_create_keys(key);
    addEventListener('resize', web_layout);
  },

  // A device whose primary pointer is a finger may have no keyboard: the program's keys (f, p, j,
  // k, Escape) become a row of buttons beside the canvas, gone at the first real key, which
  // shows that there is a keyboard. `key(virtual_key, character)` presses and releases one.
  $web_create_keys__deps: ['$WebLayer', '$web_layout'],
  $web_create_keys: function (key) {
    if (!matchMedia('(pointer: coarse)').matches) return;
    var row = document.createElement('div');
    row.id = 'helicoid-keys';
    row.setAttribute('role', 'group');
    row.setAttribute('aria-label', 'Keys');
    row.style.visibility = 'hidden';
    [['f', 0x46, 102, 'fog on or off'], ['p', 0x50, 112, 'wireframe on or off'],
      ['j', 0x4A, 106, 'key level up'], ['k', 0x4B, 107, 'key level down'],
      ['Esc', 0x1B, 27, 'end the program']].forEach(function (entry) {
      var button = document.createElement('button');
      button.type = 'button';
      button.textContent = entry[0];
      button.title = entry[3];
      button.addEventListener('click', function () {
        {{{ makeDynCall('vii', 'key') }}}(entry[1], entry[2]);
      });
      row.append(button);
    });
    var keyboard = function (event) {
      if (!event.isTrusted) return;
      row.remove();
      if (WebLayer.keys === row) WebLayer.keys = null;
      removeEventListener('keydown', keyboard, true);
      web_layout();
    };
    addEventListener('keydown', keyboard, true);
    WebLayer.screen.append(row);
    WebLayer.keys = row;
  },

  // The window keeps its place and size when the viewport changes, as a Win32 window keeps them
  // when the screen changes. But the viewport is all the screen the user has: where the window
  // and its keys do not fit, their screen is scaled down, as a zoom would, never up. The keys
  // stand under the window, or beside it as a column, whichever leaves them larger.
  $web_layout__deps: ['$WebLayer'],
  $web_layout: function () {
    var canvas = WebLayer.canvas, row = WebLayer.keys, gap = 12;
    if (!canvas) return;
    var x = canvas.offsetLeft, y = canvas.offsetTop;
    var right = x + canvas.offsetWidth, bottom = y + canvas.offsetHeight;
    var fit = function (width, height) {
      return Math.min(1, innerWidth / width, innerHeight / height);
    };
    var scale = fit(right, bottom);
    if (row) {
      var places = [[true, x, bottom + gap], [false, right + gap, y]].map(function (place) {
        row.style.flexDirection = place[0] ? 'row' : 'column';
        return place.concat(fit(Math.max(right, place[1] + row.offsetWidth),
          Math.max(bottom, place[2] + row.offsetHeight)));
      });
      var best = places[1][3] > places[0][3] ? places[1] : places[0];
      row.style.flexDirection = best[0] ? 'row' : 'column';
      row.style.left = best[1] + 'px';
      row.style.top = best[2] + 'px';
      scale = best[3];
    }
    WebLayer.screen.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
  },

  // The window's size in CSS pixels; its keys and the scale of their screen follow.
  web_size_canvas__deps: ['$WebLayer', '$web_layout'],
  web_size_canvas: function (width, height) {
    WebLayer.canvas.style.width = width + 'px';
    WebLayer.canvas.style.height = height + 'px';
    web_layout();
  },

  web_show_canvas__deps: ['$WebLayer', '$web_layout'],
  web_show_canvas: function (shown) {
    var canvas = WebLayer.canvas, row = WebLayer.keys;
    canvas.style.visibility = shown ? 'visible' : 'hidden';
    if (row) row.style.visibility = canvas.style.visibility;
    web_layout();
  },

  web_remove_canvas__deps: ['$WebLayer', '$web_layout'],
  web_remove_canvas: function () {
    if (WebLayer.screen) WebLayer.screen.remove();
    removeEventListener('resize', web_layout);
    WebLayer.screen = null;
    WebLayer.canvas = null;
    WebLayer.keys = null;
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
});
