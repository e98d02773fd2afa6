// Keeps the page playable without a network. Every request goes to the network first,
// so a new version is picked up as soon as it is served; a copy of each answer is kept,
// and when the network is gone the kept copy answers. Installing keeps the page's own
// files at once; the pictures of the scale in use are kept by the page as it loads them.
'use strict';
const CACHE = 'fenwater';
const SHELL = [
    './', 'index.html', 'page.css', 'fenwater-core.js', 'fenwater-core.wasm',
    'js/main.js', 'js/handheld.js', 'js/paint.js', 'js/input.js', 'js/windows.js',
    'js/sound.js', 'js/offline.js',
    'manifest.webmanifest', 'SOUND/Got.wav', 'SOUND/Move.wav', 'SOUND/Start.wav',
    'readme.txt', 'whatsnew.txt', 'icons/fenwater.svg', 'icons/fenwater.png',
    'pictures/Im_Piccina.jpg', 'pictures/about.jpg',
];

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(SHELL)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(self.clients.claim());
});

self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
    event.respondWith(
        fetch(request)
            .then((response) => {
                if (response.ok) {
                    const copy = response.clone();
                    event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
                }
                return response;
            })
            .catch(() =>
                caches.match(request, { ignoreSearch: true }).then((kept) => kept || Response.error())
            )
    );
});
