// Behaviour of the converter's pages. The server-side HTML already shows every game at
// its current position with its whole move list; this script adds navigation, flipping,
// switching between games and, while a game is in progress, refreshing in place.
//
// The move list is the data: every move element (.mv) carries the FEN after it
// (data-fen), the move in long notation (data-uci) and the clocks (data-wc, data-bc).
// A line of moves is a .line (main line) or .var (variation) element whose direct .mv
// children are its moves; a .var stands after the move it is an alternative to.
(function () {
  'use strict';
  var doc = document;
  var body = doc.body;
  var FILES = 'abcdefgh';
  var NAMES = { K: 1, Q: 1, R: 1, B: 1, N: 1, P: 1 };
  var refreshSeconds = parseInt(body.getAttribute('data-refresh') || '0', 10);
  var isGamePage = body.classList.contains('kv-game-page');
  var storageKey = 'kv-state:' + location.pathname;
  // Milliseconds the server's clock is ahead of the viewer's, from its Date header.
  var skew = 0;
  // Per game section id: { cur: id of the shown move or '' for the start, flip: bool }
  var state = {};
  var activeId = null;

  // ---- board ------------------------------------------------------------------

  function renderBoard(board, fen, uci, flip, label) {
    var rows = (fen || '').split(' ')[0].split('/');
    var grid = [];
    for (var r = 0; r < 8; r++) {
      var row = [];
      var text = rows[r] || '';
      for (var i = 0; i < text.length && row.length < 8; i++) {
        var c = text.charAt(i);
        if (c >= '1' && c <= '8') {
          for (var k = 0; k < +c; k++) row.push('');
        } else {
          row.push(c);
        }
      }
      grid.push(row);
    }
    var from = uci ? uci.substr(0, 2) : '';
    var to = uci ? uci.substr(2, 2) : '';
    var coords = board.getAttribute('data-coords') !== '0';
    var html = '';
    for (var vr = 0; vr < 8; vr++) {
      for (var vf = 0; vf < 8; vf++) {
        var rank = flip ? 7 - vr : vr;
        var file = flip ? 7 - vf : vf;
        var name = FILES.charAt(file) + (8 - rank);
        var cls = 'sq ' + ((rank + file) % 2 === 0 ? 'l' : 'd');
        if (name === from || name === to) cls += ' lm';
        html += '<div class="' + cls + '" data-sq="' + name + '">';
        if (coords && vf === 0) html += '<span class="cr">' + (8 - rank) + '</span>';
        if (coords && vr === 7) html += '<span class="cf">' + FILES.charAt(file) + '</span>';
        var p = grid[rank][file] || '';
        var type = p.toUpperCase();
        if (NAMES[type]) {
          var white = p === type;
          html += '<svg class="pc ' + (white ? 'w' : 'b') + '"><use href="#kv-' + type + '"/></svg>';
        }
        html += '</div>';
      }
    }
    board.innerHTML = html;
    board.setAttribute('data-fen', fen);
    board.setAttribute('aria-label', label);
    board.setAttribute('data-flip', flip ? '1' : '0');
  }

  // ---- moves as a tree in the DOM ---------------------------------------------

  function isMove(el) { return el && el.classList && el.classList.contains('mv'); }

  function siblingMove(el, forward) {
    var s = forward ? el.nextElementSibling : el.previousElementSibling;
    while (s && !isMove(s)) s = forward ? s.nextElementSibling : s.previousElementSibling;
    return s;
  }

  function mainLine(sec) { return sec.querySelector('.line'); }

  function firstMoveOf(line) {
    for (var c = line && line.firstElementChild; c; c = c.nextElementSibling) {
      if (isMove(c)) return c;
    }
    return null;
  }

  function lastMoveOf(line) {
    for (var c = line && line.lastElementChild; c; c = c.previousElementSibling) {
      if (isMove(c)) return c;
    }
    return null;
  }

  // The move before mv; for the first move of a variation, the move before the one it
  // replaces. null means the start position.
  function prevOf(mv) {
    var p = siblingMove(mv, false);
    if (p) return p;
    var line = mv.parentNode;
    if (line.classList.contains('var')) {
      var replaced = siblingMove(line, false);
      return replaced ? prevOf(replaced) : null;
    }
    return null;
  }

  function nextOf(sec, mv) {
    return mv ? siblingMove(mv, true) : firstMoveOf(mainLine(sec));
  }

  function currentMove(sec) {
    var id = state[sec.id] && state[sec.id].cur;
    return id ? doc.getElementById(id) : null;
  }

  function atLastMainMove(sec) {
    return currentMove(sec) === lastMoveOf(mainLine(sec));
  }

  // ---- showing a position -----------------------------------------------------

  function show(sec, mv) {
    var st = state[sec.id] || (state[sec.id] = { cur: '', flip: false });
    st.cur = mv ? mv.id : '';
    var board = sec.querySelector('.board');
    var fen = mv ? mv.getAttribute('data-fen') : sec.getAttribute('data-start-fen');
    renderBoard(board, fen, mv ? mv.getAttribute('data-uci') : '', st.flip,
      mv ? 'Position after ' + moveLabel(mv) : 'Starting position');
    var col = sec.querySelector('.boardcol');
    if (col) col.classList.toggle('flipped', st.flip);
    var old = sec.querySelectorAll('.mv.cur');
    for (var i = 0; i < old.length; i++) old[i].classList.remove('cur');
    fitList(sec);
    if (mv) {
      mv.classList.add('cur');
      scrollIntoList(sec.querySelector('.moves'), mv);
    }
    var clocks = sec.querySelectorAll('.clock');
    for (var j = 0; j < clocks.length; j++) {
      var side = clocks[j].getAttribute('data-side');
      clocks[j].textContent = (mv || sec).getAttribute('data-' + side + 'c') || '';
    }
  }

  // "23... Nxe4": the number comes from the position after the move.
  function moveLabel(mv) {
    var f = (mv.getAttribute('data-fen') || '').split(' ');
    var whiteMoved = f[1] === 'b';
    var n = parseInt(f[5] || '1', 10) - (whiteMoved ? 0 : 1);
    return n + (whiteMoved ? '. ' : '... ') + mv.textContent;
  }

  // On a narrow screen the list stands under the board: it gets the height left in the
  // window below it, so the current move is in view without scrolling the page.
  function fitList(sec) {
    var list = sec.querySelector('.moves');
    if (!list) return;
    if (window.innerWidth > 700) {
      list.style.maxHeight = '';
      return;
    }
    var top = list.getBoundingClientRect().top + window.pageYOffset;
    list.style.maxHeight = Math.max(120, window.innerHeight - top - 8) + 'px';
  }

  // Scrolls the move list only (never the page) so the current move is visible.
  function scrollIntoList(list, mv) {
    if (!list) return;
    var top = mv.offsetTop - list.offsetTop;
    if (top < list.scrollTop) {
      list.scrollTop = top - 8;
    } else if (top + mv.offsetHeight > list.scrollTop + list.clientHeight) {
      list.scrollTop = top + mv.offsetHeight - list.clientHeight + 8;
    }
  }

  function navigate(sec, action) {
    var cur = currentMove(sec);
    var target = cur;
    if (action === 'first') target = null;
    else if (action === 'prev') target = cur ? prevOf(cur) : null;
    else if (action === 'next') target = nextOf(sec, cur) || cur;
    else if (action === 'last') target = lastMoveOf(cur ? cur.parentNode : mainLine(sec)) || cur;
    show(sec, target);
  }

  function activeSection() {
    return (activeId && doc.getElementById(activeId)) || doc.querySelector('section.game');
  }

  function activate(id) {
    var secs = doc.querySelectorAll('section.game');
    var found = false;
    for (var i = 0; i < secs.length; i++) found = found || secs[i].id === id;
    if (!found && secs.length) id = secs[0].id;
    activeId = id;
    for (var k = 0; k < secs.length; k++) secs[k].classList.toggle('active', secs[k].id === id);
    var links = doc.querySelectorAll('.gamelist a');
    for (var m = 0; m < links.length; m++) {
      links[m].classList.toggle('active', links[m].getAttribute('href') === '#' + id);
    }
    var select = doc.getElementById('kv-select');
    if (select) select.value = id;
    var sec = doc.getElementById(id);
    var title = sec && sec.getAttribute('data-title');
    if (title) {
      doc.getElementById('kv-title').textContent = title;
      doc.title = title;
    }
  }

  // With a script the list of games becomes a compact drop-down; the list of links
  // stays for browsers without one.
  function buildGameSelect() {
    var list = doc.querySelector('.gamelist');
    if (!list || doc.getElementById('kv-select')) return;
    var select = doc.createElement('select');
    select.id = 'kv-select';
    select.setAttribute('aria-label', 'Game');
    var links = list.querySelectorAll('a');
    for (var i = 0; i < links.length; i++) {
      var option = doc.createElement('option');
      option.value = links[i].getAttribute('href').substr(1);
      option.textContent = (i + 1) + '. ' + links[i].textContent;
      select.appendChild(option);
    }
    select.addEventListener('change', function () {
      activate(select.value);
      if (history.replaceState) history.replaceState(null, '', '#' + select.value);
    });
    list.insertBefore(select, list.firstChild);
  }

  function initSection(sec, saved) {
    var st = state[sec.id] = { cur: '', flip: !!(saved && saved.flip) };
    var last = lastMoveOf(mainLine(sec));
    var target = last;
    if (saved && !saved.follow) {
      target = saved.cur ? (doc.getElementById(saved.cur) || last) : null;
    } else if (!saved && body.getAttribute('data-start') === 'first') {
      target = null;
    }
    st.cur = target ? target.id : '';
    show(sec, target);
  }

  function snapshot() {
    var games = {};
    var secs = doc.querySelectorAll('section.game');
    for (var i = 0; i < secs.length; i++) {
      var st = state[secs[i].id] || { cur: '', flip: false };
      games[secs[i].id] = { cur: st.cur, flip: st.flip, follow: atLastMainMove(secs[i]) };
    }
    return { active: activeId, games: games };
  }

  function restore(saved) {
    buildGameSelect();
    var moves = doc.querySelectorAll('.mv');
    for (var m = 0; m < moves.length; m++) {
      moves[m].tabIndex = 0;
      moves[m].setAttribute('role', 'button');
    }
    var secs = doc.querySelectorAll('section.game');
    for (var i = 0; i < secs.length; i++) {
      initSection(secs[i], saved && saved.games ? saved.games[secs[i].id] : null);
    }
    var hash = location.hash ? location.hash.substr(1) : '';
    activate(saved && saved.active ? saved.active : hash);
  }

  // The browser scrolled to where the section stood before the others were hidden.
  function activateFromAddress() {
    activate(location.hash.substr(1));
    window.scrollTo(0, 0);
  }

  function noteServerTime(date) {
    var server = date ? Date.parse(date) : NaN;
    if (!isNaN(server)) skew = server - Date.now();
  }

  // ---- live refresh -------------------------------------------------------------

  var timer = null;

  function anyLive(d) { return d.querySelector('[data-live="1"]') !== null; }

  // Polling rests while the tab is hidden and resumes, at once, when it is shown again.
  function schedule(delay) {
    clearTimeout(timer);
    timer = null;
    if (refreshSeconds > 0 && anyLive(doc) && !doc.hidden) {
      timer = setTimeout(poll, delay === undefined ? refreshSeconds * 1000 : delay);
    }
  }

  function reloadPage() {
    try {
      if (isGamePage) sessionStorage.setItem(storageKey, JSON.stringify(snapshot()));
    } catch (e) { /* storage unavailable: the page opens at its default position */ }
    location.reload();
  }

  function replaceFrom(newDoc, id) {
    var fresh = newDoc.getElementById(id);
    var old = doc.getElementById(id);
    if (fresh && old) old.innerHTML = fresh.innerHTML;
  }

  // What has the keyboard focus, described so that it can be found again in new markup.
  function focusKey() {
    var el = doc.activeElement;
    if (!el || el === body) return null;
    var sec = el.closest && el.closest('section.game');
    if (el.id) return { id: el.id };
    if (sec && el.getAttribute('data-nav')) return { sec: sec.id, nav: el.getAttribute('data-nav') };
    return null;
  }

  function refocus(key) {
    if (!key) return;
    var el = key.id ? doc.getElementById(key.id)
      : doc.querySelector('#' + key.sec + ' [data-nav="' + key.nav + '"]');
    if (el && el !== doc.activeElement) el.focus({ preventScroll: true });
  }

  function mainMoveCount(d) {
    var counts = {};
    var secs = d.querySelectorAll('section.game');
    for (var i = 0; i < secs.length; i++) {
      counts[secs[i].id] = secs[i].querySelectorAll('.line > .mv').length;
    }
    return counts;
  }

  // Tells screen readers, without interrupting them, which moves came in.
  function announce(before) {
    var region = doc.getElementById('kv-announce');
    var sec = activeSection();
    if (!region || !sec) return;
    var moves = sec.querySelectorAll('.line > .mv');
    var words = [];
    for (var i = before[sec.id] || 0; i < moves.length; i++) words.push(moveLabel(moves[i]));
    if (words.length) region.textContent = 'New move: ' + words.join(', ');
    if (sec.getAttribute('data-live') === '0') {
      var res = sec.querySelector('.res');
      if (res) region.textContent += (words.length ? '. ' : '') + 'Result ' + res.textContent;
    }
  }

  function merge(newDoc) {
    if (!newDoc.getElementById('kv-content')) return;
    var saved = isGamePage ? snapshot() : null;
    var focus = focusKey();
    var scrolls = {};
    var lists = doc.querySelectorAll('section.game');
    for (var i = 0; i < lists.length; i++) {
      var list = lists[i].querySelector('.moves');
      if (list) scrolls[lists[i].id] = list.scrollTop;
    }
    var before = isGamePage ? mainMoveCount(doc) : null;
    replaceFrom(newDoc, 'kv-content');
    replaceFrom(newDoc, 'kv-title');
    body.setAttribute('data-v', newDoc.body.getAttribute('data-v') || '');
    doc.title = newDoc.title;
    if (isGamePage) {
      restore(saved);
      // A spectator who scrolled the list and does not follow the game keeps the list as it was.
      for (var id in scrolls) {
        var sec = doc.getElementById(id);
        var moves = sec && sec.querySelector('.moves');
        if (moves && !(saved.games[id] && saved.games[id].follow)) moves.scrollTop = scrolls[id];
      }
      announce(before);
    }
    refocus(focus);
  }

  // A page still being uploaded (a server that cannot rename writes it in place) or a
  // cut connection gives a document without its end; showing it would lose moves.
  function isWholePage(text) { return /<\/html>\s*$/i.test(text); }

  // The digest of the page's content: an answer with the same one changes nothing.
  function versionOf(text) {
    var m = /<body[^>]* data-v="([0-9a-f]*)"/.exec(text);
    return m ? m[1] : null;
  }

  // Fetches the page's own address with the cache revalidated: an unchanged page costs
  // the server a "not modified" answer. Where fetching is impossible (a page opened
  // from disk, an old browser) the page reloads instead; a failed request is retried.
  // A request that gets no answer in time is given up, so a stalled connection cannot
  // stop the refresh for good.
  var polling = false;

  function poll() {
    timer = null;
    polling = true;
    if (!window.fetch || !window.DOMParser || location.protocol === 'file:') {
      reloadPage();
      return;
    }
    var settled = false;
    var abort = window.AbortController ? new AbortController() : null;
    var limit = setTimeout(function () {
      if (abort) abort.abort();
      finish();
    }, Math.max(10, 2 * refreshSeconds) * 1000);
    function finish() {
      if (settled) return;
      settled = true;
      polling = false;
      clearTimeout(limit);
      schedule();
    }
    fetch(location.href.split('#')[0], { cache: 'no-cache', credentials: 'same-origin',
      signal: abort ? abort.signal : undefined })
      .then(function (r) {
        if (!r.ok) throw new Error('HTTP ' + r.status);
        noteServerTime(r.headers.get('Date'));
        return r.text();
      })
      .then(function (text) {
        var version = versionOf(text);
        if (!settled && isWholePage(text) && version !== body.getAttribute('data-v')) {
          merge(new DOMParser().parseFromString(text, 'text/html'));
        }
      })
      .catch(function () { /* keep the page as it is; try again at the next interval */ })
      .then(finish);
  }

  doc.addEventListener('visibilitychange', function () {
    if (doc.hidden) schedule();
    else if (!timer && !polling) schedule(0);
  });

  // ---- events ---------------------------------------------------------------------

  function onClick(ev) {
    var t = ev.target;
    if (!t || !t.closest) return;
    var mv = t.closest('.mv');
    var sec = t.closest('section.game');
    if (mv && sec) {
      show(sec, mv);
      return;
    }
    var btn = t.closest('button[data-nav]');
    if (btn && sec) {
      var action = btn.getAttribute('data-nav');
      if (action === 'flip') {
        state[sec.id].flip = !state[sec.id].flip;
        show(sec, currentMove(sec));
      } else {
        navigate(sec, action);
      }
    }
  }

  var KEYS = { ArrowLeft: 'prev', ArrowRight: 'next', ArrowUp: 'first', ArrowDown: 'last',
    Home: 'first', End: 'last' };

  function onKey(ev) {
    var action = KEYS[ev.key];
    var tag = ev.target && ev.target.tagName;
    // A focused move is entered with Enter or Space, as a button would be.
    if ((ev.key === 'Enter' || ev.key === ' ') && isMove(ev.target)) {
      ev.preventDefault();
      show(ev.target.closest('section.game'), ev.target);
      return;
    }
    if (!action || ev.altKey || ev.ctrlKey || ev.metaKey || tag === 'INPUT' ||
        tag === 'SELECT' || tag === 'TEXTAREA') {
      return;
    }
    var sec = activeSection();
    if (!sec) return;
    ev.preventDefault();
    navigate(sec, action);
  }

  if (isGamePage) {
    var region = doc.createElement('div');
    region.id = 'kv-announce';
    region.className = 'sr';
    region.setAttribute('aria-live', 'polite');
    body.appendChild(region);
    var saved = null;
    try {
      saved = JSON.parse(sessionStorage.getItem(storageKey) || 'null');
      sessionStorage.removeItem(storageKey);
    } catch (e) { saved = null; }
    restore(saved);
    if (!saved && location.hash) {
      activateFromAddress();
      window.addEventListener('load', function () { window.scrollTo(0, 0); });
    }
    doc.addEventListener('click', onClick);
    doc.addEventListener('keydown', onKey);
    window.addEventListener('hashchange', activateFromAddress);
    window.addEventListener('resize', function () {
      var sec = activeSection();
      var mv = sec && currentMove(sec);
      if (sec) fitList(sec);
      if (mv) scrollIntoList(sec.querySelector('.moves'), mv);
    });
  }
  schedule();
})();
