// The player's input in the page: keys, the mouse and touch. The arrow keys and the
// mouse reach the handheld as on the desktop (the core's pointer capture); on a touch
// screen the GAME buttons are the arrow keys, one finger at a time is the mouse, and a
// long press where no button lies opens the menu.
import { facts, handheld } from './handheld.js';
import { canvas, windowPoint } from './paint.js';
import { choose, isPlaying, onRunEnd, openMenu, windowKey } from './windows.js';

const LONG_PRESS_MS = 500;
const MOUSE_LEFT = 0;
const MOUSE_RIGHT = 2;
const MOUSE_LAST = 2; // buttons past the middle and right ones mean nothing here
const HELD_LEFT = 1; // MouseEvent.buttons with the left button held

// The menu's shortcuts, as on the desktop.
const shortcuts = { F1: 'about', F2: 'readme', F3: 'whatsnew', F4: 'manual', Escape: 'exit' };

function onKey(event) {
    if (!isPlaying()) return;
    if (windowKey(event)) return;
    if (event.key in shortcuts) {
        event.preventDefault();
        if (event.type === 'keydown' && !event.repeat) choose(shortcuts[event.key]);
        return;
    }
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const vk = facts.keys[event.key] || 0;
    if (vk) event.preventDefault();
    handheld.key(event.type === 'keydown', vk);
}

// --- The mouse ---------------------------------------------------------------------------

function updateHint(event) {
    const [x, y] = windowPoint(event);
    const e = handheld.elementAt(x, y);
    canvas.style.cursor = e < 0 ? 'default' : handheld.cursorOf(e);
    const text = (e >= 0 && handheld.hintOf(e)) || '';
    if (canvas.title !== text) canvas.title = text;
}

function mouseDown(event) {
    if (event.button > MOUSE_LAST) return;
    if (event.button === MOUSE_LEFT) canvas.setPointerCapture(event.pointerId);
    handheld.press(event.button, ...windowPoint(event));
}

function mouseUp(event) {
    if (event.button > MOUSE_LAST) return;
    if (event.type === 'pointercancel') {
        handheld.lost();
        return;
    }
    handheld.release(event.button, ...windowPoint(event));
    if (event.button === MOUSE_RIGHT) openMenu(event.clientX, event.clientY);
}

// --- Touch -------------------------------------------------------------------------------

// Each finger on the canvas: {control} on a GAME button, else {mouse, timer}.
const touches = new Map();

function touchDown(event) {
    event.preventDefault();
    const e = handheld.elementAt(...windowPoint(event));
    const [gameA, gameB, time, acl] = facts.controls;
    // The GAME buttons are the arrow keys; the handheld shows the button pressed while
    // its key is held.
    if ((e === gameA || e === gameB) && handheld.control(e, true)) {
        touches.set(event.pointerId, { control: e });
        return;
    }
    const touch = { mouse: false, timer: 0 };
    touches.set(event.pointerId, touch);
    if (e !== time && e !== acl) {
        // A long press where no button lies opens the menu.
        touch.timer = setTimeout(() => {
            touch.timer = 0;
            if (touch.mouse) handheld.lost();
            touch.mouse = false;
            openMenu(event.clientX, event.clientY);
        }, LONG_PRESS_MS);
    }
    // One finger at a time is the mouse; a GAME button held meanwhile is a key.
    if (![...touches.values()].some((t) => t.mouse)) {
        touch.mouse = true;
        handheld.press(MOUSE_LEFT, ...windowPoint(event));
    }
}

function touchUp(event) {
    const touch = touches.get(event.pointerId);
    touches.delete(event.pointerId);
    if (!touch) return;
    if (touch.control !== undefined) {
        handheld.control(touch.control, false);
        return;
    }
    clearTimeout(touch.timer);
    if (!touch.mouse) return;
    if (event.type === 'pointercancel') handheld.lost();
    else handheld.release(MOUSE_LEFT, ...windowPoint(event));
}

function touchMove(event) {
    const touch = touches.get(event.pointerId);
    if (touch && touch.mouse) handheld.move(HELD_LEFT, ...windowPoint(event));
}

// Lets go of every finger: the GAME buttons they hold come up.
function releaseTouches() {
    for (const touch of touches.values()) clearTimeout(touch.timer);
    touches.clear();
}

// --- Wiring ------------------------------------------------------------------------------

const byPointer = (touch, mouse) => (event) => (event.pointerType === 'touch' ? touch : mouse)(event);

export function wireInput() {
    document.addEventListener('keydown', onKey);
    document.addEventListener('keyup', onKey);
    canvas.addEventListener('pointerdown', (event) => {
        canvas.focus({ preventScroll: true });
        byPointer(touchDown, mouseDown)(event);
    });
    canvas.addEventListener('pointerup', byPointer(touchUp, mouseUp));
    canvas.addEventListener('pointercancel', byPointer(touchUp, mouseUp));
    canvas.addEventListener(
        'pointermove',
        byPointer(touchMove, (event) => {
            updateHint(event);
            handheld.move(event.buttons & 7, ...windowPoint(event));
        })
    );
    canvas.addEventListener('lostpointercapture', (event) => {
        if (event.pointerType !== 'touch') handheld.lost();
    });
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    document.addEventListener('gesturestart', (event) => event.preventDefault());
    document.addEventListener(
        'touchmove',
        (event) => {
            if (isPlaying()) event.preventDefault();
        },
        { passive: false }
    );
    // Losing the page ends a mouse capture with its release, and lets go of any GAME
    // button held by touch.
    window.addEventListener('blur', () => {
        releaseTouches();
        handheld.releaseControls();
        handheld.lost();
    });
    onRunEnd(releaseTouches);
}
