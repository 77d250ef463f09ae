// The canvas that is the window: its element, its pointer events, and pointer capture.
mergeInto(LibraryManager.library, {
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
});
