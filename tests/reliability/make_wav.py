"""Writes an 8-bit PCM WAVE file of any rate and channel count, sane or not.

    make_wav.py FILE RATE CHANNELS BYTES
"""
import struct
import sys

path, rate, channels, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * channels, channels, 8)
data = bytes(128 + (i % 64) for i in range(size))
body = b"WAVEfmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", size) + data
with open(path, "wb") as out:
    out.write(b"RIFF" + struct.pack("<I", len(body)) + body)
