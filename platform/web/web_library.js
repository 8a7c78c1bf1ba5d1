// web_library.js — the browser's side of the web platform: the canvas and
// its WebGL context, the page's keys, focus, visibility, pointers and wheel
// queued as news for the C++ side (web_events.cpp), the touch screen's
// buttons, the frame waits and the page's dialogs (the cues are
// web_sound.js's). The C++ side calls these; the ones that wait hand the
// thread back to the browser (asyncify) and resume when the browser answers.
mergeInto(LibraryManager.library, {
  $MariveltPage__deps: ['$Browser', '$MariveltSound'],
  $MariveltPage: {
    news: {},           // the kinds of news, numbered by the C++ side (marivelt_listen)
    waiting: [],        // [kind, a, b, c, d], oldest first
    held: {},           // virtual-key codes down, for releasing them on blur
    gestured: false,    // a key, click or tap has come: full screen and sound allowed
    firstPointer: null, // the pointer whose press or release asked for them: it does nothing else
    pointers: {},       // pointers down on the stage, followed
    buttonKeys: [],     // keys a touch button holds, let go once a pass has presented
    filling: false,     // the stage fills the viewport, the browser having no full screen for it
    frames: 0,

    post: function(kind, a, b, c, d) {
      MariveltPage.waiting.push([kind, a || 0, b || 0, c || 0, d || 0]);
    },
    stage: function() {
      return document.getElementById('stage');
    },
    // The virtual-key code of a key event: browsers give the classic codes
    // in keyCode (letters by the layout's labels); 0 for none below 256.
    virtualKey: function(event) {
      var code = event.keyCode | 0;
      return code > 0 && code < 256 ? code : 0;
    },
    postKey: function(key, down, system) {
      MariveltPage.post(MariveltPage.news.key, down ? 1 : 0, key, system ? 1 : 0);
      if (down) MariveltPage.held[key] = true; else delete MariveltPage.held[key];
    },
    onKey: function(event) {
      var key = MariveltPage.virtualKey(event);
      if (key === 0) return;
      MariveltPage.postKey(key, event.type === 'keydown', event.altKey && !event.ctrlKey);
      // Keep the page from scrolling on SPACE and the arrows, unless a box
      // is open, whose button they work.
      var scrolls = key === 0x20 || (key >= 0x25 && key <= 0x28);
      if (scrolls && !document.querySelector('dialog[open]')) event.preventDefault();
    },
    // A key let go while the page has no focus never comes: let go of all.
    onBlur: function() {
      for (var key in MariveltPage.held) MariveltPage.postKey(key | 0, false, false);
      MariveltPage.pointers = {};
      MariveltPage.post(MariveltPage.news.focus, 0);
    },
    onFocus: function() {
      MariveltPage.post(MariveltPage.news.focus, 1);
    },
    onVisibility: function() {
      MariveltPage.post(MariveltPage.news.shown, document.hidden ? 0 : 1);
    },
    // A browser allows full screen and sound only in answer to the user: a
    // key, a mouse button pressed, a finger lifted.
    onGesture: function(event) {
      var pointer = event.pointerType;
      if (MariveltPage.gestured || (pointer && (event.type === 'pointerdown') !== (pointer === 'mouse'))) return;
      MariveltPage.gestured = true;
      if (event.pointerId !== undefined) MariveltPage.firstPointer = event.pointerId;
      var stage = MariveltPage.stage();
      if (stage.requestFullscreen) {
        stage.requestFullscreen().then(function() {
          // Where the browser allows it, ESC reaches the demo instead of
          // only leaving full screen (holding it still leaves).
          if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(['Escape']).catch(function() {});
        }, MariveltPage.fill);
      } else {
        MariveltPage.fill();  // a phone's browser may have no full screen for an element
      }
      MariveltSound.start();
    },
    fill: function() {
      MariveltPage.filling = true;
      MariveltPage.stage().classList.add('filling');
      MariveltPage.onRoomChange();
    },
    // In full screen, or filling the viewport, the canvas takes the largest
    // 4:3 rectangle of it at the screen's own pixel density (the C++ side
    // fits it); otherwise it has its own size.
    onRoomChange: function() {
      var fills = MariveltPage.filling || document.fullscreenElement === MariveltPage.stage();
      var ratio = window.devicePixelRatio || 1;
      MariveltPage.post(MariveltPage.news.stage, fills ? 1 : 0, Math.round(window.innerWidth * ratio),
                        Math.round(window.innerHeight * ratio));
    },

    // A pointer's place in widths of the picture, from its top left corner.
    postPointer: function(kind, event, moves) {
      var rect = Module['canvas'].getBoundingClientRect();
      var x = (event.clientX - rect.left) / rect.width, y = (event.clientY - rect.top) / rect.width;
      if (kind === MariveltPage.news.pointerDown) MariveltPage.post(kind, event.pointerId, moves ? 1 : 0, x, y);
      else MariveltPage.post(kind, event.pointerId, x, y);
    },
    onPointerDown: function(event) {
      if (event.pointerType === 'touch') document.documentElement.classList.add('touch');
      // A pointer down before the first gesture is that gesture's, and does nothing else.
      var turns = event.button === 0, moves = event.button === 2;
      if (!MariveltPage.gestured || event.pointerId === MariveltPage.firstPointer || !(turns || moves) ||
          event.target.closest('#touch-keys')) return;
      MariveltPage.stage().setPointerCapture(event.pointerId);
      MariveltPage.pointers[event.pointerId] = true;
      MariveltPage.postPointer(MariveltPage.news.pointerDown, event, moves);
    },
    onPointerMove: function(event) {
      if (MariveltPage.pointers[event.pointerId]) MariveltPage.postPointer(MariveltPage.news.pointerMove, event);
    },
    onPointerUp: function(event) {
      if (event.pointerId === MariveltPage.firstPointer) MariveltPage.firstPointer = null;
      if (!MariveltPage.pointers[event.pointerId]) return;
      delete MariveltPage.pointers[event.pointerId];
      MariveltPage.post(MariveltPage.news.pointerUp, event.pointerId);
    },
    onPointerCancel: function() {
      MariveltPage.pointers = {};
      MariveltPage.post(MariveltPage.news.pointerCancel);
    },
    // A notch is 100 pixels (Chromium's), 3 lines (Firefox's) or a page.
    onWheel: function(event) {
      event.preventDefault();
      MariveltPage.post(MariveltPage.news.wheel, -event.deltaY / [100, 3, 1][event.deltaMode]);
    },
    // A touch screen's button holds its key for one pass of the loop, as a
    // key pressed and let go would: down now, up once the pass has shown.
    onTouchKey: function(event) {
      event.preventDefault();
      var key = event.currentTarget.dataset.key | 0;
      if (MariveltPage.buttonKeys.indexOf(key) >= 0) return;
      MariveltPage.postKey(key, true, false);
      MariveltPage.buttonKeys.push(key);
    },

    // Sleeps until the browser's next animation frame; wakes with its time, seconds.
    sleepToNextFrame: function(wakeUp) {
      requestAnimationFrame(function(time) { wakeUp(time / 1000); });
    },
  },

  marivelt_listen__deps: ['$MariveltPage'],
  marivelt_listen: function(key, focus, shown, stage, pointerDown, pointerMove, pointerUp, pointerCancel, wheel) {
    MariveltPage.news = {key: key, focus: focus, shown: shown, stage: stage, pointerDown: pointerDown,
                         pointerMove: pointerMove, pointerUp: pointerUp, pointerCancel: pointerCancel, wheel: wheel};
    // main returns long after the browser first called it, from a resumed
    // frame: only then does the process end, with main's exit code.
    // (exit throws to unwind the caller; there is none left to unwind.)
    Asyncify.whenDone().then(function(code) {
      try { exit(code); } catch (e) { if (!(e instanceof ExitStatus)) throw e; }
    });
    window.addEventListener('keydown', MariveltPage.onGesture, true);
    window.addEventListener('pointerdown', MariveltPage.onGesture, true);
    window.addEventListener('pointerup', MariveltPage.onGesture, true);
    window.addEventListener('keydown', MariveltPage.onKey);
    window.addEventListener('keyup', MariveltPage.onKey);
    window.addEventListener('blur', MariveltPage.onBlur);
    window.addEventListener('focus', MariveltPage.onFocus);
    window.addEventListener('resize', MariveltPage.onRoomChange);
    document.addEventListener('visibilitychange', MariveltPage.onVisibility);
    document.addEventListener('fullscreenchange', MariveltPage.onRoomChange);
    var stage = MariveltPage.stage();
    stage.addEventListener('pointerdown', MariveltPage.onPointerDown);
    stage.addEventListener('pointermove', MariveltPage.onPointerMove);
    stage.addEventListener('pointerup', MariveltPage.onPointerUp);
    stage.addEventListener('pointercancel', MariveltPage.onPointerCancel);
    stage.addEventListener('wheel', MariveltPage.onWheel, {passive: false});
    stage.addEventListener('contextmenu', function(event) { event.preventDefault(); });
    document.querySelectorAll('#touch-keys button').forEach(function(button) {
      button.addEventListener('pointerdown', MariveltPage.onTouchKey);
    });
  },

  // Takes the oldest waiting news into out[0..3] and returns its kind; 0
  // when none waits.
  marivelt_take_news__deps: ['$MariveltPage'],
  marivelt_take_news: function(out) {
    var news = MariveltPage.waiting.shift();
    if (!news) return 0;
    for (var i = 0; i < 4; i++) HEAPF64[(out >> 3) + i] = news[i + 1];
    return news[0];
  },

  marivelt_open_canvas: function(title, width, height) {
    var canvas = Module['canvas'];
    if (!canvas) return 0;
    canvas.width = width;
    canvas.height = height;
    canvas.hidden = false;
    document.title = UTF8ToString(title);
    return 1;
  },

  // The canvas's drawing buffer, and its width on the page: its pixels at
  // the screen's density when it fills the room, the page's own otherwise.
  marivelt_size_canvas: function(width, height, fills) {
    var canvas = Module['canvas'];
    if (canvas.width !== width || canvas.height !== height) {  // a new size clears it
      canvas.width = width;
      canvas.height = height;
    }
    canvas.style.width = fills ? width / (window.devicePixelRatio || 1) + 'px' : '';
  },

  marivelt_close_canvas__deps: ['$MariveltPage'],
  marivelt_close_canvas: function() {
    var canvas = Module['canvas'];
    if (canvas) canvas.hidden = true;
    MariveltPage.filling = false;
    MariveltPage.stage().classList.remove('filling');
    if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function() {});
  },

  marivelt_show_cursor: function(show) {
    var canvas = Module['canvas'];
    if (canvas) canvas.style.cursor = show ? '' : 'none';
  },

  // The legacy GL emulation starts with a context made this way; depth as
  // asked, no antialiasing, and no alpha, as the program's pixel format.
  marivelt_create_context__deps: ['$Browser'],
  marivelt_create_context: function() {
    var attributes = {depth: true, stencil: false, alpha: false, antialias: false,
                      preserveDrawingBuffer: false};
    return Browser.createContext(Module['canvas'], true, true, attributes) ? 1 : 0;
  },

  // The frame is done: it is announced (a 'marivelt-frame' event, while the
  // picture is still in the drawing buffer), a touch button's key is let go
  // (the pass that saw it held is this one), and the program sleeps until
  // the browser's next animation frame.
  marivelt_present__deps: ['$MariveltPage'],
  // (On resuming, asyncify calls this again; only the function given to
  // handleSleep runs just once per frame.)
  marivelt_present: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      MariveltPage.frames++;
      window.dispatchEvent(new CustomEvent('marivelt-frame', {detail: MariveltPage.frames}));
      MariveltPage.buttonKeys.forEach(function(key) { MariveltPage.postKey(key, false, false); });
      MariveltPage.buttonKeys = [];
      MariveltPage.sleepToNextFrame(wakeUp);
    });
  },

  // The frame stays as it is on the screen for one more animation frame.
  marivelt_next_frame__deps: ['$MariveltPage'],
  marivelt_next_frame: function() {
    return Asyncify.handleSleep(MariveltPage.sleepToNextFrame);
  },

  // The page's own dialog with the caption and words; returns once it is
  // closed. Without one, the words go to the console.
  marivelt_message_box: function(text, caption, icon) {
    return Asyncify.handleSleep(function(wakeUp) {
      var words = UTF8ToString(text), title = UTF8ToString(caption);
      var dialog = document.getElementById('box');
      if (!dialog || !dialog.showModal) {
        err(title + ': ' + words);
        wakeUp();
        return;
      }
      dialog.querySelector('.caption').textContent = title;
      dialog.querySelector('.text').textContent = words;
      dialog.className = ['none', 'warning', 'error', 'information'][icon] || 'none';
      dialog.addEventListener('close', function() { wakeUp(); }, {once: true});
      dialog.showModal();
    });
  },
});
