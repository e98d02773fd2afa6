// Keeps the page playable without a network. Every request goes to the network first,
// so a new version is picked up as soon as it is served; a copy of each answer is kept,
// and when the network is gone the kept copy answers. Installing keeps the page's own
// files at once, with the face's pictures at every scale: a page opened once plays
// offline at any size, turned either way, on any screen.
'use strict';
const CACHE = 'fenwater';
const SHELL = [
    './', 'index.html', 'page.css', 'fenwater-core.js', 'fenwater-core.wasm',
    'js/main.js', 'js/handheld.js', 'js/paint.js', 'js/input.js', 'js/windows.js',
    'js/sound.js', 'js/offline.js', 'js/decode-worker.js', 'js/games.js',
    'manifest.webmanifest', 'SOUND/Got.wav', 'SOUND/Move.wav', 'SOUND/Start.wav',
    'readme.txt', 'whatsnew.txt', 'icons/fenwater.svg', 'icons/fenwater.png',
    'icons/fenwater-192.png', 'icons/fenwater-512.png', 'icons/fenwater-maskable.png',
    'pictures/face-1x.bin', 'pictures/face-2x.bin', 'pictures/face-3x.bin',
    'pictures/Im_Piccina.jpg', 'pictures/Im_Piccina@2x.jpg', 'pictures/Im_Piccina@3x.jpg',
    'pictures/about.jpg', 'pictures/about@2x.jpg', 'pictures/about@3x.jpg',
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
