#!/usr/bin/python3
"""Which sound files a program opens, in order, seen from outside it: the kernel's inotify reports
every open of a file in the watched folder. Neither suite has a sound device to listen to, but
both platforms open the file in order to play it (Wine's winmm before it looks for a device,
libcanberra before it hands the samples to ALSA), so the order of the opens is the order of the
sounds. Nothing else may open the folder's files while they are watched.

As a module: SoundWatch(folder).Opened() gives the names opened since the last call.
As a program, for the Wine suite, whose helper cannot read inotify itself:

  sound_watch.py <folder> <log>

appends each opened name to <log> as a line of its own, as it happens, after writing nothing to
the log until the watch is in place (the log exists once the watch does); it runs until killed.
"""

import ctypes
import os
import select
import struct
import sys

IN_OPEN = 0x20
IN_NONBLOCK = 0o4000
IN_CLOEXEC = 0o2000000
HEADER = struct.Struct("iIII")  # watch, mask, cookie, length of the name


class SoundWatch:
    def __init__(self, folder):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(IN_NONBLOCK | IN_CLOEXEC)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, os.fsencode(folder), IN_OPEN) < 0:
            error = ctypes.get_errno()
            raise OSError(error, "cannot watch %s: %s" % (folder, os.strerror(error)))

    def Opened(self, wait=0.0):
        """The names opened since the last call, oldest first; waits up to `wait` seconds for
        the first when there is none yet."""
        names = []
        while select.select([self.fd], [], [], wait if not names else 0)[0]:
            try:
                data = os.read(self.fd, 65536)
            except BlockingIOError:
                break
            offset = 0
            while offset < len(data):
                _, mask, _, length = HEADER.unpack_from(data, offset)
                name = data[offset + HEADER.size:offset + HEADER.size + length].rstrip(b"\0")
                offset += HEADER.size + length
                if mask & IN_OPEN and name:
                    names.append(os.fsdecode(name))
        return names

    def Close(self):
        os.close(self.fd)


def main():
    if len(sys.argv) != 3:
        print("usage: sound_watch.py <folder> <log>", file=sys.stderr)
        return 2
    watch = SoundWatch(sys.argv[1])
    with open(sys.argv[2], "a", encoding="utf-8") as log:
        while True:
            for name in watch.Opened(wait=None):
                log.write(name + "\n")
            log.flush()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(0)
