// The page's side of the web window: each function makes, reads or changes
// elements of the page for forms_web.cpp. Controls are elements whose id is
// the control's name; all of them are children of the client area, in Tab
// order, and each frame owns its controls for assistive technology, in the
// order they are read.
mergeInto(LibraryManager.library, {
  $VelsonaPage: {
    client: null,
    fontFamily: '',
    // The fonts after the table's own: those the Linux window gets, then any sans serif.
    fallbacks: '"Liberation Sans", Arimo, Arial, Helvetica, sans-serif',
    canvas: null,
    // The message box, and where the focus goes back to when it closes.
    dialog: null,
    announcers: [],
    nextAnnouncer: 0,
    returnFocus: null,
    waiting: [],
    // The client area's own size, and the frames in the order they were made,
    // each with the elements it holds.
    width: 0,
    height: 0,
    frames: [],
    // Around the client area, as velsona.css draws them: the window's border
    // and title bar, and the stage's margin (a narrower one on a narrow page).
    chrome: { width: 2, height: 33 },
    margin: 8,
    narrowMargin: 4,
    // Never scaled up further: on a tablet the window stays a window.
    largest: 1.5,
    viewport: 0,
    touch: null,
    // The control to focus when the window shows, and whether Show has been asked for.
    first: null,
    showing: false,
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
    // The window fitted to the page's width. Where it fits at its own size it
    // is shown as it is, or scaled up to the width on a touch screen, for
    // larger text and targets. Where it does not, the frames stand one above
    // the other, each with its controls as they are, and the whole is scaled
    // to the width. The stage around the window takes the scaled size, so the
    // page never scrolls sideways. Everything comes from the table's sizes and
    // the observed width: nothing here reads the layout back.
    fit: function () {
      var page = VelsonaPage;
      var shown = document.getElementById('velsona');
      if (!shown || !page.viewport) return;
      var room = page.viewport - 2 * page.margin - page.chrome.width;
      var stacked = room < page.width && page.frames.length > 1;
      var width = page.width, height = page.height;
      if (stacked) {
        room += 2 * (page.margin - page.narrowMargin);
        var right = 0, bottom = 0, stackedRight = 0, stackedBottom = 0;
        page.frames.forEach(function (frame) {
          right = Math.max(right, frame.left + frame.width);
          bottom = Math.max(bottom, frame.top + frame.height);
          stackedRight = Math.max(stackedRight, frame.left + frame.dx + frame.width);
          stackedBottom = Math.max(stackedBottom, frame.top + frame.dy + frame.height);
        });
        // The same room to the right and below as the window has beside its frames.
        width += stackedRight - right;
        height += stackedBottom - bottom;
      }
      // In thousandths, rounded down, so that no rounding makes the page scroll sideways.
      var scale = stacked || page.touch.matches ? Math.min(page.largest, Math.floor(room / width * 1000) / 1000) : 1;
      page.frames.forEach(function (frame) {
        var moved = stacked && (frame.dx || frame.dy) ? frame.dx + 'px ' + frame.dy + 'px' : '';
        frame.items.forEach(function (item) { item.style.translate = moved; });
      });
      page.client.style.width = width + 'px';
      page.client.style.height = height + 'px';
      shown.style.transform = scale !== 1 ? 'scale(' + scale + ')' : '';
      var stage = shown.parentNode;
      stage.style.margin = stacked ? page.narrowMargin + 'px' : '';
      stage.style.width = scale !== 1 ? (width + page.chrome.width) * scale + 'px' : '';
      stage.style.height = scale !== 1 ? (height + page.chrome.height) * scale + 'px' : '';
      // Seen only once fitted, so that nothing on the page moves after its
      // first paint; the focus goes in at the next frame, once that paint has
      // laid the window out, so that nothing lays it out early for it.
      if (!page.showing) return;
      shown.classList.add('shown');
      var first = page.first;
      page.first = null;
      if (first) requestAnimationFrame(function () { first.focus(); });
    },
    // The modal message box: the page's own dialog, one message at a time.
    nextMessage: function () {
      var dialog = VelsonaPage.dialog;
      if (dialog.open || VelsonaPage.waiting.length === 0) return;
      var message = VelsonaPage.waiting.shift();
      dialog.querySelector('h2').textContent = message.title;
      dialog.querySelector('p').textContent = message.text;
      VelsonaPage.returnFocus = document.activeElement;
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
    icon.alt = '';
    icon.width = icon.height = 16;
    page.make('span', '', bar).textContent = document.title;
    page.client = page.make('div', 'client', frame);
    page.width = width;
    page.height = height;
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
      if (page.returnFocus && page.returnFocus.focus) page.returnFocus.focus();
      page.returnFocus = null;
      setTimeout(page.nextMessage, 0);
    });
    page.dialog = dialog;

    // Two live regions, written by turns, so that an utterance the same as
    // the last one still arrives in a region that was empty, and is spoken.
    page.announcers = [0, 1].map(function (turn) {
      var live = page.make('div', 'announcer', main);
      live.id = 'velsona-announcer-' + turn;
      live.setAttribute('aria-live', 'polite');
      live.setAttribute('role', 'status');
      return live;
    });
    // The page's width as each layout leaves it, and whether a finger is the
    // main pointer: all the window's fitting needs. The first control takes
    // the focus here too, once the page is laid out, so that nothing has to
    // lay it out early for it.
    page.touch = matchMedia('(pointer: coarse)');
    page.touch.addEventListener('change', page.fit);
    new ResizeObserver(function (entries) {
      page.viewport = entries[entries.length - 1].contentRect.width;
      page.fit();
    }).observe(document.documentElement);
    // Tab comes round within the window, as on the desktop: from the last
    // stop to the first, and Shift+Tab from the first to the last. The
    // notice of a new build, while it shows below the window, is the last stop.
    main.addEventListener('keydown', function (event) {
      if (event.key !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey) return;
      var stops = main.querySelectorAll('.client input:not([tabindex="-1"]), .client button, .update button');
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
    // Where the page is too narrow for the frames side by side, each stands
    // below the one before it, at the first one's left, as far below it as
    // it stood beside it.
    var frames = VelsonaPage.frames, previous = frames[frames.length - 1];
    var stack = { element: frame, left: left, top: top, width: width, height: height, dx: 0, dy: 0, items: [frame] };
    if (previous) {
      stack.dx = frames[0].left - left;
      var gap = Math.max(0, left - previous.left - previous.width);
      stack.dy = previous.top + previous.dy + previous.height + gap - top;
    }
    frames.push(stack);
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
      page.frames.find(function (stack) { return stack.element === frame; }).items.push(outer);
      if (!outer.id) outer.id = id + '-box';
    }
    if (HEAP8[accessibleName]) control.setAttribute('aria-label', UTF8ToString(accessibleName));
    if (HEAP8[description]) outer.title = control.title = UTF8ToString(description);
    control.dataset.points = points;
  },

  // The frame `frameName` owns the control `name` after those it owns already.
  velsona_page_own: function (frameName, name) {
    var frame = document.getElementById(UTF8ToString(frameName));
    var control = document.getElementById(UTF8ToString(name));
    var outer = control.closest('label') || control;
    var owned = frame.getAttribute('aria-owns');
    frame.setAttribute('aria-owns', (owned ? owned + ' ' : '') + outer.id);
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

  // The title bar's icon, 16 pixels square, from the renderings of `count`
  // sizes at `sizes`, smallest first: sharp at any pixel ratio, the browser
  // taking the one that matches the screen's density.
  velsona_page_icon: function (sizes, count) {
    var icon = document.querySelector('#velsona .title img');
    var renderings = [];
    for (var i = 0; i < count; i++) {
      var size = HEAP32[(sizes >> 2) + i];
      renderings.push('icons/velsona-' + size + '.png ' + size / 16 + 'x');
    }
    icon.srcset = renderings.join(', ');
    icon.src = 'icons/velsona-' + HEAP32[sizes >> 2] + '.png';
  },

  velsona_page_measure__deps: ['$VelsonaPage'],
  velsona_page_measure: function (text, points) {
    var page = VelsonaPage;
    if (!page.canvas) page.canvas = document.createElement('canvas').getContext('2d');
    page.canvas.font = page.font(points);
    return page.canvas.measureText(UTF8ToString(text)).width;
  },

  velsona_page_set_result__deps: ['$VelsonaPage'],
  velsona_page_set_result: function (name, text, points, tooltip) {
    var field = document.getElementById(UTF8ToString(name));
    field.value = UTF8ToString(text);
    field.style.font = VelsonaPage.font(points);
    field.title = UTF8ToString(tooltip);
  },

  // One utterance, read out politely: written whole to one live region, the
  // other emptied for the next.
  velsona_page_announce__deps: ['$VelsonaPage'],
  velsona_page_announce: function (text) {
    var page = VelsonaPage;
    var live = page.announcers[page.nextAnnouncer];
    page.nextAnnouncer = 1 - page.nextAnnouncer;
    page.announcers[page.nextAnnouncer].textContent = '';
    live.textContent = UTF8ToString(text);
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
    // The browser's own paste goes ahead where it gives what the rule gives
    // (it keeps its undo); otherwise the rule's paste, or its refusal, is all.
    document.getElementById(UTF8ToString(name)).addEventListener('paste', function (event) {
      VelsonaPage.pasted = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
      if (_velsona_page_pasted(handler)) event.preventDefault();
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
    // The window shows, the focus in its first control, once it is fitted to
    // the page: at once where the page's width is known, else when it is.
    VelsonaPage.first = HEAP8[first] ? document.getElementById(UTF8ToString(first)) : null;
    VelsonaPage.showing = true;
    if (VelsonaPage.viewport) VelsonaPage.fit();
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

});
