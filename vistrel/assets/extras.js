// What a game page does besides board and moves: the parts that pages include when their
// games need them (clocks.js, evals.js) register here, and the game is written out as PGN
// for the spectator's download.
var kvExtras = (function () {
  'use strict';
  var registered = [];

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

  function build(sec) {
    registered.forEach(function (part) { part.build(sec); });
  }

  function show(sec, mv, atEnd) {
    registered.forEach(function (part) { part.show(sec, mv, atEnd); });
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

  return { parts: registered, build: build, show: show, pgn: pgn, tags: tags };
})();
