// The handheld's sound in the page: the three cues decoded once and played through Web
// Audio, and the beep. The core calls playCue, stopCues and beep (web_world.cpp).
import { facts } from './handheld.js';

const audio = { context: null, buffers: null, playing: new Set() };

function audioContext() {
    if (!audio.context) {
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return null;
        audio.context = new Context();
    }
    if (audio.context.state === 'suspended') audio.context.resume();
    return audio.context;
}

export function playCue(cue) {
    const buffer = audio.buffers && audio.buffers[cue];
    if (!buffer) return;
    const source = audio.context.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.context.destination);
    source.onended = () => audio.playing.delete(source);
    audio.playing.add(source);
    source.start();
}

export function stopCues() {
    for (const source of audio.playing) source.stop();
    audio.playing.clear();
}

export function beep() {
    const ctx = audioContext();
    if (!ctx) return;
    const tone = ctx.createOscillator();
    const gain = ctx.createGain();
    tone.frequency.value = 880;
    gain.gain.value = 0.15;
    tone.connect(gain).connect(ctx.destination);
    tone.start();
    tone.stop(ctx.currentTime + 0.12);
}

// Decodes the three cues once a page. Resolves false when the catch cue (the first)
// cannot be had; a missing move or start cue only stays silent.
let cuesLoading = null;
export function loadCues() {
    const ctx = audioContext();
    if (!ctx) return Promise.resolve(false);
    if (!cuesLoading) {
        cuesLoading = Promise.all(
            facts.cueFiles.map((file) =>
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
