// A plain static server for the page, on 127.0.0.1 only. `node serve.mjs DIR [PORT]` serves DIR
// and prints its URL; the scenarios import serve() and get a server on a free port.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  // Streaming compilation needs the right type; without it the browser falls back and complains.
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

export function serve(dir, port = 0) {
  const root = resolve(dir);
  const server = createServer(async (request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end(); // a malformed escape must not end the server
      return;
    }
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    // Nothing outside the page's directory is served.
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': types[extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [dir, port] = process.argv.slice(2);
  if (!dir) {
    console.error('usage: node serve.mjs DIR [PORT]');
    process.exit(2);
  }
  const server = await serve(dir, Number(port ?? 8000));
  console.log(`http://127.0.0.1:${server.address().port}/`);
}
