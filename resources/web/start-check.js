// Says in the page, when the program cannot start, that it cannot, and
// offers to try again: the page is never left blank. A classic script in the
// oldest syntax, so that it runs where the program's module does not: in a
// browser without ES modules, or with start.js missing or damaged. start.js
// tells it, by events on the document, that the start is under way, and
// whether it fails.
(function () {
  'use strict';
  var starting = false;
  var told = false;

  // Into the alert region that index.html holds from the start, so that a
  // screen reader reads it out as soon as it is filled.
  function fail() {
    if (told) return;
    told = true;
    var supported = typeof WebAssembly === 'object' && 'noModule' in document.createElement('script');
    var text = document.createElement('p');
    text.textContent = 'Impossibile avviare Velsona: ' + (supported
      ? 'il programma non è arrivato per intero. Controlla la connessione e riprova.'
      : 'questo browser non esegue WebAssembly o i moduli JavaScript. Apri Velsona in un browser aggiornato.');
    var retry = document.createElement('button');
    retry.type = 'button';
    retry.id = 'velsona-retry';
    retry.textContent = 'Riprova';
    retry.addEventListener('click', function () { location.reload(); });
    var notice = document.getElementById('velsona-failure');
    notice.appendChild(text);
    notice.appendChild(retry);
  }

  document.addEventListener('velsona-starting', function () { starting = true; });
  document.addEventListener('velsona-failed', fail);
  // Deferred scripts, the program's module among them, have run by now.
  document.addEventListener('DOMContentLoaded', function () {
    if (!starting) fail();
  });
}());
