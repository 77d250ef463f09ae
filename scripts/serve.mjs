// A plain static server for the page, on 127.0.0.1 only. `node serve.mjs DIR [PORT]` serves DIR
// and prints its URL; the scenarios import serve() and get a server on a free port.
//
// It serves the page's own files and nothing else: a file directly in DIR, named *.html, *.js or
// *.wasm and not hidden, once links are resolved (a link may point only to such a file in DIR),
// so a build folder's internals (CMakeCache.txt, build.ninja, CMakeFiles/) stay private. Other
// paths get 404, methods other than GET and HEAD get 405.
//
// A browser that accepts brotli or gzip (Accept-Encoding) gets the file compressed, once per
// version of the file; any other client gets it as it is. Every answer says that it depends on
// Accept-Encoding (Vary), so that a cache in between keeps the kinds apart.
import { createServer } from 'node:http';
import { readFile, realpath, stat } from 'node:fs/promises';
import { basename, dirname, extname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { brotliCompress, constants, gzip } from 'node:zlib';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  // Streaming compilation needs the right type; without it the browser falls back and complains.
  '.wasm': 'application/wasm',
};

// The page's file that `name` names in `root` (a resolved folder), or null.
async function pageFile(root, name) {
  const own = (path) => dirname(path) === root && !basename(path).startsWith('.') &&
    Object.hasOwn(types, extname(path));
  if (name.includes('/') || name.includes('\\') || !own(join(root, name))) return null;
  try {
    const file = await realpath(join(root, name));
    return own(file) && (await stat(file)).isFile() ? file : null;
  } catch {
    return null;
  }
}

// The coding to send: of "br" and "gzip", the one the client rates higher (brotli on a tie), or
// null for the file as it is. A coding with q=0 is refused, and "*" stands for any coding not named.
function encodingFor(accept = '') {
  const quality = {};
  for (const part of accept.toLowerCase().split(',')) {
    const [coding, ...parameters] = part.split(';').map((text) => text.trim());
    const q = parameters.find((text) => text.startsWith('q='));
    quality[coding] = q ? Number(q.slice(2)) || 0 : 1;
  }
  const rate = (coding) => quality[coding] ?? quality['*'] ?? 0;
  const best = rate('gzip') > rate('br') ? 'gzip' : 'br';
  return rate(best) > 0 ? best : null;
}

const compressors = {
  br: (body) => promisify(brotliCompress)(body, { params: {
    [constants.BROTLI_PARAM_QUALITY]: constants.BROTLI_MAX_QUALITY,
    [constants.BROTLI_PARAM_SIZE_HINT]: body.length } }),
  gzip: (body) => promisify(gzip)(body, { level: constants.Z_BEST_COMPRESSION }),
};

export async function serve(dir, port = 0) {
  const root = await realpath(dir);
  if (!(await stat(root)).isDirectory()) throw new Error('not a folder');
  const compressed = new Map(); // "coding file" to { version, body }
  const compress = (coding, file, version, body) => {
    const key = `${coding} ${file}`;
    if (compressed.get(key)?.version !== version)
      compressed.set(key, { version, body: compressors[coding](body) });
    return compressed.get(key).body;
  };
  const server = createServer(async (request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405, { Allow: 'GET, HEAD' }).end();
      return;
    }
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname).slice(1);
    } catch {
      response.writeHead(400).end(); // a malformed escape must not end the server
      return;
    }
    const file = await pageFile(root, name || 'index.html');
    const coding = encodingFor(request.headers['accept-encoding']);
    let body = null;
    try {
      if (file) {
        const { mtimeMs, size } = await stat(file);
        body = await readFile(file);
        if (coding) body = await compress(coding, file, `${mtimeMs} ${size}`, body);
      }
    } catch {
      body = null;
    }
    if (!body) {
      response.writeHead(404).end();
      return;
    }
    // HEAD gets the same header; Node.js leaves out its body.
    response.writeHead(200, { 'Content-Type': types[extname(file)], 'Cache-Control': 'no-cache',
      Vary: 'Accept-Encoding', 'Content-Length': body.length,
      ...(coding && { 'Content-Encoding': coding }) });
    response.end(body);
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [dir, port = '8000'] = process.argv.slice(2);
  // As GNU tools: a wrong command line (the folder included) exits 2, a failure to serve 1.
  const fail = (line, code = 2) => {
    console.error(`serve.mjs: ${line}`);
    process.exit(code);
  };
  const usage = 'usage: node serve.mjs DIR [PORT]';
  if (process.argv[2] === '--help') {
    console.log(`${usage}\nServes the page's files in DIR on 127.0.0.1:PORT (8000; 0 for any free port).`);
    process.exit(0);
  }
  const option = process.argv.slice(2).find((word) => word.startsWith('-'));
  if (option) fail(`unknown option '${option}'; see --help`);
  if (!dir || process.argv.length > 4) fail(usage);
  if (!/^\d{1,5}$/.test(port) || Number(port) > 65535)
    fail(`bad port "${port}": a number from 0 to 65535`);
  try {
    const server = await serve(dir, Number(port));
    console.log(`http://127.0.0.1:${server.address().port}/`);
  } catch (error) {
    const usage = error.code === 'ENOENT' || error.code === 'ENOTDIR' || error.message === 'not a folder';
    fail(`cannot serve ${dir} on port ${port}: ${error.message}`, usage ? 2 : 1);
  }
}
