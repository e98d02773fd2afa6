#!/usr/bin/env python3
"""Writes the three cues of assets/SOUND/: Got.wav (a catch), Move.wav (a fish
moves on) and Start.wav (a game starts).

The handheld's voice is a piezo buzzer, so each cue is made of square-wave
beeps. The squares are band-limited (poly-BLEP) so they don't alias at 22050 Hz,
every beep fades in and out over a few milliseconds so nothing clicks, and
each cue is normalised to the same peak. Nothing but additions,
multiplications and divisions goes into a sample (no library functions such as
sin), so the files come out identical on every run and every machine.

Usage: make_sounds.py [--out DIR]   (DIR defaults to assets/SOUND)
"""

import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artlib  # noqa: E402

RATE = 22050
PEAK = 0.84  # of full scale, about -1.5 dBFS
FADE = 0.004  # seconds of fade at each end of a beep


def blep(t, dt):
    """The poly-BLEP correction near a step of the square wave."""
    if t < dt:
        t /= dt
        return t + t - t * t - 1.0
    if t > 1.0 - dt:
        t = (t - 1.0) / dt
        return t * t + t + t + 1.0
    return 0.0


def beep(f0, f1, seconds, duty=0.5):
    """A square-wave beep gliding from f0 to f1 Hz, with short fades."""
    n = int(round(seconds * RATE))
    fade = max(1, int(FADE * RATE))
    out = []
    phase = 0.0
    for i in range(n):
        freq = f0 + (f1 - f0) * i / max(1, n - 1)
        dt = freq / RATE
        v = 1.0 if phase < duty else -1.0
        v += blep(phase, dt)
        t2 = phase - duty
        if t2 < 0:
            t2 += 1.0
        v -= blep(t2, dt)
        env = 1.0
        if i < fade:
            env = i / fade
        elif i >= n - fade:
            env = (n - 1 - i) / fade
        out.append(v * env)
        phase += dt
        if phase >= 1.0:
            phase -= 1.0
    return out


def rest(seconds):
    return [0.0] * int(round(seconds * RATE))


def cue_got():
    # two bright upward chirps, the second higher
    return (rest(0.002) + beep(1900, 2700, 0.065) + rest(0.035)
            + beep(2400, 3300, 0.085) + rest(0.01))


def cue_move():
    return rest(0.001) + beep(1760, 1760, 0.028) + rest(0.004)


def cue_start():
    # a rising phrase: G5 C6 E6, then a held G6
    notes = [(784, 0.085), (1047, 0.085), (1319, 0.085), (1568, 0.22)]
    out = rest(0.002)
    for i, (freq, length) in enumerate(notes):
        out += beep(freq, freq, length)
        out += rest(0.03 if i < len(notes) - 1 else 0.01)
    return out


CUES = {"Got.wav": cue_got, "Move.wav": cue_move, "Start.wav": cue_start}


def to_wav(samples):
    peak = max(abs(v) for v in samples)
    scale = PEAK * 32767 / peak
    pcm = b"".join(struct.pack("<h", int(round(v * scale))) for v in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVE"
            + b"fmt " + struct.pack("<I", 16) + fmt
            + b"data" + struct.pack("<I", len(pcm)) + pcm)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(artlib.ROOT, "assets", "SOUND"))
    args = parser.parse_args()
    for name, fn in CUES.items():
        artlib.write_bytes(os.path.join(args.out, name), to_wav(fn()))


if __name__ == "__main__":
    main()
