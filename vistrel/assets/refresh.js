// The live refresh of a page while a game is in progress: the page fetches its own
// address and swaps in what changed, keeping the spectator's place, focus and scroll.
(function () {
  'use strict';
  var doc = document;
  var body = doc.body;
  var page = window.kvPage || { isGamePage: false, setSkew: function () {} };
  var isGamePage = page.isGamePage;
  var refreshSeconds = parseInt(body.getAttribute('data-refresh') || '0', 10);

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
      if (isGamePage) sessionStorage.setItem(page.storageKey, JSON.stringify(page.snapshot()));
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
      if (secs[i].kvBuilt) counts[secs[i].id] = secs[i].querySelectorAll('.line > .mv').length;
    }
    return counts;
  }

  // Tells screen readers, without interrupting them, which moves came in.
  function announce(before) {
    var region = doc.getElementById('kv-announce');
    var sec = page.activeSection();
    if (!region || !sec) return;
    var moves = sec.querySelectorAll('.line > .mv');
    var words = [];
    for (var i = before[sec.id] || 0; i < moves.length; i++) words.push(page.moveLabel(moves[i]));
    if (words.length) region.textContent = 'New move: ' + words.join(', ');
    if (sec.getAttribute('data-live') === '0') {
      var res = sec.querySelector('.res');
      if (res) region.textContent += (words.length ? '. ' : '') + 'Result ' + res.textContent;
    }
  }

  function merge(newDoc) {
    if (!newDoc.getElementById('kv-content')) return;
    var saved = isGamePage ? page.snapshot() : null;
    var focus = focusKey();
    var scrolls = {};
    var lists = doc.querySelectorAll('section.game');
    for (var i = 0; i < lists.length; i++) {
      var list = lists[i].querySelector('.moves');
      if (list) scrolls[lists[i].id] = list.scrollTop;
    }
    var before = isGamePage ? mainMoveCount(doc) : null;
    var list = doc.querySelector('.gamelist details');
    var listOpen = list && list.open;
    replaceFrom(newDoc, 'kv-content');
    list = doc.querySelector('.gamelist details');
    if (list) list.open = listOpen;
    replaceFrom(newDoc, 'kv-title');
    body.setAttribute('data-v', newDoc.body.getAttribute('data-v') || '');
    doc.title = newDoc.title;
    if (isGamePage) {
      page.restore(saved);
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
        var server = Date.parse(r.headers.get('Date') || '');
        // The header counts whole seconds: a smaller difference is no skew worth correcting.
        if (!isNaN(server)) page.setSkew(Math.abs(server - Date.now()) < 1500 ? 0 : server - Date.now());
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

  schedule();
})();
