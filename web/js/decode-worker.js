// Decodes the pictures of the face away from the page: the page hands over one scale's
// file (see tools/pack_pictures.py: a length, a JSON index, the pictures' bytes) and the
// element names it wants, and gets back a drawable picture for each.
'use strict';
self.onmessage = ({ data: { bytes, names } }) => {
    const length = new DataView(bytes).getUint32(0, true);
    const index = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 4, length)));
    Promise.all(
        names.map((name) => {
            const [offset, size, type] = index[name];
            return createImageBitmap(new Blob([new Uint8Array(bytes, 4 + length + offset, size)], { type }));
        })
    ).then(
        (pictures) => self.postMessage({ pictures }, pictures),
        (error) => self.postMessage({ error: String(error) })
    );
};
