// End-to-end scenarios of the page in headless chromium (WebGL on SwiftShader), as a user drives
// it: the box, the window's place and size, the pictures against helicoid-snapshot's, the keys,
// drags with pointer capture, and the end of the program.
//
//   node scenarios.mjs PAGE_DIR SNAPSHOT_TOOL WORK_DIR
//
// Exit code 0 when every check passed, 1 when one failed. Pictures go to WORK_DIR; a failed
// comparison also leaves NAME-expected.png and NAME-diff.png there.
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { comparePictures, decodePng, encodePng } from './png.mjs';
import { serve } from '../../../scripts/serve.mjs';

const [pageDir, snapshotTool, work] = process.argv.slice(2);
if (!work) {
  console.error('usage: node scenarios.mjs PAGE_DIR SNAPSHOT_TOOL WORK_DIR');
  process.exit(2);
}
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });

const viewport = { width: 1024, height: 768 };
const side = Math.trunc(viewport.height * 0.8); // 614: 80 per cent of the viewport's height
const origin = 50;
const caption = 'soft by Veldrane - helicoid-viewer@example.org ';
const text = ' mouse: touch the window image for movement----- ';
// Caps on differing pixels. The model's triangles come twice, at equal depth: which copy wins a
// pixel is up to the rasterizer's depth interpolation, and SwiftShader and Mesa decide a few
// hundred isolated pixels differently (the reference has such dots too, elsewhere). A wrong light,
// material or fog changes tens of thousands. Wireframe lines differ more between rasterizers.
const filledLimit = Math.floor(side * side * 0.002);
const wireframeLimit = Math.floor(side * side * 0.01);

let passed = 0;
let failed = 0;
function check(name, ok, detail = '') {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok' : 'FAIL'} - ${name}${detail ? ': ' + detail : ''}`);
  return ok;
}

function reference(name, args) {
  const file = join(work, `${name}-expected.png`);
  execFileSync(snapshotTool, ['--output', file, '--size', `${side}x${side}`, '--depth-bits', '16',
    ...args]);
  return decodePng(readFileSync(file));
}

const server = await serve(pageDir);
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({
  executablePath: process.env.HELICOID_CHROMIUM ?? '/usr/bin/chromium',
  // WebGL without a GPU: SwiftShader through ANGLE.
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'],
});
const errors = [];
async function openPage(deviceScaleFactor, log = errors, setUp = null) {
  const page = await browser.newPage({ viewport, deviceScaleFactor });
  page.on('console', (m) => m.type() === 'error' && log.push(m.text()));
  page.on('pageerror', (e) => log.push(e.message));
  if (setUp) await page.addInitScript(setUp);
  await page.goto(url);
  return page;
}

const status = (page) => page.evaluate(() => window.helicoidStatus ?? { frames: 0 });
// A new frame (two, so the one in flight when the input came is not taken for it).
async function frames(page, count = 2) {
  const start = (await status(page)).frames;
  await page.waitForFunction((n) => window.helicoidStatus.frames >= n, start + count,
    { timeout: 5000 });
}
async function picture(page, name) {
  const png = await page.screenshot({ clip: { x: origin, y: origin, width: side, height: side } });
  writeFileSync(join(work, `${name}.png`), png);
  return decodePng(png);
}
function compare(name, actual, expected, limit) {
  const { differing, diff } = comparePictures(actual, expected);
  if (differing > limit && diff) writeFileSync(join(work, `${name}-diff.png`), encodePng(diff));
  return check(`${name} picture matches helicoid-snapshot's`, differing <= limit,
    `${differing} pixels differ by more than 2 (limit ${limit})`);
}
const same = (a, b) => comparePictures(a, b, 0).differing === 0;

try {
  const page = await openPage(1);

  // ---- The box comes first, alone ----
  await page.waitForSelector('dialog.message-box[open]');
  const box = await page.evaluate(() => ({
    caption: document.querySelector('dialog .caption').textContent,
    text: document.querySelector('dialog .text').textContent,
  }));
  check('box caption', box.caption === caption, JSON.stringify(box.caption));
  check('box text', box.text === text, JSON.stringify(box.text));
  // Time enough to draw, were the program not waiting for the box.
  await page.waitForTimeout(500);
  const before = await page.evaluate(() => ({
    canvases: document.querySelectorAll('canvas').length,
    frames: window.helicoidStatus?.frames ?? 0,
  }));
  check('nothing drawn before the box is dismissed', before.canvases === 0 && before.frames === 0,
    JSON.stringify(before));

  // ---- Return dismisses it; the window comes ----
  await page.keyboard.press('Enter');
  const dismissed = await page.waitForSelector('dialog.message-box', { state: 'detached',
    timeout: 5000 }).then(() => true, () => false);
  check('Return dismisses the box', dismissed);
  await frames(page, 1);
  const timing = await status(page);
  const geometry = await page.evaluate(() => {
    const canvas = document.querySelector('canvas');
    const r = canvas.getBoundingClientRect();
    return [r.left, r.top, r.width, r.height, canvas.width, canvas.height];
  });
  check('canvas place and size', geometry.join() === [origin, origin, side, side, side, side].join(),
    geometry.join(' '));

  // ---- Pictures and keys ----
  const first = await picture(page, 'first');
  compare('first', first, reference('first', []), filledLimit);
  await page.keyboard.press('f');
  await frames(page);
  compare('fog', await picture(page, 'fog'), reference('fog', ['--fog']), filledLimit);
  await page.keyboard.press('p');
  await frames(page);
  compare('fog-wireframe', await picture(page, 'fog-wireframe'),
    reference('fog-wireframe', ['--fog', '--wireframe']), wireframeLimit);
  await page.keyboard.press('f');
  await page.keyboard.press('p');
  await frames(page);
  check('f p again gives the first picture back', same(await picture(page, 'again'), first));

  // ---- A drag leaves it spinning; a click stops it ----
  const at = (x, y) => [origin + x, origin + y];
  // A still model draws no frames at all, so this waits by the clock, not for frames.
  async function spinning(name) {
    const a = await picture(page, `${name}-1`);
    await page.waitForTimeout(300);
    return !same(a, await picture(page, `${name}-2`));
  }
  await page.mouse.move(...at(200, 300));
  await page.mouse.down();
  await page.mouse.move(...at(260, 320), { steps: 5 });
  await page.mouse.move(...at(320, 330), { steps: 5 });
  await page.mouse.up();
  check('a drag leaves it spinning', await spinning('spin'));
  await page.mouse.click(...at(300, 300));
  await page.waitForTimeout(300);
  const stopped = await picture(page, 'stopped-1');
  await page.waitForTimeout(300);
  check('a click stops it', same(stopped, await picture(page, 'stopped-2')));

  // ---- A drag that leaves the canvas is still the window's, to its release ----
  await page.mouse.move(...at(100, 300));
  await page.mouse.down();
  await page.mouse.move(...at(20, 330), { steps: 4 });
  await page.mouse.move(20, 400, { steps: 4 }); // left of the canvas: negative coordinates
  await page.mouse.up();
  check('a release outside the canvas ends the drag (it spins)', await spinning('outside'));
  await page.mouse.click(...at(300, 300));

  // ---- Escape ends the program ----
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => window.helicoidStatus.exitCode !== undefined &&
    window.helicoidStatus.exitCode !== null, null, { timeout: 5000 });
  const end = await page.evaluate(() => ({
    code: window.helicoidStatus.exitCode,
    line: document.getElementById('status').textContent,
    canvases: document.querySelectorAll('canvas').length,
  }));
  check('Escape gives exit code 0, shown on the page',
    end.code === 0 && end.line === 'The program ended with exit code 0.' && end.canvases === 0,
    JSON.stringify(end));

  // ---- A high-density screen: CSS size as before, backing store at device pixels ----
  const dense = await openPage(2);
  await dense.waitForSelector('dialog.message-box[open]');
  await dense.keyboard.press('Enter');
  await frames(dense, 1);
  const backing = await dense.evaluate(() => {
    const canvas = document.querySelector('canvas');
    return [canvas.getBoundingClientRect().width, canvas.width, canvas.height];
  });
  check('backing store at the device pixel ratio', backing.join() === [side, 2 * side, 2 * side].join(),
    backing.join(' '));
  await dense.close();

  // ---- WebGL 1 only: the canvas's own depth buffer, still a working window ----
  const older = await openPage(1, errors, () => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
      return type === 'webgl2' ? null : getContext.call(this, type, ...rest);
    };
  });
  await older.waitForSelector('dialog.message-box[open]');
  await older.keyboard.press('Enter');
  check('WebGL 1 only: frames are drawn', await frames(older, 2).then(() => true, () => false));
  await older.close();

  // ---- Without WebGL: the failure box, then the end with exit code 1 ----
  const expected = [];
  const bare = await openPage(1, expected, () => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
      return /webgl/.test(type) ? null : getContext.call(this, type, ...rest);
    };
  });
  await bare.waitForSelector('dialog.message-box[open]');
  await bare.keyboard.press('Enter');
  await bare.waitForSelector('dialog.message-box.error[open]');
  const failure = await bare.evaluate(() => document.querySelector('dialog .text').textContent);
  await bare.keyboard.press('Enter');
  await bare.waitForFunction(() => window.helicoidStatus?.exitCode != null, null, { timeout: 5000 });
  const ended = await bare.evaluate(() => [window.helicoidStatus.exitCode,
    document.querySelectorAll('canvas').length]);
  check('without WebGL: failure box, exit code 1, no window left',
    failure === 'SetPixelFormat failed' && ended.join() === '1,0',
    `${JSON.stringify(failure)} ${ended.join(' ')}`);
  await bare.close();

  check('no console errors', errors.length === 0, errors.join(' | '));
  const load = timing.boxShownMs + (timing.firstFrameMs - timing.boxDismissedMs);
  console.log(`page load to first frame: ${load.toFixed(0)} ms (box shown at ` +
    `${timing.boxShownMs.toFixed(0)} ms, first frame ${(timing.firstFrameMs -
      timing.boxDismissedMs).toFixed(0)} ms after the box was dismissed)`);
} catch (error) {
  check('scenarios ran to the end', false, error.stack ?? String(error));
  if (errors.length) console.log('console errors: ' + errors.join(' | '));
} finally {
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
