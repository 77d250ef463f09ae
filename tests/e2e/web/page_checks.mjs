// The page and its server beyond the shared scenarios: the server's refusals and compression,
// file://, the box's focus, a lost context, extreme viewports, a phone, and axe-core's rules on
// the page.  node page_checks.mjs PAGE SNAPSHOT WORK
import { execFileSync, spawn } from 'node:child_process';
import { copyFileSync, mkdirSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { chromium } from 'playwright-core';
import { comparePictures, decodePng } from './png.mjs';
import { serve } from '../../../scripts/serve.mjs';

const [pageDir, snapshotTool, work] = process.argv.slice(2);
const folder = join(work, 'served');
rmSync(work, { recursive: true, force: true });
mkdirSync(join(folder, 'CMakeFiles'), { recursive: true });
let failed = 0;
const check = (name, ok, detail = '') =>
  console.log(`${ok ? 'ok' : (++failed, 'FAIL')} - ${name}${detail ? ': ' + detail : ''}`);

// ---- The server: the page's own files from inside its folder; GET and HEAD only ----
copyFileSync(join(pageDir, 'index.html'), join(folder, 'index.html'));
for (const name of ['CMakeCache.txt', '.ninja_log', 'CMakeFiles/a.out.js'])
  writeFileSync(join(folder, name), 'internal');
for (const [link, to] of [['x', '/etc/passwd'], ['x.js', '/etc/passwd'], ['y.html', '.ninja_log']])
  symlinkSync(to, join(folder, link));
const files = await serve(folder);
const answers = await Promise.all(['GET /', 'HEAD /', 'POST /', 'DELETE /', 'GET /x', 'GET /x.js',
  'GET /y.html', 'GET /CMakeCache.txt', 'GET /.ninja_log', 'GET /CMakeFiles/a.out.js',
  'GET /..%2f..%2fetc%2fpasswd'].map(async (request) => {
  const [method, path] = request.split(' ');
  return (await fetch(`http://127.0.0.1:${files.address().port}${path}`, { method })).status;
}));
// Brotli, gzip or the file itself, as the client accepts (fetch() undoes the coding it names).
const served = readFileSync(join(folder, 'index.html'));
const codings = await Promise.all(['br', 'gzip;q=1, br;q=0.5', 'identity', 'br;q=0, gzip;q=0'].map(async (accept) => {
  const answer = await fetch(`http://127.0.0.1:${files.address().port}/`, { headers: { 'accept-encoding': accept } });
  const same = Buffer.from(await answer.arrayBuffer()).equals(served) && answer.headers.get('vary') === 'Accept-Encoding';
  return `${answer.headers.get('content-encoding') ?? 'plain'}${same ? '' : ' (wrong)'}`;
}));
// A bad port and a file for the folder are usage errors (exit code 2), a port in use a failure
// (1); each is one line.
const taken = String(files.address().port);
const refusals = await Promise.all([[folder, 'eighty'], [join(folder, 'index.html'), '0'], [folder, taken]].map((args) =>
  new Promise((done) => {
    const run = spawn(process.execPath, [new URL('../../../scripts/serve.mjs', import.meta.url).pathname, ...args]);
    let stderr = '';
    run.stderr.on('data', (text) => (stderr += text));
    run.stdout.once('data', () => run.kill()); // its address: it serves
    run.on('close', (code) => done(`${code} ${stderr.trim().split('\n').length}`));
  })));
files.close();
check('the server: only the page, 405 for other methods, each coding as asked, usage errors',
  answers.join() === '200,200,405,405,404,404,404,404,404,404,404' && codings.join() === 'br,gzip,plain,plain' &&
  refusals.join() === '2 1,2 1,1 1', `${answers.join()}; ${codings.join()}; ${refusals.join()}`);

// ---- The page ----
const server = await serve(pageDir);
const browser = await chromium.launch({ executablePath: process.env.HELICOID_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist'] });
// Each wait is for an event of the page (its frame counter, its status line, the box gone), one
// page at a time; the page's own timeout of 30 s is a last resort, never a measure.
const until = (page, test, arg) => page.waitForFunction(test, arg).then(() => true, () => false);
const frames = async (page) => until(page, (n) => window.helicoidStatus.frames >= n,
  (await page.evaluate(() => window.helicoidStatus?.frames ?? 0)) + 2);
const picture = async (page, side, scale = 'device') =>
  decodePng(await page.screenshot({ clip: { x: 50, y: 50, width: side, height: side }, scale }));
// The scenarios' tolerance: at most 0.2 per cent of the pixels differ by more than 2.
function matches(actual, args) {
  const file = join(work, 'expected.png');
  execFileSync(snapshotTool, ['--output', file, '--size', `${actual.width}x${actual.height}`, ...args]);
  const { differing } = comparePictures(actual, decodePng(readFileSync(file)));
  return [differing <= actual.width * actual.height * 0.002, `${differing} pixels differ`];
}
async function open(options) {
  const page = await browser.newPage(options);
  return page.goto(`http://127.0.0.1:${server.address().port}/`).then(() => page);
}
// axe-core's rules on the page as it is: the rules broken, and on which elements.
const axe = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const broken = async (page) => (await page.addScriptTag({ path: axe }), page.evaluate(async () =>
  (await window.axe.run()).violations.map((v) => `${v.id} on ${v.nodes.map((n) => n.target).join(' ')}`)));
const boxGone = (page) => until(page, () => !document.querySelector('dialog'));
const statusIs = (page, pattern) => until(page, (p) => new RegExp(p).test(
  document.getElementById('status').textContent), pattern);

try {
  const local = await browser.newPage();
  await local.goto('file://' + resolve(pageDir, 'index.html'));
  check('from file:// the page says how to open it', await statusIs(local, 'scripts/web\\.sh'));
  await local.close();

  const page = await open({ viewport: { width: 1024, height: 768 } });
  await page.waitForSelector('dialog');
  const errors = [];
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  await page.click('dialog .text');
  await page.mouse.click(900, 700);
  await page.keyboard.press('Enter');
  const returned = await boxGone(page);
  check('Return after clicks on the box and beside it', returned);
  if (!returned) await page.click('dialog button');
  check('a desktop page shows no on-screen keys', await frames(page) &&
    !(await page.locator('#helicoid-keys').count()));
  // Lost, a key asks for a frame with a program the lost context cannot make; then restored.
  await page.evaluate(() => {
    const canvas = document.querySelector('canvas');
    window.lose = (canvas.getContext('webgl2') ?? canvas.getContext('webgl'))
      .getExtension('WEBGL_lose_context');
    window.lose.loseContext();
  });
  const told = await statusIs(page, 'lost');
  await page.keyboard.press('p');
  await frames(page);
  await page.keyboard.press('p');
  await page.evaluate(() => window.lose.restoreContext());
  await statusIs(page, '^$');
  await frames(page);
  const [back, detail] = matches(await picture(page, 614), []);
  check('a lost context is told, draws again once restored, and logs no error',
    told && back && errors.length === 0, `told ${told}, ${detail} ${errors.join(' | ')}`);
  const rules = await broken(page);
  check('axe: the desktop page breaks no rule after the box', !rules.length, rules.join('; '));
  await page.close();

  // 80 per cent of 4000 at ratio 3 asks for 9600 pixels, beyond the largest renderbuffer.
  const huge = await open({ viewport: { width: 4000, height: 4000 }, deviceScaleFactor: 3 });
  await huge.click('dialog button');
  const drawn = await frames(huge) && await boxGone(huge);
  check('an oversized backing store draws', drawn && new Set((await picture(huge, 3200, 'css')).rgb).size > 2);
  await huge.close();
  // No window fits beside x = 50 in a viewport 40 pixels wide; the program still gets one.
  const narrow = await open({ viewport: { width: 40, height: 300 } });
  await narrow.click('dialog button');
  const side = await frames(narrow) && await narrow.evaluate(() => document.querySelector('canvas').offsetWidth);
  check('a viewport too narrow for any window: a window of a pixel at least, drawn', side >= 1, side);
  await narrow.close();

  // ---- A phone: 390x844 at ratio 3, touch only ----
  const phone = await open({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3,
    isMobile: true, hasTouch: true });
  await phone.waitForSelector('dialog');
  writeFileSync(join(work, 'phone-box.png'), await phone.screenshot({ scale: 'css' }));
  const inside = (selector) => phone.evaluate((s) => {
    const r = document.querySelector(s).getBoundingClientRect(), c = document.querySelector('.caption');
    return innerWidth === 390 && r.left >= 0 && r.top >= 0 && r.right <= 390 && r.bottom <= 844 &&
      (!c || c.scrollWidth <= c.clientWidth);
  }, selector);
  const fits = await inside('dialog');
  await phone.tap('dialog button');
  check('phone: the box fits the screen, and a tap on OK dismisses it', fits && await boxGone(phone));
  // The canvas's place, the keys and a touch drag are the shared scenarios' phone column.
  await frames(phone);
  writeFileSync(join(work, 'phone-model.png'), await phone.screenshot({ scale: 'css' }));
  const phoneRules = await broken(phone);
  check('axe: the phone page breaks no rule after the box', !phoneRules.length, phoneRules.join('; '));
  await phone.getByRole('button', { name: 'Esc', exact: true }).tap();
  check('phone: the on-screen Esc ends the program with code 0',
    await until(phone, () => window.helicoidStatus.exitCode === 0));
} catch (error) {
  check('checks ran to the end', false, error.stack ?? String(error));
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
