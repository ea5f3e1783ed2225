// Starts the program, and keeps the page's files for use offline: the
// service worker serves them from its cache after the first visit. When a
// newer build takes over while the page is open, a notice below the window
// offers to reload.
import startVelsona from './velsona.js';

startVelsona();

// The notice of a newer build: in Italian, read out politely, not modal;
// its button is the last stop of the window's Tab cycle.
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
  // A page a worker already served: another worker taking over is a new build.
  const served = workers.controller !== null;
  workers.addEventListener('controllerchange', () => {
    if (served) offerReload();
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
