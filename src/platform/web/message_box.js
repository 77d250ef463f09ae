// MessageBoxA's modal dialog in the page.
mergeInto(LibraryManager.library, {
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
      // A click on the text or beside the box (its backdrop is the dialog too) leaves the focus
      // on OK, as on Windows, so Return still answers the box.
      box.addEventListener('mousedown', function (event) {
        if (event.target !== ok) event.preventDefault();
      });
      // Escape answers an OK box with IDOK on Windows too.
      box.addEventListener('cancel', dismiss);
      document.body.append(box);
      box.showModal();
      WebLayer.status().boxShownMs = performance.now();
      ok.focus();
    });
  },
});
