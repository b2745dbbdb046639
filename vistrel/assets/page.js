// Behaviour of a game page. The server-side HTML already shows every game at its current
// position with its whole move list; build.js turns a game's move text into moves when the
// game is first shown, and this script lets the spectator step through them, click them or
// enter them with the keyboard, flip the board, switch between games and use the tools.
(function () {
  'use strict';
  var doc = document;
  var body = doc.body;
  var element = kvBuild.element;
  var isMove = kvBuild.isMove;
  var startFen = kvBuild.startFen;
  var mainLine = kvBuild.mainLine;
  var firstMoveOf = kvBuild.firstMoveOf;
  var lastMoveOf = kvBuild.lastMoveOf;
  var build = kvBuild.build;
  var isGamePage = body.classList.contains('kv-game-page');
  var storageKey = 'kv-state:' + location.pathname;
  // Milliseconds the server's clock is ahead of the viewer's, from its Date header.
  var skew = 0;
  // Per game section id: { cur: id of the shown move or '' for the start, flip: bool }
  var state = {};
  // Where each game stood before the page was rebuilt, for games not yet built again.
  var pending = {};
  var activeId = null;

  // ---- board ------------------------------------------------------------------

  function renderBoard(board, fen, uci, flip, label) {
    var pos = kvChess.parseFen(fen);
    var from = uci ? uci.substr(0, 2) : '';
    var to = uci ? uci.substr(2, 2) : '';
    var html = '';
    for (var v = 0; v < 64; v++) {
      var sq = flip ? 63 - v : v;
      var name = kvChess.name(sq);
      var cls = pos.board[sq] + (name === from || name === to ? ' m' : '');
      html += '<i class="' + cls + '" data-sq="' + name + '"></i>';
    }
    board.innerHTML = html;
    board.className = 'board full' + (body.getAttribute('data-coords') === '1' ? ' co' : '');
    board.setAttribute('data-fen', fen);
    board.setAttribute('data-flip', flip ? '1' : '0');
    board.setAttribute('aria-label', label);
  }

  // ---- moves as a tree in the DOM ---------------------------------------------

  function siblingMove(el, forward) {
    var s = forward ? el.nextElementSibling : el.previousElementSibling;
    while (s && !isMove(s)) s = forward ? s.nextElementSibling : s.previousElementSibling;
    return s;
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

  // "23... Nxe4"
  function moveLabel(mv) {
    return mv.kv.num + (mv.kv.white ? '. ' : '... ') + mv.textContent;
  }

  // ---- showing a position -----------------------------------------------------

  function show(sec, mv) {
    var st = state[sec.id] || (state[sec.id] = { cur: '', flip: false });
    st.cur = mv ? mv.id : '';
    var board = sec.querySelector('.board');
    var fen = mv ? mv.getAttribute('data-fen') : startFen(sec);
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
    var link = sec.querySelector('.plylink');
    if (link) link.href = '#' + (mv ? mv.id : sec.id);
    kvExtras.show(sec, mv, mv ? mv === lastMoveOf(mainLine(sec)) : !firstMoveOf(mainLine(sec)));
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
    var top = mv.getBoundingClientRect().top - list.getBoundingClientRect().top + list.scrollTop;
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
    else if (action === 'prev') target = cur ? cur.kv.prev : null;
    else if (action === 'next') target = nextOf(sec, cur) || cur;
    else if (action === 'last') target = lastMoveOf(cur ? cur.parentNode : mainLine(sec)) || cur;
    show(sec, target);
  }

  function activeSection() {
    return (activeId && doc.getElementById(activeId)) || doc.querySelector('section.game');
  }

  function activate(id) {
    var secs = doc.querySelectorAll('section.game');
    var found = null;
    for (var i = 0; i < secs.length; i++) if (secs[i].id === id) found = secs[i];
    if (!found && secs.length) found = secs[0];
    if (!found) return;
    activeId = found.id;
    for (var k = 0; k < secs.length; k++) secs[k].classList.toggle('active', secs[k] === found);
    if (!found.kvBuilt) {
      build(found);
      initSection(found, pending[found.id]);
    }
    var links = doc.querySelectorAll('.gamelist a');
    for (var m = 0; m < links.length; m++) {
      links[m].classList.toggle('active', links[m].getAttribute('href') === '#' + activeId);
    }
    var title = found.getAttribute('data-title');
    if (title) {
      doc.getElementById('kv-title').textContent = title;
      doc.title = title;
    }
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
    for (var id in pending) games[id] = pending[id];
    var secs = doc.querySelectorAll('section.game');
    for (var i = 0; i < secs.length; i++) {
      var st = state[secs[i].id];
      if (st && secs[i].kvBuilt) {
        games[secs[i].id] = { cur: st.cur, flip: st.flip, follow: atLastMainMove(secs[i]) };
      }
    }
    return { active: activeId, games: games };
  }

  // The section and move an address names: "#game-3", or "#g3-17" for a move of game 3.
  function target(hash) {
    var m = /^#?g(\d+)-/.exec(hash);
    return m ? { sec: 'game-' + m[1], move: hash.replace('#', '') } : { sec: hash.replace('#', '') };
  }

  function restore(saved) {
    state = {};
    pending = saved && saved.games ? saved.games : {};
    activeId = null;
    activate(saved && saved.active ? saved.active : target(location.hash).sec);
  }

  // The browser scrolled to where the section stood before the others were hidden.
  function activateFromAddress() {
    var t = target(location.hash);
    activate(t.sec);
    var mv = t.move && doc.getElementById(t.move);
    if (mv && isMove(mv)) show(activeSection(), mv);
    window.scrollTo(0, 0);
  }

  // ---- the spectator's tools ------------------------------------------------------

  function download(sec) {
    var blob = new Blob([kvExtras.pgn(sec)], { type: 'application/x-chess-pgn' });
    var a = element('a');
    var page = decodeURIComponent(location.pathname.split('/').pop() || 'game.htm');
    var several = doc.querySelectorAll('section.game').length > 1;
    a.download = page.replace(/\.[^.]*$/, '') + (several ? '-' + sec.id.substr(5) : '') + '.pgn';
    a.href = URL.createObjectURL(blob);
    body.appendChild(a);
    a.click();
    body.removeChild(a);
    setTimeout(function () { URL.revokeObjectURL(a.href); }, 1000);
  }

  // Copies with the clipboard interface where the page may use it, else through a
  // selected text field; the note says what happened.
  function copyFen(sec) {
    var fen = sec.querySelector('.board').getAttribute('data-fen');
    var note = sec.querySelector('.toolnote');
    var done = function () { note.textContent = 'FEN copied'; };
    var fallback = function () {
      var field = element('textarea');
      field.value = fen;
      body.appendChild(field);
      field.select();
      var ok = false;
      try { ok = doc.execCommand('copy'); } catch (e) { ok = false; }
      body.removeChild(field);
      note.textContent = ok ? 'FEN copied' : fen;
    };
    if (navigator.clipboard && window.isSecureContext) {
      navigator.clipboard.writeText(fen).then(done, fallback);
    } else {
      fallback();
    }
  }

  // ---- events ---------------------------------------------------------------------

  function onClick(ev) {
    var t = ev.target;
    if (!t || !t.closest) return;
    var sec = t.closest('section.game');
    if (!sec) return;
    var mv = t.closest('.mv');
    if (mv) {
      show(sec, mv);
      return;
    }
    var btn = t.closest('button[data-nav]');
    if (btn) {
      var action = btn.getAttribute('data-nav');
      if (action === 'flip') {
        state[sec.id].flip = !state[sec.id].flip;
        show(sec, currentMove(sec));
      } else {
        navigate(sec, action);
      }
      return;
    }
    var tool = t.closest('button[data-tool]');
    if (tool && tool.getAttribute('data-tool') === 'pgn') download(sec);
    else if (tool) copyFen(sec);
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

  // What the extras and the refresh use.
  window.kvPage = {
    isGamePage: isGamePage,
    storageKey: storageKey,
    snapshot: snapshot,
    restore: restore,
    activeSection: activeSection,
    moveLabel: moveLabel,
    element: element,
    show: show,
    setSkew: function (ms) { skew = ms; },
    now: function () { return Date.now() + skew; },
  };

  if (isGamePage) {
    var region = element('div', 'sr');
    region.id = 'kv-announce';
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
})();
