// The page around the game: its module settings and loader, what the player reads while it loads
// or when it cannot, the sound woken by the first key or touch and silenced while the page is
// hidden, the full-screen button, the finger's controls, and the worker that keeps the game for
// offline play. A file of its own, as the page runs no inline script.
//
// The build replaces the two quoted @...@ names below with the hashed file names it published;
// left as they are (the file read by the tests), the plain names stand.
var builtNames = '@FILE_NAMES@';
var builtGame = '@GAME_JS@';
var fileNames = builtNames.charAt(0) === '{' ? JSON.parse(builtNames) : {};
var gameScript = builtGame.charAt(0) === '@' ? 'game.js' : builtGame;

var byId = function (id) { return document.getElementById(id); };
var statusLine = byId('status');
var statusText = statusLine.firstChild || statusLine;
var bar = byId('bar');
var started = false;
var failed = false;

function showStatus(text, share) {
  statusText.textContent = text;
  if (bar) {
    bar.hidden = share === undefined;
    if (share !== undefined && bar.firstElementChild) bar.firstElementChild.style.width = share + '%';
  }
}

// One plain sentence for the player and a way to try again; the details go to the console.
function fail(what, detail) {
  if (failed || started) return;
  failed = true;
  if (detail) console.warn('pondlark: ' + detail);
  statusLine.hidden = true;
  byId('failure-text').textContent = what;
  byId('failure').hidden = false;
}
byId('retry').addEventListener('click', function () { window.location.reload(); });

// A short notice over the top of the game, gone after a while.
function notice(text, ms) {
  var line = byId('notice');
  line.textContent = text;
  line.hidden = false;
  setTimeout(function () { line.hidden = true; }, ms);
}

var Module = {
  canvas: byId('canvas'),
  locateFile: function (path, prefix) { return (prefix || '') + (fileNames[path] || path); },
  // The loader reports "Downloading data... (got/total)": a player reads a share of it.
  setStatus: function (text) {
    if (failed) return;
    var counts = /\((\d+)\/(\d+)\)/.exec(text);
    if (!counts || +counts[2] === 0) { showStatus(text); return; }
    var share = Math.floor(100 * counts[1] / counts[2]);
    if (share < 100) showStatus('Loading Pondlark\u2026 ' + share + ' %', share);
    else showStatus('Starting Pondlark\u2026', 100);
  },
  monitorRunDependencies: function (left) {
    if (left === 0 && !failed) { started = true; showStatus(''); statusLine.hidden = true; }
  },
  onAbort: function (why) {
    fail('Pondlark could not be loaded. Check the connection and try again.', String(why));
  },
  pondlarkEnded: function () {
    statusLine.hidden = false;
    showStatus('Thanks for playing. Reload the page to play again.');
  },
  print: function (text) { console.log(text); },
  printErr: function (text) { console.warn(text); },
};

// The game's files come in through the loader, whose failures surface as errors on the window.
window.addEventListener('error', function (e) {
  fail('Pondlark could not be loaded. Check the connection and try again.', e && e.message);
});
window.addEventListener('unhandledrejection', function (e) {
  fail('Pondlark could not be loaded. Check the connection and try again.', e && String(e.reason));
});

// Browsers keep sound off until the player touches the page; the first key or touch wakes it.
// While the page is hidden or another window has the focus the game is silent at once, without
// waiting for a game step (a hidden tab takes none), and its sound comes back with the focus.
var silencedByPage = false;
function audioContext() {
  var sdl = Module.SDL2;
  return sdl && sdl.audioContext;
}
function pageInView() {
  return document.visibilityState !== 'hidden' && (!document.hasFocus || document.hasFocus());
}
function wakeSound() {
  var audio = audioContext();
  if (audio && audio.state === 'suspended' && pageInView()) audio.resume();
  if (audio && audio.state === 'running') {
    window.removeEventListener('keydown', wakeSound, true);
    window.removeEventListener('pointerdown', wakeSound, true);
  }
}
function followView() {
  var audio = audioContext();
  if (!audio) return;
  if (!pageInView()) {
    if (audio.state === 'running') { silencedByPage = true; audio.suspend(); }
  } else if (silencedByPage) {
    silencedByPage = false;
    audio.resume();
  }
}
window.addEventListener('keydown', wakeSound, true);
window.addEventListener('pointerdown', wakeSound, true);
document.addEventListener('visibilitychange', followView);
window.addEventListener('blur', followView);
window.addEventListener('focus', followView);

byId('full').addEventListener('click', function () {
  var c = Module.canvas;
  (c.requestFullscreen || c.webkitRequestFullscreen).call(c);
  c.focus();
});
// The right button belongs to the game, not to the browser's menu.
Module.canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });

// Where the pointer is on the 800x600 frame, which the game reads with each mouse event.
var kFrameWidth = 800;
var kFrameHeight = 600;
function notePointer(e) {
  var r = Module.canvas.getBoundingClientRect();
  if (!r.width || !r.height) return;
  Module.pondlarkPointer = { x: Math.floor((e.clientX - r.left) * kFrameWidth / r.width),
                             y: Math.floor((e.clientY - r.top) * kFrameHeight / r.height) };
}
['mousemove', 'mousedown', 'mouseup'].forEach(function (type) {
  window.addEventListener(type, notePointer, true);
});

// A finger on the game is its mouse: the menus take taps as clicks and the feast's aim follows a
// dragged finger while the tongue shoots. The page hands the game mouse events itself, as the
// game's library places its own touch points wrongly on a screen of several pixels per CSS pixel.
function fingerAsMouse(e) {
  if (e.target !== Module.canvas) return;
  e.preventDefault();
  e.stopPropagation();
  var touch = e.changedTouches && e.changedTouches[0];
  if (!touch) return;
  var send = function (type, buttons) {
    Module.canvas.dispatchEvent(new MouseEvent(type, { bubbles: true, cancelable: true, view: window,
      clientX: touch.clientX, clientY: touch.clientY, screenX: touch.screenX, screenY: touch.screenY,
      button: 0, buttons: buttons }));
  };
  if (e.type === 'touchstart') { send('mousemove', 0); send('mousedown', 1); }
  else if (e.type === 'touchmove') send('mousemove', 1);
  else send('mouseup', 0);
}
['touchstart', 'touchmove', 'touchend', 'touchcancel'].forEach(function (type) {
  window.addEventListener(type, fingerAsMouse, { capture: true, passive: false });
});

// The pond's buttons for a finger, shown while the last input was a touch. Each is a controller
// button to the game (the d-pad turns, A jumps): a direction is held a moment before A, so the
// frog faces the way it jumps; a held button keeps jumping, as a held key does.
var touchPad = (function () {
  var buttons = [];
  for (var i = 0; i < 17; ++i) buttons.push({ pressed: false, touched: false, value: 0 });
  var pad = { id: 'Pondlark touch controls (STANDARD GAMEPAD)', index: 0, connected: true,
              mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0], buttons: buttons };
  var shown = false;
  function set(button, down) {
    buttons[button] = { pressed: down, touched: down, value: down ? 1 : 0 };
    pad.timestamp = performance.now();
  }
  // Connected on the first touch only: a desktop player never has this controller.
  function connect() {
    if (shown) return;
    shown = true;
    var nav = window.navigator;
    var real = nav.getGamepads ? nav.getGamepads.bind(nav) : function () { return []; };
    Object.defineProperty(nav, 'getGamepads', { configurable: true, value: function () {
      var list = Array.prototype.slice.call(real() || []);
      var free = 0;
      while (list[free]) ++free;
      pad.index = free;
      list[free] = pad;
      return list;
    } });
    var e = new Event('gamepadconnected');
    e.gamepad = pad;
    window.dispatchEvent(e);
  }
  return { set: set, connect: connect };
})();
var touchControls = byId('touch');
var kPadA = 0;
var kTurnFirstMs = 70;
var kShortestPressMs = 200;
window.addEventListener('pointerdown', function (e) {
  var touch = e.pointerType === 'touch';
  if (touch) touchPad.connect();
  touchControls.hidden = !touch;
}, true);
Array.prototype.forEach.call(touchControls.querySelectorAll('button'), function (button) {
  var pad = +button.getAttribute('data-pad');
  var turns = pad >= 12 && pad <= 15;
  var presses = 0;
  var pressed = false;
  var downAt = 0;
  button.addEventListener('pointerdown', function (e) {
    e.preventDefault();
    var press = ++presses;
    pressed = true;
    downAt = performance.now();
    touchPad.set(pad, true);
    // Also for a quick tap: the release waits until A has been held a while.
    if (turns) setTimeout(function () { if (press === presses) touchPad.set(kPadA, true); }, kTurnFirstMs);
  });
  var up = function () {
    if (!pressed) return;
    pressed = false;
    var press = presses;
    setTimeout(function () {
      if (press !== presses) return; // pressed again meanwhile: that press releases
      touchPad.set(pad, false);
      if (turns) touchPad.set(kPadA, false);
    }, Math.max(0, downAt + kShortestPressMs - performance.now()));
  };
  button.addEventListener('pointerup', up);
  button.addEventListener('pointercancel', up);
  button.addEventListener('pointerleave', up);
});

// A replay from the score service's table, when the address ends in `?replay=ID`: fetched beside
// the game's files (pre.js hands it to the game), shown before the game's own menus. The line
// above the frame says what the keys do, how it ended, or why it cannot be shown.
var replayLine = byId('replay');
var replayAsked = /[?&]replay=([^&#]*)/.exec(window.location.search || '');
function sayOfReplay(text) {
  if (!replayLine || replayLine.textContent === text && replayLine.hidden === !text) return;
  replayLine.textContent = text;
  replayLine.hidden = !text;
}
if (replayAsked) {
  var replayId = replayAsked[1];
  Module.pondlarkReplayDownload = !/^[0-9]{1,18}$/.test(replayId)
    ? Promise.reject('the address names no replay')
    : fetch('/api/replays/' + replayId, { cache: 'no-store' }).then(function (reply) {
      if (reply.status === 404) throw 'the score service has no replay ' + replayId;
      if (!reply.ok) throw 'the score service answered ' + reply.status;
      return reply.arrayBuffer();
    }, function () {
      throw 'the score service could not be reached';
    }).then(function (body) { return new Uint8Array(body); });
  // Looked at later, by the game's loader: not a failure of the page meanwhile.
  Module.pondlarkReplayDownload.catch(function () {});
}
var replayWas = '';
var replayChanges = 0;
Module.pondlarkReplayState = function (replay) {
  Module.pondlarkReplay = replay;
  var state = replay.state;
  var changed = state !== replayWas;
  replayWas = state;
  if (changed) ++replayChanges;
  if (state === 'playing') {
    // Said for a while as it starts or goes on: the line covers the top of the frame, where
    // the level, the lives and the score are.
    if (!changed) return;
    sayOfReplay('A game from the score table. P pauses, Esc goes to the game.');
    var change = replayChanges;
    setTimeout(function () { if (change === replayChanges) sayOfReplay(''); }, 6000);
  } else if (state === 'paused') sayOfReplay('The replay is paused: P goes on, Esc goes to the game.');
  else if (state === 'over') sayOfReplay('The replay has ended with ' + replay.score + ' points. Esc goes to the game.');
  else if (state === 'failed') {
    sayOfReplay('This replay cannot be shown: ' + replay.problem + '.');
    // Read, it goes with the player's first key or touch in the game.
    var gone = function () {
      sayOfReplay('');
      window.removeEventListener('keydown', gone, true);
      window.removeEventListener('pointerdown', gone, true);
    };
    setTimeout(function () {
      window.addEventListener('keydown', gone, true);
      window.addEventListener('pointerdown', gone, true);
    }, 3000);
  } else sayOfReplay('');
};

// The game's later files: the sounds and the songs of play and game over, which nothing before
// the first frames needs (the first package holds the pictures, the face and the intro's song).
// They are fetched once the game has shown its first frame (or the first frame of the replay the
// address asked for), so they take nothing from the start, and written where the game reads
// them; it takes each up on the pass it appears. A file that cannot be fetched is tried twice
// more, a few seconds apart; then the player is told, and the game plays on without it.
var laterFiles = ['Data/Music.dxw', 'Music/2.xm', 'Music/3.xm'];
var laterTries = 3;
var laterRetryMs = 3000;
function fetchLaterFile(path, triesLeft) {
  return fetch(fileNames[path] || path).then(function (reply) {
    if (!reply.ok) throw new Error(path + ': the server answered ' + reply.status);
    return reply.arrayBuffer();
  }).then(function (body) {
    Module.FS.writeFile('/game/' + path, new Uint8Array(body));
  }, function (err) {
    if (triesLeft <= 1) throw err;
    return new Promise(function (resolve) { setTimeout(resolve, laterRetryMs); })
      .then(function () { return fetchLaterFile(path, triesLeft - 1); });
  });
}
var laterPollMs = 50;
function fetchLaterFiles() {
  var status = Module.pondlarkStatus;
  if (!status || !(status.frames > 0)) {
    setTimeout(fetchLaterFiles, laterPollMs);
    return;
  }
  Module.pondlarkLaterFiles = Promise.all(laterFiles.map(function (path) {
    return fetchLaterFile(path, laterTries);
  })).catch(function (err) {
    console.warn('pondlark: ' + err);
    notice('The game\'s sounds could not be loaded: it plays on without them. Reload the page ' +
           'to try again.', 10000);
  }).then(keepForOffline);
}
Module.onRuntimeInitialized = fetchLaterFiles;

// Said once when the browser keeps nothing for the site (the loader's pre.js finds out).
Module.pondlarkSettingsNotKept = function (detail) {
  if (detail) console.warn('pondlark: ' + detail);
  notice('This browser keeps no data for this site: settings and scores last only until the page closes.', 10000);
};

// The program itself, where the browser can run it.
if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
  fail('This browser cannot run Pondlark: it needs WebAssembly, which current versions of ' +
       'Chrome, Firefox, Safari and Edge have.');
} else {
  var script = document.createElement('script');
  script.src = gameScript;
  script.async = true;
  script.onerror = function () {
    fail('Pondlark could not be loaded. Check the connection and try again.', gameScript + ' failed');
  };
  document.body.appendChild(script);
}

// A worker keeps the game's files, so the game starts again without the network. It is taken
// on once the later files are in: installing, it asks for every file of the build, which then
// come from what the browser already keeps instead of competing with the first visit's start.
function keepForOffline() {
  if (!('serviceWorker' in navigator) || window.location.protocol === 'file:') return;
  navigator.serviceWorker.register('sw.js').catch(function (err) {
    console.warn('pondlark: playing offline is not available: ' + err);
  });
}
