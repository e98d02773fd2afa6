"""Checks the disk driver's recording of a game A start: 16-bit stereo at 22050 Hz.

The start cue begins with the first sound; the move cue of the first fish falls 1.11 s
after the key (150 ms start step, then 8 ticks of 120 ms). Between the end of the start
cue and the first miss (1.95 s) nothing else can sound.
    heard.py RECORDING yes|no
"""
import array
import sys

RATE = 22050
START_CUE = 0.577

samples = array.array("h")
with open(sys.argv[1], "rb") as f:
    samples.frombytes(f.read())
if sys.byteorder == "big":
    samples.byteswap()
frames = [max(abs(samples[i]), abs(samples[i + 1])) for i in range(0, len(samples) - 1, 2)]
first = next((i for i, v in enumerate(frames) if v > 0), None)
if first is None:
    sys.exit("no start cue recorded")
lo, hi = first + int((START_CUE + 0.15) * RATE), first + int(1.8 * RATE)
if len(frames) < hi:
    sys.exit("recording too short: %.2f s after the start cue" % ((len(frames) - first) / RATE))
loud = [i for i in range(lo, hi) if frames[i] > 0]
heard = "yes" if loud else "no"
where = " (from %.2f s after the start cue)" % ((loud[0] - first) / RATE) if loud else ""
print("move cue heard: %s%s" % (heard, where))
sys.exit(0 if heard == sys.argv[2] else 1)
