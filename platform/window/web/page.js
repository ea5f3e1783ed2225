// The page's side of the web window: each function makes, reads or changes
// elements of the page for window_web.cpp, and hands the user's acts back
// to it. Controls are elements whose id is the control's name, known to the
// program by their index in its table. They stand in the page in the order
// a screen reader reads them, each frame holding its own; Tab within the
// window is the program's, and the browser's only where it leaves the window.
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
    // The client area's own size, and the frames in the order they were made.
    width: 0,
    height: 0,
    frames: [],
    // Around the client area, as velsona.css draws them (read from it when
    // the window opens): the window's border and title bar, and the stage's
    // margin (a narrower one on a narrow page).
    chrome: { width: 0, height: 0 },
    margin: 0,
    narrowMargin: 0,
    // The controls' elements by index (a check box's input), and the
    // elements that hold them (its label).
    controls: [],
    outers: [],
    // Never scaled up further: on a tablet the window stays a window.
    largest: 1.5,
    viewport: 0,
    touch: null,
    // The control to focus when the window shows, and whether Show has been asked for.
    first: null,
    showing: false,
    pasted: '',  // the text of the paste being handled
    browserPastes: false,  // whether the browser's own paste makes the program's edit

    // A length of velsona.css's, in pixels: one of the custom properties of the page.
    length: function (property) {
      return parseFloat(getComputedStyle(document.documentElement).getPropertyValue(property)) || 0;
    },
    // The index of the control `element` is, or -1.
    indexOf: function (element) {
      return element && element.dataset && element.dataset.index !== undefined ? Number(element.dataset.index) : -1;
    },
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
        frame.element.style.translate = stacked && (frame.dx || frame.dy) ? frame.dx + 'px ' + frame.dy + 'px' : '';
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
  },

  velsona_page_open__deps: ['$VelsonaPage'],
  velsona_page_open: function (title, width, height, fontFamily) {
    var page = VelsonaPage;
    page.fontFamily = UTF8ToString(fontFamily);
    var border = page.length('--window-border');
    page.chrome = { width: 2 * border, height: 2 * border + page.length('--title-height') + page.length('--title-rule') };
    page.margin = page.length('--stage-margin');
    page.narrowMargin = page.length('--stage-margin-narrow');
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
      _velsona_page_warning_closed();
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
    // Tab and Shift+Tab in a control are the program's to follow; where it
    // does not, at the window's ends, the browser's own Tab goes on out of it.
    // (WebKitGTK names Shift+Tab's key "Unidentified", but not its code.)
    page.client.addEventListener('keydown', function (event) {
      if ((event.key !== 'Tab' && event.code !== 'Tab') || event.altKey || event.ctrlKey || event.metaKey) return;
      var index = page.indexOf(event.target);
      if (index >= 0 && _velsona_page_tabbed(index, event.shiftKey ? 1 : 0)) event.preventDefault();
    });
  },

  // Control `index`, `kind` as ControlKind counts them (Frame, CaptionLabel,
  // TextBox, ResultField, Button, CheckBox), inside frame `frameIndex` (-1:
  // none), at its place within it, in pixels.
  velsona_page_make__deps: ['$VelsonaPage'],
  velsona_page_make: function (index, name, kind, frameIndex, left, top, width, height, text, points, centred,
                               maxLength, background) {
    var page = VelsonaPage;
    var caption = UTF8ToString(text);
    var parent = frameIndex >= 0 ? page.controls[frameIndex] : page.client;
    var outer, control;
    if (kind === 0) {
      outer = control = page.make('div', 'frame', parent);
      control.setAttribute('role', 'group');
    } else if (kind === 1) {
      outer = control = page.make('div', 'caption', parent);
      control.textContent = caption;
    } else if (kind === 2 || kind === 3) {
      outer = control = page.make('input', kind === 2 ? 'field' : 'field result', parent);
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
        // One number: a double-click selects all of it, where an engine's
        // word would stop at the sign or the decimal separator.
        control.addEventListener('dblclick', function () { control.select(); });
      }
    } else if (kind === 4) {
      outer = control = page.make('button', 'button', parent);
      control.type = 'button';
      control.textContent = caption;
    } else {
      outer = page.make('label', 'check', parent);
      control = page.make('input', '', outer);
      control.type = 'checkbox';
      page.make('span', '', outer).textContent = caption;
    }
    control.id = UTF8ToString(name);
    control.dataset.index = index;
    page.controls[index] = control;
    page.outers[index] = outer;
    outer.style.font = page.font(points);
    if (centred) outer.classList.add('centred');
    if (background >= 0) {
      outer.style.backgroundColor = 'rgb(' + (background >> 16) + ',' + ((background >> 8) & 255) + ',' +
        (background & 255) + ')';
      outer.classList.add('coloured');
    }
    page.place(outer, left, top, width, height);
    if (kind === 0) {
      // Where the page is too narrow for the frames side by side, each stands
      // below the one before it, at the first one's left, as far below it as
      // it stood beside it.
      var frames = page.frames, previous = frames[frames.length - 1];
      var stack = { element: outer, left: left, top: top, width: width, height: height, dx: 0, dy: 0 };
      if (previous) {
        stack.dx = frames[0].left - left;
        var gap = Math.max(0, left - previous.left - previous.width);
        stack.dy = previous.top + previous.dy + previous.height + gap - top;
      }
      frames.push(stack);
    }
    if (kind === 5) outer.id = control.id + '-box';
    if (kind === 4 || kind === 5) {
      // A click, and Space or Enter on a button, Space on a check box, all arrive as click.
      control.addEventListener('click', function () { _velsona_page_clicked(index); });
    }
    if (kind === 2) {
      // What a paste becomes is the program's to decide: the browser's own
      // would cut the text at the box's limit. It goes ahead only where it
      // makes the very edit the program asks for (velsona_page_insert), so
      // that the page never holds back a paste it has no cause to.
      control.addEventListener('paste', function (event) {
        page.pasted = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
        page.browserPastes = false;
        _velsona_page_pasted(index, control.selectionStart, control.selectionEnd);
        // A paste of no text is the browser's too: it changes nothing either.
        if (!page.browserPastes && page.pasted !== '') event.preventDefault();
        page.pasted = '';
      });
      control.addEventListener('input', function () { _velsona_page_edited(index); });
      // A typed character that the box, full, holds back: told by its key, or by the input it
      // would make where there is no key (a phone's keyboard); WebKit makes no input of it at all.
      var refuse = function (typed) {
        var kept = control.value.length - (control.selectionEnd - control.selectionStart);
        if (typed && control.maxLength > 0 && kept + typed.length > control.maxLength) _velsona_page_refused(index);
      };
      control.addEventListener('keydown', function (event) {
        if (event.key.length === 1 && !event.ctrlKey && !event.metaKey && !event.altKey) refuse(event.key);
      });
      control.addEventListener('beforeinput', function (event) {
        if (event.inputType === 'insertText') refuse(event.data);
      });
    }
  },

  // The description reaches assistive technology as the tooltip (the title).
  velsona_page_set_accessible: function (index, name) {
    if (HEAP8[name]) VelsonaPage.controls[index].setAttribute('aria-label', UTF8ToString(name));
  },

  velsona_page_set_tooltip: function (index, text) {
    var tip = UTF8ToString(text);
    VelsonaPage.controls[index].title = tip;
    VelsonaPage.outers[index].title = tip;
  },

  velsona_page_text: function (index, buffer, capacity) {
    var text = VelsonaPage.controls[index].value;
    stringToUTF8(text, buffer, capacity);
    return lengthBytesUTF8(text);
  },

  velsona_page_set_text: function (index, text) {
    VelsonaPage.controls[index].value = UTF8ToString(text);
  },

  // As an edit the user can undo, where the browser can make one. Within
  // the browser's own paste of this very text over the selection, on one
  // line, that paste is the edit.
  velsona_page_insert__deps: ['$VelsonaPage'],
  velsona_page_insert: function (index, start, end, text) {
    var page = VelsonaPage;
    var field = page.controls[index];
    var inserted = UTF8ToString(text);
    if (inserted === page.pasted && !/[\r\n]/.test(inserted) && field.selectionStart === start &&
        field.selectionEnd === end) {
      page.browserPastes = true;
      return;
    }
    field.setSelectionRange(start, end);
    if (document.activeElement !== field || !document.execCommand('insertText', false, inserted)) {
      field.setRangeText(inserted, start, end, 'end');
    }
  },

  velsona_page_checked: function (index) {
    return VelsonaPage.controls[index].checked ? 1 : 0;
  },

  velsona_page_room: function (index) {
    var field = VelsonaPage.controls[index];
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

  velsona_page_set_points__deps: ['$VelsonaPage'],
  velsona_page_set_points: function (index, points) {
    VelsonaPage.outers[index].style.font = VelsonaPage.font(points);
  },

  // As Tab does: a text box's text selected.
  velsona_page_focus: function (index) {
    var control = VelsonaPage.controls[index];
    control.focus();
    if (control.type === 'text' && !control.readOnly) control.select();
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

  velsona_page_pasted_text__deps: ['$VelsonaPage'],
  velsona_page_pasted_text: function (buffer, capacity) {
    stringToUTF8(VelsonaPage.pasted, buffer, capacity);
    return lengthBytesUTF8(VelsonaPage.pasted);
  },

  velsona_page_show__deps: ['$VelsonaPage'],
  velsona_page_show: function (first) {
    // The window shows, the focus in its first control, once it is fitted to
    // the page: at once where the page's width is known, else when it is.
    VelsonaPage.first = first >= 0 ? VelsonaPage.controls[first] : null;
    VelsonaPage.showing = true;
    if (VelsonaPage.viewport) VelsonaPage.fit();
  },

  // The modal message box: the page's own dialog. Its closing is told to the program.
  velsona_page_warn__deps: ['$VelsonaPage'],
  velsona_page_warn: function (title, message) {
    var dialog = VelsonaPage.dialog;
    dialog.querySelector('h2').textContent = UTF8ToString(title);
    dialog.querySelector('p').textContent = UTF8ToString(message);
    VelsonaPage.returnFocus = document.activeElement;
    dialog.showModal();
    dialog.querySelector('button').focus();
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
