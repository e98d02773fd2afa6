// The handheld in the page: the core compiled to WebAssembly (fenwater-core.js), what it
// tells of itself (its facts: sizes, texts, keys, elements), and its wake-ups. Every
// input goes in with the page's clock and is followed by a settle: what changed is
// painted and the page sleeps until the next due tick. While the page is hidden the
// handheld waits: no wake-up runs, and on its return the catch-up rule finds it far
// behind and resumes with one tick (a browser would otherwise run a hidden page's
// timers about once a second, a game going on in slow motion).

let core = null;
// What the core tells of itself once (see fw_facts in page_host.cpp).
export let facts = null;

const now = () => performance.now();
const text = (pointer) => (pointer ? core.UTF8ToString(pointer) : null);

const painters = [];
// Adds what runs after every change of the handheld (the painting).
export function onChange(painter) {
    painters.push(painter);
}

let wake = 0;
// After every handler: paint what changed, then sleep until the next due tick.
export function settle() {
    if (!core) return;
    for (const paint of painters) paint();
    clearTimeout(wake);
    wake = 0;
    if (document.hidden) return;
    const due = core._fw_next_wake();
    if (due < 0) return;
    wake = setTimeout(onWake, Math.max(0, Math.ceil(due - now())));
}

function onWake() {
    core._fw_advance(now());
    settle();
}

// Takes the loaded core and reads its facts.
export function attach(module) {
    core = module;
    facts = JSON.parse(core.UTF8ToString(core._fw_facts()));
    document.addEventListener('visibilitychange', () => (document.hidden ? settle() : onWake()));
}

// Each input brings the handheld to the page's time first, then settles.
function input(act) {
    return (...args) => {
        const result = act(...args);
        settle();
        return result;
    };
}

export const handheld = {
    // A new run, as the program starting: a new handheld at power-on.
    start: input(() => core._fw_start(now())),
    key: input((down, vk) => core._fw_key(down ? 1 : 0, vk, now())),
    // Mouse buttons and the pointer in window pixels, the buttons as the browser
    // numbers them.
    press: input((button, x, y) => core._fw_pointer_press(button, x, y, now())),
    release: input((button, x, y) => core._fw_pointer_release(button, x, y, now())),
    move: input((buttons, x, y) => core._fw_pointer_move(buttons, x, y, now())),
    lost: input(() => core._fw_pointer_lost(now())),
    // A finger on a control's button element; false when the element is no control's.
    control: input((element, down) => core._fw_control(element, down ? 1 : 0, now()) !== 0),
    // The button element of the control a touch at window pixels works, with a finger's
    // reach in window pixels, or -1.
    controlNear: (x, y, reach) => core._fw_control_near(x, y, reach),
    releaseControls: input(() => core._fw_release_controls(now())),
    resetHiscores: input(() => core._fw_reset_hiscores(now())),
    // Another tab stored a best score.
    bestScoresChanged: input(() => core._fw_best_scores_changed()),

    // For each element in layer order, the element whose picture it shows, or -1; then
    // for each the element whose picture lies faintly under it, or -1.
    frame: () => new Int32Array(core.HEAP32.buffer, core._fw_frame(), 2 * facts.elements.length),
    elementAt: (x, y) => core._fw_element_at(x, y),
    cursorOf: (element) => text(core._fw_cursor_of(element)),
    hintOf: (element) => text(core._fw_hint_of(element)),

    // The stored sound choice (-1 for none); storing one gives the store's message
    // when it fails.
    readSoundMode: () => core._fw_read_sound_mode(),
    writeSoundMode: (mode) => text(core._fw_write_sound_mode(mode)),
    soundOn: (on) => core._fw_sound_on(on ? 1 : 0),

    // Recorded games: the last one as a link's text (or null), one kept from an earlier
    // visit, watching it or a shared one (what is wrong with a link, or null), and how
    // a game watched goes (0 none, 1 playing, 2 + its score once over).
    lastGameLink: () => text(core._fw_last_game_link()),
    keepLastGame: (link) => core.ccall('fw_keep_last_game', 'number', ['string'], [link]) !== 0,
    gameUnderWay: () => core._fw_game_under_way() !== 0,
    watchLast: input(() => core._fw_watch_last(now()) !== 0),
    watchLink: input((link) => core.ccall('fw_watch_link', 'string', ['string', 'number'], [link, now()])),
    stopWatching: input(() => core._fw_stop_watching(now())),
    watching: () => core._fw_watching(),
    // The look of the face: unlit segments faintly or not, and as stored.
    setUnlit: input((unlit) => core._fw_set_unlit(unlit ? 1 : 0)),
    readUnlit: () => core._fw_read_unlit() !== 0,
    writeUnlit: (unlit) => text(core._fw_write_unlit(unlit ? 1 : 0)),
};
