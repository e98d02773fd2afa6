// Playing without a network: the service worker (service-worker.js) keeps the page's own
// files; the page keeps each file of pictures it fetches, for the scale it used.
const CACHE = 'fenwater';

export function keep(file, response) {
    if (!window.caches) return;
    caches
        .open(CACHE)
        .then((cache) => cache.put(file, response))
        .catch(() => {});
}

export function registerServiceWorker() {
    if (!('serviceWorker' in navigator)) return;
    window.addEventListener('load', () => navigator.serviceWorker.register('service-worker.js').catch(() => {}));
}
