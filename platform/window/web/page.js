// The page's side of the web window: each function makes, reads or changes
// elements of the page for forms_web.cpp. Controls are elements whose id is
// the control's name; all of them are children of the client area, in Tab
// order, and each frame owns its controls for assistive technology.
mergeInto(LibraryManager.library, {
  $VelsonaPage: {
    client: null,
    fontFamily: '',
    // The fonts after the table's own: those the Linux window gets, then any sans serif.
    fallbacks: '"Liberation Sans", Arimo, Arial, Helvetica, sans-serif',
    canvas: null,
    dialog: null,
    waiting: [],
    pasted: '',  // the text of the paste being handled

    font: function (points) {
      return 'bold ' + points + 'pt "' + VelsonaPage.fontFamily + '", ' + VelsonaPage.fallbacks;
    },
    place: function (element, left, top, width, height) {
      element.style.left = left + 'px';
      element.style.top = top + 'px';
      element.style.width = width + 'px';
      element.style.height = height + 'px';
    },
    make: function (tag, className, parent) {
      var element = document.createElement(tag);
      if (className) element.className = className;
      parent.appendChild(element);
      return element;
    },
    // The window scaled down to the width of a narrow screen, never up; the
    // stage around it takes the scaled size, so the page never scrolls sideways.
    fit: function () {
      var window = document.getElementById('velsona');
      if (!window) return;
      var stage = window.parentNode;
      var scale = Math.min(1, (document.documentElement.clientWidth - 16) / window.offsetWidth);
      window.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      stage.style.width = window.offsetWidth * scale + 'px';
      stage.style.height = window.offsetHeight * scale + 'px';
    },
    // The modal message box: the page's own dialog, one message at a time.
    nextMessage: function () {
      var dialog = VelsonaPage.dialog;
      if (dialog.open || VelsonaPage.waiting.length === 0) return;
      var message = VelsonaPage.waiting.shift();
      dialog.querySelector('h2').textContent = message.title;
      dialog.querySelector('p').textContent = message.text;
      dialog.returnFocus = document.activeElement;
      dialog.showModal();
      dialog.querySelector('button').focus();
    },
  },

  velsona_page_open__deps: ['$VelsonaPage'],
  velsona_page_open: function (title, width, height, fontFamily) {
    var page = VelsonaPage;
    page.fontFamily = UTF8ToString(fontFamily);
    document.title = UTF8ToString(title);
    var main = document.querySelector('main');
    var frame = page.make('div', 'window', page.make('div', 'stage', main));
    frame.id = 'velsona';
    var bar = page.make('h1', 'title', frame);
    var icon = page.make('img', '', bar);
    // Sharp at any pixel ratio: the rendering nearest the screen's density.
    icon.srcset = 'icons/velsona-32.png 2x, icons/velsona-48.png 3x, icons/velsona-64.png 4x';
    icon.src = 'icons/velsona-32.png';
    icon.alt = '';
    icon.width = icon.height = 16;
    page.make('span', '', bar).textContent = document.title;
    page.client = page.make('div', 'client', frame);
    page.client.style.width = width + 'px';
    page.client.style.height = height + 'px';

    var dialog = page.make('dialog', 'message', main);
    dialog.setAttribute('role', 'alertdialog');
    dialog.setAttribute('aria-labelledby', 'velsona-message-title');
    dialog.setAttribute('aria-describedby', 'velsona-message-text');
    page.make('h2', '', dialog).id = 'velsona-message-title';
    var body = page.make('div', 'body', dialog);
    page.make('span', 'warning-sign', body).setAttribute('aria-hidden', 'true');
    page.make('p', '', body).id = 'velsona-message-text';
    var ok = page.make('button', '', dialog);
    ok.type = 'button';
    ok.textContent = 'OK';
    // Enter and Space press OK; Escape cancels: both close the dialog.
    ok.addEventListener('click', function () { dialog.close(); });
    dialog.addEventListener('close', function () {
      if (dialog.returnFocus && dialog.returnFocus.focus) dialog.returnFocus.focus();
      dialog.returnFocus = null;
      setTimeout(page.nextMessage, 0);
    });
    page.dialog = dialog;

    var live = page.make('div', 'announcer', main);
    live.id = 'velsona-announcer';
    live.setAttribute('aria-live', 'polite');
    live.setAttribute('role', 'status');
    window.addEventListener('resize', page.fit);
    // Tab comes round within the window, as on the desktop: from the last
    // stop to the first, and Shift+Tab from the first to the last.
    page.client.addEventListener('keydown', function (event) {
      if (event.key !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey) return;
      var stops = page.client.querySelectorAll('input:not([tabindex="-1"]), button');
      if (stops.length === 0) return;
      var from = event.shiftKey ? stops[0] : stops[stops.length - 1];
      if (event.target !== from) return;
      event.preventDefault();
      (event.shiftKey ? stops[stops.length - 1] : stops[0]).focus();
    });
  },

  velsona_page_frame__deps: ['$VelsonaPage'],
  velsona_page_frame: function (name, left, top, width, height, accessibleName) {
    var frame = VelsonaPage.make('div', 'frame', VelsonaPage.client);
    frame.id = UTF8ToString(name);
    frame.setAttribute('role', 'group');
    if (HEAP8[accessibleName]) frame.setAttribute('aria-label', UTF8ToString(accessibleName));
    VelsonaPage.place(frame, left, top, width, height);
    frame.dataset.left = left;
    frame.dataset.top = top;
  },

  velsona_page_control__deps: ['$VelsonaPage'],
  velsona_page_control: function (name, kind, frameName, left, top, width, height, text, points, centred,
                                  maxLength, background, accessibleName, description) {
    var page = VelsonaPage;
    var id = UTF8ToString(name);
    var caption = UTF8ToString(text);
    var outer, control;
    // The kinds, in the order of ControlKind: Frame, CaptionLabel, TextBox, ResultField, Button, CheckBox.
    if (kind === 1) {
      outer = control = page.make('div', 'caption', page.client);
      control.textContent = caption;
    } else if (kind === 2 || kind === 3) {
      outer = control = page.make('input', kind === 2 ? 'field' : 'field result', page.client);
      control.type = 'text';
      control.autocomplete = 'off';
      control.spellcheck = false;
      control.setAttribute('autocorrect', 'off');
      control.setAttribute('autocapitalize', 'off');
      // The whole keyboard on phones: a number's keypad there may lack the minus sign.
      if (kind === 2) {
        if (maxLength > 0) control.maxLength = maxLength;
      } else {
        // Selectable and copyable, never typed into, out of the Tab order.
        control.readOnly = true;
        control.tabIndex = -1;
      }
    } else if (kind === 4) {
      outer = control = page.make('button', 'button', page.client);
      control.type = 'button';
      control.textContent = caption;
    } else {
      outer = page.make('label', 'check', page.client);
      control = page.make('input', '', outer);
      control.type = 'checkbox';
      page.make('span', '', outer).textContent = caption;
    }
    control.id = id;
    outer.style.font = page.font(points);
    if (centred) outer.classList.add('centred');
    if (background >= 0) {
      outer.style.backgroundColor = 'rgb(' + (background >> 16) + ',' + ((background >> 8) & 255) + ',' +
        (background & 255) + ')';
      outer.classList.add('coloured');
    }
    var frame = frameName && HEAP8[frameName] ? document.getElementById(UTF8ToString(frameName)) : null;
    page.place(outer, left + (frame ? Number(frame.dataset.left) : 0), top + (frame ? Number(frame.dataset.top) : 0),
               width, height);
    if (frame) {
      if (!outer.id) outer.id = id + '-box';
      var owned = frame.getAttribute('aria-owns');
      frame.setAttribute('aria-owns', (owned ? owned + ' ' : '') + outer.id);
    }
    if (HEAP8[accessibleName]) control.setAttribute('aria-label', UTF8ToString(accessibleName));
    if (HEAP8[description]) outer.title = control.title = UTF8ToString(description);
    control.dataset.points = points;
  },

  velsona_page_text: function (name, buffer, capacity) {
    var text = document.getElementById(UTF8ToString(name)).value;
    stringToUTF8(text, buffer, capacity);
    return lengthBytesUTF8(text);
  },

  velsona_page_room: function (name) {
    var field = document.getElementById(UTF8ToString(name));
    var style = getComputedStyle(field);
    return field.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight) - 2;
  },

  velsona_page_measure__deps: ['$VelsonaPage'],
  velsona_page_measure: function (text, points) {
    var page = VelsonaPage;
    if (!page.canvas) page.canvas = document.createElement('canvas').getContext('2d');
    page.canvas.font = page.font(points);
    return page.canvas.measureText(UTF8ToString(text)).width;
  },

  velsona_page_set_result__deps: ['$VelsonaPage'],
  velsona_page_set_result: function (name, text, points, tooltip, announcement) {
    var field = document.getElementById(UTF8ToString(name));
    var value = UTF8ToString(text);
    field.value = value;
    field.style.font = VelsonaPage.font(points);
    field.title = UTF8ToString(tooltip);
    // A new result is read out once, politely; an emptied field says nothing.
    if (value) document.getElementById('velsona-announcer').textContent = UTF8ToString(announcement);
  },

  velsona_page_checked: function (name) {
    return document.getElementById(UTF8ToString(name)).checked ? 1 : 0;
  },

  velsona_page_on_click: function (name, handler) {
    // A click, and Space or Enter on a button, Space on a check box, all arrive as click.
    document.getElementById(UTF8ToString(name)).addEventListener('click', function () {
      _velsona_page_clicked(handler);
    });
  },

  // A paste into a text box is the program's to make (forms_web.cpp): the
  // browser's own would cut the text at the box's limit.
  velsona_page_on_paste__deps: ['$VelsonaPage'],
  velsona_page_on_paste: function (name, handler) {
    document.getElementById(UTF8ToString(name)).addEventListener('paste', function (event) {
      event.preventDefault();
      VelsonaPage.pasted = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
      _velsona_page_pasted(handler);
      VelsonaPage.pasted = '';
    });
  },

  velsona_page_pasted_text__deps: ['$VelsonaPage'],
  velsona_page_pasted_text: function (buffer, capacity) {
    stringToUTF8(VelsonaPage.pasted, buffer, capacity);
    return lengthBytesUTF8(VelsonaPage.pasted);
  },

  velsona_page_selection: function (name, end) {
    var field = document.getElementById(UTF8ToString(name));
    return end ? field.selectionEnd : field.selectionStart;
  },

  velsona_page_set_text: function (name, text, caret) {
    var field = document.getElementById(UTF8ToString(name));
    field.value = UTF8ToString(text);
    field.setSelectionRange(caret, caret);
  },

  velsona_page_show__deps: ['$VelsonaPage'],
  velsona_page_show: function (first) {
    var window = document.getElementById('velsona');
    window.classList.add('shown');
    VelsonaPage.fit();
    var control = HEAP8[first] ? document.getElementById(UTF8ToString(first)) : null;
    if (control) control.focus();
  },

  velsona_page_warn__deps: ['$VelsonaPage'],
  velsona_page_warn: function (title, message) {
    VelsonaPage.waiting.push({ title: UTF8ToString(title), text: UTF8ToString(message) });
    VelsonaPage.nextMessage();
  },

  velsona_page_decimal_separator: function (buffer, capacity) {
    // The browser's language is the web's regional setting; read at each calculation.
    var separator = '.';
    try {
      var parts = new Intl.NumberFormat(navigator.language).formatToParts(1.5);
      for (var i = 0; i < parts.length; i++) if (parts[i].type === 'decimal') separator = parts[i].value;
    } catch (e) {}
    stringToUTF8(separator, buffer, capacity);
    return lengthBytesUTF8(separator);
  },

  velsona_page_close__deps: ['$VelsonaPage'],
  velsona_page_close: function () {
    var window = document.getElementById('velsona');
    if (window) window.remove();
    if (VelsonaPage.dialog) VelsonaPage.dialog.remove();
    var live = document.getElementById('velsona-announcer');
    if (live) live.remove();
  },
});
