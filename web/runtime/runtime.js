// The page runtime's JavaScript half: everything a show's WebAssembly module
// imports, written for the page alone. A module is built with emscripten as
// standalone WebAssembly, so that what it needs from here is a short list of
// plain functions: WebGL 2 under the OpenGL names the engine calls, a few
// WASI calls for its printing and its packed files, and the JavaScript Math
// functions its libm would otherwise carry. The packer (pack.py) keeps only
// the imports that the page's modules ask for.
//
// STEP BY STEP
//   1. startModule(bytes, host) instantiates a module with these imports,
//      runs its static constructors and its main, and answers the module.
//   2. host.canvas is where a WebGL 2 context is made when the module asks
//      for one; host.files holds the packed files by name; host.print and
//      host.printErr hear its standard output and error, a line at a time;
//      host.progress hears a synthesis's progress.
//   3. module.call(name, ...numbers) calls an export; module.text(pointer)
//      reads a C string the module answered.
//
// It DOES NOT emulate desktop OpenGL beyond what WebGL 2 has, write files,
// run threads, or give a module anything it did not import.
'use strict';

function vqRuntime(host) {
  let memory, exports, u8, i32, u32, f32;
  const decoder = new TextDecoder();
  const encoder = new TextEncoder();

  function views() {
    u8 = new Uint8Array(memory.buffer);
    i32 = new Int32Array(memory.buffer);
    u32 = new Uint32Array(memory.buffer);
    f32 = new Float32Array(memory.buffer);
  }

  function text(pointer, length) {
    let end = pointer;
    if (length === undefined || length < 0)
      while (u8[end]) end++;
    else
      end += length;
    return decoder.decode(u8.slice(pointer, end));
  }

  // A string copied into the module's memory for good, as GL's own strings are.
  function cString(value) {
    const bytes = encoder.encode(value);
    const pointer = exports.malloc(bytes.length + 1);
    u8.set(bytes, pointer);
    u8[pointer + bytes.length] = 0;
    return pointer;
  }

  // Writes at most size - 1 bytes of value and its terminator; the length
  // written, without it, goes to lengthPointer when there is one.
  function putText(value, size, lengthPointer, pointer) {
    const bytes = encoder.encode(value || '').subarray(0, Math.max(0, size - 1));
    if (size > 0) {
      u8.set(bytes, pointer);
      u8[pointer + bytes.length] = 0;
    }
    if (lengthPointer)
      i32[lengthPointer >> 2] = bytes.length;
  }

  // ---- GL names: WebGL's objects by the numbers C hands around. 0 is none.
  const objects = [null];
  const freeNames = [];
  function nameOf(object) {
    const name = freeNames.length ? freeNames.pop() : objects.length;
    objects[name] = object;
    return name;
  }
  function release(name) {
    if (name > 0 && objects[name]) {
      objects[name] = null;
      freeNames.push(name);
    }
  }
  function makeNames(count, pointer, make) {
    for (let k = 0; k < count; k++)
      u32[(pointer >> 2) + k] = nameOf(make());
  }
  function dropNames(count, pointer, drop) {
    for (let k = 0; k < count; k++) {
      const name = u32[(pointer >> 2) + k];
      if (objects[name])
        drop(objects[name]);
      release(name);
    }
  }
  // A uniform location; -1, WebGL's null, is quietly ignored by every setter.
  function at(location) {
    return location > 0 ? objects[location] : null;
  }
  function logLength(log) {
    return log ? encoder.encode(log).length + 1 : 0;
  }

  // Switches of desktop GL that WebGL 2 does not have: a point sprite's size
  // always comes from its vertex shader there, and multisampling is the
  // context's.
  const desktopOnly = new Set([0x8642 /* PROGRAM_POINT_SIZE */, 0x8861 /* POINT_SPRITE */, 0x809d /* MULTISAMPLE */]);

  // A desktop GLSL source (#version 330 to 460, core) as GLSL ES 3.00: the
  // version line and default precisions that WebGL 2 needs; the lines keep
  // their numbers, so the driver's reports point where the file does.
  function forWebGL(source) {
    return source.replace(/^(\s*)#version[ \t]+(33|4[0-6])0([ \t]+core)?[ \t]*$/m,
                          '$1#version 300 es\nprecision highp float;precision highp int;\n#line 2');
  }

  const strings = {};
  function glString(name) {
    const gl = host.gl;
    switch (name) {
      case 0x1f00: return gl.getParameter(gl.VENDOR);
      case 0x1f01: return gl.getParameter(gl.RENDERER);
      case 0x1f02: return 'OpenGL ES 3.0 (' + gl.getParameter(gl.VERSION) + ')';
      case 0x8b8c: return 'OpenGL ES GLSL ES 3.00 (' + gl.getParameter(gl.SHADING_LANGUAGE_VERSION) + ')';
      case 0x1f03: return '';
    }
    return null;
  }

  // ---- Files: the packed ones, read-only, by descriptor from 3 on.
  const open = [];
  const lines = ['', '', ''];
  function write(fd, chunk) {
    const say = fd === 2 ? host.printErr : host.print;
    const parts = (lines[fd] + chunk).split('\n');
    lines[fd] = parts.pop();
    for (const line of parts)
      say(line);
  }
  function ioVectors(iov, count, each) {
    let done = 0;
    for (let k = 0; k < count; k++) {
      const pointer = u32[(iov >> 2) + 2 * k];
      const length = u32[(iov >> 2) + 2 * k + 1];
      done += each(pointer, length);
    }
    return done;
  }
  const badDescriptor = 8;

  const gl = () => host.gl;
  const imports = {
    /* imports: begin */
    glActiveTexture: unit => gl().activeTexture(unit),
    glAttachShader: (program, shader) => gl().attachShader(objects[program], objects[shader]),
    glBindBuffer: (target, buffer) => gl().bindBuffer(target, objects[buffer]),
    glBindTexture: (target, texture) => gl().bindTexture(target, objects[texture]),
    glBindVertexArray: array => gl().bindVertexArray(objects[array]),
    glBlendFunc: (source, destination) => gl().blendFunc(source, destination),
    glBufferData: (target, size, data, usage) =>
      data ? gl().bufferData(target, u8.subarray(data, data + size), usage) : gl().bufferData(target, size, usage),
    glBufferSubData: (target, offset, size, data) => gl().bufferSubData(target, offset, u8.subarray(data, data + size)),
    glClear: mask => gl().clear(mask),
    glClearColor: (red, green, blue, alpha) => gl().clearColor(red, green, blue, alpha),
    glCompileShader: shader => gl().compileShader(objects[shader]),
    glCreateProgram: () => nameOf(gl().createProgram()),
    glCreateShader: type => nameOf(gl().createShader(type)),
    glDeleteBuffers: (count, pointer) => dropNames(count, pointer, buffer => gl().deleteBuffer(buffer)),
    glDeleteProgram: program => { gl().deleteProgram(objects[program]); release(program); },
    glDeleteShader: shader => { gl().deleteShader(objects[shader]); release(shader); },
    glDeleteTextures: (count, pointer) => dropNames(count, pointer, texture => gl().deleteTexture(texture)),
    glDeleteVertexArrays: (count, pointer) => dropNames(count, pointer, array => gl().deleteVertexArray(array)),
    glDepthMask: on => gl().depthMask(!!on),
    glDisable: capability => desktopOnly.has(capability) || gl().disable(capability),
    glDrawArrays: (mode, first, count) => gl().drawArrays(mode, first, count),
    glDrawElements: (mode, count, type, offset) => gl().drawElements(mode, count, type, offset),
    glEnable: capability => desktopOnly.has(capability) || gl().enable(capability),
    glEnableVertexAttribArray: index => gl().enableVertexAttribArray(index),
    glGenBuffers: (count, pointer) => makeNames(count, pointer, () => gl().createBuffer()),
    glGenTextures: (count, pointer) => makeNames(count, pointer, () => gl().createTexture()),
    glGenVertexArrays: (count, pointer) => makeNames(count, pointer, () => gl().createVertexArray()),
    glGenerateMipmap: target => gl().generateMipmap(target),
    glGetError: () => gl().getError(),
    glGetIntegerv: (name, pointer) => {
      const value = gl().getParameter(name);
      if (value === null || value === undefined)
        return;
      if (typeof value === 'object' && 'length' in value)
        for (let k = 0; k < value.length; k++) i32[(pointer >> 2) + k] = +value[k];
      else if (typeof value === 'object')
        i32[pointer >> 2] = objects.indexOf(value);
      else
        i32[pointer >> 2] = +value;
    },
    glGetProgramInfoLog: (program, size, length, pointer) =>
      putText(gl().getProgramInfoLog(objects[program]), size, length, pointer),
    glGetProgramiv: (program, name, pointer) => {
      const object = objects[program];
      i32[pointer >> 2] = name === 0x8b84 /* INFO_LOG_LENGTH */ ? logLength(gl().getProgramInfoLog(object))
                                                                  : +gl().getProgramParameter(object, name);
    },
    glGetShaderInfoLog: (shader, size, length, pointer) =>
      putText(gl().getShaderInfoLog(objects[shader]), size, length, pointer),
    glGetShaderiv: (shader, name, pointer) => {
      const object = objects[shader];
      i32[pointer >> 2] = name === 0x8b84 /* INFO_LOG_LENGTH */ ? logLength(gl().getShaderInfoLog(object))
                        : name === 0x8b88 /* SHADER_SOURCE_LENGTH */ ? logLength(gl().getShaderSource(object))
                        : +gl().getShaderParameter(object, name);
    },
    glGetString: name => {
      if (!(name in strings)) {
        const value = glString(name);
        strings[name] = value === null ? 0 : cString(value);
      }
      return strings[name];
    },
    glGetUniformLocation: (program, pointer) => {
      const object = objects[program];
      const name = text(pointer);
      const known = object.vqUniforms || (object.vqUniforms = {});
      if (!(name in known)) {
        const location = gl().getUniformLocation(object, name);
        known[name] = location ? nameOf(location) : -1;
      }
      return known[name];
    },
    glLinkProgram: program => {
      // Linking again moves the uniforms.
      objects[program].vqUniforms = null;
      gl().linkProgram(objects[program]);
    },
    glPixelStorei: (name, value) => gl().pixelStorei(name, value),
    glShaderSource: (shader, count, sources, lengths) => {
      let source = '';
      for (let k = 0; k < count; k++)
        source += text(u32[(sources >> 2) + k], lengths ? i32[(lengths >> 2) + k] : -1);
      gl().shaderSource(objects[shader], forWebGL(source));
    },
    glTexImage2D: (target, level, internal, width, height, border, format, type, pixels) =>
      gl().texImage2D(target, level, internal, width, height, border, format, type,
                      pixels ? u8.subarray(pixels) : null, 0),
    glTexParameteri: (target, name, value) => gl().texParameteri(target, name, value),
    glUniform1f: (location, x) => gl().uniform1f(at(location), x),
    glUniform1i: (location, x) => gl().uniform1i(at(location), x),
    glUniform2f: (location, x, y) => gl().uniform2f(at(location), x, y),
    glUniform3f: (location, x, y, z) => gl().uniform3f(at(location), x, y, z),
    glUniform4f: (location, x, y, z, w) => gl().uniform4f(at(location), x, y, z, w),
    glUniformMatrix4fv: (location, count, transpose, pointer) =>
      gl().uniformMatrix4fv(at(location), !!transpose, f32.subarray(pointer >> 2, (pointer >> 2) + 16 * count)),
    glUseProgram: program => gl().useProgram(objects[program]),
    glValidateProgram: program => gl().validateProgram(objects[program]),
    glVertexAttribPointer: (index, size, type, normalized, stride, offset) =>
      gl().vertexAttribPointer(index, size, type, !!normalized, stride, offset),
    glViewport: (x, y, width, height) => gl().viewport(x, y, width, height),
    glewInit: () => 0,
    // EmscriptenWebGLContextAttributes: 14 ints, alpha first.
    emscripten_webgl_init_context_attributes: pointer => {
      i32.fill(0, pointer >> 2, (pointer >> 2) + 14);
      for (const k of [0, 1, 3, 4, 10]) i32[(pointer >> 2) + k] = 1;
      i32[(pointer >> 2) + 8] = 2;
    },
    emscripten_webgl_create_context: (target, pointer) => {
      const a = i32.subarray(pointer >> 2, (pointer >> 2) + 14);
      if (a[8] !== 2)
        return 0;
      host.gl = host.canvas.getContext('webgl2', {
        alpha: !!a[0], depth: !!a[1], stencil: !!a[2], antialias: !!a[3], premultipliedAlpha: !!a[4],
        preserveDrawingBuffer: !!a[5], powerPreference: ['default', 'low-power', 'high-performance'][a[6]] || 'default',
        failIfMajorPerformanceCaveat: !!a[7],
      });
      return host.gl ? 1 : 0;
    },
    emscripten_webgl_make_context_current: () => 0,
    vq_file_open: pointer => {
      const bytes = host.files.get(text(pointer));
      if (!bytes)
        return -1;
      let fd = 3;
      while (open[fd]) fd++;
      open[fd] = { bytes: bytes, at: 0 };
      return fd;
    },
    vq_file_size: fd => open[fd] ? open[fd].bytes.length : -1,
    vq_synth_progress: done => host.progress(done),
    fd_write: (fd, iov, count, written) => {
      if (fd !== 1 && fd !== 2)
        return badDescriptor;
      u32[written >> 2] = ioVectors(iov, count, (pointer, length) => {
        write(fd, text(pointer, length));
        return length;
      });
      return 0;
    },
    fd_read: (fd, iov, count, read) => {
      const file = open[fd];
      if (!file)
        return badDescriptor;
      u32[read >> 2] = ioVectors(iov, count, (pointer, length) => {
        const chunk = file.bytes.subarray(file.at, file.at + length);
        u8.set(chunk, pointer);
        file.at += chunk.length;
        return chunk.length;
      });
      return 0;
    },
    // The offset is a 64-bit integer, which JavaScript sees as a BigInt.
    fd_seek: (fd, offset, whence, position) => {
      const file = open[fd];
      if (!file)
        return badDescriptor;
      const from = [0, file.at, file.bytes.length][whence];
      const to = from + Number(offset);
      if (from === undefined || to < 0)
        return 28; // EINVAL
      file.at = to;
      u32[position >> 2] = to;
      u32[(position >> 2) + 1] = 0;
      return 0;
    },
    fd_close: fd => {
      if (!open[fd])
        return badDescriptor;
      open[fd] = null;
      return 0;
    },
    environ_sizes_get: (count, size) => { u32[count >> 2] = 0; u32[size >> 2] = 0; return 0; },
    environ_get: () => 0,
    proc_exit: code => { throw new Error('the module stopped with exit code ' + code); },
    emscripten_notify_memory_growth: () => views(),
    JS_cos: Math.cos,
    JS_cosf: Math.cos,
    JS_sin: Math.sin,
    JS_sinf: Math.sin,
    JS_tan: Math.tan,
    JS_tanf: Math.tan,
    JS_exp: Math.exp,
    JS_expf: Math.exp,
    JS_log: Math.log,
    JS_logf: Math.log,
    JS_pow: Math.pow,
    JS_powf: Math.pow,
    JS_atan2: Math.atan2,
    JS_atan2f: Math.atan2,
    JS_acos: Math.acos,
    JS_asin: Math.asin,
    JS_atan: Math.atan,
    JS_sqrt: Math.sqrt,
    JS_sqrtf: Math.sqrt,
    JS_fabs: Math.abs,
    JS_floor: Math.floor,
    JS_ceil: Math.ceil,
    JS_round: x => x >= 0 ? Math.floor(x + 0.5) : Math.ceil(x - 0.5),
    JS_roundf: x => x >= 0 ? Math.floor(x + 0.5) : Math.ceil(x - 0.5),
    /* imports: end */
  };

  return {
    imports: imports,
    attach: instance => {
      exports = instance.exports;
      memory = exports.memory;
      views();
    },
    text: text,
  };
}

// A module started: its static constructors run and its main returned 0.
async function startModule(bytes, host) {
  const runtime = vqRuntime(host);
  // The packer has checked that every import the module asks for is here.
  const { instance } = await WebAssembly.instantiate(bytes, { env: runtime.imports, wasi_snapshot_preview1: runtime.imports });
  runtime.attach(instance);
  const exports = instance.exports;
  exports._initialize();
  const status = exports.main(0, 0);
  if (status !== 0)
    throw new Error(host.lastLine() || 'the module\'s main returned ' + status);
  return {
    call: (name, ...values) => exports[name](...values),
    text: runtime.text,
    answer: (name, ...values) => runtime.text(exports[name](...values)),
    bytes: (pointer, length) => new Uint8Array(exports.memory.buffer, pointer, length).slice(),
  };
}
