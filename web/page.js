// The page around the game: its module settings, the sound woken by the first key or click, the
// full-screen button. A file of its own, as the page runs no inline script.
var statusLine = document.getElementById('status');
var Module = {
  canvas: document.getElementById('canvas'),
  // The loader reports "Downloading data... (got/total)": a player reads a share of it.
  setStatus: function (text) {
    var counts = /\((\d+)\/(\d+)\)/.exec(text);
    if (!counts || +counts[2] === 0) { statusLine.textContent = text; return; }
    var share = Math.floor(100 * counts[1] / counts[2]);
    statusLine.textContent = share < 100 ? 'Loading Pondlark\u2026 ' + share + ' %' : 'Starting Pondlark\u2026';
  },
  monitorRunDependencies: function (left) { if (left === 0) statusLine.textContent = ''; },
  pondlarkEnded: function () { statusLine.textContent = 'Thanks for playing. Reload the page to play again.'; },
  print: function (text) { console.log(text); },
  printErr: function (text) { console.warn(text); },
};
// Browsers keep sound off until the player touches the page; the first key or click wakes it.
function wakeSound() {
  var sdl = Module.SDL2;
  if (sdl && sdl.audioContext && sdl.audioContext.state === 'suspended') sdl.audioContext.resume();
  if (sdl && sdl.audioContext && sdl.audioContext.state === 'running') {
    window.removeEventListener('keydown', wakeSound, true);
    window.removeEventListener('pointerdown', wakeSound, true);
  }
}
window.addEventListener('keydown', wakeSound, true);
window.addEventListener('pointerdown', wakeSound, true);
document.getElementById('full').addEventListener('click', function () {
  var c = Module.canvas;
  (c.requestFullscreen || c.webkitRequestFullscreen).call(c);
  c.focus();
});
// The right button belongs to the game, not to the browser's menu.
Module.canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
