// The converter's pages in headless Chromium: navigation, flipping, variations, the view
// without JavaScript, the overview page and the live refresh of a game in progress.
//
// Usage: node pages.test.js <path of the vistrel program>
'use strict';

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

const vistrel = process.argv[2];
const fixtures = path.join(__dirname, 'fixtures');
const dataDir = path.join(__dirname, '..', '..', 'data');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kv-browser-'));

const FEN = {
  start: 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1',
  e4: 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1',
  nf6: 'r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 2 5',
  castles: 'r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQ1RK1 b kq - 3 5',
  bc4: 'rnbqkbnr/pppp1ppp/8/4p3/2B1P3/8/PPPP1PPP/RNBQK1NR b KQkq - 1 2',
  bc5: 'rnbqk1nr/pppp1ppp/8/2b1p3/2B1P3/8/PPPP1PPP/RNBQK1NR w KQkq - 2 3',
  qh5: 'rnbqk1nr/pppp1ppp/8/2b1p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 3 3',
  re1: 'r1bqk2r/1pppbppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQR1K1 b kq - 5 6',
};

function convert(pgn, ini) {
  execFileSync(vistrel, [path.join(work, pgn), path.join(work, ini), '-x'], { stdio: 'inherit' });
}

function writeIni(name, base, changes) {
  let text = fs.readFileSync(path.join(dataDir, base), 'utf8');
  for (const [key, value] of Object.entries(changes)) {
    text = text.replace(new RegExp('^' + key + ' = .*$', 'm'), key + ' = ' + value);
  }
  fs.writeFileSync(path.join(work, name), text);
}

// A static file server that answers revalidation with 304, like a web server would, and
// counts the requests for each path.
// A test may queue answers of its own for an address (with its query): each request
// takes the next one, and the file is served again once they are used up.
function startServer() {
  const hits = {};
  const answers = {};
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    hits[name] = (hits[name] || 0) + 1;
    if (answers[req.url] && answers[req.url].length) {
      answers[req.url].shift()(res);
      return;
    }
    const file = path.join(work, path.normalize(name));
    if (!file.startsWith(work) || !fs.existsSync(file)) {
      res.writeHead(404).end();
      return;
    }
    const stat = fs.statSync(file);
    const etag = '"' + stat.size + '-' + stat.mtimeMs + '"';
    if (req.headers['if-none-match'] === etag) {
      res.writeHead(304, { ETag: etag }).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8', ETag: etag,
      'Cache-Control': 'no-cache' });
    res.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({ server, hits, answers,
      origin: 'http://127.0.0.1:' + server.address().port }));
  });
}

const fen = (page, sel) => page.getAttribute(sel, 'data-fen');
const waitFen = (page, sel, expected) => page.waitForFunction(
  ([s, f]) => document.querySelector(s).getAttribute('data-fen') === f, [sel, expected],
  { timeout: 8000 });

async function until(condition, ms) {
  for (const end = Date.now() + ms; !condition(); await new Promise((r) => setTimeout(r, 50))) {
    if (Date.now() > end) throw new Error('timed out waiting for ' + condition);
  }
}

const tests = [];
const test = (name, fn) => tests.push({ name, fn });

test('a game page opens at the last position; buttons and arrow keys move', async ({ open }) => {
  const page = await open('game.htm');
  const board = '#game-1 .board';
  assert.equal(await fen(page, board), FEN.castles);
  assert.equal(await page.getAttribute('#g1-9', 'class'), 'mv cur');
  assert.equal(await page.textContent('.player.w .clock'), '1:27:20');
  await page.click('button[data-nav="prev"]');
  assert.equal(await page.textContent('.player.w .clock'), '1:27:59');
  assert.equal(await fen(page, board), FEN.nf6);
  const steps = [['first', FEN.start], ['next', FEN.e4], ['last', FEN.castles],
    ['ArrowLeft', FEN.nf6], ['ArrowUp', FEN.start], ['ArrowRight', FEN.e4],
    ['ArrowDown', FEN.castles]];
  for (const [step, expected] of steps) {
    if (step.startsWith('Arrow')) await page.keyboard.press(step);
    else await page.click('button[data-nav="' + step + '"]');
    assert.equal(await fen(page, board), expected, step);
  }
});

test('a click on a variation move shows that position', async ({ open }) => {
  const page = await open('game.htm');
  const board = '#game-1 .board';
  await page.click('.var .var .mv >> text=Qh5');
  assert.equal(await fen(page, board), FEN.qh5);
  assert.equal(await page.getAttribute('.var .var .mv >> text=Qh5', 'class'), 'mv cur');
  // Back through the nested variation to the position it branched from.
  await page.keyboard.press('ArrowLeft');
  assert.equal(await fen(page, board), FEN.bc5);
  await page.keyboard.press('ArrowLeft');
  assert.equal(await fen(page, board), FEN.bc4);
  const lastSquares = await page.$$eval(board + ' .sq.lm', (els) => els.map((e) => e.dataset.sq));
  assert.deepEqual(lastSquares.sort(), ['c4', 'f1']);
});

test('flip turns the board and the players', async ({ open }) => {
  const page = await open('game.htm');
  const board = '#game-1 .board';
  const corner = () => page.$eval(board + ' .sq', (el) => el.dataset.sq);
  assert.equal(await corner(), 'a8');
  await page.click('button[data-nav="flip"]');
  assert.equal(await page.getAttribute(board, 'data-flip'), '1');
  assert.equal(await corner(), 'h1');
  const whiteAbove = await page.evaluate(() =>
    document.querySelector('.player.w').getBoundingClientRect().top <
    document.querySelector('.board').getBoundingClientRect().top);
  assert.ok(whiteAbove, 'White plays from the top after a flip');
  await page.keyboard.press('ArrowLeft');  // stays flipped while moving
  assert.equal(await corner(), 'h1');
  await page.click('button[data-nav="flip"]');
  assert.equal(await corner(), 'a8');
});

test('without JavaScript the final position and the whole move list show', async ({ open }) => {
  const page = await open('game.htm', { javaScriptEnabled: false });
  assert.equal(await fen(page, '#game-1 .board'), FEN.castles);
  assert.equal(await page.locator('.board .pc').count(), 32);
  assert.ok(await page.isVisible('.board .sq[data-sq="g1"] .pc'));
  assert.equal(await page.locator('.mv').count(), 14);
  assert.ok(await page.isVisible('.var .var .mv >> text=Qh5'));
  assert.ok(!(await page.isVisible('.nav')), 'buttons that cannot work are hidden');
});

test('the overview shows boards, links and down marks', async ({ open }) => {
  const page = await open('overview.htm');
  const cards = page.locator('.card');
  assert.equal(await cards.count(), 4);
  const hrefs = await page.$$eval('.card a.open', (els) => els.map((e) => e.getAttribute('href')));
  assert.deepEqual(hrefs, ['board1.htm', 'board2.htm', 'board3.htm', 'board%204.htm']);
  assert.deepEqual(await page.$$eval('.card.down', (els) => els.map((e) => e.id)), ['ov-3']);
  assert.equal((await page.textContent('#ov-3 .down-mark')).toLowerCase(), 'down');
  // Each small board shows its game's current position: the same as the last move of
  // that game on a game page made from the same file.
  const games = await open('allgames.htm');
  for (let n = 1; n <= 4; n++) {
    const last = await games.$eval('#game-' + n + ' .line', (line) => {
      const moves = line.querySelectorAll(':scope > .mv');
      return moves[moves.length - 1].dataset.fen;
    });
    assert.equal(await fen(page, '#ov-' + n + ' .board'), last, 'board of game ' + n);
  }
});

test('several games in one file: the list switches games', async ({ open }) => {
  const page = await open('allgames.htm');
  assert.ok(await page.isVisible('#game-1 .board'));
  assert.ok(!(await page.isVisible('#game-3 .board')));
  await page.selectOption('#kv-select', 'game-3');
  assert.ok(await page.isVisible('#game-3 .board'));
  assert.ok(!(await page.isVisible('#game-1 .board')));
  const before = await fen(page, '#game-3 .board');
  await page.keyboard.press('ArrowUp');
  assert.equal(await fen(page, '#game-3 .board'), FEN.start);
  assert.notEqual(before, FEN.start);
});

test('a page opened from disk keeps its place when it reloads', async ({ open }) => {
  const page = await open('live-file.htm', { file: true });
  await page.keyboard.press('ArrowLeft');
  await page.evaluate(() => { window.kvMarker = 1; });
  await page.waitForFunction(() => window.kvMarker === undefined, null, { timeout: 8000 });
  await page.waitForSelector('.mv.cur');
  assert.equal(await fen(page, '#game-1 .board'), FEN.nf6);
});

test('a live game refreshes in place; followers follow, others stay', async ({ open, hits }) => {
  const follower = await open('live.htm');
  const reader = await open('live.htm');
  await reader.keyboard.press('ArrowLeft');
  await follower.evaluate(() => { window.kvMarker = 1; });
  const more = fs.readFileSync(path.join(work, 'live.pgn'), 'utf8')
    .replace('5. O-O {[%clk 1:27:20]} *', '5. O-O {[%clk 1:27:20]} Be7 6. Re1 *');
  fs.writeFileSync(path.join(work, 'live.pgn'), more);
  convert('live.pgn', 'live.ini');
  await waitFen(follower, '#game-1 .board', FEN.re1);
  assert.equal(await follower.evaluate(() => window.kvMarker), 1, 'no reload');
  await reader.waitForSelector('#g1-11');
  assert.equal(await fen(reader, '#game-1 .board'), FEN.nf6);
  assert.equal(await reader.getAttribute('#g1-8', 'class'), 'mv cur');

  fs.writeFileSync(path.join(work, 'live.pgn'), more.replace(/\*/g, '1-0'));
  convert('live.pgn', 'live.ini');
  for (const page of [follower, reader]) {
    await page.waitForSelector('section.game[data-live="0"]', { timeout: 8000 });
  }
  assert.equal(await follower.isVisible('.live-mark'), false);
  const count = hits['/live.htm'];
  await follower.waitForTimeout(2500);
  assert.equal(hits['/live.htm'], count, 'an ended game stops refreshing');
});

test('bad answers neither spoil the page nor stop its refresh', async ({ open, answers }) => {
  const page = await open('bad.htm?r');
  await page.click('.var .var .mv >> text=Qh5');  // a spectator looking at a variation
  const html = fs.readFileSync(path.join(work, 'bad.htm'), 'utf8');
  const halfUploaded = html.slice(0, html.indexOf('<div class="moves">') + 40);
  const hanging = [];
  const send = (status, body) => (res) =>
    res.writeHead(status, { 'Content-Type': 'text/html' }).end(body);
  answers['/bad.htm?r'] = [send(500, 'Internal error'), send(404, ''),
    send(200, '<html><body><h1>Service unavailable</h1></body></html>'), send(200, halfUploaded),
    (res) => hanging.push(res)];
  await until(() => hanging.length === 1, 10000);
  assert.equal(await fen(page, '#game-1 .board'), FEN.qh5);
  assert.equal(await page.locator('.mv').count(), 14);
  assert.equal(await page.isVisible('.live-mark'), true);

  const more = fs.readFileSync(path.join(work, 'bad.pgn'), 'utf8')
    .replace('5. O-O {[%clk 1:27:20]} *', '5. O-O {[%clk 1:27:20]} Be7 6. Re1 *');
  fs.writeFileSync(path.join(work, 'bad.pgn'), more);
  convert('bad.pgn', 'live.ini');
  // The request that got no answer is given up; the next one brings the new moves.
  await page.waitForSelector('#g1-11', { timeout: 25000 });
  assert.equal(await fen(page, '#game-1 .board'), FEN.qh5);
  for (const res of hanging) res.destroy();
});

async function main() {
  const copies = { 'game.pgn': 'game.pgn', 'overview.pgn': 'overview.pgn',
    'allgames.pgn': 'overview.pgn', 'live.pgn': 'game.pgn', 'live-file.pgn': 'game.pgn',
    'bad.pgn': 'game.pgn' };
  for (const [to, from] of Object.entries(copies)) {
    fs.copyFileSync(path.join(fixtures, from), path.join(work, to));
  }
  writeIni('game.ini', 'vistrel-game.ini', {});
  writeIni('overview.ini', 'vistrel-overview.ini', {});
  writeIni('live.ini', 'vistrel-game.ini', { refresh: 1 });
  for (const [pgn, ini] of [['game.pgn', 'game.ini'], ['allgames.pgn', 'game.ini'],
    ['overview.pgn', 'overview.ini'], ['live.pgn', 'live.ini'], ['live-file.pgn', 'live.ini'],
    ['bad.pgn', 'live.ini']]) {
    convert(pgn, ini);
  }

  const { server, hits, answers, origin } = await startServer();
  // Each kind of browser (with and without JavaScript) gets a fresh profile directory.
  const profiles = [];
  const browsers = {};
  const browserFor = async (javaScriptEnabled) => {
    if (!browsers[javaScriptEnabled]) {
      const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kv-chromium-'));
      profiles.push(profile);
      browsers[javaScriptEnabled] = await chromium.launchPersistentContext(profile, {
        executablePath: '/usr/bin/chromium',
        headless: true,
        javaScriptEnabled,
        viewport: { width: 1100, height: 800 },
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
          '--disable-background-networking', '--disable-component-update', '--disable-sync'],
      });
    }
    return browsers[javaScriptEnabled];
  };
  const outside = [];
  let failed = 0;
  for (const t of tests) {
    const pages = [];
    const open = async (name, opts = {}) => {
      const page = await (await browserFor(opts.javaScriptEnabled !== false)).newPage();
      pages.push(page);
      page.on('request', (r) => {
        if (!r.url().startsWith(origin) && !r.url().startsWith('file:')) outside.push(r.url());
      });
      const url = opts.file ? 'file://' + path.join(work, name) : origin + '/' + name;
      await page.goto(url);
      return page;
    };
    const started = Date.now();
    try {
      await t.fn({ open, hits, answers });
      console.log('ok   ' + t.name + ' (' + (Date.now() - started) + ' ms)');
    } catch (e) {
      failed++;
      console.log('FAIL ' + t.name + '\n' + (e && e.stack ? e.stack : e));
    }
    for (const p of pages) await p.close();
  }
  for (const b of Object.values(browsers)) await b.close();
  server.close();
  if (outside.length) {
    failed++;
    console.log('FAIL pages fetched from elsewhere: ' + outside.join(', '));
  }
  fs.rmSync(work, { recursive: true, force: true });
  for (const p of profiles) fs.rmSync(p, { recursive: true, force: true });
  console.log(failed ? failed + ' failed' : 'all ' + tests.length + ' passed');
  process.exit(failed ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
