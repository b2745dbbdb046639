// Replays a game's moves in the browser. The page carries only the moves in SAN as the
// converter wrote them (already checked to be legal); this finds each move's squares and
// keeps the position, so that no move needs a position of its own in the page.
// Squares are numbered 0 (a8) to 63 (h1), in the order of a FEN's placement field.
var kvChess = (function () {
  'use strict';
  var FILES = 'abcdefgh';

  function fileOf(sq) { return sq & 7; }
  function rankOf(sq) { return 8 - (sq >> 3); }  // 1 to 8
  function at(file, rank) {
    return file < 0 || file > 7 || rank < 1 || rank > 8 ? -1 : (8 - rank) * 8 + file;
  }
  function name(sq) { return FILES.charAt(fileOf(sq)) + rankOf(sq); }
  function square(text) { return at(FILES.indexOf(text.charAt(0)), +text.charAt(1)); }
  function isWhite(p) { return p !== '' && p === p.toUpperCase(); }
  function ofSide(p, white) { return p !== '' && isWhite(p) === white; }

  function parseFen(fen) {
    var f = (fen || '').split(' ');
    var board = [];
    var rows = (f[0] || '').split('/');
    for (var r = 0; r < 8; r++) {
      var text = rows[r] || '';
      var row = [];
      for (var i = 0; i < text.length && row.length < 8; i++) {
        var c = text.charAt(i);
        if (c >= '1' && c <= '8') for (var k = 0; k < +c; k++) row.push('');
        else row.push(c);
      }
      while (row.length < 8) row.push('');
      board = board.concat(row);
    }
    return { board: board, white: f[1] !== 'b', castling: f[2] || '-',
      ep: f[3] && f[3] !== '-' ? square(f[3]) : -1, half: +(f[4] || 0), full: +(f[5] || 1) };
  }

  function toFen(pos) {
    var rows = [];
    for (var r = 0; r < 8; r++) {
      var row = '';
      var empty = 0;
      for (var f = 0; f < 8; f++) {
        var p = pos.board[r * 8 + f];
        if (p === '') { empty++; continue; }
        if (empty) row += empty;
        empty = 0;
        row += p;
      }
      rows.push(empty ? row + empty : row);
    }
    return rows.join('/') + ' ' + (pos.white ? 'w' : 'b') + ' ' + pos.castling + ' ' +
      (pos.ep < 0 ? '-' : name(pos.ep)) + ' ' + pos.half + ' ' + pos.full;
  }

  // Whether a piece of type (upper case) standing on from attacks to on this board.
  function reaches(board, from, to, type) {
    var df = fileOf(to) - fileOf(from);
    var dr = rankOf(to) - rankOf(from);
    if (type === 'N') return Math.abs(df * dr) === 2;
    if (type === 'K') return Math.max(Math.abs(df), Math.abs(dr)) === 1;
    var straight = df === 0 || dr === 0;
    var diagonal = Math.abs(df) === Math.abs(dr);
    if (df === 0 && dr === 0) return false;
    if (!(type === 'Q' ? straight || diagonal : type === 'R' ? straight : diagonal)) return false;
    var sf = Math.sign(df);
    var sr = Math.sign(dr);
    for (var f = fileOf(from) + sf, r = rankOf(from) + sr; f !== fileOf(to) || r !== rankOf(to);
      f += sf, r += sr) {
      if (board[at(f, r)] !== '') return false;
    }
    return true;
  }

  function attacked(board, sq, byWhite) {
    for (var from = 0; from < 64; from++) {
      var p = board[from];
      if (!ofSide(p, byWhite)) continue;
      var type = p.toUpperCase();
      if (type === 'P') {
        var dir = byWhite ? 1 : -1;
        if (rankOf(sq) - rankOf(from) === dir && Math.abs(fileOf(sq) - fileOf(from)) === 1) {
          return true;
        }
      } else if (reaches(board, from, sq, type)) {
        return true;
      }
    }
    return false;
  }

  // The position after the move from-to (promotion: upper-case piece letter or '').
  function play(pos, from, to, promo) {
    var b = pos.board.slice();
    var piece = b[from];
    var type = piece.toUpperCase();
    var capture = b[to] !== '';
    if (type === 'P' && to === pos.ep) {  // en passant takes the pawn beside
      b[at(fileOf(to), rankOf(from))] = '';
      capture = true;
    }
    if (type === 'K' && Math.abs(fileOf(to) - fileOf(from)) === 2) {  // castling moves the rook
      var rookFrom = at(fileOf(to) > fileOf(from) ? 7 : 0, rankOf(from));
      var rookTo = at(fileOf(to) > fileOf(from) ? 5 : 3, rankOf(from));
      b[rookTo] = b[rookFrom];
      b[rookFrom] = '';
    }
    b[to] = promo ? (pos.white ? promo : promo.toLowerCase()) : piece;
    b[from] = '';
    var castling = pos.castling;
    var lost = { 56: 'Q', 63: 'K', 60: 'KQ', 0: 'q', 7: 'k', 4: 'kq' };
    [from, to].forEach(function (sq) {
      (lost[sq] || '').split('').forEach(function (c) { castling = castling.replace(c, ''); });
    });
    return { board: b, white: !pos.white, castling: castling || '-',
      ep: type === 'P' && Math.abs(rankOf(to) - rankOf(from)) === 2 ? (from + to) / 2 : -1,
      half: type === 'P' || capture ? 0 : pos.half + 1, full: pos.full + (pos.white ? 0 : 1) };
  }

  function leavesKingSafe(pos, from, to) {
    var after = play(pos, from, to, '');
    var king = after.board.indexOf(pos.white ? 'K' : 'k');
    return king < 0 || !attacked(after.board, king, !pos.white);
  }

  // The squares of a move in SAN ("Nbd7", "exd6", "O-O", "e8=Q+"), or null.
  function resolve(pos, san) {
    var text = san.replace(/[+#!?]+$/, '');
    var kingFrom = pos.board.indexOf(pos.white ? 'K' : 'k');
    if (/^[O0]-[O0](-[O0])?$/.test(text)) {
      return { from: kingFrom, to: kingFrom + (text.length > 3 ? -2 : 2), promo: '' };
    }
    var m = /^([KQRBN])?([a-h])?([1-8])?x?([a-h][1-8])(?:=?([QRBN]))?$/.exec(text);
    if (!m) return null;
    var type = m[1] || 'P';
    var to = square(m[4]);
    var candidates = [];
    for (var from = 0; from < 64; from++) {
      var p = pos.board[from];
      if (!ofSide(p, pos.white) || p.toUpperCase() !== type) continue;
      if (m[2] && FILES.charAt(fileOf(from)) !== m[2]) continue;
      if (m[3] && String(rankOf(from)) !== m[3]) continue;
      if (type === 'P' ? pawnReaches(pos, from, to) : reaches(pos.board, from, to, type)) {
        if (!ofSide(pos.board[to], pos.white)) candidates.push(from);
      }
    }
    if (candidates.length > 1) {
      candidates = candidates.filter(function (f) { return leavesKingSafe(pos, f, to); });
    }
    return candidates.length ? { from: candidates[0], to: to, promo: m[5] || '' } : null;
  }

  function pawnReaches(pos, from, to) {
    var dir = pos.white ? 1 : -1;
    var dr = rankOf(to) - rankOf(from);
    var df = fileOf(to) - fileOf(from);
    if (df === 0) {
      if (pos.board[to] !== '') return false;
      if (dr === dir) return true;
      return dr === 2 * dir && rankOf(from) === (pos.white ? 2 : 7) &&
        pos.board[at(fileOf(from), rankOf(from) + dir)] === '';
    }
    return Math.abs(df) === 1 && dr === dir && (pos.board[to] !== '' || to === pos.ep);
  }

  return { parseFen: parseFen, toFen: toFen, resolve: resolve, play: play, name: name };
})();
