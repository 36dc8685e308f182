// The page around any show: the front, the music, the live play on the
// show's 60 Hz clock, resizing, the frame-exact stills and the failures. The
// packed page runs vqPage(files, source) once it has unpacked its files.
//
// STEP BY STEP
//   1. The show's module starts (runtime.js) and names its show, track and
//      length. A synthesis module, if the page has one, renders the music in
//      a worker while a bar moves; otherwise the show's track is decoded by
//      the browser, or a silent show is timed by the page's own clock.
//   2. The show is built at the canvas's size in device pixels.
//   3. Start: full screen where allowed, the music once, and on every
//      animation frame the show stepped, undrawn, through every frame it
//      missed and then drawn at frame n = round(t x 60), t being what is heard
//      now. A faster display shows the same frame again; a hidden tab catches
//      up. Escape, leaving full screen or the end of the music ends it, with
//      its last frame left on the canvas, and offers to play again.
//   4. A new canvas size is taken once it has settled: until then the frame
//      is stretched, and then the show is built again at that size.
//   5. ?at=S[&size=WxH][&fps=N] draws, silently, the one frame that
//      velquor-capture --at S --size WxH --fps N draws, and writes "ready"
//      (or "error: " and why) into #status.
//
// It DOES NOT fetch anything: every file it needs came packed with it.
'use strict';

function vqPage(files, source) {
  // The capture's own limits and defaults.
  const largestSide = 16384;
  const largestFps = 1000;
  const longestSeconds = 86400;
  const defaults = { width: 1920, height: 1080, fps: 60 };
  // The tools' clock: frame n shows n / 60 seconds.
  const fps = 60;
  // How long the canvas keeps one size before the show is built for it.
  const settleMs = 250;

  const byId = id => document.getElementById(id);
  const canvas = byId('canvas');
  const front = byId('front');
  const startButton = byId('start');
  const bar = byId('bar');
  const saveMusic = byId('save-music');
  const errorLine = byId('error');
  const report = byId('report');
  const status = byId('status');

  // What the modules printed: the engine's shader reports among it.
  const printed = [];
  const host = {
    canvas: canvas,
    files: files,
    print: line => { printed.push(line); console.log(line); },
    printErr: line => { printed.push(line); console.warn(line); },
    progress: () => {},
    lastLine: () => printed[printed.length - 1] || '',
  };

  function fail(error) {
    const reason = error instanceof Error ? error.message : String(error);
    status.textContent = 'error: ' + reason;
    errorLine.textContent = reason;
    report.textContent = printed.join('\n');
    startButton.hidden = true;
    byId('progress').hidden = true;
    front.hidden = false;
    console.error(document.title + ': ' + reason);
  }

  function checked(error) {
    if (error)
      throw new Error(error + (printed.length ? ' (the engine\'s report is below)' : ''));
  }

  function openShow(show, width, height, keepFrame) {
    canvas.width = width;
    canvas.height = height;
    checked(show.answer('vq_page_open', width, height, keepFrame ? 1 : 0));
  }

  // WebGL hides the true renderer behind "WebKit WebGL" unless asked.
  function rendererName() {
    const gl = host.gl;
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
    const show = await startModule(files.get('show.wasm'), host);
    openShow(show, request.width, request.height, true);
    checked(show.answer('vq_page_still', request.seconds, request.fps));
    status.textContent = 'ready\n' + rendererName();
  }

  // ---- The music ---------------------------------------------------------

  // The synthesis module in a worker of its own, which runs this same source.
  function synthesize(bytes) {
    return new Promise((resolve, reject) => {
      const code = URL.createObjectURL(new Blob([source, '\nvqWorker()'], { type: 'text/javascript' }));
      const worker = new Worker(code);
      worker.onmessage = message => {
        const answer = message.data;
        if (answer.error)
          reject(new Error('the music could not be made: ' + answer.error));
        else if (answer.wav) {
          worker.terminate();
          URL.revokeObjectURL(code);
          resolve(new Uint8Array(answer.wav));
        } else
          showProgress(answer.done);
      };
      worker.onerror = event => reject(new Error('the music could not be made: ' + event.message));
      worker.postMessage(bytes);
    });
  }

  function showProgress(done) {
    bar.style.width = (100 * done).toFixed(1) + '%';
    startButton.textContent = 'Making the music ' + Math.floor(100 * done) + ' %';
  }

  // A 16-bit PCM WAV file's samples as Web Audio's.
  function wavBuffer(audio, wav) {
    const view = new DataView(wav.buffer, wav.byteOffset, wav.byteLength);
    const channels = view.getUint16(22, true);
    const rate = view.getUint32(24, true);
    let at = 12;
    while (at + 8 <= wav.length && view.getUint32(at, false) !== 0x64617461 /* "data" */)
      at += 8 + view.getUint32(at + 4, true);
    if (at + 8 > wav.length || view.getUint16(34, true) !== 16)
      throw new Error('the music made is not a 16-bit PCM WAV file');
    const frames = Math.floor(view.getUint32(at + 4, true) / (2 * channels));
    const buffer = audio.createBuffer(channels, frames, rate);
    for (let c = 0; c < channels; c++) {
      const samples = buffer.getChannelData(c);
      for (let i = 0, p = at + 8 + 2 * c; i < frames; i++, p += 2 * channels)
        samples[i] = view.getInt16(p, true) / 32768;
    }
    return buffer;
  }

  async function music(show, name) {
    const track = show.answer('vq_page_track');
    const synthesis = files.get('synthesis.wasm');
    if (!synthesis && !track)
      return { seconds: show.call('vq_page_seconds') };
    if (!window.AudioContext)
      throw new Error('this browser has no Web Audio, which the page plays its music through');
    const audio = new AudioContext();
    if (!synthesis) {
      const bytes = files.get(track);
      if (!bytes)
        throw new Error('the show\'s track ' + track + ' is not packed into the page');
      const buffer = await audio.decodeAudioData(bytes.slice().buffer)
        .catch(error => { throw new Error('the browser cannot decode ' + track + ': ' + error.message); });
      return { audio: audio, buffer: buffer, seconds: buffer.duration };
    }
    byId('progress').hidden = false;
    const wav = await synthesize(synthesis);
    const buffer = wavBuffer(audio, wav);
    saveMusic.href = URL.createObjectURL(new Blob([wav], { type: 'audio/wav' }));
    saveMusic.download = name + '.wav';
    saveMusic.textContent = 'Save the music (WAV, ' + (wav.length / 1e6).toFixed(1) + ' MB)';
    saveMusic.hidden = false;
    return { audio: audio, buffer: buffer, seconds: buffer.duration };
  }

  // ---- Live mode ---------------------------------------------------------

  function drawableSize() {
    return {
      width: Math.max(1, Math.round(canvas.clientWidth * devicePixelRatio)),
      height: Math.max(1, Math.round(canvas.clientHeight * devicePixelRatio)),
    };
  }

  const nextPaint = () => new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve)));

  async function prepareLive() {
    const show = await startModule(files.get('show.wasm'), host);
    const name = show.answer('vq_page_name');
    const sound = music(show, name);
    // The bar is on screen before the show's build holds the page a moment.
    await nextPaint();
    const size = drawableSize();
    openShow(show, size.width, size.height, false);
    const live = await sound;
    live.show = show;
    status.textContent = 'ready to play\n' + rendererName();
    byId('progress').hidden = true;
    return live;
  }

  function playLive(live) {
    let playing = false;
    let played = false;
    let wentFullScreen = false;
    let source = null;
    let startedAt = 0;
    let shown = 0;
    let draws = 0;
    // A size the canvas is taking, and when it will have kept it long enough.
    let wanted = null;
    let settledAt = 0;

    // What is heard now, in show seconds.
    function clock() {
      if (!live.audio)
        return (performance.now() - startedAt) / 1000;
      return live.audio.currentTime - startedAt - (live.audio.outputLatency || 0);
    }

    function followCanvas(now) {
      const size = drawableSize();
      if (size.width === canvas.width && size.height === canvas.height) {
        wanted = null;
        return;
      }
      if (!wanted || wanted.width !== size.width || wanted.height !== size.height) {
        wanted = size;
        settledAt = now + settleMs;
      }
      if (now < settledAt)
        return;
      wanted = null;
      canvas.width = size.width;
      canvas.height = size.height;
      checked(live.show.answer('vq_page_resize', size.width, size.height));
    }

    function showFrame(n) {
      for (let k = shown + 1; k < n; k++)
        live.show.call('vq_page_step', k / fps);
      live.show.call('vq_page_draw', n / fps);
      shown = n;
      draws++;
      status.dataset.frame = n;
      status.dataset.draws = draws;
    }

    function frame(now) {
      if (!playing)
        return;
      try {
        followCanvas(now);
        const t = clock();
        if (t >= live.seconds)
          return end();
        const n = Math.round(t * fps);
        if (n > shown)
          showFrame(n);
      } catch (error) {
        end();
        return fail(error);
      }
      requestAnimationFrame(frame);
    }

    function end() {
      if (!playing)
        return;
      playing = false;
      played = true;
      if (source)
        source.stop();
      if (document.fullscreenElement)
        document.exitFullscreen().catch(() => {});
      status.textContent = 'ended after ' + draws + ' frames';
      startButton.textContent = 'Play again';
      // The last frame stays, dimmed under the front.
      document.body.classList.add('over');
      front.hidden = false;
      startButton.focus();
    }

    async function start() {
      // A second click before the music has started must not start a second loop.
      if (playing || front.hidden)
        return;
      if (played)
        checked(live.show.answer('vq_page_rewind'));
      front.hidden = true;
      wentFullScreen = false;
      if (document.documentElement.requestFullscreen)
        document.documentElement.requestFullscreen().then(() => { wentFullScreen = true; }, () => {});
      shown = 0;
      draws = 0;
      status.dataset.frame = 0;
      status.dataset.draws = 0;
      if (live.audio) {
        await live.audio.resume();
        source = live.audio.createBufferSource();
        source.buffer = live.buffer;
        source.connect(live.audio.destination);
        // A moment ahead, so the first sample is not late.
        startedAt = live.audio.currentTime + 0.05;
        source.start(startedAt);
      } else
        startedAt = performance.now();
      playing = true;
      status.textContent = 'playing';
      requestAnimationFrame(frame);
    }

    document.addEventListener('keydown', event => {
      if (event.key === 'Escape')
        end();
    });
    // A browser in full screen keeps Escape for itself and leaves full screen.
    document.addEventListener('fullscreenchange', () => {
      if (!document.fullscreenElement && wentFullScreen)
        end();
    });
    startButton.addEventListener('click', () => start().catch(fail));
    startButton.textContent = 'Start';
    startButton.disabled = false;
    startButton.focus();
  }

  async function main() {
    const query = new URLSearchParams(location.search);
    if (query.has('at'))
      return drawStill(query);
    playLive(await prepareLive());
  }

  main().catch(fail);
}

// The synthesis module's worker: renders the music, reporting its progress,
// and hands back the WAV file.
function vqWorker() {
  onmessage = async message => {
    try {
      const host = {
        files: new Map(),
        print: line => console.log(line),
        printErr: line => console.warn(line),
        progress: done => postMessage({ done: done }),
        lastLine: () => '',
      };
      const synthesis = await startModule(message.data, host);
      const wav = synthesis.bytes(synthesis.call('vq_synth_render'), synthesis.call('vq_synth_size'));
      postMessage({ wav: wav.buffer }, [wav.buffer]);
    } catch (error) {
      postMessage({ error: error.message });
    }
  };
}
