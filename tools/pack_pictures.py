#!/usr/bin/env python3
"""Packs the pictures of the handheld's face at one scale into one file, so that the page loads them in one
request: a 4-byte little-endian length, that many bytes of a JSON index
{element name: [offset, size, media type]}, then the pictures' bytes one after another
(offsets count from the end of the index). The launcher's and the about window's
pictures are left out: the page shows them as pictures of their own.

usage: pack_pictures.py OUT SCALE PICTURE_FOLDER
"""
import json
import os
import re
import struct
import sys

out, scale, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
suffix = '' if scale == 1 else f'@{scale}x'
pattern = re.compile(r'^(\w+)' + re.escape(suffix) + r'\.(jpg|bmp)$')
index, data = {}, bytearray()
for name in sorted(os.listdir(folder)):
    m = pattern.match(name)
    if not m or m.group(1) in ('Im_Piccina', 'about'):
        continue
    with open(os.path.join(folder, name), 'rb') as f:
        content = f.read()
    index[m.group(1)] = [len(data), len(content), 'image/jpeg' if m.group(2) == 'jpg' else 'image/bmp']
    data += content
head = json.dumps(index, separators=(',', ':')).encode()
with open(out, 'wb') as f:
    f.write(struct.pack('<I', len(head)) + head + data)
