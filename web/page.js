// The page around the show: fetches the module, the shader pair and the
// track, and then either
//   - plays the show live: a start control (browsers play sound only after a
//     gesture), full screen where allowed, the track once, one frame of the
//     show per animation frame at the track's position; Escape or the end of
//     the track ends it and offers to play again; or
//   - with ?at=S[&size=WxH][&fps=N], draws the one frame that
//     velquor-capture --at S --size WxH --fps N draws, silently, at once,
//     and writes "ready" (or "error: " and why) into #status.
// Every failure is one line on the page and in the console.
'use strict';

(function () {
  const shaderFiles = ['data/stars.vs', 'data/stars.fs'];
  const trackFile = 'data/quorvin.mp3';
  // The capture's own limits and defaults.
  const largestSide = 16384;
  const largestFps = 1000;
  const longestSeconds = 86400;
  const defaults = { width: 1920, height: 1080, fps: 60 };

  const canvas = document.getElementById('canvas');
  const front = document.getElementById('front');
  const startButton = document.getElementById('start');
  const errorLine = document.getElementById('error');
  const report = document.getElementById('report');
  const status = document.getElementById('status');
  status.frames = 0;

  // What the engine printed: its shader reports among it.
  const printed = [];

  function fail(error) {
    const reason = error instanceof Error ? error.message : String(error);
    status.textContent = 'error: ' + reason;
    errorLine.textContent = reason;
    report.textContent = printed.join('\n');
    startButton.hidden = true;
    front.hidden = false;
    console.error('velquor: ' + reason);
  }

  async function fetchOk(path) {
    let response;
    try {
      response = await fetch(path);
    } catch (error) {
      throw new Error('cannot fetch ' + path + ': ' + error.message);
    }
    if (!response.ok)
      throw new Error('cannot fetch ' + path + ': HTTP ' + response.status +
                      (response.statusText ? ' ' + response.statusText : ''));
    return response;
  }

  function loadScript(path) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = path;
      script.onload = resolve;
      script.onerror = () => fetchOk(path).then(() => reject(new Error('cannot run ' + path)), reject);
      document.head.appendChild(script);
    });
  }

  async function loadShow() {
    await loadScript('velquor.js');
    const show = await createVelquor({
      canvas: canvas,
      print: line => { printed.push(line); console.log(line); },
      printErr: line => { printed.push(line); console.warn(line); },
    });
    return show;
  }

  // The shader pair goes where the engine reads it, as on a disk.
  async function loadShaders(show, fetched) {
    show.FS.mkdir('data');
    for (let k = 0; k < shaderFiles.length; k++)
      show.FS.writeFile(shaderFiles[k], await fetched[k].text());
  }

  function openShow(show, width, height, keepFrame) {
    canvas.width = width;
    canvas.height = height;
    const error = show.ccall('velquor_open', 'string', ['number', 'number', 'number'],
                             [width, height, keepFrame ? 1 : 0]);
    if (error)
      throw new Error(error + (printed.length ? ' (the engine\'s report is below)' : ''));
  }

  // WebGL hides the true renderer behind "WebKit WebGL" unless asked.
  function rendererName() {
    const gl = canvas.getContext('webgl2');
    if (!gl)
      return 'no WebGL2';
    const info = gl.getExtension('WEBGL_debug_renderer_info');
    return 'WebGL2, ' + gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER);
  }

  // ---- Frame-exact mode --------------------------------------------------

  function wholeNumber(text, name, low, high) {
    if (!/^[0-9]+$/.test(text) || Number(text) < low || Number(text) > high)
      throw new Error(name + ': \'' + text + '\' is not a whole number from ' + low + ' to ' + high);
    return Number(text);
  }

  function stillRequest(query) {
    const at = query.get('at').trim();
    const seconds = Number(at);
    if (at === '' || !Number.isFinite(seconds) || seconds < 0 || seconds > longestSeconds)
      throw new Error('at: \'' + at + '\' is not a time from 0 to ' + longestSeconds + ' seconds');
    const request = { seconds: seconds, width: defaults.width, height: defaults.height, fps: defaults.fps };
    if (query.has('size')) {
      const size = query.get('size').split('x');
      if (size.length !== 2)
        throw new Error('size: \'' + query.get('size') + '\' is not a size such as 1920x1080');
      request.width = wholeNumber(size[0], 'size: the width', 1, largestSide);
      request.height = wholeNumber(size[1], 'size: the height', 1, largestSide);
    }
    if (query.has('fps'))
      request.fps = wholeNumber(query.get('fps'), 'fps', 1, largestFps);
    return request;
  }

  async function drawStill(query) {
    document.body.classList.add('exact');
    front.hidden = true;
    const request = stillRequest(query);
    // Exactly width x height device pixels, at the top left.
    canvas.style.width = request.width / devicePixelRatio + 'px';
    canvas.style.height = request.height / devicePixelRatio + 'px';
    const fetched = Promise.all(shaderFiles.map(fetchOk));
    const show = await loadShow();
    await loadShaders(show, await fetched);
    openShow(show, request.width, request.height, true);
    const error = show.ccall('velquor_draw_frame', 'string', ['number', 'number'], [request.seconds, request.fps]);
    if (error)
      throw new Error(error);
    status.textContent = 'ready\n' + rendererName();
  }

  // ---- Live mode ---------------------------------------------------------

  function drawableSize() {
    return {
      width: Math.max(1, Math.round(canvas.clientWidth * devicePixelRatio)),
      height: Math.max(1, Math.round(canvas.clientHeight * devicePixelRatio)),
    };
  }

  async function prepareLive() {
    const fetched = Promise.all(shaderFiles.concat([trackFile]).map(fetchOk));
    const show = await loadShow();
    const files = await fetched;
    await loadShaders(show, files);
    const track = document.createElement('audio');
    track.id = 'track';
    track.preload = 'auto';
    track.src = URL.createObjectURL(await files[shaderFiles.length].blob());
    document.body.appendChild(track);
    const size = drawableSize();
    openShow(show, size.width, size.height, false);
    status.textContent = 'ready to play\n' + rendererName();
    return { show: show, track: track, draw: show.cwrap('velquor_draw', null, ['number']) };
  }

  function playLive(live) {
    let playing = false;
    let played = false;
    let wentFullScreen = false;

    function followCanvas() {
      const size = drawableSize();
      if (size.width === canvas.width && size.height === canvas.height)
        return;
      canvas.width = size.width;
      canvas.height = size.height;
      live.show.ccall('velquor_resize', null, ['number', 'number'], [size.width, size.height]);
    }

    function frame() {
      if (!playing)
        return;
      followCanvas();
      live.draw(live.track.currentTime);
      status.frames++;
      if (live.track.ended)
        end();
      else
        requestAnimationFrame(frame);
    }

    function end() {
      if (!playing)
        return;
      playing = false;
      played = true;
      live.track.pause();
      if (document.fullscreenElement)
        document.exitFullscreen().catch(() => {});
      status.textContent = 'ended after ' + status.frames + ' frames';
      startButton.textContent = 'Play again';
      front.hidden = false;
      startButton.focus();
    }

    function start() {
      // A second click before the track has started must not start a second loop.
      if (playing || front.hidden)
        return;
      if (played)
        live.show.ccall('velquor_rewind', null, [], []);
      front.hidden = true;
      wentFullScreen = false;
      if (document.documentElement.requestFullscreen)
        document.documentElement.requestFullscreen().then(() => { wentFullScreen = true; }, () => {});
      live.track.currentTime = 0;
      status.frames = 0;
      live.track.play().then(() => {
        playing = true;
        status.textContent = 'playing';
        requestAnimationFrame(frame);
      }, error => fail('the browser would not play ' + trackFile + ': ' + error.message));
    }

    live.track.addEventListener('ended', end);
    document.addEventListener('keydown', event => {
      if (event.key === 'Escape')
        end();
    });
    // A browser in full screen keeps Escape for itself and leaves full screen.
    document.addEventListener('fullscreenchange', () => {
      if (!document.fullscreenElement && wentFullScreen)
        end();
    });
    startButton.addEventListener('click', start);
    startButton.textContent = 'Start';
    startButton.disabled = false;
    startButton.focus();
  }

  async function main() {
    if (location.protocol === 'file:')
      throw new Error('this page cannot run from a file: browsers do not let it fetch its data there. ' +
                      'Serve the folder over HTTP, for example with ./run.sh web, and open the address it prints');
    const query = new URLSearchParams(location.search);
    if (query.has('at'))
      return drawStill(query);
    playLive(await prepareLive());
  }

  main().catch(fail);
})();
