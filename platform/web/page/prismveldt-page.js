// The page's side of the browser build: downloads the game (its data and
// program come gzip-compressed and are unpacked here, so any static server
// will do), then hands the game its canvas, the pointer, keys and wheel, the
// pad, Web Audio and the message boxes' place. The game's side is
// platform/web/*.cpp. Served by a records board at /play/, ?run=ID watches
// that run: its recording is fetched from the board before the game starts
// and played by the game's replay viewer, which reads it as it reads any
// recording file.
"use strict";

var Module = (function () {
  var canvas = document.getElementById("canvas");
  // A desynchronized canvas goes to the screen without the page's compositor
  // taking a copy of each frame: a tenth of a core less on a machine without
  // a graphics card. Every frame is put whole (or its changed rows) in one
  // call, so a frame is never shown half drawn by the game.
  var context = canvas.getContext("2d", { alpha: false, desynchronized: true });
  var stage = document.getElementById("stage");
  var params = new URLSearchParams(location.search);

  // ---- the canvas, scaled to fit the tab (or the screen) with black bars ----
  function Fit() {
    var scale = Math.min(stage.clientWidth / canvas.width, stage.clientHeight / canvas.height);
    canvas.style.width = Math.floor(canvas.width * scale) + "px";
    canvas.style.height = Math.floor(canvas.height * scale) + "px";
  }
  window.addEventListener("resize", Fit);
  document.addEventListener("fullscreenchange", Fit);

  // ---- pointer and keys, in the picture's pixels and virtual-key codes ----
  var keys = new Uint8Array(256);
  // Presses of the keyboard's keys not yet taken (repeats left out), so that
  // a tap between two frames still counts; held to the game's bound.
  var presses = new Uint16Array(256);
  var boxEvents = [], boxOpen = false, boxRect = null, underBox = null;
  var KEY_CODES = { Escape: 0x1B, Enter: 0x0D, NumpadEnter: 0x0D, Space: 0x20, Tab: 0x09,
    Backspace: 0x08, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
    ShiftLeft: 0x10, ShiftRight: 0x10, ControlLeft: 0x11, ControlRight: 0x11,
    AltLeft: 0x12, AltRight: 0x12, Insert: 0x2D, Delete: 0x2E, Home: 0x24, End: 0x23,
    PageUp: 0x21, PageDown: 0x22, Pause: 0x13, CapsLock: 0x14 };
  function VirtualKey(event) {
    var code = event.code || "";
    if (/^Key[A-Z]$/.test(code)) return code.charCodeAt(3);
    if (/^Digit[0-9]$/.test(code)) return code.charCodeAt(5);
    if (/^Numpad[0-9]$/.test(code)) return 0x60 + Number(code[6]);
    if (/^F([1-9]|1[0-2])$/.test(code)) return 0x6F + Number(code.slice(1));
    return KEY_CODES[code] || 0;
  }
  function PicturePoint(event) {
    var rect = canvas.getBoundingClientRect();
    if (rect.width <= 0 || rect.height <= 0) return [-1, -1];
    return [Math.floor((event.clientX - rect.left) * canvas.width / rect.width),
            Math.floor((event.clientY - rect.top) * canvas.height / rect.height)];
  }
  function BoxPoint(point) {
    return boxRect ? [point[0] - boxRect.x, point[1] - boxRect.y] : [-1, -1];
  }
  // The mouse, a pen and a finger alike, as pointer events: a finger on the
  // canvas is the mouse with its left button held, so the game aims and fires
  // on a touch screen too. Only the first finger counts.
  var MOUSE_KEYS = [0x01, 0x04, 0x02, 0x05, 0x06];  // left, middle, right, back, forward
  var BUTTON_BITS = [1, 4, 2, 8, 16];              // the same buttons in event.buttons
  function Aim(event) {
    var point = PicturePoint(event);
    web.pointerX = point[0];
    web.pointerY = point[1];
    if (boxOpen) { var p = BoxPoint(point); boxEvents.push({ type: 1, x: p[0], y: p[1] }); }
  }
  // While a box is open the buttons are the box's: it takes a left release as a click.
  function Press(event) {
    if (!boxOpen && MOUSE_KEYS[event.button]) keys[MOUSE_KEYS[event.button]] = 1;
  }
  function Release(event) {
    if (MOUSE_KEYS[event.button]) keys[MOUSE_KEYS[event.button]] = 0;
    if (boxOpen && event.button === 0) {
      var p = BoxPoint(PicturePoint(event));
      boxEvents.push({ type: 2, x: p[0], y: p[1] });
    }
  }
  window.addEventListener("pointermove", function (event) {
    if (!event.isPrimary) return;
    Aim(event);
    // A second mouse button pressed or let go while one is held comes as a move.
    if (!MOUSE_KEYS[event.button]) return;
    if (!(event.buttons & BUTTON_BITS[event.button])) Release(event);
    else if (event.target === canvas) Press(event);
  });
  canvas.addEventListener("pointerdown", function (event) {
    if (!event.isPrimary) return;
    event.preventDefault();
    canvas.focus();
    Aim(event);
    Press(event);
  });
  window.addEventListener("pointerup", function (event) { if (event.isPrimary) Release(event); });
  // The browser took the finger over (a system gesture): nothing is held any more.
  window.addEventListener("pointercancel", function (event) {
    if (event.isPrimary) MOUSE_KEYS.forEach(function (key) { keys[key] = 0; });
  });
  canvas.addEventListener("contextmenu", function (event) { event.preventDefault(); });
  window.addEventListener("keydown", function (event) {
    var key = VirtualKey(event);
    if (!key || !started) return;
    // The browser's own keys stay the browser's (reload, tools); F11 is the
    // game's, which fills the screen with the page as Alt+Enter does.
    if (key < 0x70 || key > 0x7B || key === 0x7A) event.preventDefault();
    if (boxOpen) { if (!event.repeat) boxEvents.push({ type: 3, x: 0, y: 0, key: key }); }
    else {
      if (!event.repeat && presses[key] < 1000) presses[key]++;
      keys[key] = 1;
    }
  });
  window.addEventListener("keyup", function (event) { keys[VirtualKey(event)] = 0; });
  // Keys released while the tab is away would stay held for ever.
  window.addEventListener("blur", function () { keys.fill(0); });
  // The game asks once a frame whether the page kept the focus; a hidden tab
  // runs no frames, so a loss is kept until it has been asked about.
  var focusLost = false;
  function FocusedNow() { return !document.hidden && document.hasFocus(); }
  window.addEventListener("blur", function () { focusLost = true; });
  document.addEventListener("visibilitychange", function () { if (document.hidden) focusLost = true; });
  // Whether the page fills the screen as the game asked: the player may leave
  // it with Escape, and the browser may refuse it.
  document.addEventListener("fullscreenchange", function () {
    web.fullscreenOn = !!document.fullscreenElement;
  });

  // ---- the wheel, in notches, up positive ----
  // Browsers give a turn in pixels (Chrome and Edge 100 a notch, a touchpad's
  // glide many small ones), in lines (Firefox, 3 a notch) or in pages (one a
  // notch here); the parts add up to whole notches, the rest waits.
  var WHEEL_NOTCH = [100, 3, 1];  // by deltaMode: pixels, lines, pages
  var wheelNotches = 0;
  canvas.addEventListener("wheel", function (event) {
    event.preventDefault();  // the page never scrolls or zooms under the game
    var turned = -event.deltaY / (WHEEL_NOTCH[event.deltaMode] || WHEEL_NOTCH[0]);
    if (isFinite(turned)) wheelNotches = Math.max(-1e6, Math.min(1e6, wheelNotches + turned));
  }, { passive: false });

  // ---- the pad: the Gamepad API's standard mapping, as SDL names its parts ----
  // SDL's number of each standard button; the triggers (6 and 7) are read as axes.
  var SDL_BUTTONS = [0, 1, 2, 3, 9, 10, -1, -1, 4, 6, 7, 8, 11, 12, 13, 14, 5];
  var padOrder = [];      // the attached pads' indexes, in the order they came
  var padsNamed = Object.create(null);  // the pads without the standard mapping, each said once
  // The pad: of those attached, the first to come that has the standard
  // mapping. Any other's buttons and axes could be anything at all, so it is
  // not read; the console says so once.
  function CurrentPad() {
    var pads;
    try { pads = navigator.getGamepads ? navigator.getGamepads() || [] : []; } catch (e) { pads = []; }
    var attached = [];
    for (var i = 0; i < pads.length; i++) if (pads[i] && pads[i].connected !== false) attached.push(i);
    padOrder = padOrder.filter(function (index) { return attached.indexOf(index) >= 0; });
    attached.forEach(function (index) { if (padOrder.indexOf(index) < 0) padOrder.push(index); });
    for (var k = 0; k < padOrder.length; k++) {
      var pad = pads[padOrder[k]];
      if (pad.mapping === "standard") return pad;
      if (!padsNamed[pad.id]) {
        padsNamed[pad.id] = true;
        console.warn("prismveldt: the pad \"" + pad.id + "\" has no standard mapping in this " +
                     "browser; the game does not read it");
      }
    }
    return null;
  }
  function Within(value, low, high) {
    value = Number(value);
    return value > high ? high : value < low ? low : value === value ? value : 0;  // NaN: 0
  }
  // -1..1, down and right positive, to -32768..32767; 0..1 to 0..32767.
  function StickAxis(value) {
    value = Within(value || 0, -1, 1);
    return value < 0 ? Math.round(value * 32768) : Math.round(value * 32767);
  }
  function TriggerAxis(button) {
    var value = button && typeof button === "object" ? button.value : button;
    return Math.round(Within(value || 0, 0, 1) * 32767);
  }
  function Held(button) {
    return button && typeof button === "object" ? !!button.pressed : Number(button) > 0.5;
  }

  // ---- Web Audio: decoded sounds, one effect and one feedback sound at a time, the music ----
  var audio = null, sounds = [null], soundByPath = {}, effect = null, feedback = null, music = null;
  function StopSource(source) { try { source.stop(); } catch (e) {} }
  // One gain node for the music and one for the effects, made when first used.
  var gains = {};
  function Gain(kind) {
    if (!gains[kind]) {
      gains[kind] = audio.createGain();
      gains[kind].gain.value = web.volumes[kind] / 100;
      gains[kind].connect(audio.destination);
    }
    return gains[kind];
  }

  var web = {
    pointerX: -1, pointerY: -1, keys: keys,
    movePointer: function (x, y) { web.pointerX = x; web.pointerY = y; },
    takeKeyPresses: function (key) {
      var n = presses[key];
      presses[key] = 0;
      return n;
    },
    takeWheelSteps: function () {
      var steps = Math.trunc(wheelNotches);
      wheelNotches -= steps;
      return steps;
    },
    // The pad now: { axes: [left x, left y, right x, right y, left trigger,
    // right trigger], buttons: bit n for SDL's button n }, or null for none.
    readPad: function () {
      var pad = CurrentPad();
      if (!pad) return null;
      var axes = pad.axes || [], buttons = pad.buttons || [], bits = 0;
      for (var i = 0; i < SDL_BUTTONS.length; i++)
        if (SDL_BUTTONS[i] >= 0 && Held(buttons[i])) bits |= 1 << SDL_BUTTONS[i];
      return { axes: [StickAxis(axes[0]), StickAxis(axes[1]), StickAxis(axes[2]), StickAxis(axes[3]),
                      TriggerAxis(buttons[6]), TriggerAxis(buttons[7])], buttons: bits >>> 0 };
    },
    // Both motors at percent (1..100) for ms, where the browser and the pad can.
    rumblePad: function (percent, ms) {
      var pad = CurrentPad(), actuator = pad && pad.vibrationActuator;
      if (!actuator || typeof actuator.playEffect !== "function") return;
      var magnitude = Within(percent, 0, 100) / 100;
      try {
        Promise.resolve(actuator.playEffect("dual-rumble", { startDelay: 0, duration: ms,
          strongMagnitude: magnitude, weakMagnitude: magnitude })).catch(function () {});
      } catch (e) {}
    },
    shapeCanvas: function (width, height) {
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
        web.canvasStale = true;
      }
      Fit();
    },
    fullscreenOn: false,
    fullscreen: function (on) {
      web.fullscreenOn = on && (!!document.fullscreenElement || !!stage.requestFullscreen);
      if (on && !document.fullscreenElement && stage.requestFullscreen)
        stage.requestFullscreen().catch(function () { web.fullscreenOn = !!document.fullscreenElement; });
      if (!on && document.fullscreenElement) document.exitFullscreen().catch(function () {});
    },
    takeFocus: function () {
      var kept = FocusedNow() && !focusLost;
      focusLost = false;
      return kept;
    },
    // A frame, of which only `rows` rows from firstRow on differ from the last.
    present: function (pixels, width, height, firstRow, rows) {
      web.framesShown++;
      if (web.canvasStale) {
        firstRow = 0;
        rows = height;
        web.canvasStale = false;
      }
      if (rows === 0) return;
      var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
      context.putImageData(new ImageData(bytes, width, height), 0, 0, 0, firstRow, width, rows);
    },
    framesShown: 0,
    canvasStale: true,  // the canvas may not hold the last frame: cleared, or drawn over
    frameWaits: 0, overranFrames: 0, lateFrames: 0,  // the game's frames; too long; begun late
    showCursor: function (visible) { canvas.style.cursor = visible ? "default" : "none"; },

    audioReady: function () { return audio !== null; },
    decodeSound: function (path, bytes) {
      if (soundByPath[path]) return Promise.resolve(soundByPath[path]);
      var copy = bytes.slice().buffer;
      return new Promise(function (resolve) {
        audio.decodeAudioData(copy, function (buffer) {
          sounds.push(buffer);
          soundByPath[path] = sounds.length - 1;
          resolve(sounds.length - 1);
        }, function () { resolve(0); });
      });
    },
    // A sound the page decoded before the game started, by the game's name
    // for it (relative to the game's folder, or whole); 0 for none.
    soundNumber: function (name) {
      var path;
      try { path = FS.lookupPath(name, { follow: true }).path; } catch (e) { return 0; }
      return soundByPath[path] || 0;
    },
    effectsPlayed: 0,
    playEffect: function (sound) {
      web.effectsPlayed++;
      if (effect) StopSource(effect);
      effect = audio.createBufferSource();
      effect.buffer = sounds[sound];
      effect.connect(Gain("effects"));
      effect.start();
    },
    // The loudness of each, a percentage: a gain node between it and the speakers.
    volumes: { music: 100, effects: 100 },
    setVolumes: function (music, effects) {
      web.volumes.music = music;
      web.volumes.effects = effects;
      for (var kind in gains) gains[kind].gain.value = web.volumes[kind] / 100;
    },
    stopEffect: function () { if (effect) StopSource(effect); effect = null; },
    // The feedback sounds (a checkpoint, a death, the goal): a source of
    // their own beside the effect's, at the effects' loudness.
    feedbackPlayed: 0,
    playFeedback: function (sound) {
      web.feedbackPlayed++;
      if (feedback) StopSource(feedback);
      feedback = audio.createBufferSource();
      feedback.buffer = sounds[sound];
      feedback.connect(Gain("effects"));
      feedback.start();
    },
    stopFeedback: function () { if (feedback) StopSource(feedback); feedback = null; },
    musicStarts: 0,
    playMusic: function (sound, loop) {
      web.musicStarts++;
      web.stopMusic();
      var source = audio.createBufferSource();
      source.buffer = sounds[sound];
      source.loop = loop;
      source.connect(Gain("music"));
      music = { source: source, start: audio.currentTime, loop: loop, ended: false,
                duration: sounds[sound].duration };
      var playing = music;
      source.onended = function () { playing.ended = true; };
      source.start();
    },
    stopMusic: function () { if (music) StopSource(music.source); music = null; },
    musicPlaying: function () { return music !== null && (music.loop || !music.ended); },
    // Whole passes played since the play began: the loop's seams, or the end.
    musicPasses: function () {
      if (!music) return 0;
      if (!music.loop) return music.ended ? 1 : 0;
      if (!(music.duration > 0)) return 0;
      return Math.floor((audio.currentTime - music.start) / music.duration);
    },

    // ---- message boxes, drawn by the game, shown over the canvas's middle ----
    openBox: function () {
      underBox = context.getImageData(0, 0, canvas.width, canvas.height);
      web.canvasStale = true;
      boxEvents.length = 0;
      boxOpen = true;
      canvas.style.cursor = "default";
    },
    drawBox: function (pixels, width, height) {
      var image = context.createImageData(width, height);
      var words = new Uint32Array(HEAPU8.buffer, pixels, width * height);
      var out = image.data;
      for (var i = 0; i < words.length; i++) {
        var p = words[i];
        out[i * 4] = p >> 16 & 255; out[i * 4 + 1] = p >> 8 & 255;
        out[i * 4 + 2] = p & 255; out[i * 4 + 3] = 255;
      }
      boxRect = { x: Math.max(0, (canvas.width - width) >> 1),
                  y: Math.max(0, (canvas.height - height) >> 1) };
      context.putImageData(image, boxRect.x, boxRect.y);
    },
    nextBoxEvent: function () { return boxEvents.shift() || null; },
    boxOpen: function () { return boxOpen; },
    closeBox: function () {
      if (underBox) context.putImageData(underBox, 0, 0);
      underBox = null;
      boxRect = null;
      boxOpen = false;
      boxEvents.length = 0;
    },

    // ---- the saved files, written through to IndexedDB without waiting ----
    syncSaved: function () {
      if (saving) { saveAgain = true; return; }
      saving = true;
      try {
        FS.syncfs(false, function (error) {
          if (error) console.warn("prismveldt: the browser did not keep the saved files");
          saving = false;
          if (saveAgain) { saveAgain = false; web.syncSaved(); }
        });
      } catch (e) { saving = false; }
    }
  };
  var saving = false, saveAgain = false;

  // Before the game starts: every sound of its folder decoded (Web Audio
  // decodes only asynchronously, and the game never waits), and the saved
  // folder read in from IndexedDB over the data's own.
  function DecodeSounds(folder) {
    var names;
    try { names = FS.readdir(folder); } catch (e) { return Promise.resolve(); }
    return Promise.all(names.filter(function (name) { return name !== "." && name !== ".."; })
      .map(function (name) {
        var path = folder + "/" + name;
        if (FS.isDir(FS.stat(path).mode)) return DecodeSounds(path);
        if (!audio || !/\.(wav|mp3|ogg)$/i.test(name)) return null;
        return web.decodeSound(path, FS.readFile(path));
      }));
  }
  function MountSavedFolder(path) {
    try { FS.mkdirTree(path); } catch (e) {}
    try { FS.mount(IDBFS, {}, path); } catch (e) { return Promise.resolve(false); }
    return new Promise(function (resolve) {
      try { FS.syncfs(true, function (error) { resolve(!error); }); } catch (e) { resolve(false); }
    });
  }

  // ---- the download, then the game ----
  var started = false;
  var progress = document.getElementById("progress");
  var status = document.getElementById("status");
  function Say(text) { status.textContent = text; }

  // Fetches a gzip file and unpacks it, counting the bytes as they come.
  function FetchGzip(url, onBytes) {
    return fetch(url).then(function (response) {
      if (!response.ok) throw new Error(url + ": " + response.status);
      var counted = response.body.pipeThrough(new TransformStream({
        transform: function (chunk, controller) { onBytes(chunk.byteLength); controller.enqueue(chunk); }
      }));
      return new Response(counted.pipeThrough(new DecompressionStream("gzip"))).arrayBuffer();
    });
  }
  function LoadScript(url) {
    return new Promise(function (resolve, reject) {
      var script = document.createElement("script");
      script.src = url;
      script.onload = resolve;
      script.onerror = function () { reject(new Error(url)); };
      document.body.appendChild(script);
    });
  }

  // ---- a run of the board's to watch (?run=ID) ----
  var RUN_BYTES_MAX = 2 << 20;  // the board takes recordings of 1 MiB at most
  var runId = params.get("run");
  var watching = runId !== null;
  var runPath = watching ? "/board/run-" + runId + ".replay" : null;
  // The recording's bytes, or an error that says what went wrong in words a
  // watcher can act on; fetched at once, so a missing run is said before the
  // game is downloaded.
  var recording = watching ? FetchRun(runId) : Promise.resolve(null);
  function FetchRun(id) {
    if (!/^[1-9][0-9]{0,17}$/.test(id))
      return Promise.reject(new Error("\"" + id.slice(0, 20) + "\" is not the number of a run."));
    // Beside /play/ on the board that serves this page.
    return fetch("../api/v1/runs/" + id + "/recording").catch(function () {
      throw new Error("The board could not be reached to fetch run " + id + ".");
    }).then(function (response) {
      if (response.status === 404) throw new Error("The board has no run " + id + ".");
      if (!response.ok) throw new Error("The board could not send run " + id + " (" + response.status + ").");
      return response.arrayBuffer();
    }).then(function (bytes) {
      if (bytes.byteLength > RUN_BYTES_MAX) throw new Error("Run " + id + " is too large to be a recording.");
      return new Uint8Array(bytes);
    });
  }

  var module = {
    canvas: canvas,
    web: web,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    prismveldtHashes: params.has("hashes"),
    prismveldtTrace: params.has("trace"),
    // The page starts the game once the sounds and the saved files are ready.
    noInitialRun: true,
    onRuntimeInitialized: function () {
      Promise.all([DecodeSounds("/game/se"), MountSavedFolder("/game/txt"), recording]).then(function (done) {
        module.savedFolderMounted = done[1];
        // The run goes to the game as a file of its own, as --replay FILE
        // hands one to the desktop game.
        if (watching) {
          FS.mkdirTree("/board");
          FS.writeFile(runPath, done[2]);
        }
        // A test's settings file (?settings=URL with a script) is the saved
        // one, as if the player had set them on an earlier visit.
        if (typeof module.prismveldtSettings === "string") {
          FS.mkdirTree("/game/txt/settings");
          FS.writeFile("/game/txt/settings/settings.ini", module.prismveldtSettings);
        }
        module.callMain(watching ? ["--replay", runPath] : []);
      });
    },
    onGameEnded: function (status) {
      // A box the game ended with (an error) stays up until it is clicked away.
      if (boxOpen) {
        endedUnderBox = status;
        return;
      }
      ShowEnded(status);
    },
    locateFile: function (path) { return path; }
  };
  var endedUnderBox;
  function ShowEnded(status) {
      document.getElementById("start").style.display = "flex";
      document.getElementById("title").style.display = "none";
      document.getElementById("play").style.display = "none";
      progress.style.display = "none";
      canvas.style.display = "none";
      if (!watching) Say("The game has ended (" + status + "). Reload the page to play again.");
      else {
        // A recording the game could not read was said in its box.
        Say(status === 0 ? "The replay has ended. Reload the page to watch the run again, or "
                         : "The run could not be played. You may ");
        var back = document.createElement("a");
        back.href = "../";
        back.textContent = "go back to the board";
        var said = document.getElementById("status");
        said.appendChild(back);
        said.appendChild(document.createTextNode("."));
      }
      web.ended = status;
  }
  function ClickAwayEndingBox() {
    if (endedUnderBox === undefined) return;
    web.closeBox();
    var status = endedUnderBox;
    endedUnderBox = undefined;
    ShowEnded(status);
  }
  window.addEventListener("pointerup", ClickAwayEndingBox);
  window.addEventListener("keydown", function (event) {
    if (event.key === "Enter" || event.key === " " || event.key === "Escape") ClickAwayEndingBox();
  });

  // Closing or leaving the tab while the game runs is asked about, as closing
  // its window is. A page cannot keep a tab open with a box of its own, so the
  // question is the browser's: leaving ends the game, staying leaves it as it
  // was. The page's thread waits while it is open, so no frame runs, but the
  // music plays on and the clocks keep going, as with the game's own box.
  function AskBeforeLeaving(event) {
    if (web.ended !== undefined || watching) return undefined;  // a replay loses nothing
    event.preventDefault();
    // "Do you really want to quit?"; browsers show their own words instead.
    event.returnValue = "\u672c\u5f53\u306b\u7d42\u4e86\u3057\u307e\u3059\u304b\uff1f";
    return event.returnValue;
  }

  function Start() {
    if (started || web.refused) return;
    started = true;
    var AudioContext = window.AudioContext || window.webkitAudioContext;
    try { audio = new AudioContext(); audio.resume(); } catch (e) { audio = null; }
    document.getElementById("play").style.display = "none";
    progress.style.display = "block";
    Say("Downloading the game...");
    var got = 0, total = 1;
    function Count(bytes) {
      got += bytes;
      progress.value = Math.min(got / total, 1);
      Say("Downloading the game... " + (got / 1048576).toFixed(1) + " of " +
          (total / 1048576).toFixed(1) + " MB");
    }
    var script = params.get("script");
    // A test that drives the game, or reads its frames, plays the build with
    // the test machinery; players get the one without.
    var testing = script || params.has("hashes") || params.has("trace");
    var program = testing ? "prismveldt-test" : "prismveldt";
    var settings = testing ? params.get("settings") : null;
    recording.then(function () { return fetch("prismveldt-files.json"); }).then(function (r) { return r.json(); }).then(function (files) {
      var wasm = testing ? files.testWasm : files.wasm;
      total = files.data.bytes + wasm.bytes;
      return Promise.all([
        FetchGzip(files.data.name, Count), FetchGzip(wasm.name, Count),
        script ? fetch(script).then(function (r) { return r.text(); }) : null,
        settings ? fetch(settings).then(function (r) { return r.text(); }) : null
      ]);
    }).then(function (got) {
      var data = got[0];
      module.getPreloadedPackage = function () { return data; };
      module.wasmBinary = got[1];
      if (got[2] !== null) module.prismveldtScript = got[2];
      if (got[3] !== null) module.prismveldtSettings = got[3];
      Say("Starting...");
      return LoadScript("prismveldt-data.js").then(function () { return LoadScript(program + ".js"); });
    }).then(function () {
      window.addEventListener("beforeunload", AskBeforeLeaving);
      document.getElementById("start").style.display = "none";
      canvas.style.display = "block";
      document.getElementById("fullscreen").style.display = "block";
      Fit();
      canvas.focus();
    }).catch(function (error) {
      Say(web.refused || "The game could not be loaded: " + error.message);
    });
  }
  if (watching) {
    document.getElementById("play").textContent = "Click to watch run " + runId.slice(0, 20);
    recording.catch(function (error) {
      document.getElementById("play").style.display = "none";
      Say(error.message);
      web.refused = error.message;
    });
  }
  document.getElementById("play").addEventListener("click", Start);
  document.getElementById("title").addEventListener("click", Start);  // its START looks clickable
  document.getElementById("fullscreen").addEventListener("click", function () {
    web.fullscreen(!document.fullscreenElement);
  });
  return module;
})();
