// The canvas that is the window: its element, its pointer events, pointer capture, and the
// on-screen keys of a touch screen.
mergeInto(LibraryManager.library, {
  web_create_canvas__deps: ['$WebLayer', '$web_create_keys'],
  web_create_canvas: function (id, x, y, pointer, key) {
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
    web_create_keys(key);
  },

  // A device whose primary pointer is a finger may have no keyboard: the program's keys (f, p, j,
  // k, Escape) become a row of buttons beside the canvas, gone at the first real key, which
  // shows that there is a keyboard. `key(virtual_key, character)` presses and releases one.
  $web_create_keys__deps: ['$WebLayer'],
  $web_create_keys: function (key) {
    if (!matchMedia('(pointer: coarse)').matches) return;
    var row = document.createElement('div');
    row.id = 'helicoid-keys';
    row.style.visibility = 'hidden';
    [['f', 0x46, 102], ['p', 0x50, 112], ['j', 0x4A, 106], ['k', 0x4B, 107], ['Esc', 0x1B, 27]]
      .forEach(function (entry) {
        var button = document.createElement('button');
        button.textContent = entry[0];
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
    };
    addEventListener('keydown', keyboard, true);
    document.body.append(row);
    WebLayer.keys = row;
  },

  web_show_canvas__deps: ['$WebLayer'],
  web_show_canvas: function (shown) {
    var canvas = WebLayer.canvas, row = WebLayer.keys;
    canvas.style.visibility = shown ? 'visible' : 'hidden';
    if (!row) return;
    // Under the canvas where it fits, else beside it, as a column.
    var place = canvas.getBoundingClientRect(), gap = 12;
    var under = place.bottom + gap + row.offsetHeight <= innerHeight;
    row.style.flexDirection = under ? 'row' : 'column';
    row.style.left = (under ? place.left : place.right + gap) + 'px';
    row.style.top = (under ? place.bottom + gap : place.top) + 'px';
    row.style.visibility = canvas.style.visibility;
  },

  web_remove_canvas__deps: ['$WebLayer'],
  web_remove_canvas: function () {
    if (WebLayer.canvas) WebLayer.canvas.remove();
    if (WebLayer.keys) WebLayer.keys.remove();
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
