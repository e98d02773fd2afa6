// Painting the handheld on the page's canvas: the pictures of the face at the scale the
// screen needs (one file a scale, see tools/pack_pictures.py), fetched as the page
// starts and decoded in a worker, and each element's picture drawn in layer
// order as the core says it shows now. The canvas fills the stage and shows the face
// contained in it (object-fit in page.css), so its size is known before the first paint.
import { facts, handheld } from './handheld.js';
import { keep } from './offline.js';

export const canvas = document.getElementById('handheld');
const context = canvas.getContext('2d', { alpha: false });
const launcher = document.getElementById('launcher');
const SCALES = [3, 2, 1]; // the scales there are pictures of, finest first

let scale = 0; // the scale of the pictures painted: 1, 2 or 3
let pictures = null; // element number -> drawable, for that scale
const fetched = new Map(); // scale -> Promise of the file's bytes
const pictureSets = new Map(); // scale -> Promise of pictures
let lastFrame = null;
let paintCount = 0;

// The window's size: the core's once it is there; before, the canvas's own, which the
// page is laid out with.
const windowSize = () => (facts ? [facts.width, facts.height] : [canvas.width, canvas.height]);

// The face's box on the page, in CSS pixels: the canvas holds it in its middle, its
// proportions kept.
export function faceBox() {
    const r = canvas.getBoundingClientRect();
    const [W, H] = windowSize();
    const f = Math.min(r.width / W, r.height / H);
    const width = W * f;
    const height = H * f;
    return { left: r.left + (r.width - width) / 2, top: r.top + (r.height - height) / 2, width, height };
}

// The smallest scale of pictures at least as fine as the screen's pixels, up to 3.
function wantedScale() {
    const ratio = window.devicePixelRatio || 1;
    const fitScale = faceBox().width / windowSize()[0];
    return Math.min(3, Math.max(1, Math.ceil(ratio * fitScale - 0.05)));
}

// The bytes of one scale's file; a file that cannot be had is asked for again next time.
function bytesOf(s) {
    if (!fetched.has(s)) {
        const file = `pictures/face-${s}x.bin`;
        const bytes = fetch(file).then((r) => {
            if (!r.ok) return Promise.reject(new Error(`${file}: ${r.status}`));
            keep(file, r.clone()); // for the page to play offline at this scale
            return r.arrayBuffer();
        });
        bytes.catch(() => {
            fetched.delete(s);
            pictureSets.delete(s);
        });
        fetched.set(s, bytes);
    }
    return fetched.get(s);
}

// Decodes the pictures of the named elements from one scale's file, in a worker where
// the browser has one (js/decode-worker.js): on a slow phone the decoding of some
// seventy pictures would otherwise hold the page up for a good part of a second.
function decode(bytes, names) {
    if (window.Worker) {
        const worker = new Worker('js/decode-worker.js');
        const decoded = new Promise((resolve, reject) => {
            worker.onmessage = ({ data }) => (data.error ? reject(new Error(data.error)) : resolve(data.pictures));
            worker.onerror = reject;
            worker.postMessage({ bytes: bytes.slice(0), names });
        });
        decoded.finally(() => worker.terminate()).catch(() => {});
        return decoded.catch(() => decodeHere(bytes, names));
    }
    return decodeHere(bytes, names);
}

// The same, on the page's own thread.
function decodeHere(bytes, names) {
    const length = new DataView(bytes).getUint32(0, true);
    const index = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 4, length)));
    return Promise.all(
        names.map((name) => {
            const [offset, size, type] = index[name];
            return createImageBitmap(new Blob([new Uint8Array(bytes, 4 + length + offset, size)], { type }));
        })
    );
}

// The pictures of the face at one scale, by element number.
function loadPictures(s) {
    if (!pictureSets.has(s)) {
        const shown = facts.elements.map((e, i) => [e, i]).filter(([e]) => e.picture);
        const set = bytesOf(s)
            .then((bytes) => decode(bytes, shown.map(([e]) => e.name)))
            .then((decoded) => new Map(decoded.map((picture, k) => [shown[k][1], picture])));
        set.catch(() => pictureSets.delete(s));
        pictureSets.set(s, set);
    }
    return pictureSets.get(s);
}

// The pictures of the wanted scale, or, when that file cannot be had (offline, never
// fetched), of the nearest scale that can: the face is drawn at once and in the right
// scale once that is there.
function loadNearest(wanted) {
    const nearer = (a, b) => Math.abs(a - wanted) - Math.abs(b - wanted);
    const order = [wanted, ...SCALES.filter((s) => s !== wanted).sort(nearer)];
    const attempt = (i) =>
        loadPictures(order[i])
            .then((set) => [order[i], set])
            .catch((error) => (i + 1 < order.length ? attempt(i + 1) : Promise.reject(error)));
    return attempt(0);
}

// Picks the pictures for the face's size on the page; the launcher and the windows
// shrink on a screen too small for them.
export function fit() {
    const view = window.visualViewport || { width: innerWidth, height: innerHeight };
    const launcherSize = launcher.getBoundingClientRect();
    const current = Number(getComputedStyle(document.body).getPropertyValue('--fit')) || 1;
    const room = Math.min(
        1,
        (view.width - 8) / (launcherSize.width / current),
        (view.height - 8) / (launcherSize.height / current)
    );
    if (launcherSize.width > 0) document.body.style.setProperty('--fit', String(room));
    const wanted = wantedScale();
    if (wanted === scale) return Promise.resolve();
    return loadNearest(wanted).then(([s, set]) => {
        if (s === scale) return;
        scale = s;
        pictures = set;
        canvas.width = facts.width * scale;
        canvas.height = facts.height * scale;
        canvas.dataset.scale = String(scale);
        repaint();
    }, () => {}); // no file of pictures at all: the face stays dark until one comes
}

// Paints what changed since the last paint; nothing when nothing did. A two-colour
// picture is multiplied onto what lies under it: its black pixels are drawn, its white
// ones leave the face as it was; a faint one (an unlit segment) darkens it a little.
export function paint() {
    if (!pictures) return;
    const frame = handheld.frame();
    const key = frame.join(',');
    if (key === lastFrame) return;
    lastFrame = key;
    const n = facts.elements.length;
    context.imageSmoothingEnabled = false;
    context.globalCompositeOperation = 'source-over';
    context.fillStyle = '#fff';
    if (frame[0] < 0) context.fillRect(0, 0, facts.width * scale, facts.height * scale);
    for (let i = 0; i < n; ++i) {
        if (frame[n + i] >= 0) draw(i, frame[n + i], facts.faintAlpha / 255);
        if (frame[i] >= 0) draw(i, frame[i], 1);
    }
    context.globalAlpha = 1;
    canvas.dataset.painted = String(++paintCount);
}

// Draws the picture of element `shown` over element i's rectangle (from the picture's
// top-left corner, no more than the rectangle), a faint one at its opacity.
function draw(i, shown, alpha) {
    const picture = pictures.get(shown);
    if (!picture) return;
    const e = facts.elements[i];
    const s = scale;
    const w = Math.min(e.width * s, picture.width);
    const h = Math.min(e.height * s, picture.height);
    context.globalAlpha = alpha;
    context.globalCompositeOperation = facts.elements[shown].twoColour ? 'multiply' : 'source-over';
    context.drawImage(picture, 0, 0, w, h, e.left * s, e.top * s, w, h);
}

// Paints the whole face again (new pictures, a new run).
export function repaint() {
    lastFrame = null;
    paint();
}

// Window pixels of a point of the page (they may lie outside the window).
export function windowPoint(event) {
    const box = faceBox();
    return [
        Math.floor(((event.clientX - box.left) * facts.width) / box.width),
        Math.floor(((event.clientY - box.top) * facts.height) / box.height),
    ];
}

// Whether window pixels lie on the face.
export const onFace = (x, y) => x >= 0 && y >= 0 && x < facts.width && y < facts.height;

// Asks early for the file of pictures the face will need, before the core is there.
export function prefetch() {
    bytesOf(wantedScale()).catch(() => {});
}
