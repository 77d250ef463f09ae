// The page's side of the end-to-end driver (web/driver.sh): the page in headless chromium through
// playwright-core, answering one command at a time over HTTP on 127.0.0.1, so that the shared
// scenarios (tests/e2e/scenarios.sh) drive it as they drive an X display.
//
//   node page_driver.mjs PAGE_DIR PORT_FILE [desktop|phone]
//
// A command is POST /NAME with its arguments one a line; the answer is its output (status 500
// and the error otherwise). Coordinates are the screen's, which is the viewport, in CSS pixels:
// where the page scales the window down to keep it in sight, they are those of the screen that
// the window stands on, and the pictures have its pixels.
import { writeFileSync } from 'node:fs';
import { chromium } from 'playwright-core';
import { serve } from '../../../scripts/serve.mjs';

const [pageDir, portFile, device = 'desktop'] = process.argv.slice(2);
// The phone has no mouse: its pointer is a finger (touch events), as a user's would be.
const devices = {
  desktop: { viewport: { width: 1024, height: 768 }, deviceScaleFactor: 1 },
  phone: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true,
    hasTouch: true },
};
// The conditions' viewports: the phone turned and in a small window, a desktop browser's window
// made smaller.
const conditions = { turned: [844, 390], 'small window': [200, 150], 'smaller window': [560, 520] };
const server = await serve(pageDir);
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({
  executablePath: process.env.HELICOID_CHROMIUM ?? '/usr/bin/chromium',
  // WebGL without a GPU: SwiftShader through ANGLE.
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'],
});
const errors = [];
let context, page, cdp, thief;

async function open(setUp = null, profile = devices[device]) {
  const opened = await (await browser.newContext(profile)).newPage();
  opened.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  opened.on('pageerror', (e) => errors.push(e.message));
  if (setUp) await opened.addInitScript(setUp);
  await opened.goto(url);
  return opened;
}
const status = (p = page) => p.evaluate(() => window.helicoidStatus ?? {});
const rect = async (selector) => page.evaluate(([s, z]) => {
  const r = document.querySelector(s)?.getBoundingClientRect();
  return r ? [r.left, r.top, r.width, r.height].map((n) => Math.round(n / z)).join(' ') : '';
}, [selector, await zoom()]);
// How many viewport pixels one pixel of the window's screen takes (below 1 where it is scaled).
const zoom = () => page.evaluate(() => {
  const c = document.querySelector('canvas');
  return c?.offsetWidth ? c.getBoundingClientRect().width / c.offsetWidth : 1;
});
const box = 'dialog.message-box[open]';
const windows = { box, viewer: 'canvas' };
const xdotoolKeys = { Return: 'Enter', Escape: 'Escape' };
// WebGL refused as a browser without it would: 'webgl2' alone, or every kind.
const without = (pattern) => `{ const get = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
    return ${pattern}.test(type) ? null : get.call(this, type, ...rest); }; }`;
// The pointer as a user's: a mouse never reports a move to where it already is. The phone's
// pointer is a finger.
const pointerAt = { x: -1, y: -1, down: false };
async function pointer(kind, screenX, screenY) {
  // The middle of the screen's pixel, wherever the page shows it.
  const z = await zoom(), x = (screenX + 0.5) * z, y = (screenY + 0.5) * z;
  if (devices[device].hasTouch) {
    if (kind === 'move' && !pointerAt.down) return; // a finger that does not touch is not seen
    const type = { down: 'touchStart', move: 'touchMove', up: 'touchEnd' }[kind];
    pointerAt.down = kind !== 'up';
    await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: pointerAt.down ? [{ x, y }] : [] });
    return;
  }
  const mouse = (type, button) => cdp.send('Input.dispatchMouseEvent',
    { type, x, y, button, buttons: pointerAt.down ? 1 : 0, clickCount: 1 });
  if (x !== pointerAt.x || y !== pointerAt.y) {
    Object.assign(pointerAt, { x, y });
    await mouse('mouseMoved', pointerAt.down ? 'left' : 'none');
  }
  if (kind === 'move') return;
  pointerAt.down = kind === 'down';
  await mouse(pointerAt.down ? 'mousePressed' : 'mouseReleased', 'left');
}

const commands = {
  async start() {
    if (context) await context.close();
    page = await open();
    context = page.context();
    cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    // The focus as a browser window has it, so that another page in front takes it away.
    await cdp.send('Emulation.setFocusEmulationEnabled', { enabled: false });
    Object.assign(pointerAt, { x: -1, y: -1, down: false });
  },
  async windows() {
    const shown = await page.evaluate((w) => Object.keys(w).filter((name) => {
      const e = document.querySelector(w[name]);
      return e && getComputedStyle(e).visibility !== 'hidden';
    }), windows);
    return shown.join('\n');
  },
  box_text: () => page.textContent(`${box} .text`),
  caption: () => page.textContent(`${box} .caption`),
  exists: async () => String(await page.$('canvas') !== null),
  async dismiss() {
    await page.keyboard.press('Enter');
    await page.waitForSelector('dialog.message-box', { state: 'detached' });
  },
  geometry: (name) => rect(windows[name]),
  screen: async () => page.evaluate((z) => `${Math.round(innerWidth / z)}x${Math.round(innerHeight / z)}`,
    await zoom()),
  // A rectangle of the screen at the screen's own pixels, or the viewport as it is seen. Where the
  // page is scaled, the browser draws the rectangle again at the screen's scale for the picture,
  // through this driver's session; a capture renders with, and leaves the page in, the device its
  // session emulates, so that is first made what Playwright emulates.
  async grab(file, x, y, w, h) {
    const z = w ? await zoom() : 1;
    if (z === 1) {
      const clip = w ? { x: +x, y: +y, width: +w, height: +h } : undefined;
      writeFileSync(file, await page.screenshot({ clip, scale: 'css' }));
      return;
    }
    const { width, height } = page.viewportSize(), { deviceScaleFactor: ratio, isMobile: mobile = false } = devices[device];
    await cdp.send('Emulation.setDeviceMetricsOverride', { mobile, width, height, screenWidth: width,
      screenHeight: height, deviceScaleFactor: ratio, screenOrientation: mobile && height >= width ?
        { angle: 0, type: 'portraitPrimary' } : { angle: mobile ? 90 : 0, type: 'landscapePrimary' } });
    const clip = { x: x * z, y: y * z, width: w * z, height: h * z, scale: 1 / z / ratio };
    writeFileSync(file, Buffer.from((await cdp.send('Page.captureScreenshot', { clip })).data, 'base64'));
  },
  // A phone's keys are its on-screen row, tapped where a finger finds them (one out of sight or
  // covered is out of reach); one it lacks (upper case) comes from a keyboard, as one plugged into
  // the phone would send it.
  async keys(...names) {
    await page.bringToFront();
    for (const name of names) {
      const onScreen = devices[device].hasTouch &&
        page.getByRole('button', { name: name === 'Escape' ? 'Esc' : name, exact: true });
      if (!onScreen || !(await onScreen.count())) {
        await page.keyboard.press(xdotoolKeys[name] ?? (/^[A-Z]$/.test(name) ? `Shift+${name}` : name),
          { delay: 30 });
        continue;
      }
      const at = await onScreen.evaluate((key) => {
        const r = key.getBoundingClientRect(), x = r.left + r.width / 2, y = r.top + r.height / 2;
        return document.elementFromPoint(x, y) === key && { x, y };
      });
      if (!at) throw new Error(`${name} is out of reach`);
      await page.touchscreen.tap(at.x, at.y);
    }
  },
  // The viewport of a condition, in the frame after the page has seen it; then the window and its
  // keys must all be in sight (a scale that fits may round above the edge by a little), the keys
  // clear of the window.
  async condition(name) {
    const [width, height] = conditions[name];
    await page.setViewportSize({ width, height });
    return page.evaluate(async ([width, height]) => {
      while (innerWidth !== width || innerHeight !== height) await new Promise(requestAnimationFrame);
      await new Promise(requestAnimationFrame);
      const [window, ...keys] = [...document.querySelectorAll('canvas, #helicoid-keys button')]
        .map((e) => e.getBoundingClientRect());
      const inside = (r) => r.left >= 0 && r.top >= 0 && r.right <= width + 0.5 && r.bottom <= height + 0.5;
      if (![window, ...keys].every(inside) || !keys.every((r) => r.left >= window.right || r.top >= window.bottom))
        throw new Error(`at ${width}x${height} the window or a key is out of sight`);
      return `${width}x${height}, the window shown at ${Math.round(window.width)} px`;
    }, [width, height]);
  },
  move: (x, y) => pointer('move', +x, +y),
  down: (x, y) => pointer('down', +x, +y),
  up: (x, y) => pointer('up', +x, +y),
  // Another page in front takes the focus, as another program's window would; the pointer's
  // events still go to the viewer's page, as to a screen the other window covers only in part.
  async steal_focus() {
    thief = await context.newPage();
    await thief.bringToFront();
  },
  end_steal: () => thief?.close(),
  async cpu_ms() {
    const { metrics } = await cdp.send('Performance.getMetrics');
    return String(Math.round(metrics.find((m) => m.name === 'TaskDuration').value * 1000));
  },
  async exit_code(seconds) {
    await page.waitForFunction(() => window.helicoidStatus?.exitCode != null, null,
      { timeout: seconds * 1000 });
    const end = await status();
    return String(await page.$('canvas') === null ? end.exitCode : 'a canvas is left');
  },
  // What only a page has: the backing store at device pixels, WebGL 1 alone, and no WebGL. One
  // page at a time, the scenarios' own closed first: a page that draws beside a checked one takes
  // its turns on a busy machine.
  async own_checks() {
    if (context) await context.close();
    context = null;
    const lines = [];
    const check = (ok, what, detail) => lines.push(`${ok ? 'ok   ' : 'FAIL '} ${what}: ${detail}`);
    const started = async (setUp, profile) => {
      const p = await open(setUp, profile);
      await p.waitForSelector(box);
      await p.keyboard.press('Enter');
      return p;
    };
    const dense = await started(null, { ...devices.desktop, deviceScaleFactor: 2 });
    await dense.waitForFunction(() => window.helicoidStatus?.frames > 0);
    const sizes = await dense.evaluate(() => {
      const c = document.querySelector('canvas');
      return [c.getBoundingClientRect().width, c.width, c.height].join(' ');
    });
    check(sizes === '614 1228 1228', 'backing store at twice the CSS size on a dense screen', sizes);
    await dense.context().close();
    const older = await started(without('/webgl2/'));
    const drawn = await older.waitForFunction(() => window.helicoidStatus?.frames > 1).then(() => true,
      (error) => error.message.split('\n')[0]);
    check(drawn === true, 'WebGL 1 only: frames are drawn', drawn);
    await older.context().close();
    const shown = errors.length;
    const bare = await started(without('/webgl/'));
    await bare.waitForSelector('dialog.message-box.error[open]');
    const text = await bare.textContent(`${box} .text`);
    await bare.keyboard.press('Enter');
    await bare.waitForFunction(() => window.helicoidStatus?.exitCode != null);
    const end = `${text}, exit code ${(await status(bare)).exitCode}`;
    check(end === 'SetPixelFormat failed, exit code 1', 'without WebGL: failure box, then', end);
    errors.splice(shown); // that run's console errors were asked for
    await bare.context().close();
    return lines.join('\n');
  },
  errors: () => errors.join('\n'),
  async stop() {
    await browser.close();
    server.close();
    stopping = true;
  },
};

let queue = Promise.resolve(), stopping = false;
const control = (await import('node:http')).createServer((request, response) => {
  let body = '';
  request.on('data', (chunk) => (body += chunk));
  request.on('end', () => {
    const args = body === '' ? [] : body.replace(/\n$/, '').split('\n');
    const run = commands[request.url.slice(1)];
    queue = queue.then(async () => {
      try {
        if (!run) throw new Error(`no command ${request.url}`);
        const answer = String((await run(...args)) ?? '');
        // The last answer is sent before the driver ends.
        response.end(answer, () => stopping && process.exit(0));
      } catch (error) {
        response.writeHead(500).end(String(error.message ?? error));
      }
    });
  });
}).listen(0, '127.0.0.1', () => writeFileSync(portFile, String(control.address().port)));
