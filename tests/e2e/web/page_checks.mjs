// Checks of the page and its server beyond the shared scenarios: the server's refusals, the page
// opened from a file, Return after a click on the box, a lost WebGL context, a backing store
// beyond the largest renderbuffer, and the page on an emulated phone (touch only, on-screen keys).
//
//   node page_checks.mjs PAGE_DIR SNAPSHOT_TOOL WORK_DIR
//
// Exit code 0 when every check passed, 1 when one failed. Pictures go to WORK_DIR.
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, rmSync, symlinkSync, writeFileSync, readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { comparePictures, decodePng } from './png.mjs';
import { serve } from '../../../scripts/serve.mjs';

const [pageDir, snapshotTool, work] = process.argv.slice(2);
if (!work) {
  console.error('usage: node page_checks.mjs PAGE_DIR SNAPSHOT_TOOL WORK_DIR');
  process.exit(2);
}
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });
const serveScript = fileURLToPath(new URL('../../../scripts/serve.mjs', import.meta.url));

let failed = 0;
function check(name, ok, detail = '') {
  if (!ok) failed++;
  console.log(`${ok ? 'ok' : 'FAIL'} - ${name}${detail ? ': ' + detail : ''}`);
}
const settled = (promise) => promise.then(() => true, () => false);

// ---- The server: the page's own files from inside its folder, GET and HEAD only ----
const folder = join(work, 'served');
mkdirSync(join(folder, 'CMakeFiles'), { recursive: true });
copyFileSync(join(pageDir, 'index.html'), join(folder, 'index.html'));
for (const name of ['CMakeCache.txt', 'build.ninja', '.ninja_log', 'CMakeFiles/a.out.js'])
  writeFileSync(join(folder, name), 'internal');
symlinkSync('/etc/passwd', join(folder, 'x'));
symlinkSync('/etc/passwd', join(folder, 'x.js'));
symlinkSync('CMakeCache.txt', join(folder, 'y.html'));
const files = await serve(folder);
const base = `http://127.0.0.1:${files.address().port}/`;
const answer = async (path, method = 'GET') => (await fetch(base + path, { method })).status;
const refused = [];
for (const path of ['x', 'x.js', 'y.html', 'CMakeCache.txt', 'build.ninja', '.ninja_log',
  'CMakeFiles/a.out.js', '..%2f..%2f..%2fetc%2fpasswd'])
  if ((await answer(path)) === 200) refused.push(path);
check('the server gives the page and nothing else', (await answer('')) === 200 &&
  (await answer('index.html', 'HEAD')) === 200 && refused.length === 0, refused.join(' '));
const methods = [];
for (const method of ['POST', 'DELETE', 'PUT']) methods.push(await answer('index.html', method));
check('the server answers other methods with 405', methods.every((s) => s === 405), methods.join());
files.close();
const badPort = spawnSync(process.execPath, [serveScript, folder, 'eighty'], { encoding: 'utf8' });
check('a bad port gives one line', badPort.status !== 0 && badPort.stderr.trim().split('\n').length === 1,
  `exit ${badPort.status}: ${badPort.stderr}`);

// ---- The page in the browser ----
const server = await serve(pageDir);
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({
  executablePath: process.env.HELICOID_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'],
});
const statusLine = (page) => page.evaluate(() => document.getElementById('status').textContent);
async function frames(page, count = 2) {
  const start = await page.evaluate(() => window.helicoidStatus?.frames ?? 0);
  return settled(page.waitForFunction((n) => window.helicoidStatus.frames >= n, start + count,
    { timeout: 10000 }));
}
async function picture(page, name, side) {
  const png = await page.screenshot({ clip: { x: 50, y: 50, width: side, height: side } });
  writeFileSync(join(work, `${name}.png`), png);
  return decodePng(png);
}
// The same tolerance as the scenarios: 0.2 per cent of the pixels may differ by more than 2.
function matches(name, actual, args) {
  const file = join(work, `${name}-expected.png`);
  execFileSync(snapshotTool, ['--output', file, '--size', `${actual.width}x${actual.height}`,
    '--depth-bits', '16', ...args]);
  const { differing } = comparePictures(actual, decodePng(readFileSync(file)));
  return [differing <= Math.floor(actual.width * actual.height * 0.002), `${differing} pixels differ`];
}
const same = (a, b) => comparePictures(a, b, 0).differing === 0;
async function open(options) {
  const page = await browser.newPage(options);
  await page.goto(url);
  await page.waitForSelector('dialog.message-box[open]');
  return page;
}

try {
  // ---- Opened from a file, the page says why it cannot run and how to open it ----
  const local = await browser.newPage();
  await local.goto('file://' + resolve(pageDir, 'index.html'));
  const told = await settled(local.waitForFunction(() =>
    /scripts\/web\.sh/.test(document.getElementById('status').textContent), null, { timeout: 5000 }));
  check('from file:// the page says how to open it', told, await statusLine(local));
  await local.close();

  // ---- Return still dismisses the box after a click on its text and one beside it ----
  const page = await open({ viewport: { width: 1024, height: 768 } });
  const errors = [];
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  await page.click('dialog .text');
  await page.mouse.click(900, 700);
  await page.keyboard.press('Enter');
  const returned = await settled(page.waitForSelector('dialog.message-box', { state: 'detached',
    timeout: 3000 }));
  check('Return after clicks on the box and beside it', returned);
  if (!returned) await page.click('dialog button');
  check('a desktop page shows no on-screen keys', await frames(page, 1) &&
    (await page.locator('#helicoid-keys button:visible').count()) === 0);

  // ---- A lost context: the page says so, and the picture comes back with the context ----
  await page.evaluate(() => {
    const canvas = document.querySelector('canvas');
    window.loseContext = (canvas.getContext('webgl2') ?? canvas.getContext('webgl'))
      .getExtension('WEBGL_lose_context');
    window.loseContext.loseContext();
  });
  const lostLine = await settled(page.waitForFunction(() =>
    /lost/.test(document.getElementById('status').textContent), null, { timeout: 5000 }));
  await page.keyboard.press('p'); // a frame that needs a program the lost context cannot make
  await frames(page);
  await page.keyboard.press('p');
  await page.evaluate(() => window.loseContext.restoreContext());
  await settled(page.waitForFunction(() =>
    document.getElementById('status').textContent === '', null, { timeout: 5000 }));
  await frames(page);
  const [back, detail] = matches('restored', await picture(page, 'restored', 614), []);
  check('a lost context is told, draws again once restored, and logs no error', lostLine && back &&
    errors.length === 0, `${lostLine ? '' : 'nothing said; '}${detail} ${errors.join(' | ')}`);
  await page.close();

  // ---- A backing store beyond the largest renderbuffer draws at the largest that works ----
  const huge = await open({ viewport: { width: 4000, height: 4000 }, deviceScaleFactor: 3 });
  await huge.keyboard.press('Enter');
  const drawn = await frames(huge, 2);
  const backing = await huge.evaluate(() => [document.querySelectorAll('dialog').length,
    document.querySelector('canvas')?.width]);
  const centre = decodePng(await huge.screenshot({ clip: { x: 1550, y: 1550, width: 200,
    height: 200 }, scale: 'css' }));
  const background = decodePng(await huge.screenshot({ clip: { x: 10, y: 10, width: 4,
    height: 4 }, scale: 'css' }));
  check('an oversized backing store draws, scaled by the browser', drawn && backing[0] === 0 &&
    backing[1] < 9600 && centre.rgb.some((v, i) => v !== background.rgb[i % 3]), backing.join(' '));
  await huge.close();

  // ---- A phone: 390x844 at ratio 3, touch only ----
  const phone = await open({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3,
    isMobile: true, hasTouch: true });
  writeFileSync(join(work, 'phone-box.png'), await phone.screenshot({ scale: 'css' }));
  const box = await phone.evaluate(() => {
    const r = document.querySelector('dialog').getBoundingClientRect();
    const caption = document.querySelector('dialog .caption');
    return r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight &&
      caption.scrollWidth <= caption.clientWidth && innerWidth === 390;
  });
  await phone.tap('dialog button');
  check('phone: the box fits the screen, and a tap on OK dismisses it', box && await settled(
    phone.waitForSelector('dialog.message-box', { state: 'detached', timeout: 3000 })));
  await frames(phone, 1);
  const inside = await phone.evaluate(() => {
    const r = document.querySelector('canvas').getBoundingClientRect();
    return [r.left, r.top, r.width, r.right <= innerWidth && r.bottom <= innerHeight, innerWidth];
  });
  const side = inside[2];
  check('phone: the canvas is inside the viewport', inside[3] === true && inside[4] === 390,
    inside.join(' '));
  writeFileSync(join(work, 'phone-model.png'), await phone.screenshot({ scale: 'css' }));
  const key = (name) => phone.getByRole('button', { name, exact: true }).tap({ timeout: 5000 });
  await key('f');
  await frames(phone);
  const [fog, fogDetail] = matches('phone-fog', await picture(phone, 'phone-fog', side), ['--fog',
    '--window', `${side}x${side}`]);
  check('phone: the on-screen f gives the fog picture', fog, fogDetail);
  await key('f');
  const touch = await phone.context().newCDPSession(phone);
  const finger = (type, x, y) => touch.send('Input.dispatchTouchEvent', { type,
    touchPoints: type === 'touchEnd' ? [] : [{ x: 50 + x, y: 50 + y }] });
  await finger('touchStart', 100, 150);
  for (let i = 1; i <= 8; i++) await finger('touchMove', 100 + 10 * i, 150 + 4 * i);
  await finger('touchEnd');
  const a = await picture(phone, 'phone-spin-1', side);
  await phone.waitForTimeout(300);
  const spins = !same(a, await picture(phone, 'phone-spin-2', side));
  await phone.touchscreen.tap(50 + side / 2, 50 + side / 2);
  await phone.waitForTimeout(300);
  const b = await picture(phone, 'phone-stopped-1', side);
  await phone.waitForTimeout(300);
  check('phone: a touch drag spins the model, and a tap stops it',
    spins && same(b, await picture(phone, 'phone-stopped-2', side)));
  await key('Esc');
  check('phone: the on-screen Esc ends the program with code 0', await settled(phone.waitForFunction(
    () => window.helicoidStatus.exitCode === 0, null, { timeout: 5000 })));
} catch (error) {
  check('checks ran to the end', false, error.stack ?? String(error));
} finally {
  await browser.close();
  server.close();
}
process.exit(failed === 0 ? 0 : 1);
