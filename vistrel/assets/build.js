// Building a game of a game page when it is first shown. A move list is a .line (main
// line) or .var (variation) element whose text holds the moves in SAN with their numbers
// ("12.Nf3 Nc6"); a .var stands after the move it is an alternative to; .clk, .eval and
// .nag elements after a move belong to it. The moves are replayed with kvChess and become
// elements (.mv) that know their position, their move before and their clocks; a game
// written in brief also gets its players and board; navigation buttons and tools are added.
var kvBuild = (function () {
  'use strict';
  var doc = document;
  var body = doc.body;
  var START = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';

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

  return { build: build, element: element, isMove: isMove, startFen: startFen,
    mainLine: mainLine, firstMoveOf: firstMoveOf, lastMoveOf: lastMoveOf };
})();
