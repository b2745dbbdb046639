// Behaviour of the converter's pages. The server-side HTML already shows every game at
// its current position with its whole move list; this script turns the move text into
// moves that can be stepped through, clicked and entered with the keyboard, and adds
// flipping, switching between games, clocks, evaluations, the spectator's tools and,
// while a game is in progress, refreshing in place.
//
// A move list is a .line (main line) or .var (variation) element whose text holds the
// moves in SAN with their numbers ("12.Nf3 Nc6"); a .var stands after the move it is an
// alternative to; .clk, .eval and .nag elements after a move belong to it. A game is
// built (its moves replayed with kvChess) when it is first shown.
(function () {
  'use strict';
  var doc = document;
  var body = doc.body;
  var START = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';
  var isGamePage = body.classList.contains('kv-game-page');
  var storageKey = 'kv-state:' + location.pathname;
  // Milliseconds the server's clock is ahead of the viewer's, from its Date header.
  var skew = 0;
  // Per game section id: { cur: id of the shown move or '' for the start, flip: bool }
  var state = {};
  // Where each game stood before the page was rebuilt, for games not yet built again.
  var pending = {};
  var activeId = null;

  // ---- building a game: moves from the move text --------------------------------

  function isMove(el) { return el && el.classList && el.classList.contains('mv'); }
  function has(el, cls) { return el.classList && el.classList.contains(cls); }

  function element(tag, cls, text) {
    var el = doc.createElement(tag);
    if (cls) el.className = cls;
    if (text !== undefined) el.textContent = text;
    return el;
  }

  function startFen(sec) { return sec.getAttribute('data-start-fen') || START; }

  // Replays one line from pos. prev is the move before the line's first move (null at
  // the start); clocks are both sides' clocks before it.
  function readLine(line, pos, prefix, prev, clocks) {
    var count = 0;
    var last = null;
    var nodes = Array.prototype.slice.call(line.childNodes);
    for (var i = 0; i < nodes.length; i++) {
      var node = nodes[i];
      if (node.nodeType === 3) {
        var frag = doc.createDocumentFragment();
        if (/^\s/.test(node.nodeValue)) frag.appendChild(doc.createTextNode(' '));
        var words = node.nodeValue.split(/\s+/);
        for (var w = 0; w < words.length; w++) {
          var m = /^(\d+\.+)?(.*)$/.exec(words[w]);
          if (frag.lastChild && frag.lastChild.nodeType !== 3 && words[w]) {
            frag.appendChild(doc.createTextNode(' '));
          }
          if (m[1]) frag.appendChild(element('span', 'num', m[1]));
          if (!m[2]) continue;
          var squares = kvChess.resolve(pos, m[2]);
          if (!squares) {
            frag.appendChild(doc.createTextNode(m[2]));
            continue;
          }
          var mv = element('span', 'mv', m[2]);
          var next = kvChess.play(pos, squares.from, squares.to, squares.promo);
          mv.id = prefix + (++count);
          mv.tabIndex = 0;
          mv.setAttribute('role', 'button');
          mv.setAttribute('data-fen', kvChess.toFen(next));
          mv.setAttribute('data-uci', kvChess.name(squares.from) + kvChess.name(squares.to) +
            squares.promo.toLowerCase());
          mv.kv = { prev: last || prev, before: pos, white: pos.white, num: pos.full,
            clocks: { w: clocks.w, b: clocks.b }, vars: 0 };
          pos = next;
          last = mv;
          frag.appendChild(mv);
        }
        if (/\S\s+$/.test(node.nodeValue)) frag.appendChild(doc.createTextNode(' '));
        line.replaceChild(frag, node);
      } else if (last && has(node, 'var')) {
        var before = last.kv.prev ? last.kv.prev.kv.clocks : clocks0(line);
        readLine(node, last.kv.before, last.id + 'v' + (++last.kv.vars) + '-', last.kv.prev,
          { w: before.w, b: before.b });
      } else if (last && has(node, 'clk')) {
        last.kv.clk = node.textContent;
        last.kv.clocks[last.kv.white ? 'w' : 'b'] = last.kv.clk;
        clocks = last.kv.clocks;
      } else if (last && has(node, 'eval')) {
        last.kv.ev = node.textContent;
      }
    }
  }

  function clocks0() { return { w: '', b: '' }; }

  function known(v) { return !!v && v !== '?' && v !== '-' && v !== '0'; }

  function player(tags, side, cls) {
    var el = element('div', 'player ' + cls);
    el.appendChild(element('span', 'name', known(tags[side]) ? tags[side] : '?'));
    if (known(tags[side + 'Title'])) el.appendChild(element('span', 'title', tags[side + 'Title']));
    if (known(tags[side + 'Elo'])) el.appendChild(element('span', 'elo', tags[side + 'Elo']));
    if (body.getAttribute('data-clocks') === '1') el.appendChild(element('span', 'clock'));
    return el;
  }

  // A game written in brief (tags, a text diagram and the moves) gets what a game written
  // in full has: the information line, the players and a board.
  function expandBrief(sec) {
    var tags = kvExtras.tags(sec).values;
    var info = element('div', 'info');
    [['', 'Event'], ['', 'Site'], ['Round ', 'Round'], ['', 'Date']].forEach(function (k) {
      var v = tags[k[1]];
      if (v && v !== '?' && v.indexOf('??') < 0) info.appendChild(element('span', 'item', k[0] + v));
    });
    var res = sec.querySelector('.res');
    info.appendChild(sec.getAttribute('data-live') === '1' ? element('span', 'live-mark', 'live')
      : element('span', 'result', res ? res.textContent : ''));
    var text = sec.querySelector('.board');
    var board = element('div', 'board');
    board.setAttribute('role', 'img');
    board.setAttribute('data-fen', text.getAttribute('data-fen'));
    var col = element('div', 'boardcol');
    col.appendChild(player(tags, 'Black', 'b'));
    col.appendChild(board);
    col.appendChild(player(tags, 'White', 'w'));
    var play = element('div', 'play');
    play.appendChild(col);
    play.appendChild(sec.querySelector('.moves'));
    sec.replaceChild(play, text);
    sec.insertBefore(info, play);
    sec.classList.remove('brief');
  }

  function build(sec) {
    if (sec.kvBuilt) return;
    sec.kvBuilt = true;
    if (sec.classList.contains('brief')) expandBrief(sec);
    var line = mainLine(sec);
    if (line) {
      readLine(line, kvChess.parseFen(startFen(sec)), 'g' + sec.id.substr(5) + '-', null,
        clocks0());
    }
    // Clocks from the tags belong to the current position.
    if (sec.hasAttribute('data-wc')) {
      var last = lastMoveOf(line);
      var tagged = { w: sec.getAttribute('data-wc'), b: sec.getAttribute('data-bc') };
      if (last) last.kv.clocks = tagged;
      else sec.kvClocks = tagged;
    }
    kvExtras.build(sec);
    buildControls(sec);
  }

  // Navigation buttons, and the spectator's tools: the game as PGN, the position as FEN,
  // and a link to the move shown.
  function buildControls(sec) {
    var col = sec.querySelector('.boardcol');
    var nav = element('div', 'nav');
    [['first', 'First position', '\u00ab'], ['prev', 'Previous move', '\u2039'],
      ['next', 'Next move', '\u203a'], ['last', 'Last move', '\u00bb'],
      ['flip', 'Flip board', '\u21c5']].forEach(function (b) {
      var button = element('button', '', b[2]);
      button.type = 'button';
      button.setAttribute('data-nav', b[0]);
      button.setAttribute('aria-label', b[1]);
      button.title = b[1];
      nav.appendChild(button);
    });
    col.appendChild(nav);
    var tools = element('div', 'tools');
    [['pgn', 'Download PGN'], ['fen', 'Copy FEN']].forEach(function (b) {
      var button = element('button', '', b[1]);
      button.type = 'button';
      button.setAttribute('data-tool', b[0]);
      tools.appendChild(button);
    });
    var link = element('a', 'plylink', 'Link to this move');
    link.href = '#' + sec.id;
    tools.appendChild(link);
    tools.appendChild(element('span', 'toolnote'));
    col.appendChild(tools);
  }

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
