// Unpacks the page. The payload below is one deflated stream of the page's
// files, written one byte to a character as windows-1252 reads them, with
// NUL, CR, "<" and the escape itself written as \x01 and the byte plus 64.
// The stream is an index (its length, then [name, size] pairs in JSON) and
// the files one after another; page.js among them runs the page.
(async () => {
  try {
    if (document.characterSet !== 'windows-1252')
      throw new Error('this file was read as ' + document.characterSet + ', not as the windows-1252 it is written ' +
                      'in: open it from disk, or serve it without a charset');
    if (!window.DecompressionStream)
      throw new Error('this browser cannot unpack the page: it has no DecompressionStream');
    // windows-1252's characters for the bytes 0x80 to 0x9f.
    const high = [8364, 129, 8218, 402, 8222, 8230, 8224, 8225, 710, 8240, 352, 8249, 338, 141, 381, 143,
                  144, 8216, 8217, 8220, 8221, 8226, 8211, 8212, 732, 8482, 353, 8250, 339, 157, 382, 376];
    const text = document.getElementById('payload').textContent;
    const packed = new Uint8Array(text.length);
    let length = 0;
    for (let k = 0; k < text.length; k++) {
      let c = text.charCodeAt(k);
      if (c > 255)
        c = 128 + high.indexOf(c);
      else if (c === 1)
        c = text.charCodeAt(++k) - 64;
      packed[length++] = c;
    }
    const stream = new Blob([packed.subarray(0, length)]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    const data = new Uint8Array(await new Response(stream).arrayBuffer());
    const indexLength = new DataView(data.buffer).getUint32(0, true);
    const files = new Map();
    let at = 4 + indexLength;
    for (const [name, size] of JSON.parse(new TextDecoder().decode(data.subarray(4, at)))) {
      files.set(name, data.subarray(at, at + size));
      at += size;
    }
    const source = new TextDecoder().decode(files.get('page.js'));
    new Function('files', 'source', source + '\nvqPage(files, source)')(files, source);
  } catch (error) {
    document.getElementById('status').textContent = 'error: ' + error.message;
    document.getElementById('error').textContent = error.message;
    console.error(document.title + ': ' + error.message);
  }
})();
