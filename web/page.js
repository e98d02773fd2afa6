// The page around the handheld: the canvas it is painted on, the launcher, the menu and
// its windows, keys, pointer and touch, the cue sounds and the wake-ups of its timers.
// The handheld itself (fenwater-core.js and .wasm) is the same core the desktop program
// runs; this script only carries events to it and paints what it shows.
'use strict';

(() => {
    const W = 652;
    const H = 443;
    const TITLE = 'Fenwater (Ostrel) Simulator';
    const SOUND_FOLDER_MESSAGE = 'Sound folder unproperly installed. Read instructions then reinstall.';
    const NO_SOUND = 2;
    const CUE_FILES = ['SOUND/Got.wav', 'SOUND/Move.wav', 'SOUND/Start.wav'];
    const LONG_PRESS_MS = 500;
    const CACHE = 'fenwater';
    const KEY_LEFT = 37;
    const KEY_RIGHT = 39;

    const $ = (id) => document.getElementById(id);
    const canvas = $('handheld');
    const context = canvas.getContext('2d', { alpha: false });
    const launcher = $('launcher');
    const soundList = $('CB_Sound');
    const playButton = $('Puls_Play');
    const menu = $('menu');
    const about = $('about');
    const viewer = $('viewer');
    const messageBox = $('message');

    let core = null;
    const elements = []; // {name, left, top, width, height, kind} in layer order
    let puls = {}; // element numbers by name, for the few the page itself acts on
    let playing = false; // Play was pressed in this run
    let played = false; // Play acts once a run

    // --- The handheld's outside world, called from the core -----------------------------

    const audio = { context: null, buffers: null, playing: new Set() };

    const world = {
        playCue(cue) {
            const buffer = audio.buffers && audio.buffers[cue];
            if (!buffer) return;
            const source = audio.context.createBufferSource();
            source.buffer = buffer;
            source.connect(audio.context.destination);
            source.onended = () => audio.playing.delete(source);
            audio.playing.add(source);
            source.start();
        },
        stopCues() {
            for (const source of audio.playing) source.stop();
            audio.playing.clear();
        },
        beep() {
            const ctx = audioContext();
            if (!ctx) return;
            const tone = ctx.createOscillator();
            const gain = ctx.createGain();
            tone.frequency.value = 880;
            gain.gain.value = 0.15;
            tone.connect(gain).connect(ctx.destination);
            tone.start();
            tone.stop(ctx.currentTime + 0.12);
        },
        reportStoreError(text) {
            // Shown once the handler has unwound; the timers keep running under the box.
            setTimeout(() => showMessage(TITLE, text), 0);
        },
    };

    function audioContext() {
        if (!audio.context) {
            const Context = window.AudioContext || window.webkitAudioContext;
            if (!Context) return null;
            audio.context = new Context();
        }
        if (audio.context.state === 'suspended') audio.context.resume();
        return audio.context;
    }

    // Decodes the three cues once a page. Resolves false when the catch cue cannot be
    // had; a missing move or start cue only stays silent.
    let cuesLoading = null;
    function loadCues() {
        const ctx = audioContext();
        if (!ctx) return Promise.resolve(false);
        if (!cuesLoading) {
            cuesLoading = Promise.all(
                CUE_FILES.map((file) =>
                    fetch(file)
                        .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(file))))
                        .then((bytes) => ctx.decodeAudioData(bytes))
                        .catch(() => null)
                )
            ).then((buffers) => {
                if (!buffers[0]) cuesLoading = null; // a later Play tries again
                else audio.buffers = buffers;
                return Boolean(buffers[0]);
            });
        }
        return cuesLoading;
    }

    // --- Time ----------------------------------------------------------------------------

    let wake = 0;
    // After every handler: paint what changed, then sleep until the next due tick.
    function settle() {
        paint();
        clearTimeout(wake);
        wake = 0;
        const due = core._fw_next_wake();
        if (due < 0) return;
        wake = setTimeout(onWake, Math.max(0, Math.ceil(due - performance.now())));
    }
    function onWake() {
        core._fw_advance(performance.now());
        settle();
    }

    // --- Painting ------------------------------------------------------------------------

    let scale = 0; // the scale of the pictures painted: 1, 2 or 3
    let pictures = null; // element number -> drawable, for that scale
    const pictureSets = new Map(); // scale -> Promise of pictures
    let lastFrame = null;

    // A two-colour picture: its black pixels drawn, the white ones see-through.
    function seeThrough(bitmap) {
        const c = document.createElement('canvas');
        c.width = bitmap.width;
        c.height = bitmap.height;
        const g = c.getContext('2d', { willReadFrequently: true });
        g.drawImage(bitmap, 0, 0);
        const image = g.getImageData(0, 0, c.width, c.height);
        const px = image.data;
        for (let i = 0; i < px.length; i += 4) {
            const black = px[i] === 0 && px[i + 1] === 0 && px[i + 2] === 0;
            px[i + 3] = black ? 255 : 0;
        }
        g.putImageData(image, 0, 0);
        return c;
    }

    // The pictures of the face at one scale, from their one file (see
    // tools/pack_pictures.py): a length, a JSON index, then the pictures' bytes.
    function loadPictures(s) {
        if (!pictureSets.has(s)) {
            const file = `pictures/face-${s}x.bin`;
            const set = fetch(file)
                .then((r) => {
                    if (!r.ok) return Promise.reject(new Error(`${file}: ${r.status}`));
                    // Kept for the page to play offline at this scale.
                    if (window.caches) {
                        const copy = r.clone();
                        caches.open(CACHE).then((cache) => cache.put(file, copy)).catch(() => {});
                    }
                    return r.arrayBuffer();
                })
                .then((bytes) => {
                    const length = new DataView(bytes).getUint32(0, true);
                    const index = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 4, length)));
                    return Promise.all(
                        elements.map((e, i) => {
                            if (e.kind === 0) return null;
                            const [offset, size, type] = index[e.name];
                            const blob = new Blob([new Uint8Array(bytes, 4 + length + offset, size)], { type });
                            return createImageBitmap(blob)
                                .then((bitmap) => (e.kind === 2 ? seeThrough(bitmap) : bitmap))
                                .then((drawable) => [i, drawable]);
                        })
                    );
                })
                .then((loaded) => new Map(loaded.filter(Boolean)));
            pictureSets.set(s, set);
        }
        return pictureSets.get(s);
    }

    // The handheld as large as the page allows, its proportions kept; the pictures of the
    // smallest scale at least as fine as the screen's pixels, up to 3.
    function fit() {
        const view = window.visualViewport || { width: innerWidth, height: innerHeight };
        const fitScale = Math.min(view.width / W, view.height / H);
        const ratio = window.devicePixelRatio || 1;
        canvas.style.width = `${W * fitScale}px`;
        canvas.style.height = `${H * fitScale}px`;
        // The launcher and the windows shrink on a screen too small for them.
        const launcherSize = launcher.getBoundingClientRect();
        const current = Number(getComputedStyle(document.body).getPropertyValue('--fit')) || 1;
        const room = Math.min(
            1,
            (view.width - 8) / (launcherSize.width / current),
            (view.height - 8) / (launcherSize.height / current)
        );
        if (launcherSize.width > 0) document.body.style.setProperty('--fit', String(room));
        const wanted = Math.min(3, Math.max(1, Math.ceil(ratio * fitScale - 0.05)));
        if (wanted === scale) return Promise.resolve();
        return loadPictures(wanted).then((set) => {
            scale = wanted;
            pictures = set;
            canvas.width = W * scale;
            canvas.height = H * scale;
            canvas.dataset.scale = String(scale);
            lastFrame = null;
            paint();
        });
    }

    function paint() {
        if (!pictures || !core) return;
        const frame = new Int32Array(core.HEAP32.buffer, core._fw_frame(), elements.length);
        const key = frame.join(',');
        if (key === lastFrame) return; // nothing changed: no redraw
        lastFrame = key;
        const s = scale;
        context.imageSmoothingEnabled = false;
        context.fillStyle = '#fff';
        if (frame[0] < 0) context.fillRect(0, 0, W * s, H * s);
        for (let i = 0; i < elements.length; ++i) {
            if (frame[i] < 0) continue;
            const picture = pictures.get(frame[i]);
            if (!picture) continue;
            const e = elements[i];
            // From the picture's top-left corner, no more than the element's rectangle.
            const w = Math.min(e.width * s, picture.width);
            const h = Math.min(e.height * s, picture.height);
            context.drawImage(picture, 0, 0, w, h, e.left * s, e.top * s, w, h);
        }
        canvas.dataset.painted = String(++paintCount);
    }
    let paintCount = 0;

    // --- Keys ----------------------------------------------------------------------------

    function virtualKey(event) {
        if (event.key === 'ArrowLeft') return KEY_LEFT;
        if (event.key === 'ArrowRight') return KEY_RIGHT;
        return 0;
    }

    const shortcuts = { F1: 'about', F2: 'readme', F3: 'whatsnew', F4: 'manual', Escape: 'exit' };

    function onKey(event) {
        if (!core || !playing) return;
        if (!messageBox.hidden) {
            if (event.type === 'keydown' && (event.key === 'Enter' || event.key === 'Escape')) {
                event.preventDefault();
                closeMessage();
            }
            return;
        }
        if (!menu.hidden && event.type === 'keydown' && (event.key === 'ArrowDown' || event.key === 'ArrowUp')) {
            // The menu's items by keyboard, as a desktop menu's.
            event.preventDefault();
            const items = [...menu.querySelectorAll('button:not(:disabled)')];
            const at = items.indexOf(document.activeElement);
            const down = event.key === 'ArrowDown';
            const next = at < 0 ? (down ? 0 : items.length - 1) : (at + (down ? 1 : items.length - 1)) % items.length;
            items[next].focus({ preventScroll: true });
            return;
        }
        const windowOpen = !menu.hidden || !about.hidden || !viewer.hidden;
        if (windowOpen) {
            if (event.type === 'keydown' && event.key === 'Escape') {
                event.preventDefault();
                closeWindows();
            }
            return;
        }
        if (event.key in shortcuts) {
            event.preventDefault();
            if (event.type === 'keydown' && !event.repeat) choose(shortcuts[event.key]);
            return;
        }
        if (event.ctrlKey || event.metaKey || event.altKey) return;
        const vk = virtualKey(event);
        if (vk) event.preventDefault();
        core._fw_key(event.type === 'keydown' ? 1 : 0, vk, performance.now());
        settle();
    }

    // --- Pointer, mouse and touch --------------------------------------------------------

    // Window pixels of a pointer event over the canvas.
    function windowPoint(event) {
        const r = canvas.getBoundingClientRect();
        return [Math.floor(((event.clientX - r.left) * W) / r.width), Math.floor(((event.clientY - r.top) * H) / r.height)];
    }

    const touches = new Map(); // pointerId -> {key} for a GAME button, {timer, mouse} else

    function mouse(kind, button, event, held) {
        const [x, y] = windowPoint(event);
        core._fw_mouse(kind, button, x, y, held, performance.now());
        settle();
    }

    function updateHint(event) {
        const [x, y] = windowPoint(event);
        const e = core._fw_element_at(x, y);
        const pointer = e < 0 ? 0 : core._fw_pointer_of(e);
        canvas.style.cursor = ['default', 'pointer', 'help'][pointer];
        const hint = e < 0 ? 0 : core._fw_hint_of(e);
        const text = hint ? core.UTF8ToString(hint) : '';
        if (canvas.title !== text) canvas.title = text;
    }

    function onPointerDown(event) {
        if (!core) return;
        canvas.focus({ preventScroll: true });
        if (event.pointerType === 'touch') {
            event.preventDefault();
            const [x, y] = windowPoint(event);
            const e = core._fw_element_at(x, y);
            // On a touch screen the GAME buttons are the arrow keys.
            if (e === puls.Puls_Left || e === puls.Puls_Right) {
                const key = e === puls.Puls_Left ? KEY_LEFT : KEY_RIGHT;
                // The handheld shows the button pressed while its key is held.
                touches.set(event.pointerId, { key });
                core._fw_key(1, key, performance.now());
                settle();
                return;
            }
            const touch = { mouse: false, timer: 0 };
            touches.set(event.pointerId, touch);
            if (e !== puls.Puls_Time && e !== puls.Puls_ACL) {
                // A long press where no button lies opens the menu.
                touch.timer = setTimeout(() => {
                    touch.timer = 0;
                    if (touch.mouse) mouse(3, 0, event, 0);
                    touch.mouse = false;
                    openMenu(event.clientX, event.clientY);
                }, LONG_PRESS_MS);
            }
            // One finger at a time is the mouse; a GAME button held meanwhile is a key.
            if (![...touches.values()].some((t) => t.mouse)) {
                touch.mouse = true;
                mouse(0, 0, event, 1);
            }
            return;
        }
        if (event.button > 2) return;
        if (event.button === 0) canvas.setPointerCapture(event.pointerId);
        mouse(0, [0, 2, 1][event.button], event, 0);
    }

    function onPointerUp(event) {
        if (!core) return;
        if (event.pointerType === 'touch') {
            const touch = touches.get(event.pointerId);
            touches.delete(event.pointerId);
            if (!touch) return;
            if (touch.key) {
                core._fw_key(0, touch.key, performance.now());
                settle();
                return;
            }
            clearTimeout(touch.timer);
            if (touch.mouse) mouse(event.type === 'pointercancel' ? 3 : 1, 0, event, 0);
            return;
        }
        if (event.button > 2) return;
        if (event.type === 'pointercancel') {
            mouse(3, 0, event, 0);
            return;
        }
        mouse(1, [0, 2, 1][event.button], event, 0);
        if (event.button === 2) openMenu(event.clientX, event.clientY);
    }

    function onPointerMove(event) {
        if (!core) return;
        if (event.pointerType === 'touch') {
            const touch = touches.get(event.pointerId);
            if (touch && touch.mouse) mouse(2, 0, event, 1);
            return;
        }
        updateHint(event);
        mouse(2, 0, event, event.buttons & 7);
    }

    // --- The launcher --------------------------------------------------------------------

    function showLauncher() {
        played = false;
        playing = false;
        document.body.classList.remove('playing');
        const mode = core._fw_read_sound_mode();
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
        if (mode !== NO_SOUND) {
            if (!(await loadCues())) {
                await showMessage('Error', SOUND_FOLDER_MESSAGE);
                writeSoundMode(-1);
                endRun();
                return;
            }
            core._fw_sound_on(1);
        }
        launcher.hidden = true;
        playing = true;
        document.body.classList.add('playing');
        canvas.focus({ preventScroll: true });
    }

    function writeSoundMode(mode) {
        const error = core._fw_write_sound_mode(mode);
        if (error) showMessage(TITLE, core.UTF8ToString(error));
    }

    // The end of a run (Exit, Esc, a catch cue that cannot be had): sound stops and a new
    // run begins at the launcher, as the program starting again.
    function endRun() {
        world.stopCues();
        closeWindows();
        for (const touch of touches.values()) clearTimeout(touch.timer);
        touches.clear();
        core._fw_start(performance.now());
        lastFrame = null;
        settle();
        showLauncher();
    }

    // --- The menu and its windows --------------------------------------------------------

    function openMenu(x, y) {
        closeWindows();
        menu.hidden = false;
        const w = menu.offsetWidth;
        const h = menu.offsetHeight;
        menu.style.left = `${Math.max(0, Math.min(x, innerWidth - w))}px`;
        menu.style.top = `${Math.max(0, Math.min(y, innerHeight - h))}px`;
        menu.querySelector('button').focus({ preventScroll: true });
    }

    function closeWindows() {
        menu.hidden = true;
        about.hidden = true;
        viewer.hidden = true;
        if (playing) canvas.focus({ preventScroll: true });
    }

    const texts = { readme: ["View 'Readme.txt'", 'readme.txt'], whatsnew: ["View 'Whatsnew.txt'", 'whatsnew.txt'] };

    function showText(which) {
        const [caption, file] = texts[which];
        fetch(file)
            .then((r) => (r.ok ? r.text() : Promise.reject(new Error(file))))
            .then((text) => {
                viewer.querySelector('#viewer-caption').textContent = caption;
                viewer.querySelector('pre').textContent = text;
                viewer.hidden = false;
            })
            .catch(() => {}); // as on the desktop: a file that cannot be opened says nothing
    }

    function choose(item) {
        menu.hidden = true;
        switch (item) {
            case 'about':
                closeWindows();
                about.hidden = false;
                break;
            case 'readme':
            case 'whatsnew':
                closeWindows();
                showText(item);
                break;
            case 'hiscores':
                core._fw_reset_hiscores(performance.now());
                settle();
                break;
            case 'exit':
                endRun();
                break;
            default: // the manual is not part of the page
                break;
        }
    }

    // --- Message boxes -------------------------------------------------------------------

    const messages = [];
    function showMessage(caption, text) {
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
        if (messageBox.hidden && playing) canvas.focus({ preventScroll: true });
    }

    // --- Start ---------------------------------------------------------------------------

    function wire() {
        document.addEventListener('keydown', onKey);
        document.addEventListener('keyup', onKey);
        canvas.addEventListener('pointerdown', onPointerDown);
        canvas.addEventListener('pointerup', onPointerUp);
        canvas.addEventListener('pointercancel', onPointerUp);
        canvas.addEventListener('pointermove', onPointerMove);
        canvas.addEventListener('lostpointercapture', (event) => {
            if (core && event.pointerType !== 'touch') mouse(3, 0, event, 0);
        });
        canvas.addEventListener('contextmenu', (event) => event.preventDefault());
        document.addEventListener('gesturestart', (event) => event.preventDefault());
        document.addEventListener(
            'touchmove',
            (event) => {
                if (playing) event.preventDefault();
            },
            { passive: false }
        );
        soundList.addEventListener('change', () => {
            if (soundList.selectedIndex >= 0) playButton.disabled = false;
        });
        playButton.addEventListener('click', play);
        menu.addEventListener('click', (event) => {
            const item = event.target.closest('button');
            if (item && !item.disabled) choose(item.dataset.item);
        });
        document.addEventListener('pointerdown', (event) => {
            if (!menu.hidden && !menu.contains(event.target)) menu.hidden = true;
        });
        for (const close of document.querySelectorAll('.window .close')) close.addEventListener('click', closeWindows);
        messageBox.querySelector('.ok').addEventListener('click', closeMessage);
        window.addEventListener('resize', fit);
        if (window.visualViewport) window.visualViewport.addEventListener('resize', fit);
        window.addEventListener('blur', () => {
            // Losing the page ends a mouse capture with its release, and lets go of any
            // GAME button held by touch.
            if (!core) return;
            for (const [, touch] of touches) {
                if (touch.key) core._fw_key(0, touch.key, performance.now());
                clearTimeout(touch.timer);
            }
            touches.clear();
            core._fw_mouse(3, 0, 0, 0, 0, performance.now());
            settle();
        });
    }

    function start(module) {
        core = module;
        const count = core._fw_element_count();
        for (let i = 0; i < count; ++i) {
            const r = new Int32Array(core.HEAP32.buffer, core._fw_element_rect(i), 4);
            const name = core.UTF8ToString(core._fw_element_name(i));
            elements.push({ name, left: r[0], top: r[1], width: r[2], height: r[3], kind: core._fw_element_kind(i) });
            puls[name] = i;
        }
        core._fw_start(performance.now());
        wire();
        showLauncher();
        fit().then(() => {
            settle();
            document.body.dataset.ready = '1';
        });
    }

    if ('serviceWorker' in navigator) {
        window.addEventListener('load', () => navigator.serviceWorker.register('service-worker.js').catch(() => {}));
    }
    FenwaterCore({ page: world }).then(start);
})();
