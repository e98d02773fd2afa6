// The page around the handheld, started: the core (fenwater-core.js and .wasm, the same
// core the desktop program runs) is loaded with the page's sound and message box as its
// outside world, then the windows, the input and the painting are wired, and the
// launcher shows first.
import { wireGames } from './games.js';
import { attach, facts, handheld, onChange, settle } from './handheld.js';
import { wireInput } from './input.js';
import { registerServiceWorker } from './offline.js';
import { canvas, fit, paint, prefetch } from './paint.js';
import { beep, playCue, stopCues } from './sound.js';
import { showLauncher, showMessage, wireWindows } from './windows.js';

// What the core calls in the page (web_world.cpp).
const world = {
    playCue,
    stopCues,
    beep,
    reportStoreError(text) {
        // Shown once the handler has unwound; the timers keep running under the box.
        setTimeout(() => showMessage(facts.title, text), 0);
    },
};

function start(module) {
    attach(module);
    canvas.width = facts.width;
    canvas.height = facts.height;
    onChange(paint);
    handheld.start();
    wireWindows();
    wireInput();
    wireGames(world);
    showLauncher();
    window.addEventListener('resize', fit);
    if (window.visualViewport) window.visualViewport.addEventListener('resize', fit);
    window.addEventListener('online', fit); // the pictures of the right scale, if still wanted
    // A best score stored by another tab is what this one shows next.
    window.addEventListener('storage', (event) => {
        if (event.key === null || facts.bestScoreKeys.includes(event.key)) handheld.bestScoresChanged();
    });
    fit().then(() => {
        settle();
        document.body.dataset.ready = '1';
    });
}

// The launcher's picture is the first thing a player sees: on a slow phone it is not kept
// waiting behind the face's pictures nor behind the core's start, which follow it. The
// core downloads and compiles meanwhile.
const launcherPicture = document.getElementById('Im_Piccina');
const launcherShown = new Promise((resolve) => {
    if (launcherPicture.complete) resolve();
    else for (const done of ['load', 'error']) launcherPicture.addEventListener(done, resolve, { once: true });
}).then(() => new Promise((resolve) => setTimeout(resolve)));
launcherShown.then(prefetch);

registerServiceWorker();
Promise.all([FenwaterCore({ page: world }), launcherShown]).then(([module]) => start(module));
