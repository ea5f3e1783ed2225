// Keeps the page's files for use offline: the service worker serves them
// from its cache after the first visit.
'use strict';
if ('serviceWorker' in navigator) {
  window.addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function () {
      // Without it the page still works, only not offline.
    });
  });
}
