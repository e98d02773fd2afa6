// The player's input in the page: keys, the mouse and touch. Nothing reaches the
// handheld before Play, nor while a menu or window lies over it. The arrow keys and the
// mouse reach the handheld as on the desktop (the core's pointer capture, the exact
// button areas, hints and cursors); the menu opens where the browser would open its own
// (a right click, Ctrl+click on a Mac). On a touch screen a finger works the control
// nearest it within a thumb's reach (controlNear), so every button takes touches a good
// way around its printed face; elsewhere one finger at a time is the mouse, and a long
// press opens the menu.
import { facts, handheld } from './handheld.js';
import { canvas, faceBox, onFace, windowPoint } from './paint.js';
import { choose, handheldHasInput, isPlaying, onRunEnd, openMenu, windowKey } from './windows.js';

const LONG_PRESS_MS = 500;
// How far from a button a finger still works it, in CSS pixels: a 44 x 44 square
// centred on any button lies within this reach of it (22 times the square root of 2).
const FINGER_REACH = 32;
const PRESS_BUZZ_MS = 12;
const MOUSE_LEFT = 0;
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
    const e = handheldHasInput() ? handheld.elementAt(x, y) : -1;
    canvas.style.cursor = e < 0 ? 'default' : handheld.cursorOf(e);
    const text = (e >= 0 && handheld.hintOf(e)) || '';
    if (canvas.title !== text) canvas.title = text;
}

// The buttons whose press reached the handheld: their releases follow them there.
const pressed = new Set();

// On a Mac, Ctrl+click is the right click: it opens the menu and presses nothing.
const macMenuClick = (event) => event.button === MOUSE_LEFT && event.ctrlKey && /Mac/.test(navigator.platform);

function mouseDown(event) {
    const point = windowPoint(event);
    if (event.button > MOUSE_LAST || !handheldHasInput() || !onFace(...point) || macMenuClick(event)) return;
    if (event.button === MOUSE_LEFT) canvas.setPointerCapture(event.pointerId);
    pressed.add(event.button);
    handheld.press(event.button, ...point);
}

function mouseUp(event) {
    if (!pressed.delete(event.button)) return;
    if (event.type === 'pointercancel') handheld.lost();
    else handheld.release(event.button, ...windowPoint(event));
}

// The browser's own menu asked for: the handheld's instead. A touch's long press is
// timed here, not by the browser.
let lastPointer = 'mouse';
function contextMenu(event) {
    event.preventDefault();
    if (lastPointer === 'touch' || !handheldHasInput()) return;
    handheld.lost(); // the menu takes the pointer, as a desktop menu does
    openMenu(event.clientX, event.clientY);
}

// --- Touch -------------------------------------------------------------------------------

// Each finger on the canvas: {control} on a control, else {mouse, timer}.
const touches = new Map();

function touchDown(event) {
    event.preventDefault();
    if (!handheldHasInput()) return;
    const [x, y] = windowPoint(event);
    const reach = Math.ceil((FINGER_REACH * facts.width) / faceBox().width);
    const control = handheld.controlNear(x, y, reach);
    // The GAME buttons are the arrow keys, TIME and ACL pressed in their middle; the
    // handheld shows the button pressed while the finger holds it.
    if (control >= 0 && handheld.control(control, true)) {
        touches.set(event.pointerId, { control });
        if (navigator.vibrate) navigator.vibrate(PRESS_BUZZ_MS);
        return;
    }
    if (!onFace(x, y)) return;
    const touch = { mouse: false, timer: 0 };
    touches.set(event.pointerId, touch);
    // A long press where no control lies opens the menu.
    touch.timer = setTimeout(() => {
        touch.timer = 0;
        if (touch.mouse) handheld.lost();
        touch.mouse = false;
        openMenu(event.clientX, event.clientY);
    }, LONG_PRESS_MS);
    // One finger at a time is the mouse; a control held meanwhile stays held.
    if (![...touches.values()].some((t) => t.mouse)) {
        touch.mouse = true;
        handheld.press(MOUSE_LEFT, x, y);
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

// Lets go of every finger and mouse button: what they hold comes up.
function releaseTouches() {
    for (const touch of touches.values()) clearTimeout(touch.timer);
    touches.clear();
    pressed.clear();
    padFingers.clear();
    for (const button of document.querySelectorAll('#pad .held')) button.classList.remove('held');
}

// --- The large controls under the face (page.css shows them held upright) -------------

// Each finger on one of them: the control's button element.
const padFingers = new Map();

function padDown(event) {
    event.preventDefault();
    const control = facts.controls[Number(event.currentTarget.dataset.control)];
    if (!handheldHasInput() || !handheld.control(control, true)) return;
    event.currentTarget.setPointerCapture(event.pointerId);
    event.currentTarget.classList.add('held');
    padFingers.set(event.pointerId, control);
    if (navigator.vibrate) navigator.vibrate(PRESS_BUZZ_MS);
}

function padUp(event) {
    event.currentTarget.classList.remove('held');
    if (!padFingers.has(event.pointerId)) return;
    handheld.control(padFingers.get(event.pointerId), false);
    padFingers.delete(event.pointerId);
}

// --- Wiring ------------------------------------------------------------------------------

const byPointer = (touch, mouse) => (event) => (event.pointerType === 'touch' ? touch : mouse)(event);

export function wireInput() {
    document.addEventListener('keydown', onKey);
    document.addEventListener('keyup', onKey);
    canvas.addEventListener('pointerdown', (event) => {
        lastPointer = event.pointerType;
        if (isPlaying()) canvas.focus({ preventScroll: true });
        byPointer(touchDown, mouseDown)(event);
    });
    canvas.addEventListener('pointerup', byPointer(touchUp, mouseUp));
    canvas.addEventListener('pointercancel', byPointer(touchUp, mouseUp));
    canvas.addEventListener(
        'pointermove',
        byPointer(touchMove, (event) => {
            updateHint(event);
            if (pressed.size || handheldHasInput()) handheld.move(event.buttons & 7, ...windowPoint(event));
        })
    );
    canvas.addEventListener('lostpointercapture', (event) => {
        if (event.pointerType !== 'touch') handheld.lost();
    });
    canvas.addEventListener('contextmenu', contextMenu);
    for (const button of document.querySelectorAll('#pad button')) {
        button.addEventListener('pointerdown', padDown);
        button.addEventListener('pointerup', padUp);
        button.addEventListener('pointercancel', padUp);
        button.addEventListener('contextmenu', (event) => event.preventDefault());
    }
    // The face keeps its size under two fingers (touch-action in page.css; Safari's own
    // gesture events here); the page around it may be zoomed.
    canvas.addEventListener('gesturestart', (event) => event.preventDefault());
    // Losing the page ends a mouse capture with its release, and lets go of any GAME
    // button held by touch.
    window.addEventListener('blur', () => {
        releaseTouches();
        handheld.releaseControls();
        handheld.lost();
    });
    onRunEnd(releaseTouches);
}
