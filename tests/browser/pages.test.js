// The converter's pages in headless Chromium, one scenario per kind of page (at phone and
// laptop size where the layout matters): a game page, the pages of a round (all games and
// the overview), evaluations, the view without JavaScript, and live pages that refresh.
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
const SIZES = { phone: { width: 390, height: 844 }, laptop: { width: 1366, height: 768 } };

function convert(name, ini) {
  execFileSync(vistrel, [path.join(work, name + '.pgn'), path.join(work, ini + '.ini'), '-x'],
    { stdio: 'inherit' });
}

function writeIni(name, base, refresh) {
  const text = fs.readFileSync(path.join(dataDir, base), 'utf8');
  fs.writeFileSync(path.join(work, name + '.ini'), text.replace(/^refresh = .*$/m, 'refresh = ' + refresh));
}

// Changes a game's PGN (the converter's input) and converts it again.
function edit(name, ini, change) {
  const file = path.join(work, name + '.pgn');
  fs.writeFileSync(file, change(fs.readFileSync(file, 'utf8')));
  convert(name, ini);
}
const addMoves = (text) => text.replace('5. O-O {[%clk 1:27:20]} *', '5. O-O {[%clk 1:27:20]} Be7 6. Re1 *');
const endGame = (text) => text.replace(/\*/g, '1-0');

// A static file server that answers revalidation with 304, like a web server would, and
// counts the requests for each address (with its query). A test may queue answers of its
// own for an address: each request takes the next one, then the file is served again.
function startServer() {
  const hits = {};
  const answers = {};
  const server = http.createServer((req, res) => {
    hits[req.url] = (hits[req.url] || 0) + 1;
    if (answers[req.url] && answers[req.url].length) {
      answers[req.url].shift()(res);
      return;
    }
    const file = path.join(work, path.normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)));
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

const fen = (page, sel = '#game-1 .board') => page.getAttribute(sel, 'data-fen');
const waitFen = (page, expected) => page.waitForFunction(
  (f) => document.querySelector('#game-1 .board').getAttribute('data-fen') === f, expected,
  { timeout: 8000 });
const clockOf = (page, side) => page.textContent('#game-1 .player.' + side + ' .clock');
const seconds = (clock) => clock.split(':').reduce((s, part) => s * 60 + +part, 0);

async function until(condition, ms) {
  for (const end = Date.now() + ms; !condition(); await new Promise((r) => setTimeout(r, 50))) {
    if (Date.now() > end) throw new Error('timed out waiting for ' + condition);
  }
}

// Waits until the page's address has been asked for at least once more.
async function nextPoll(hits, url) {
  const before = hits[url] || 0;
  await until(() => (hits[url] || 0) > before, 8000);
}

// Chooses a game from the page's list of games, as a spectator would.
async function choose(page, id) {
  if (!(await page.isVisible('.gamelist a[href="#' + id + '"]'))) await page.click('.gamelist summary');
  await page.click('.gamelist a[href="#' + id + '"]');
  // The page switches games on the hash change, after the click has returned.
  await page.waitForSelector('#' + id + ' .board', { state: 'visible', timeout: 5000 });
}

// The position after each game's last move as the page's script replays it.
const lastPositions = (page, count) => page.evaluate((n) => {
  const fens = [];
  for (let g = 1; g <= n; g++) {
    location.hash = '#game-' + g;
    window.dispatchEvent(new HashChangeEvent('hashchange'));
    const moves = document.querySelectorAll('#game-' + g + ' .line > .mv');
    fens.push(moves.length ? moves[moves.length - 1].getAttribute('data-fen')
      : document.querySelector('#game-' + g + ' .board').getAttribute('data-fen'));
  }
  return fens;
}, count);

// No page scrolls sideways, and results and clocks stay whole on the screen.
async function assertFits(page, where) {
  const wide = await page.evaluate(() =>
    document.documentElement.scrollWidth - document.documentElement.clientWidth);
  assert.equal(wide, 0, where + ' scrolls sideways');
  const broken = await page.$$eval('.result, .res, .clock', (els) => els.filter((e) =>
    e.offsetParent && (e.getClientRects().length > 1 ||
    e.getBoundingClientRect().right > document.documentElement.clientWidth)).length);
  assert.equal(broken, 0, where + ': a result or clock wraps or leaves the screen');
}

const tests = [];
const test = (name, fn) => tests.push({ name, fn });
// A scenario run once at each size; open() gives its pages that size.
const atEachSize = (name, fn) => {
  for (const [size, viewport] of Object.entries(SIZES)) {
    test(name + ' (' + size + ')', (t) => fn({ ...t, size, phone: size === 'phone',
      open: (page, opts = {}) => t.open(page, { viewport, ...opts }) }));
  }
};

atEachSize('a game page: moves, variations, flipping, keyboard and tools', async ({ open, origin, size, phone }) => {
  const page = await open('game.htm');
  await assertFits(page, 'game.htm at ' + size);
  assert.equal(await fen(page), FEN.castles);
  assert.equal(await page.getAttribute('#g1-9', 'class'), 'mv cur');
  assert.equal(await page.getAttribute('.board', 'aria-label'), 'Position after 5. O-O');
  assert.equal(await clockOf(page, 'w'), '1:27:20');
  for (const name of ['First position', 'Previous move', 'Next move', 'Last move', 'Flip board']) {
    assert.equal(await page.getByRole('button', { name }).count(), 1, name);
  }
  await page.click('button[data-nav="prev"]');
  assert.equal(await clockOf(page, 'w'), '1:27:59');
  assert.equal(await fen(page), FEN.nf6);
  for (const [step, expected] of [['first', FEN.start], ['next', FEN.e4], ['last', FEN.castles],
    ['ArrowLeft', FEN.nf6], ['ArrowUp', FEN.start], ['ArrowRight', FEN.e4], ['ArrowDown', FEN.castles]]) {
    if (step.startsWith('Arrow')) await page.keyboard.press(step);
    else await page.click('button[data-nav="' + step + '"]');
    assert.equal(await fen(page), expected, step);
  }

  // Flip turns the board and the players, and stays while moving.
  const corner = () => page.$eval('#game-1 .board i', (el) => el.dataset.sq);
  await page.click('button[data-nav="flip"]');
  assert.equal(await corner(), 'h1');
  assert.ok(await page.evaluate(() => document.querySelector('.player.w').getBoundingClientRect().top <
    document.querySelector('.board').getBoundingClientRect().top), 'White plays from the top');
  await page.keyboard.press('ArrowLeft');
  assert.equal(await corner(), 'h1');
  await page.click('button[data-nav="flip"]');
  assert.equal(await corner(), 'a8');

  // Tab into the nested variation and enter its move; back to where it branched from.
  await page.focus('#g1-1');
  for (let i = 0; i < 20; i++) {
    if (await page.evaluate(() => document.activeElement.textContent) === 'Qh5') break;
    await page.keyboard.press('Tab');
  }
  await page.keyboard.press('Enter');
  assert.equal(await fen(page), FEN.qh5);
  assert.equal(await page.getAttribute('.var .var .mv >> text=Qh5', 'class'), 'mv cur');
  assert.equal(await page.getAttribute('.board', 'aria-label'), 'Position after 3. Qh5');
  const fontSize = await page.$eval('.var .var .mv', (el) => parseFloat(getComputedStyle(el).fontSize));
  assert.ok(fontSize >= 13, 'variation text ' + fontSize + 'px');
  await page.keyboard.press('ArrowLeft');
  assert.equal(await fen(page), FEN.bc5);
  await page.keyboard.press('ArrowLeft');
  assert.equal(await fen(page), FEN.bc4);
  const lastSquares = await page.$$eval('#game-1 .board i.m', (els) => els.map((e) => e.dataset.sq));
  assert.deepEqual(lastSquares.sort(), ['c4', 'f1']);
  if (phone) return;

  // The tools: PGN download, FEN copy, a link to the move; the way to the other games.
  assert.equal(await page.getAttribute('header a.allgames', 'href'), 'allgames.htm');
  const [download] = await Promise.all([page.waitForEvent('download'),
    page.click('button[data-tool="pgn"]')]);
  assert.equal(download.suggestedFilename(), 'game.pgn');
  await download.saveAs(path.join(work, 'downloaded.pgn'));
  convert('downloaded', 'game');
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
  assert.equal(await fen(linked), FEN.qh5);
  assert.equal(await linked.evaluate(() => window.scrollY), 0);
});

atEachSize('the round: all games on one page, and the overview', async ({ open, size }) => {
  const games = await open('allgames.htm');
  await assertFits(games, 'allgames.htm at ' + size);
  assert.ok(await games.isVisible('#game-1 .board'));
  assert.ok(!(await games.isVisible('#game-3 .board')));
  await choose(games, 'game-3');
  assert.ok(!(await games.isVisible('#game-1 .board')));
  await games.waitForFunction(() => /^MacKay I - Adams, Michael/.test(document.title), null,
    { timeout: 5000 }).catch(() => {});
  assert.match(await games.textContent('#kv-title'), /^MacKay I - Adams, Michael/);
  assert.match(await games.title(), /^MacKay I - Adams, Michael/);
  await games.keyboard.press('ArrowUp');
  assert.equal(await fen(games, '#game-3 .board'), FEN.start);

  const page = await open('overview.htm');
  await assertFits(page, 'overview.htm at ' + size);
  assert.equal(await page.locator('.card').count(), 4);
  const hrefs = await page.$$eval('.card a.open', (els) => els.map((e) => e.getAttribute('href')));
  assert.deepEqual(hrefs, ['board1.htm', 'board2.htm', 'board3.htm', 'board%204.htm']);
  const cut = await page.$$eval('.card .name', (els) =>
    els.filter((e) => e.scrollWidth > e.clientWidth + 1).length);
  assert.equal(cut, 0, 'a name is cut off');
  assert.deepEqual(await page.$eval('#ov-1 .player.w', (el) => ['.name', '.title', '.elo'].map((s) =>
    el.querySelector(s).textContent)), ['Adams, Michael', 'GM', '2690']);
  assert.equal(await page.textContent('#kv-title'), 'Korvane Test Open (synthetic round), round 5');
  // A game marked down shows only DOWN.
  assert.deepEqual(await page.$$eval('.card.down', (els) => els.map((e) => e.id)), ['ov-3']);
  assert.equal((await page.textContent('#ov-3 .down-mark')).toLowerCase(), 'down');
  assert.equal(await page.locator('#ov-3 .head .live-mark, #ov-3 .head .result').count(), 0);
  // Each small board shows its game's current position, as the page of all games does.
  const boards = await page.$$eval('.card .board', (els) => els.map((e) => e.dataset.fen));
  assert.deepEqual(boards, await lastPositions(games, 4));
});

atEachSize('evaluations, times per move and a long game', async ({ open, size, phone }) => {
  const page = await open('evals.htm');
  await assertFits(page, 'evals.htm at ' + size);
  if (phone) {
    // On a phone the list does not carry the times; the player's line does.
    assert.equal(await page.isVisible('#game-1 .tpm >> nth=0'), false);
    assert.equal(await page.textContent('#game-1 .player.b .spent'), '15s');
  } else {
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
    const box = await (await page.$('#game-1 .evalgraph')).boundingBox();
    await page.mouse.click(box.x + box.width - 1, box.y + box.height / 2);
    assert.equal(await page.getAttribute('#game-1 .mv.cur', 'id'), 'g1-16');
    await page.mouse.click(box.x + 1, box.y + box.height / 2);
    assert.equal(await page.getAttribute('#game-1 .mv.cur', 'id'), 'g1-1');
    // 1.d4 left 1:30:20 of 1:30:00 + 30 s: 10 s; 4.Qc2 took 1:29:35 - 1:27:05 + 30 s.
    const spent = await page.$$eval('#game-1 .tpm', (els) => els.map((e) => e.textContent));
    assert.deepEqual([spent[0], spent[6]], ['10s', '3:00']);
    assert.equal(await page.textContent('#game-1 .player.w .spent'), '10s');
  }

  // A game without evaluations has no bar; its current move is in view without scrolling,
  // and the board fits a short, wide window.
  const long = await open('long.htm');
  await assertFits(long, 'long.htm at ' + size);
  assert.equal(await long.locator('.evalbar').count(), 0);
  if (phone) {
    const box = await long.$eval('.mv.cur', (el) => {
      const r = el.getBoundingClientRect();
      return { top: r.top, bottom: r.bottom, scrolled: window.scrollY };
    });
    assert.ok(box.scrolled === 0 && box.top >= 0 && box.bottom <= SIZES.phone.height, JSON.stringify(box));
  } else {
    await long.setViewportSize({ width: 1000, height: 480 });
    const bottom = await long.$eval('.board', (el) => el.getBoundingClientRect().bottom);
    assert.ok(bottom <= 480, 'board bottom ' + bottom);
  }
});

test('without JavaScript every game shows its final position; the script replays to it', async ({ open }) => {
  const page = await open('game.htm', { javaScriptEnabled: false });
  assert.equal(await fen(page), FEN.castles);
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
  assert.equal(squares.find((sq) => { at += sq.span; return at === 63; }).piece, 'K');
  assert.match(await page.textContent('#game-1 .line'), /1\.e4.*5\.O-O/);
  assert.ok(await page.isVisible('.var .var >> text=3.Qh5'));
  assert.equal(await page.locator('.nav').count(), 0, 'no buttons that cannot work');
  const all = await open('allgames.htm', { javaScriptEnabled: false });
  assert.equal(await all.locator('section.game .board').count(), 4);
  assert.ok(await all.isVisible('#game-4 .board'));
  assert.match(await all.textContent('#game-4 .line'), /60\.Kh3.* 1-0/);

  // Games where replaying needs care, and two real collections: the browser's replay
  // reaches the converter's final position in every game.
  const plain = await open('replay.htm', { javaScriptEnabled: false });
  const expected = await plain.$$eval('section.game .board', (els) => els.map((e) => e.dataset.fen));
  assert.ok(expected.length > 200);
  assert.deepEqual(await lastPositions(await open('replay.htm'), expected.length), expected);
});

test('a live game refreshes in place; followers follow, readers keep their place', async ({ open, hits, answers }) => {
  const follower = await open('live.htm?f', { viewport: SIZES.laptop });
  const reader = await open('live.htm?r', { viewport: { width: 390, height: 600 } });
  await follower.evaluate(() => { window.kvMarker = 1; window.kvMove = document.getElementById('g1-5'); });
  const white = await clockOf(follower, 'w');
  const black = await clockOf(follower, 'b');
  // The reader steps back with the keyboard and scrolls the list of moves.
  await reader.focus('button[data-nav="prev"]');
  await reader.keyboard.press('Enter');
  await reader.keyboard.press('Shift+Tab');
  const focusOf = (page) => page.evaluate(() => document.activeElement === document.body ? 'none'
    : document.activeElement.id || document.activeElement.dataset.nav);
  const focused = await focusOf(reader);
  assert.notEqual(focused, 'none');
  await reader.$eval('#game-1 .moves', (el) => { el.scrollTop = 25; });
  const scrolled = await reader.$eval('#game-1 .moves', (el) => el.scrollTop);
  await nextPoll(hits, '/live.htm?f');
  assert.ok(await follower.evaluate(() => document.contains(window.kvMove)), 'an unchanged page is rebuilt');

  // The side to move's clock runs; White, who just moved, has a still clock.
  await follower.waitForTimeout(3200);
  assert.equal(await clockOf(follower, 'w'), white);
  assert.ok(seconds(await clockOf(follower, 'b')) <= seconds(black) - 2, 'Black\'s clock runs');
  // A server whose clock is an hour ahead: the viewer's clock is corrected by its Date header.
  const html = fs.readFileSync(path.join(work, 'live.htm'));
  answers['/live.htm?f'] = [(res) => res.writeHead(200, { 'Content-Type': 'text/html',
    Date: new Date(Date.now() + 3600e3).toUTCString() }).end(html)];
  await until(() => answers['/live.htm?f'].length === 0, 8000);
  await follower.waitForTimeout(1500);
  const ahead = seconds(black) - seconds(await clockOf(follower, 'b'));
  assert.ok(ahead > 3590 && ahead < 3620, 'an hour ahead: ' + ahead);
  // Going back shows that position's clocks, standing still.
  await follower.keyboard.press('ArrowLeft');
  assert.equal(await clockOf(follower, 'b'), '1:26:40');
  assert.equal(await follower.locator('.clock.run').count(), 0);
  await follower.keyboard.press('End');

  edit('live', 'live', addMoves);
  await waitFen(follower, FEN.re1);
  assert.equal(await follower.evaluate(() => window.kvMarker), 1, 'no reload');
  await reader.waitForSelector('#g1-11');
  assert.equal(await fen(reader), FEN.nf6);
  assert.equal(await reader.getAttribute('#g1-8', 'class'), 'mv cur');
  assert.equal(await focusOf(reader), focused, 'the focus is kept');
  assert.equal(await reader.$eval('#game-1 .moves', (el) => el.scrollTop), scrolled);
  assert.equal(await reader.textContent('#kv-announce'), 'New move: 5... Be7, 6. Re1');

  // The game ends: no live mark, no running clock, no more requests.
  edit('live', 'live', (text) => endGame(addMoves(text)));
  for (const page of [follower, reader]) {
    await page.waitForSelector('section.game[data-live="0"]', { timeout: 8000 });
  }
  assert.equal(await follower.isVisible('.live-mark'), false);
  const stopped = await clockOf(follower, 'b');
  const count = hits['/live.htm?f'] + hits['/live.htm?r'];
  await follower.waitForTimeout(2500);
  assert.equal(await clockOf(follower, 'b'), stopped);
  assert.equal(await follower.locator('.clock.run').count(), 0, 'a finished game has no running clock');
  assert.equal(hits['/live.htm?f'] + hits['/live.htm?r'], count, 'an ended game stops refreshing');
});

test('a hidden tab rests; bad answers neither spoil the page nor stop its refresh', async ({ open, hits, answers }) => {
  const page = await open('bad.htm?r');
  await nextPoll(hits, '/bad.htm?r');
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', { value: h, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await setHidden(true);
  await page.waitForTimeout(300);
  const count = hits['/bad.htm?r'];
  await page.waitForTimeout(2500);
  assert.equal(hits['/bad.htm?r'], count, 'a hidden tab polls');
  await setHidden(false);
  await nextPoll(hits, '/bad.htm?r');
  assert.equal(hits['/favicon.ico'], undefined);

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
  assert.equal(await fen(page), FEN.qh5);
  assert.equal(await page.locator('.mv').count(), 14);
  assert.equal(await page.isVisible('.live-mark'), true);
  edit('bad', 'live', addMoves);
  // The request that got no answer is given up; the next one brings the new moves.
  await page.waitForSelector('#g1-11', { timeout: 25000 });
  assert.equal(await fen(page), FEN.qh5);
  for (const res of hanging) res.destroy();
});

test('a page opened from disk keeps its place when it reloads', async ({ open }) => {
  const page = await open('live-file.htm', { file: true });
  await page.keyboard.press('ArrowLeft');
  await page.evaluate(() => { window.kvMarker = 1; });
  await page.waitForFunction(() => window.kvMarker === undefined, null, { timeout: 8000 });
  // The reloaded page returns to the kept move once its script has run.
  await waitFen(page, FEN.nf6).catch(() => {});
  assert.equal(await fen(page), FEN.nf6);
});

async function main() {
  // Pages that refresh while a test reads them would change under it: only the live
  // pages refresh within a test's time.
  writeIni('game', 'vistrel-game.ini', 30);
  writeIni('overview', 'vistrel-overview.ini', 30);
  writeIni('live', 'vistrel-game.ini', 1);
  const read = (name) => fs.readFileSync(path.join(fixtures, name), 'utf8');
  const round = read('overview.pgn');
  const sources = {
    game: [read('game.pgn'), 'game'], allgames: [round, 'game'], overview: [round, 'overview'],
    // The longest game of the round on a page of its own.
    long: [round.slice(round.lastIndexOf('[Event ')), 'game'], evals: [read('evals.pgn'), 'game'],
    replay: [[read('replay.pgn'), read('../../data/merge/gnuchess-book-selection.pgn'),
      read('../../data/merge/wcc-selection.pgn')].join('\r\n'), 'game'],
    live: [read('game.pgn'), 'live'], 'live-file': [read('game.pgn'), 'live'], bad: [read('game.pgn'), 'live'],
  };
  for (const [name, [text, ini]] of Object.entries(sources)) {
    fs.writeFileSync(path.join(work, name + '.pgn'), text);
    convert(name, ini);
  }

  const { server, hits, answers, origin } = await startServer();
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox',
    '--disable-gpu', '--disable-quic', '--disable-background-networking', '--disable-component-update'] });
  const outside = [];
  let failed = 0;
  for (const t of tests) {
    const pages = [];
    const open = async (name, opts = {}) => {
      const page = await browser.newPage({ javaScriptEnabled: opts.javaScriptEnabled !== false,
        viewport: opts.viewport || { width: 1100, height: 800 }, acceptDownloads: true });
      pages.push(page);
      page.on('request', (r) => {
        if (!r.url().startsWith(origin) && !r.url().startsWith('file:')) outside.push(r.url());
      });
      await page.goto(opts.file ? 'file://' + path.join(work, name) : origin + '/' + name);
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
  await browser.close();
  server.close();
  if (outside.length) {
    failed++;
    console.log('FAIL pages fetched from elsewhere: ' + outside.join(', '));
  }
  fs.rmSync(work, { recursive: true, force: true });
  console.log(failed ? failed + ' failed' : 'all ' + tests.length + ' passed');
  process.exit(failed ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
