// The clocks of the position shown, the side to move's running down while the game is live,
// and the time each move took, worked out from consecutive clock values. Included in pages
// that have clocks.
(function () {
  'use strict';
  var doc = document;
  // When the converter made the page; a live clock runs from there.
  var made = parseInt(doc.body.getAttribute('data-made') || '0', 10) * 1000;
  var ticking = null;
  var timer = null;

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

  // "5400+30": base and increment in seconds; null for other kinds of time control.
  function timeControl(sec) {
    var m = /^(\d+)(?:\+(\d+))?$/.exec(kvExtras.tags(sec).values.TimeControl || '');
    return m ? { base: +m[1], inc: +(m[2] || 0) } : null;
  }

  function build(sec) {
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
      var note = kvPage.element('span', 'tpm', spentText(spent));
      note.title = 'time for this move';
      var after = mv.nextSibling;
      while (after && after.classList && after.classList.contains('nag')) after = after.nextSibling;
      mv.parentNode.insertBefore(note, after);
    }
    ['w', 'b'].forEach(function (side) {
      var player = sec.querySelector('.player.' + side);
      var clock = player && player.querySelector('.clock');
      if (clock) player.insertBefore(kvPage.element('span', 'spent'), clock);
    });
  }

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

  function show(sec, mv, atEnd) {
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

  kvExtras.parts.push({ build: build, show: show });
})();
