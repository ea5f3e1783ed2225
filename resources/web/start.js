// Starts the program, and keeps the page's files for use offline: the
// service worker serves them from its cache after the first visit. When a
// newer build takes over while the page is open, a notice below the window
// offers to reload.

// The page's start check (start-check.js) is told that the start is under
// way, and whether it fails: a file of the program missing or damaged, a
// fetch failed offline, a browser without WebAssembly.
const tell = (what) => document.dispatchEvent(new Event('velsona-' + what));
tell('starting');
import('./velsona.js').then((program) => program.default()).catch(() => tell('failed'));

// The notice of a newer build: in Italian, read out politely, not modal;
// its button is the stop after the window's last, from which Tab goes on to the browser.
function offerReload() {
  if (document.querySelector('.update')) return;
  const notice = document.createElement('div');
  notice.className = 'update';
  notice.setAttribute('role', 'status');
  document.querySelector('main').append(notice);
  // Filled once the region is in place, so that screen readers read it out.
  setTimeout(() => {
    const text = document.createElement('p');
    text.textContent = 'È disponibile una nuova versione di Velsona.';
    const reload = document.createElement('button');
    reload.type = 'button';
    reload.textContent = 'Ricarica';
    reload.addEventListener('click', () => location.reload());
    notice.append(text, reload);
  }, 100);
}

if ('serviceWorker' in navigator) {
  const workers = navigator.serviceWorker;
  // Every worker that takes over after the page's first is a new build. A
  // page a worker served has its first from the start; on a first visit the
  // first arrives while the page is open, with the build the page began with.
  let arrived = workers.controller !== null;
  workers.addEventListener('controllerchange', () => {
    if (arrived) offerReload();
    arrived = true;
  });
  addEventListener('load', () => {
    workers.register('sw.js').then((registration) => {
      // A page left open looks for a new build again each time it is shown.
      document.addEventListener('visibilitychange', () => {
        if (document.visibilityState === 'visible') registration.update().catch(() => {});
      });
    }, () => {
      // Without it the page still works, only not offline.
    });
  });
}
