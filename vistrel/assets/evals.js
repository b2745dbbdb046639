// The evaluation bar beside the board for the position shown, and a graph of the
// evaluations over the game that leads to a move when clicked. Included in pages whose
// games have [%eval] comments.
(function () {
  'use strict';
  var doc = document;
  var SVG = 'http://www.w3.org/2000/svg';

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

  // The main-line move at x of a graph width wide.
  function moveAt(sec, x, width) {
    var moves = mainMoves(sec);
    var i = Math.round(x / Math.max(1, width) * Math.max(1, moves.length - 1));
    return moves[Math.max(0, Math.min(moves.length - 1, i))] || null;
  }

  function build(sec) {
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
    var wrap = kvPage.element('div', 'bw');
    board.parentNode.insertBefore(wrap, board);
    var bar = kvPage.element('div', 'evalbar');
    bar.setAttribute('role', 'meter');
    bar.setAttribute('aria-label', 'Evaluation');
    bar.setAttribute('aria-valuemin', '-100');
    bar.setAttribute('aria-valuemax', '100');
    bar.appendChild(kvPage.element('div', 'fill'));
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
    var side = kvPage.element('div', 'side');
    list.parentNode.insertBefore(side, list);
    side.appendChild(graph);
    side.appendChild(list);
    graph.addEventListener('click', function (ev) {
      var box = graph.getBoundingClientRect();
      kvPage.show(sec, moveAt(sec, ev.clientX - box.left, box.width));
    });
  }

  // The evaluation of the position shown: that of its move, else the last one before it.
  function show(sec, mv) {
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

  kvExtras.parts.push({ build: build, show: show });
})();
