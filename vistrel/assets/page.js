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
  var NAMES = { K: 'king', Q: 'queen', R: 'rook', B: 'bishop', N: 'knight', P: 'pawn' };
  var refreshSeconds = parseInt(body.getAttribute('data-refresh') || '0', 10);
  var isGamePage = body.classList.contains('kv-game-page');
  var storageKey = 'kv-state:' + location.pathname;
  var lastText = null;
  // Per game section id: { cur: id of the shown move or '' for the start, flip: bool }
  var state = {};
  var activeId = null;

  // ---- board ------------------------------------------------------------------

  function renderBoard(board, fen, uci, flip) {
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
          html += '<svg class="pc ' + (white ? 'w' : 'b') + '" role="img" aria-label="' +
            (white ? 'white ' : 'black ') + NAMES[type] + '"><use href="#kv-' + type + '"/></svg>';
        }
        html += '</div>';
      }
    }
    board.innerHTML = html;
    board.setAttribute('data-fen', fen);
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
    renderBoard(board, fen, mv ? mv.getAttribute('data-uci') : '', st.flip);
    var col = sec.querySelector('.boardcol');
    if (col) col.classList.toggle('flipped', st.flip);
    var old = sec.querySelectorAll('.mv.cur');
    for (var i = 0; i < old.length; i++) old[i].classList.remove('cur');
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

  // ---- live refresh -------------------------------------------------------------

  function anyLive(d) { return d.querySelector('[data-live="1"]') !== null; }

  function schedule() {
    if (refreshSeconds > 0 && anyLive(doc)) setTimeout(poll, refreshSeconds * 1000);
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

  function merge(newDoc) {
    if (!newDoc.getElementById('kv-content')) return;
    var saved = isGamePage ? snapshot() : null;
    replaceFrom(newDoc, 'kv-content');
    replaceFrom(newDoc, 'kv-title');
    doc.title = newDoc.title;
    if (isGamePage) restore(saved);
  }

  // A page still being uploaded (a server that cannot rename writes it in place) or a
  // cut connection gives a document without its end; showing it would lose moves.
  function isWholePage(text) { return /<\/html>\s*$/i.test(text); }

  // Fetches the page's own address with the cache revalidated: an unchanged page costs
  // the server a "not modified" answer. Where fetching is impossible (a page opened
  // from disk, an old browser) the page reloads instead; a failed request is retried.
  // A request that gets no answer in time is given up, so a stalled connection cannot
  // stop the refresh for good.
  function poll() {
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
      clearTimeout(limit);
      schedule();
    }
    fetch(location.href.split('#')[0], { cache: 'no-cache', credentials: 'same-origin',
      signal: abort ? abort.signal : undefined })
      .then(function (r) {
        if (!r.ok) throw new Error('HTTP ' + r.status);
        return r.text();
      })
      .then(function (text) {
        if (!settled && text !== lastText && isWholePage(text)) {
          lastText = text;
          merge(new DOMParser().parseFromString(text, 'text/html'));
        }
      })
      .catch(function () { /* keep the page as it is; try again at the next interval */ })
      .then(finish);
  }

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
  }
  schedule();
})();
