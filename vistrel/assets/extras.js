// What a game page shows besides board and moves: the clocks of the position shown (the
// side to move's running down while the game is live), the time each move took, the
// evaluation bar and graph, and the game as PGN for the spectator's download.
var kvExtras = (function () {
  'use strict';
  var doc = document;
  var SVG = 'http://www.w3.org/2000/svg';
  // When the converter made the page; a live clock runs from there.
  var made = parseInt(doc.body.getAttribute('data-made') || '0', 10) * 1000;
  var ticking = null;
  var timer = null;

  function element(tag, cls, text) { return kvPage.element(tag, cls, text); }

  function pad(n) { return (n < 10 ? '0' : '') + n; }

  // "1:29:51", "29:51" or "45" as seconds; NaN when there is no clock.
  function seconds(clock) {
    if (!clock || !/^[\d:.]+$/.test(clock)) return NaN;
    return clock.split(':').reduce(function (s, part) { return s * 60 + parseFloat(part); }, 0);
  }

  function clockText(s) {
    s = Math.max(0, Math.floor(s));
    return Math.floor(s / 3600) + ':' + pad(Math.floor(s / 60) % 60) + ':' + pad(s % 60);
  }

  // Compact: "12s", "4:05" or "1:02:03".
  function spentText(s) {
    s = Math.round(s);
    if (s < 60) return s + 's';
    if (s < 3600) return Math.floor(s / 60) + ':' + pad(s % 60);
    return clockText(s);
  }

  // The tags of a game from its tag section.
  function tags(sec) {
    var pre = sec.querySelector('.tags');
    var text = pre ? pre.textContent : '';
    var found = {};
    text.replace(/^\[(\S+)\s+"((?:[^"\\]|\\.)*)"\]$/gm, function (all, name, value) {
      found[name] = value.replace(/\\(.)/g, '$1');
    });
    return { text: text, values: found };
  }

  // "5400+30": base and increment in seconds; null for other kinds of time control.
  function timeControl(sec) {
    var m = /^(\d+)(?:\+(\d+))?$/.exec(tags(sec).values.TimeControl || '');
    return m ? { base: +m[1], inc: +(m[2] || 0) } : null;
  }

  // Pawns for White; a mate counts as the largest value.
  function evalValue(text) {
    if (!text) return null;
    if (text.charAt(0) === '#') return text.charAt(1) === '-' ? -100 : 100;
    var v = parseFloat(text);
    return isNaN(v) ? null : v;
  }

  // White's share of the bar and graph, 0 to 1.
  function share(v) { return 1 / (1 + Math.exp(-0.45 * (v || 0))); }

  function mainMoves(sec) { return sec.querySelectorAll('.line > .mv'); }

  // ---- building ---------------------------------------------------------------

  function buildTimes(sec) {
    var tc = timeControl(sec);
    var moves = sec.querySelectorAll('.mv');
    for (var i = 0; i < moves.length; i++) {
      var mv = moves[i];
      if (!mv.kv.clk) continue;
      var p = mv.kv.prev;
      while (p && (p.kv.white !== mv.kv.white || !p.kv.clk)) p = p.kv.prev;
      var earlier = p ? seconds(p.kv.clk) : tc ? tc.base : NaN;
      var spent = earlier - seconds(mv.kv.clk) + (tc ? tc.inc : 0);
      if (isNaN(spent) || spent < 0) continue;
      mv.kv.spent = spent;
      var note = element('span', 'tpm', spentText(spent));
      note.title = 'time for this move';
      var after = mv.nextSibling;
      while (after && after.classList && after.classList.contains('nag')) after = after.nextSibling;
      mv.parentNode.insertBefore(note, after);
    }
    ['w', 'b'].forEach(function (side) {
      var player = sec.querySelector('.player.' + side);
      var clock = player && player.querySelector('.clock');
      if (clock) player.insertBefore(element('span', 'spent'), clock);
    });
  }

  function buildEvaluation(sec) {
    var moves = mainMoves(sec);
    var values = [];
    var count = 0;
    for (var i = 0; i < moves.length; i++) {
      var v = evalValue(moves[i].kv.ev);
      if (v !== null) count++;
      values.push(v === null ? (i ? values[i - 1] : 0) : v);
    }
    if (!count && !sec.querySelector('.var .eval')) return;
    var board = sec.querySelector('.board');
    var wrap = element('div', 'bw');
    board.parentNode.insertBefore(wrap, board);
    var bar = element('div', 'evalbar');
    bar.setAttribute('role', 'meter');
    bar.setAttribute('aria-label', 'Evaluation');
    bar.setAttribute('aria-valuemin', '-100');
    bar.setAttribute('aria-valuemax', '100');
    bar.appendChild(element('div', 'fill'));
    wrap.appendChild(bar);
    wrap.appendChild(board);
    if (count < 2) return;
    // The graph: White's share along the main line; a click jumps to the move there.
    var n = Math.max(1, values.length - 1);
    var graph = doc.createElementNS(SVG, 'svg');
    graph.setAttribute('class', 'evalgraph');
    graph.setAttribute('viewBox', '0 0 ' + n + ' 100');
    graph.setAttribute('preserveAspectRatio', 'none');
    graph.setAttribute('role', 'img');
    graph.setAttribute('aria-label', 'Evaluation graph');
    // White's area rises from the bottom.
    var points = values.map(function (v, x) { return x + ',' + (100 - 100 * share(v)).toFixed(1); });
    graph.innerHTML = '<path class="area" d="M0,100 L' + points.join(' L') + ' L' + n + ',100 Z"/>' +
      '<line class="mid" x1="0" y1="50" x2="' + n + '" y2="50"/>' +
      '<line class="mark" x1="0" y1="0" x2="0" y2="100"/>';
    var list = sec.querySelector('.moves');
    var side = element('div', 'side');
    list.parentNode.insertBefore(side, list);
    side.appendChild(graph);
    side.appendChild(list);
  }

  function build(sec) {
    buildTimes(sec);
    buildEvaluation(sec);
  }

  // The main-line move at x of a graph width wide.
  function moveAt(sec, x, width) {
    var moves = mainMoves(sec);
    var i = Math.round(x / Math.max(1, width) * Math.max(1, moves.length - 1));
    return moves[Math.max(0, Math.min(moves.length - 1, i))] || null;
  }

  // ---- showing a position -----------------------------------------------------

  function tick() {
    if (!ticking || !ticking.el.isConnected) {
      clearInterval(timer);
      timer = null;
      ticking = null;
      return;
    }
    var now = window.kvPage ? kvPage.now() : Date.now();
    ticking.el.textContent = clockText(ticking.base - (now - made) / 1000);
  }

  function showClocks(sec, mv, atEnd) {
    var clocks = mv ? mv.kv.clocks : sec.kvClocks || { w: '', b: '' };
    ['w', 'b'].forEach(function (side) {
      var clock = sec.querySelector('.player.' + side + ' .clock');
      if (clock) {
        clock.textContent = clocks[side] || '';
        clock.classList.remove('run');
      }
      var spent = sec.querySelector('.player.' + side + ' .spent');
      if (spent) {
        var mine = mv && (mv.kv.white ? 'w' : 'b') === side && mv.kv.spent !== undefined;
        spent.textContent = mine ? spentText(mv.kv.spent) : '';
      }
    });
    ticking = null;
    // Only the current position of a game in progress has a clock that runs.
    if (!atEnd || sec.getAttribute('data-live') !== '1' || !made) return;
    var white = mv ? !mv.kv.white : !/ b /.test(sec.getAttribute('data-start-fen') || '');
    var side = white ? 'w' : 'b';
    var el = sec.querySelector('.player.' + side + ' .clock');
    var base = seconds(clocks[side]);
    if (!el || isNaN(base)) return;
    el.classList.add('run');
    ticking = { el: el, base: base };
    tick();
    if (!timer) timer = setInterval(tick, 1000);
  }

  // The evaluation of the position shown: that of its move, else the last one before it.
  function showEvaluation(sec, mv) {
    var bar = sec.querySelector('.evalbar');
    if (!bar) return;
    var p = mv;
    while (p && !p.kv.ev) p = p.kv.prev;
    var text = p ? p.kv.ev : '0.00';
    var v = evalValue(text);
    bar.setAttribute('data-eval', text);
    bar.setAttribute('aria-valuenow', String(Math.max(-100, Math.min(100, v))));
    bar.setAttribute('aria-valuetext', text);
    bar.title = 'Evaluation ' + text;
    bar.firstChild.style.height = (100 * share(v)).toFixed(1) + '%';
    var mark = sec.querySelector('.evalgraph .mark');
    if (mark) {
      var index = Array.prototype.indexOf.call(mainMoves(sec), mv);
      mark.style.display = index < 0 ? 'none' : '';
      mark.setAttribute('x1', index);
      mark.setAttribute('x2', index);
    }
  }

  function show(sec, mv, atEnd) {
    showClocks(sec, mv, atEnd);
    showEvaluation(sec, mv);
  }

  // ---- the game as PGN ----------------------------------------------------------

  function lineText(el, parts) {
    var needNumber = true;
    for (var c = el.firstElementChild; c; c = c.nextElementSibling) {
      var cls = c.classList;
      if (cls.contains('mv')) {
        var number = c.kv.white ? c.kv.num + '. ' : needNumber ? c.kv.num + '... ' : '';
        parts.push(number + c.textContent);
        needNumber = false;
      } else if (cls.contains('nag')) {
        parts.push('$' + c.getAttribute('data-n'));
      } else if (cls.contains('cmt')) {
        parts.push('{' + c.textContent + '}');
        needNumber = true;
      } else if (cls.contains('eval')) {
        parts.push('{[%eval ' + c.textContent.replace(/^\+/, '') + ']}');
      } else if (cls.contains('clk')) {
        parts.push('{[%clk ' + c.textContent + ']}');
      } else if (cls.contains('cmd')) {
        parts.push('{[%' + c.textContent + ']}');
        needNumber = true;
      } else if (cls.contains('var')) {
        var inner = [];
        lineText(c, inner);
        parts.push('(' + inner.join(' ') + ')');
        needNumber = true;
      } else if (cls.contains('res') || cls.contains('line')) {
        if (cls.contains('line')) lineText(c, parts);
        else parts.push(c.textContent);
      }
    }
    return parts;
  }

  // The tag section, then the move text with comments, clock and evaluation data, NAGs and
  // variations, in lines of at most 80 characters.
  function pgn(sec) {
    var words = lineText(sec.querySelector('.moves'), []).join(' ').split(' ');
    var lines = [];
    var line = '';
    for (var i = 0; i < words.length; i++) {
      if (line && line.length + 1 + words[i].length > 80) {
        lines.push(line);
        line = words[i];
      } else {
        line = line ? line + ' ' + words[i] : words[i];
      }
    }
    if (line) lines.push(line);
    return tags(sec).text + '\n' + lines.join('\n') + '\n';
  }

  return { build: build, show: show, pgn: pgn, moveAt: moveAt, tags: tags };
})();
