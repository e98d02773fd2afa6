// The page's windows around the handheld: the launcher (the sound choice and Play), the
// right-click menu, the about window, the text viewer and the message boxes. A run goes
// from the launcher's Play to Exit, which brings the launcher back as the program
// starting again. The menu and the windows close by Esc, by a touch or click outside
// them, and by the browser's back (a phone's back gesture): each opening adds a step to
// the page's history that closing takes away again.
import { facts, handheld } from './handheld.js';
import { canvas } from './paint.js';
import { loadCues, stopCues } from './sound.js';

const $ = (id) => document.getElementById(id);
const launcher = $('launcher');
const soundList = $('CB_Sound');
const playButton = $('Puls_Play');
const menu = $('menu');
const about = $('about');
const viewer = $('viewer');
const messageBox = $('message');

let playing = false; // Play was pressed in this run
let played = false; // Play acts once a run
// What other parts of the page do when a run ends, when Play has handed the page to the
// handheld, when the menu opens, and for the menu's items of their own.
const hooks = { runEnd: [], play: [], menu: [] };
const items = {};

// Whether the handheld has the page: Play was pressed and the run goes on.
export const isPlaying = () => playing;
// Whether the player's input goes to the handheld: playing, with no menu, window or box
// over it (a touch outside one only closes it).
export const handheldHasInput = () => playing && !anyOpen() && messageBox.hidden;
// Adds what runs when a run ends (the input lets go of what it holds).
export const onRunEnd = (act) => hooks.runEnd.push(act);
export const onPlay = (act) => hooks.play.push(act);
export const onMenuOpen = (act) => hooks.menu.push(act);
export const addMenuItem = (item, act) => (items[item] = act);

function focusHandheld() {
    if (playing) canvas.focus({ preventScroll: true });
}

// --- The launcher ------------------------------------------------------------------------

export function showLauncher() {
    played = false;
    playing = false;
    document.body.classList.remove('playing');
    const mode = handheld.readSoundMode();
    soundList.selectedIndex = mode;
    playButton.disabled = mode < 0;
    launcher.hidden = false;
}

// Play: stores the choice, starts the sound (the press is also the gesture a browser
// needs before it plays any), and hands the page to the handheld.
async function play() {
    if (played || soundList.selectedIndex < 0) return;
    played = true;
    const mode = soundList.selectedIndex;
    writeSoundMode(mode);
    if (!facts.soundChoices[mode].silent) {
        if (!(await loadCues())) {
            await showMessage('Error', facts.soundFolderMessage);
            writeSoundMode(-1);
            endRun();
            return;
        }
        handheld.soundOn(true);
    }
    launcher.hidden = true;
    playing = true;
    document.body.classList.add('playing');
    focusHandheld();
    for (const act of hooks.play) act();
}

function writeSoundMode(mode) {
    const error = handheld.writeSoundMode(mode);
    if (error) showMessage(facts.title, error);
}

// The end of a run (Exit, Esc, a catch cue that cannot be had): sound stops and a new
// run begins at the launcher, as the program starting again.
function endRun() {
    stopCues();
    closeWindows();
    for (const act of hooks.runEnd) act();
    handheld.start();
    showLauncher();
}

// --- The menu and its windows ------------------------------------------------------------

const anyOpen = () => !menu.hidden || !about.hidden || !viewer.hidden;
const stepOpen = () => Boolean(history.state && history.state.fenwaterWindow);

// A window or the menu was opened: the browser's back closes it.
function opened() {
    if (!stepOpen()) history.pushState({ fenwaterWindow: true }, '');
}

function hideAll() {
    menu.hidden = true;
    about.hidden = true;
    viewer.hidden = true;
}

export function openMenu(x, y) {
    hideAll();
    for (const act of hooks.menu) act();
    menu.hidden = false;
    opened();
    const w = menu.offsetWidth;
    const h = menu.offsetHeight;
    menu.style.left = `${Math.max(0, Math.min(x, innerWidth - w))}px`;
    menu.style.top = `${Math.max(0, Math.min(y, innerHeight - h))}px`;
    menu.querySelector('button').focus({ preventScroll: true });
}

function closeWindows() {
    hideAll();
    if (stepOpen()) history.back();
    focusHandheld();
}

const texts = { readme: ["View 'Readme.txt'", 'readme.txt'], whatsnew: ["View 'Whatsnew.txt'", 'whatsnew.txt'] };

function showText(which) {
    const [caption, file] = texts[which];
    fetch(file)
        .then((r) => (r.ok ? r.text() : Promise.reject(new Error(file))))
        .then((text) => {
            $('viewer-caption').textContent = caption;
            const pre = viewer.querySelector('pre');
            pre.textContent = text;
            viewer.hidden = false;
            pre.scrollTop = 0;
            opened();
        })
        .catch(() => anyOpen() || closeWindows()); // as on the desktop: a file that cannot be opened says nothing
}

// A menu item, by its data-item name, chosen from the menu or by its shortcut.
export function choose(item) {
    switch (item) {
        case 'about':
            hideAll();
            about.hidden = false;
            opened();
            break;
        case 'readme':
        case 'whatsnew':
            hideAll();
            showText(item);
            break;
        case 'hiscores':
            closeWindows();
            handheld.resetHiscores();
            break;
        case 'exit':
            endRun();
            break;
        default: // the manual is not part of the page: its item only closes the menu
            if (!menu.hidden) closeWindows();
            if (items[item]) items[item]();
            break;
    }
}

// --- Message boxes -----------------------------------------------------------------------

const messages = [];
export function showMessage(caption, text) {
    return new Promise((resolve) => {
        messages.push({ caption, text, resolve });
        if (messages.length === 1) nextMessage();
    });
}
function nextMessage() {
    if (!messages.length) {
        messageBox.hidden = true;
        return;
    }
    const { caption, text } = messages[0];
    $('message-caption').textContent = caption;
    messageBox.querySelector('p').textContent = text;
    messageBox.hidden = false;
    messageBox.querySelector('.ok').focus({ preventScroll: true });
}
function closeMessage() {
    const shown = messages.shift();
    if (shown) shown.resolve();
    nextMessage();
    if (messageBox.hidden) focusHandheld();
}

// --- Keys for the windows ----------------------------------------------------------------

// A key while a box, the menu or a window is open: Enter or Esc closes a box, the arrows
// walk the menu, Esc closes the menu and the windows. True when a window took the key.
export function windowKey(event) {
    const down = event.type === 'keydown';
    if (!messageBox.hidden) {
        if (down && (event.key === 'Enter' || event.key === 'Escape')) {
            event.preventDefault();
            closeMessage();
        }
        return true;
    }
    if (!menu.hidden && down && (event.key === 'ArrowDown' || event.key === 'ArrowUp')) {
        // The menu's items by keyboard, as a desktop menu's.
        event.preventDefault();
        const items = [...menu.querySelectorAll('button:not(:disabled)')];
        const at = items.indexOf(document.activeElement);
        const forward = event.key === 'ArrowDown';
        const next = at < 0 ? (forward ? 0 : items.length - 1) : (at + (forward ? 1 : items.length - 1)) % items.length;
        items[next].focus({ preventScroll: true });
        return true;
    }
    if (menu.hidden && about.hidden && viewer.hidden) return false;
    if (down && event.key === 'Escape') {
        event.preventDefault();
        closeWindows();
    }
    return true;
}

// --- Start -------------------------------------------------------------------------------

export function wireWindows() {
    soundList.replaceChildren(...facts.soundChoices.map((choice) => new Option(choice.text)));
    soundList.addEventListener('change', () => {
        if (soundList.selectedIndex >= 0) playButton.disabled = false;
    });
    playButton.addEventListener('click', play);
    menu.addEventListener('click', (event) => {
        const item = event.target.closest('button');
        if (item && !item.disabled) choose(item.dataset.item);
    });
    // A press outside the open menu or window closes it and goes no further.
    document.addEventListener('pointerdown', (event) => {
        const open = [menu, about, viewer].find((w) => !w.hidden);
        if (open && !open.contains(event.target) && messageBox.hidden) closeWindows();
    });
    window.addEventListener('popstate', () => {
        if (!stepOpen() && anyOpen()) {
            hideAll();
            focusHandheld();
        }
    });
    for (const close of document.querySelectorAll('.window .close')) close.addEventListener('click', closeWindows);
    messageBox.querySelector('.ok').addEventListener('click', closeMessage);
}
