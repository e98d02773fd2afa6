"""Notes what happens to the files of some folders, until ended by SIGTERM:
    file_events.py LOG FOLDER...
Each event is one line of LOG: "open FOLDER/NAME" when a file is opened, "written
FOLDER/NAME" when a file opened for writing is closed or a file is renamed into place.
LOG holds the line "ready" once every folder is watched.
"""
import ctypes
import os
import signal
import struct
import sys

IN_OPEN, IN_CLOSE_WRITE, IN_MOVED_TO = 0x20, 0x08, 0x80

libc = ctypes.CDLL(None, use_errno=True)
log = open(sys.argv[1], "w", buffering=1)
fd = libc.inotify_init1(os.O_CLOEXEC)
if fd < 0:
    sys.exit("inotify: %s" % os.strerror(ctypes.get_errno()))
folders = {}
for folder in sys.argv[2:]:
    wd = libc.inotify_add_watch(fd, folder.encode(), IN_OPEN | IN_CLOSE_WRITE | IN_MOVED_TO)
    if wd < 0:
        sys.exit("%s: %s" % (folder, os.strerror(ctypes.get_errno())))
    folders[wd] = folder
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
log.write("ready\n")

header = struct.Struct("iIII")
while True:
    data = os.read(fd, 65536)
    at = 0
    while at < len(data):
        wd, mask, _, length = header.unpack_from(data, at)
        name = data[at + header.size:at + header.size + length].rstrip(b"\0").decode()
        at += header.size + length
        what = "open" if mask & IN_OPEN else "written"
        log.write("%s %s/%s\n" % (what, folders.get(wd, "?"), name))
