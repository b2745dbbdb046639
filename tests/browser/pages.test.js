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

// Chooses a game from the page's list of games, as a spectator would.
async function choose(page, id) {
  if (!(await page.isVisible('.gamelist a[href="#' + id + '"]'))) await page.click('.gamelist summary');
  await page.click('.gamelist a[href="#' + id + '"]');
  // The page switches games on the hash change, after the click has returned.
  await page.waitForSelector('#' + id + ' .board', { state: 'visible', timeout: 5000 });
}

const tests = [];
const test = (name, fn) => tests.push({ name, fn });
const SIZES = { phone: { width: 390, height: 844 }, laptop: { width: 1366, height: 768 } };
const PAGES = ['game.htm', 'allgames.htm', 'overview.htm', 'evals.htm', 'long.htm'];

// The request count of a path, once the page has polled at least once more.
async function nextPoll(hits, name) {
  const before = hits[name] || 0;
  await until(() => (hits[name] || 0) > before, 8000);
}

// Appends moves to a live game's pgn and converts it again.
function extendLiveGame(name, moves) {
  const file = path.join(work, name + '.pgn');
  const text = fs.readFileSync(file, 'utf8');
  fs.writeFileSync(file, text.replace('5. O-O {[%clk 1:27:20]} *', '5. O-O {[%clk 1:27:20]} ' + moves));
  convert(name + '.pgn', 'live.ini');
}

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
  const lastSquares = await page.$$eval(board + ' i.m', (els) => els.map((e) => e.dataset.sq));
  assert.deepEqual(lastSquares.sort(), ['c4', 'f1']);
});

test('flip turns the board and the players', async ({ open }) => {
  const page = await open('game.htm');
  const board = '#game-1 .board';
  const corner = () => page.$eval(board + ' i', (el) => el.dataset.sq);
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

test('without JavaScript every game shows its final position and moves', async ({ open }) => {
  const page = await open('game.htm', { javaScriptEnabled: false });
  assert.equal(await fen(page, '#game-1 .board'), FEN.castles);
  // The board's squares in FEN order, each piece drawn: the white king stands on g1.
  const squares = await page.$$eval('#game-1 .board i', (els) => els.map((e) => ({
    piece: e.classList[0] || '', span: +((e.className.match(/s(\d)/) || [0, 1])[1]),
    image: getComputedStyle(e).backgroundImage !== 'none', width: e.getBoundingClientRect().width,
  })));
  assert.equal(squares.reduce((n, sq) => n + sq.span, 0), 64);
  const pieces = squares.filter((sq) => /^[KQRBNP]$/i.test(sq.piece));
  assert.equal(pieces.length, 32);
  assert.ok(pieces.every((sq) => sq.image && sq.width > 20), 'every piece is drawn');
  let at = 0;
  const g1 = squares.find((sq) => { at += sq.span; return at === 63; });
  assert.equal(g1.piece, 'K');
  assert.match(await page.textContent('#game-1 .line'), /1\.e4.*5\.O-O/);
  assert.ok(await page.isVisible('.var .var >> text=3.Qh5'));
  assert.equal(await page.locator('.nav').count(), 0, 'no buttons that cannot work');
  // Many games: each one's final position and moves.
  const all = await open('allgames.htm', { javaScriptEnabled: false });
  assert.equal(await all.locator('section.game .board').count(), 4);
  assert.ok(await all.isVisible('#game-4 .board'));
  assert.match(await all.textContent('#game-4 .line'), /60\.Kh3.* 1-0/);
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
    await choose(games, 'game-' + n);
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
  await choose(page, 'game-3');
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
  // The reloaded page returns to the kept move once its script has run.
  await waitFen(page, '#game-1 .board', FEN.nf6).catch(() => {});
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

test('no page scrolls sideways; results and clocks stay whole', async ({ open }) => {
  for (const [size, viewport] of Object.entries(SIZES)) {
    for (const name of PAGES) {
      const page = await open(name, { viewport });
      const where = name + ' at ' + size;
      const wide = await page.evaluate(() =>
        document.documentElement.scrollWidth - document.documentElement.clientWidth);
      assert.equal(wide, 0, where + ' scrolls sideways');
      const broken = await page.$$eval('.result, .res, .clock', (els) => els.filter((e) =>
        e.offsetParent && (e.getClientRects().length > 1 ||
        e.getBoundingClientRect().right > document.documentElement.clientWidth)).length);
      assert.equal(broken, 0, where + ': a result or clock wraps or leaves the screen');
    }
  }
});

test('the heading and tab title name the chosen game', async ({ open }) => {
  const page = await open('allgames.htm');
  await choose(page, 'game-3');
  await page.waitForFunction(() => /^MacKay I - Adams, Michael/.test(document.title), null,
    { timeout: 5000 }).catch(() => {});
  assert.match(await page.textContent('#kv-title'), /^MacKay I - Adams, Michael/);
  assert.match(await page.title(), /^MacKay I - Adams, Michael/);
});

test('on a phone the current move is in view without scrolling', async ({ open }) => {
  const page = await open('long.htm', { viewport: SIZES.phone });
  const box = await page.$eval('.mv.cur', (el) => {
    const r = el.getBoundingClientRect();
    return { top: r.top, bottom: r.bottom, scrolled: window.scrollY };
  });
  assert.equal(box.scrolled, 0);
  assert.ok(box.top >= 0 && box.bottom <= SIZES.phone.height, JSON.stringify(box));
  // The board fits a short, wide window too.
  await page.setViewportSize({ width: 1000, height: 480 });
  const bottom = await page.$eval('.board', (el) => el.getBoundingClientRect().bottom);
  assert.ok(bottom <= 480, 'board bottom ' + bottom);
});

test('moves, buttons and board speak to the keyboard and screen readers', async ({ open }) => {
  const page = await open('game.htm');
  assert.equal(await page.getAttribute('.board', 'aria-label'), 'Position after 5. O-O');
  for (const name of ['First position', 'Previous move', 'Next move', 'Last move', 'Flip board']) {
    assert.equal(await page.getByRole('button', { name }).count(), 1, name);
  }
  // Tab into the nested variation and enter its move with the keyboard.
  await page.focus('#g1-1');
  for (let i = 0; i < 20; i++) {
    if (await page.evaluate(() => document.activeElement.textContent) === 'Qh5') break;
    await page.keyboard.press('Tab');
  }
  await page.keyboard.press('Enter');
  assert.equal(await fen(page, '#game-1 .board'), FEN.qh5);
  assert.equal(await page.getAttribute('.board', 'aria-label'), 'Position after 3. Qh5');
  const size = await page.$eval('.var .var .mv', (el) => parseFloat(getComputedStyle(el).fontSize));
  assert.ok(size >= 13, 'variation text ' + size + 'px');
});

test('the overview shows whole names, titles and Elo; a down game only DOWN', async ({ open }) => {
  for (const viewport of Object.values(SIZES)) {
    const page = await open('overview.htm', { viewport });
    const cut = await page.$$eval('.card .name', (els) =>
      els.filter((e) => e.scrollWidth > e.clientWidth + 1).length);
    assert.equal(cut, 0, 'a name is cut off');
    assert.equal(await page.textContent('#ov-1 .player.w .name'), 'Adams, Michael');
    assert.equal(await page.textContent('#ov-1 .player.w .title'), 'GM');
    assert.equal(await page.textContent('#ov-1 .player.w .elo'), '2690');
    assert.equal(await page.locator('#ov-3 .head .live-mark, #ov-3 .head .result').count(), 0);
    assert.equal(await page.textContent('#kv-title'), 'Korvane Test Open (synthetic round), round 5');
  }
});

test('live updates keep focus and the list\'s scroll, and are announced', async ({ open, hits }) => {
  const page = await open('focus.htm', { viewport: SIZES.phone });
  const reader = await open('focus.htm', { viewport: { width: 390, height: 600 } });
  await page.evaluate(() => { window.kvMove = document.getElementById('g1-5'); });
  await nextPoll(hits, '/focus.htm');
  await page.waitForTimeout(200);
  assert.ok(await page.evaluate(() => document.contains(window.kvMove)),
    'an unchanged page is not rebuilt');
  await page.focus('button[data-nav="prev"]');
  await page.keyboard.press('Enter');
  await page.keyboard.press('Shift+Tab');
  const focused = await page.evaluate(() => document.activeElement.id);
  await reader.keyboard.press('Home');
  await reader.$eval('#game-1 .moves', (el) => { el.scrollTop = 25; });
  const scrolled = await reader.$eval('#game-1 .moves', (el) => el.scrollTop);
  extendLiveGame('focus', 'Be7 6. Re1 *');
  await page.waitForSelector('#g1-11');
  await reader.waitForSelector('#g1-11');
  assert.equal(await page.evaluate(() => document.activeElement.id), focused);
  assert.equal(await reader.$eval('#game-1 .moves', (el) => el.scrollTop), scrolled);
  assert.equal(await page.textContent('#kv-announce'), 'New move: 5... Be7, 6. Re1');
});

test('polling rests in a hidden tab and asks for no icon', async ({ open, hits }) => {
  const page = await open('hidden.htm');
  await nextPoll(hits, '/hidden.htm');
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', { value: h, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await setHidden(true);
  await page.waitForTimeout(300);
  const count = hits['/hidden.htm'];
  await page.waitForTimeout(2500);
  assert.equal(hits['/hidden.htm'], count, 'a hidden tab polls');
  await setHidden(false);
  await nextPoll(hits, '/hidden.htm');
  assert.equal(hits['/favicon.ico'], undefined);
});

const clockOf = (page, side) => page.textContent('#game-1 .player.' + side + ' .clock');
const seconds = (clock) => clock.split(':').reduce((s, part) => s * 60 + +part, 0);

test('the side to move\'s clock runs until the game ends', async ({ open, answers }) => {
  const page = await open('clock.htm?c');
  const white = await clockOf(page, 'w');
  const black = await clockOf(page, 'b');
  await page.waitForTimeout(3200);
  assert.equal(await clockOf(page, 'w'), white, 'White, who just moved, has a still clock');
  assert.ok(seconds(await clockOf(page, 'b')) <= seconds(black) - 2, 'Black\'s clock runs');
  // A server whose clock is an hour ahead: the viewer's clock is corrected by its Date header.
  const html = fs.readFileSync(path.join(work, 'clock.htm'));
  answers['/clock.htm?c'] = [(res) => res.writeHead(200, { 'Content-Type': 'text/html',
    Date: new Date(Date.now() + 3600e3).toUTCString() }).end(html)];
  await until(() => answers['/clock.htm?c'].length === 0, 8000);
  await page.waitForTimeout(1500);
  const ahead = seconds(black) - seconds(await clockOf(page, 'b'));
  assert.ok(ahead > 3590 && ahead < 3620, 'an hour ahead: ' + ahead);
  // Going back shows that position's clocks, standing still.
  await page.keyboard.press('ArrowLeft');
  assert.equal(await clockOf(page, 'b'), '1:26:40');
  assert.equal(await page.locator('.clock.run').count(), 0);
  await page.keyboard.press('End');
  const file = path.join(work, 'clock.pgn');
  fs.writeFileSync(file, fs.readFileSync(file, 'utf8').replace(/\*/g, '1-0'));
  convert('clock.pgn', 'live.ini');
  await page.waitForSelector('section.game[data-live="0"]', { timeout: 8000 });
  const stopped = await clockOf(page, 'b');
  await page.waitForTimeout(1200);
  assert.equal(await clockOf(page, 'b'), stopped);
  assert.equal(await page.locator('.clock.run').count(), 0, 'a finished game has no running clock');
});

test('evaluation bar and graph; time per move', async ({ open }) => {
  const page = await open('evals.htm');
  const bar = '#game-1 .evalbar';
  const at = async (text) => {
    await page.click('#game-1 .mv >> text="' + text + '"');
    return page.getAttribute(bar, 'data-eval');
  };
  assert.equal(await at('a3'), '+1.45');
  assert.equal(await at('Nf3'), '#3');
  assert.equal(await at('d5'), '-2.50');
  const height = await page.$eval(bar + ' .fill', (el) => el.getBoundingClientRect().height /
    el.parentNode.getBoundingClientRect().height);
  assert.ok(height < 0.4, 'Black is better: White has less than half the bar, ' + height);
  await page.keyboard.press('Home');
  assert.equal(await page.getAttribute(bar, 'data-eval'), '0.00');
  // The graph's left end is the first move, its right end the last.
  const graph = await page.$('#game-1 .evalgraph');
  const box = await graph.boundingBox();
  await page.mouse.click(box.x + box.width - 1, box.y + box.height / 2);
  assert.equal(await page.getAttribute('#game-1 .mv.cur', 'id'), 'g1-16');
  await page.mouse.click(box.x + 1, box.y + box.height / 2);
  assert.equal(await page.getAttribute('#game-1 .mv.cur', 'id'), 'g1-1');
  // 1.d4 left 1:30:20 of 1:30:00 + 30 s: 10 s; 4.Qc2 took 1:29:35 - 1:27:05 + 30 s.
  const spent = await page.$$eval('#game-1 .tpm', (els) => els.map((e) => e.textContent));
  assert.equal(spent[0], '10s');
  assert.equal(spent[6], '3:00');
  assert.equal(await page.textContent('#game-1 .player.w .spent'), '10s');
  // A game without evaluations has no bar.
  const plain = await open('long.htm');
  assert.equal(await plain.locator('.evalbar').count(), 0);
  // On a phone the list does not carry the times; the player's line does.
  const phone = await open('evals.htm', { viewport: SIZES.phone });
  assert.equal(await phone.isVisible('#game-1 .tpm >> nth=0'), false);
  assert.equal(await phone.textContent('#game-1 .player.b .spent'), '15s');
});

test('PGN download, FEN copy, move link and the way to the overview', async ({ open, origin }) => {
  const page = await open('game.htm');
  assert.equal(await page.getAttribute('header a.allgames', 'href'), 'allgames.htm');
  const [download] = await Promise.all([page.waitForEvent('download'),
    page.click('button[data-tool="pgn"]')]);
  assert.equal(download.suggestedFilename(), 'game.pgn');
  await download.saveAs(path.join(work, 'downloaded.pgn'));
  convert('downloaded.pgn', 'game.ini');
  const digest = (name) => /data-v="(\w+)"/.exec(fs.readFileSync(path.join(work, name), 'utf8'))[1];
  assert.equal(digest('downloaded.htm'), digest('game.htm'), 'the download is the same game');

  await page.context().grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
  await page.click('.var .var .mv >> text=Qh5');
  await page.click('button[data-tool="fen"]');
  await page.waitForSelector('.toolnote >> text=FEN copied');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), FEN.qh5);

  const link = await page.getAttribute('.plylink', 'href');
  assert.equal(link, '#g1-3v1-2v1-2');
  const linked = await open('game.htm' + link);
  assert.equal(await fen(linked, '#game-1 .board'), FEN.qh5);
  assert.equal(await linked.evaluate(() => window.scrollY), 0);
  const second = await open('allgames.htm#g3-4');
  assert.ok(await second.isVisible('#game-3 .board'));
  assert.equal(await second.textContent('#game-3 .mv.cur'), 'e6');
});

test('the browser\'s replay reaches the converter\'s final position in every game', async ({ open }) => {
  for (const name of ['replay.htm', 'selection.htm', 'wcc.htm']) {
    // The converter's positions, as a page without a script shows them.
    const plain = await open(name, { javaScriptEnabled: false });
    const expected = await plain.$$eval('section.game', (secs) =>
      secs.map((sec) => sec.querySelector('.board').getAttribute('data-fen')));
    const page = await open(name);
    const reached = await page.evaluate((count) => {
      const fens = [];
      for (let n = 1; n <= count; n++) {
        location.hash = '#game-' + n;
        window.dispatchEvent(new HashChangeEvent('hashchange'));
        const moves = document.querySelectorAll('#game-' + n + ' .line > .mv');
        fens.push(moves.length ? moves[moves.length - 1].getAttribute('data-fen')
          : document.querySelector('#game-' + n + ' .board').getAttribute('data-fen'));
      }
      return fens;
    }, expected.length);
    assert.ok(expected.length >= 3);
    assert.deepEqual(reached, expected, name);
  }
});

async function main() {
  const copies = { 'game.pgn': 'game.pgn', 'overview.pgn': 'overview.pgn',
    'allgames.pgn': 'overview.pgn', 'live.pgn': 'game.pgn', 'live-file.pgn': 'game.pgn',
    'bad.pgn': 'game.pgn', 'evals.pgn': 'evals.pgn', 'focus.pgn': 'game.pgn',
    'hidden.pgn': 'game.pgn', 'clock.pgn': 'game.pgn', 'replay.pgn': 'replay.pgn',
    'selection.pgn': '../../data/merge/gnuchess-book-selection.pgn',
    'wcc.pgn': '../../data/merge/wcc-selection.pgn' };
  for (const [to, from] of Object.entries(copies)) {
    fs.copyFileSync(path.join(fixtures, from), path.join(work, to));
  }
  // Pages that refresh while a test reads them would change under it: only the live
  // pages refresh within a test's time.
  writeIni('game.ini', 'vistrel-game.ini', { refresh: 30 });
  writeIni('overview.ini', 'vistrel-overview.ini', { refresh: 30 });
  writeIni('live.ini', 'vistrel-game.ini', { refresh: 1 });
  // The longest game of the overview's file on a page of its own.
  const round = fs.readFileSync(path.join(fixtures, 'overview.pgn'), 'utf8');
  fs.writeFileSync(path.join(work, 'long.pgn'), round.slice(round.lastIndexOf('[Event ')));
  for (const [pgn, ini] of [['game.pgn', 'game.ini'], ['allgames.pgn', 'game.ini'],
    ['overview.pgn', 'overview.ini'], ['live.pgn', 'live.ini'], ['live-file.pgn', 'live.ini'],
    ['bad.pgn', 'live.ini'], ['evals.pgn', 'game.ini'], ['long.pgn', 'game.ini'],
    ['focus.pgn', 'live.ini'], ['hidden.pgn', 'live.ini'], ['clock.pgn', 'live.ini'],
    ['replay.pgn', 'game.ini'], ['selection.pgn', 'game.ini'], ['wcc.pgn', 'game.ini']]) {
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
      if (opts.viewport) await page.setViewportSize(opts.viewport);
      page.on('request', (r) => {
        if (!r.url().startsWith(origin) && !r.url().startsWith('file:')) outside.push(r.url());
      });
      const url = opts.file ? 'file://' + path.join(work, name) : origin + '/' + name;
      await page.goto(url);
      return page;
    };
    const started = Date.now();
    try {
      await t.fn({ open, hits, answers, origin });
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
