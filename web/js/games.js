// Recorded games in the page. Every game is recorded by the core; the last one is kept in
// the page's storage (as a link's text) for the next visit. From the menu it is watched
// again on the face, with a sign on the case, or shared as a link that holds the whole
// game; opening such a link plays that game after Play. Any key, click or touch stops a
// game watched. A game watched never touches the stored scores. The menu also switches
// the faint look of the unlit segments, stored as the desktop stores it.
import { facts, handheld, onChange } from './handheld.js';
import { faceBox } from './paint.js';
import { addMenuItem, isPlaying, onMenuOpen, onPlay, showMessage } from './windows.js';

const LAST_GAME = 'Fenwater\\last-game'; // the storage item of the last game's link
const LINK_PREFIX = '#game=';
const $ = (id) => document.getElementById(id);
const sign = $('replay-sign');
const item = (name) => document.querySelector(`#menu [data-item="${name}"]`);
let hasLast = false;

function stored(key, value) {
    try {
        if (value === undefined) return localStorage.getItem(key);
        localStorage.setItem(key, value);
    } catch (error) {
        // storage out of reach: the last game lives as long as the page
    }
    return null;
}

// The sign shows while a game is watched, over the case above the LCD; the body's
// data-replay says how the game goes ("playing", or "over N" with its score).
function showSign() {
    const state = handheld.watching();
    sign.hidden = state === 0;
    document.body.dataset.replay = state === 0 ? '' : state === 1 ? 'playing' : `over ${state - 2}`;
    if (sign.hidden) return;
    const box = faceBox();
    const f = box.width / facts.width;
    const [left, top, width, height] = facts.replaySign.rect;
    Object.assign(sign.style, {
        left: `${box.left + left * f}px`,
        top: `${box.top + top * f}px`,
        width: `${width * f}px`,
        height: `${height * f}px`,
        fontSize: `${10 * f}px`,
    });
}

// A key, a click or a touch while a game is watched stops it, and does nothing else.
function stopOnInput(event) {
    if (!handheld.watching()) return;
    event.preventDefault();
    event.stopImmediatePropagation();
    handheld.stopWatching();
}

function share() {
    const link = handheld.lastGameLink();
    if (!link) return;
    const url = new URL(location.href);
    url.hash = LINK_PREFIX.slice(1) + link;
    if (navigator.share) {
        navigator.share({ title: facts.title, url: url.href }).catch(() => {});
        return;
    }
    const told = (copied) =>
        showMessage(facts.title, `${copied ? 'The link to this game is copied' : 'The link to this game'}: ${url.href}`);
    if (navigator.clipboard) navigator.clipboard.writeText(url.href).then(() => told(true), () => told(false));
    else told(false);
}

function toggleUnlit() {
    const unlit = item('unlit').getAttribute('aria-checked') !== 'true';
    item('unlit').setAttribute('aria-checked', String(unlit));
    handheld.setUnlit(unlit);
    const error = handheld.writeUnlit(unlit);
    if (error) showMessage(facts.title, error);
}

// A game in the page's address plays once Play has handed the page to the handheld.
function playLinkedGame() {
    if (!location.hash.startsWith(LINK_PREFIX)) return;
    const link = location.hash.slice(LINK_PREFIX.length);
    history.replaceState(history.state, '', location.pathname + location.search);
    const error = handheld.watchLink(link);
    if (error) showMessage(facts.title, `This game cannot be played: ${error}.`);
}

export function wireGames(world) {
    for (const name of ['watch', 'share', 'unlit']) item(name).textContent = facts.items[name];
    sign.querySelector('strong').textContent = facts.replaySign.text;
    sign.querySelector('span').textContent = facts.replaySign.hint;
    hasLast = handheld.keepLastGame(stored(LAST_GAME) || '');
    const unlit = handheld.readUnlit();
    item('unlit').setAttribute('aria-checked', String(unlit));
    handheld.setUnlit(unlit);
    world.gameRecorded = () => {
        hasLast = true;
        stored(LAST_GAME, handheld.lastGameLink());
    };
    addMenuItem('watch', () => handheld.watchLast());
    addMenuItem('share', share);
    addMenuItem('unlit', toggleUnlit);
    onMenuOpen(() => {
        item('watch').hidden = item('share').hidden = !hasLast;
        item('watch').disabled = handheld.gameUnderWay();
    });
    onPlay(playLinkedGame);
    onChange(showSign);
    window.addEventListener('resize', showSign);
    for (const type of ['keydown', 'pointerdown'])
        document.addEventListener(type, (event) => isPlaying() && stopOnInput(event), true);
}
