// Painting the handheld on the page's canvas: the pictures of the face at the scale the
// screen needs (one file a scale, see tools/pack_pictures.py), the canvas fitted to the
// page, and each element's picture drawn in layer order as the core says it shows now.
import { facts, handheld } from './handheld.js';
import { keep } from './offline.js';

export const canvas = document.getElementById('handheld');
const context = canvas.getContext('2d', { alpha: false });
const launcher = document.getElementById('launcher');

let scale = 0; // the scale of the pictures painted: 1, 2 or 3
let pictures = null; // element number -> drawable, for that scale
const pictureSets = new Map(); // scale -> Promise of pictures
let lastFrame = null;
let paintCount = 0;

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

// The pictures of the face at one scale, from their one file: a length, a JSON index,
// then the pictures' bytes.
function loadPictures(s) {
    if (!pictureSets.has(s)) {
        const file = `pictures/face-${s}x.bin`;
        const set = fetch(file)
            .then((r) => {
                if (!r.ok) return Promise.reject(new Error(`${file}: ${r.status}`));
                keep(file, r.clone()); // for the page to play offline at this scale
                return r.arrayBuffer();
            })
            .then((bytes) => {
                const length = new DataView(bytes).getUint32(0, true);
                const index = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 4, length)));
                return Promise.all(
                    facts.elements.map((e, i) => {
                        if (!e.picture) return null;
                        const [offset, size, type] = index[e.name];
                        const blob = new Blob([new Uint8Array(bytes, 4 + length + offset, size)], { type });
                        return createImageBitmap(blob)
                            .then((bitmap) => (e.twoColour ? seeThrough(bitmap) : bitmap))
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
export function fit() {
    const { width: W, height: H } = facts;
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
        repaint();
    });
}

// Paints what changed since the last paint; nothing when nothing did.
export function paint() {
    if (!pictures) return;
    const frame = handheld.frame();
    const key = frame.join(',');
    if (key === lastFrame) return;
    lastFrame = key;
    const s = scale;
    context.imageSmoothingEnabled = false;
    context.fillStyle = '#fff';
    if (frame[0] < 0) context.fillRect(0, 0, facts.width * s, facts.height * s);
    for (let i = 0; i < frame.length; ++i) {
        if (frame[i] < 0) continue;
        const picture = pictures.get(frame[i]);
        if (!picture) continue;
        const e = facts.elements[i];
        // From the picture's top-left corner, no more than the element's rectangle.
        const w = Math.min(e.width * s, picture.width);
        const h = Math.min(e.height * s, picture.height);
        context.drawImage(picture, 0, 0, w, h, e.left * s, e.top * s, w, h);
    }
    canvas.dataset.painted = String(++paintCount);
}

// Paints the whole face again (new pictures, a new run).
export function repaint() {
    lastFrame = null;
    paint();
}

// Window pixels of a point of the page over the canvas.
export function windowPoint(event) {
    const r = canvas.getBoundingClientRect();
    return [
        Math.floor(((event.clientX - r.left) * facts.width) / r.width),
        Math.floor(((event.clientY - r.top) * facts.height) / r.height),
    ];
}
