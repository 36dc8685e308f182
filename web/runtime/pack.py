#!/usr/bin/env python3
"""Packs a show's page into one HTML file that needs nothing else.

STEP BY STEP
  1. The runtime (runtime.js) keeps only the imports that the page's modules
     ask for; an import it does not have stops the build, named.
  2. The runtime and the page script (page.js) are minified with terser, as
     page.js; the boot script (boot.js) too.
  3. page.js, the show's module (show.wasm), the synthesis module if there is
     one (synthesis.wasm) and the data files, by the names the show reads
     them under, go into one stream, deflated (zopfli when it is installed,
     else zlib at its best), and written one byte to a character into the
     page template (page.html).
  4. A report gives the bytes of each part, deflated alone, and of the file.

It DOES NOT fetch anything, and the page it writes does not either.
"""

import argparse
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ESCAPE = 0x01
# What an HTML parser would change inside a script element: NUL, CR (made a
# line feed) and "<" (which could close it); and the escape itself.
ESCAPED = {0x00, 0x0D, 0x3C, ESCAPE}
IMPORTS = re.compile(r'/\* imports: begin \*/\n(.*?)\n\s*/\* imports: end \*/', re.S)
ENTRY = re.compile(r'^    (\w+):', re.M)


def fail(message):
    sys.exit('pack.py: ' + message)


def read(path, mode='rb'):
    try:
        with open(path, mode) as f:
            return f.read()
    except OSError as error:
        fail('cannot read %s: %s' % (path, error.strerror))


def leb128(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


def wasm_imports(path):
    """The names of the functions a WebAssembly module imports."""
    data = read(path)
    if data[:4] != b'\0asm':
        fail('%s is not a WebAssembly module' % path)
    names = []
    at = 8
    while at < len(data):
        section = data[at]
        size, at = leb128(data, at + 1)
        end = at + size
        if section == 2:
            count, at = leb128(data, at)
            for _ in range(count):
                for _ in range(2):
                    length, at = leb128(data, at)
                    name = data[at:at + length].decode()
                    at += length
                kind = data[at]
                at += 1
                if kind == 0:
                    names.append(name)
                    _, at = leb128(data, at)
                elif kind == 1:
                    at += 1
                    limits = data[at]
                    _, at = leb128(data, at + 1)
                    if limits & 1:
                        _, at = leb128(data, at)
                elif kind == 2:
                    limits = data[at]
                    _, at = leb128(data, at + 1)
                    if limits & 1:
                        _, at = leb128(data, at)
                else:
                    at += 2
        at = end
    return names


def shaken_runtime(runtime, wanted, modules):
    """The runtime with only the imports in wanted."""
    block = IMPORTS.search(runtime)
    if not block:
        fail('runtime.js has no /* imports: begin */ ... /* imports: end */ block')
    body = block.group(1)
    starts = [m.start() for m in ENTRY.finditer(body)] + [len(body)]
    entries = {ENTRY.match(body, a).group(1): body[a:b] for a, b in zip(starts, starts[1:])}
    missing = sorted(set(wanted) - set(entries))
    if missing:
        fail('the page runtime has no %s, which %s import%s' %
             (', '.join(missing), ' and '.join(modules), 's' if len(modules) == 1 else ''))
    kept = ''.join(entries[name] for name in entries if name in wanted)
    return runtime[:block.start(1)] + kept.rstrip('\n') + runtime[block.end(1):]


def minified(source, name):
    script = ("let s='';process.stdin.on('data',d=>s+=d).on('end',async()=>{"
              "const r=await require('terser').minify(s,{ecma:2020,compress:{passes:2},mangle:true});"
              "process.stdout.write(r.code)})")
    environment = dict(os.environ, NODE_PATH='/usr/share/nodejs')
    if not shutil.which('node'):
        fail('node is not installed, and terser runs on it (apt-get install node-terser)')
    result = subprocess.run(['node', '-e', script], input=source.encode(), capture_output=True, env=environment)
    if b"Cannot find module 'terser'" in result.stderr:
        fail('terser is not installed (apt-get install node-terser)')
    if result.returncode != 0 or not result.stdout:
        fail('terser could not minify %s: %s' % (name, result.stderr.decode().strip() or 'no output'))
    return result.stdout.decode()


def deflated(data):
    """Raw deflate, as DecompressionStream('deflate-raw') reads it."""
    if shutil.which('zopfli'):
        with tempfile.TemporaryDirectory() as directory:
            path = os.path.join(directory, 'payload')
            with open(path, 'wb') as f:
                f.write(data)
            subprocess.run(['zopfli', '--deflate', '--i15', path], check=True)
            return read(path + '.deflate')
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return packer.compress(data) + packer.flush()


def as_text(data):
    """Bytes as characters of windows-1252, escaped where HTML would alter them."""
    out = bytearray()
    for byte in data:
        if byte in ESCAPED:
            out += bytes((ESCAPE, byte + 64))
        else:
            out.append(byte)
    return bytes(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--title', required=True, help='the page title, the show\'s name for people')
    parser.add_argument('--show', required=True, help='the show\'s module (.wasm)')
    parser.add_argument('--synthesis', help='a module that makes the music (.wasm)')
    parser.add_argument('--file', action='append', default=[], metavar='NAME=PATH',
                        help='a data file the show reads as NAME')
    parser.add_argument('--output', required=True, help='the HTML file to write')
    parser.add_argument('--report', help='where to write the bytes of each part')
    arguments = parser.parse_args()

    modules = [arguments.show] + ([arguments.synthesis] if arguments.synthesis else [])
    wanted = set()
    for module in modules:
        wanted |= set(wasm_imports(module))
    runtime = shaken_runtime(read(os.path.join(HERE, 'runtime.js'), 'r'), wanted,
                             [os.path.basename(m) for m in modules])
    page_script = read(os.path.join(HERE, 'page.js'), 'r')
    script = minified(runtime + '\n' + page_script, 'runtime.js and page.js')
    boot = minified(read(os.path.join(HERE, 'boot.js'), 'r'), 'boot.js')

    parts = [('page.js', script.encode(), 'script'), ('show.wasm', read(arguments.show), 'module')]
    if arguments.synthesis:
        parts.append(('synthesis.wasm', read(arguments.synthesis), 'synthesis'))
    for given in arguments.file:
        name, separator, path = given.partition('=')
        if not separator or not name or not path:
            fail('--file %r is not NAME=PATH' % given)
        parts.append((name, read(path), 'shaders' if re.search(r'\.(vs|fs|vert|frag|glsl)$', name) else 'data'))

    index = json.dumps([[name, len(data)] for name, data, _ in parts], separators=(',', ':')).encode()
    stream = struct.pack('<I', len(index)) + index + b''.join(data for _, data, _ in parts)
    payload = as_text(deflated(stream))
    template = read(os.path.join(HERE, 'page.html'), 'r')
    title = arguments.title.replace('&', '&amp;').replace('<', '&lt;')
    head, tail = template.replace('@TITLE@', title).split('@PAYLOAD@')
    page = (head.encode('cp1252') + b'<script type="application/octet-stream" id="payload">' + payload +
            b'</script>\n<script>' + boot.encode() + b'</script>' + tail.encode('cp1252'))
    with open(arguments.output, 'wb') as f:
        f.write(page)

    if arguments.report:
        # The runtime and the page script travel as one; each is measured alone.
        shares = {'runtime': len(deflated(minified(runtime, 'runtime.js').encode()))}
        for name, data, kind in parts[1:]:
            shares[kind] = shares.get(kind, 0) + len(deflated(data))
        page_alone = len(deflated(minified(page_script, 'page.js').encode()))
        shares['page'] = page_alone + len(head) + len(tail) + len(boot)
        lines = ['%s: %d bytes, %d after gzip' % (os.path.basename(arguments.output), len(page),
                                                 len(zlib.compress(page, 9)))]
        lines += ['  %-10s %6d bytes deflated alone' % (kind, size) for kind, size in shares.items()]
        lines[-1] += ' (of them the HTML and the boot script, %d)' % (len(head) + len(tail) + len(boot))
        lines.append('  %-10s %6d bytes (the deflated stream of them all, %d as text)' %
                     ('payload', len(payload) - payload.count(ESCAPE), len(payload)))
        with open(arguments.report, 'w') as f:
            f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
