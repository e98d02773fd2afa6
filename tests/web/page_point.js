// Run in the page: the page point of a window pixel, from where the face lies in the
// canvas. Shared by the engine checks (engines.mjs) and the phone checks (phone_test.py).
(x, y) => {
    const canvas = document.getElementById('handheld');
    const r = canvas.getBoundingClientRect();
    const s = Number(canvas.dataset.scale);
    const [W, H] = [canvas.width / s, canvas.height / s];
    const f = Math.min(r.width / W, r.height / H);
    return [r.left + (r.width - W * f) / 2 + x * f, r.top + (r.height - H * f) / 2 + y * f];
}
