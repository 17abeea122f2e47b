#!/usr/bin/python3
"""A file system that lies about its size, for the capacity check's tests.

It claims CLAIM bytes of free space but keeps only REAL bytes of data. Files are laid one after
another in the claimed address space, as a counterfeit stick lays them on its blocks; what
happens to an address past REAL depends on the mode:
  wrap   it lands on address mod REAL (the stick's address lines wrap)
  drop   the write vanishes and the read gives zeros
  full   the write fails with "no space" (an honest small volume)
  flip   REAL equals CLAIM, and one bit of the byte at --flip reads back inverted
Mounted with direct_io, so the kernel keeps no page cache of its own in front of it.

usage: fake_capacity_fs.py MOUNTPOINT MODE CLAIM REAL [FLIP]
"""
import errno
import stat
import sys
import time

import fusepy

BLOCK = 4096


class FakeCapacity(fusepy.Operations):
    def __init__(self, mode, claim, real, flip):
        self.mode, self.claim, self.real, self.flip = mode, claim, real, flip
        self.store = bytearray(real)
        self.files = {}  # path -> [base address, size]
        self.dirs = {"/"}
        self.cursor = 0  # the next free address

    # Data ---------------------------------------------------------------------------------
    def _pieces(self, address, length):
        """(address, length) pieces that do not cross a multiple of REAL."""
        while length > 0:
            room = self.real - address % self.real
            n = min(room, length)
            yield address, n
            address += n
            length -= n

    def write(self, path, data, offset, fh):
        base, size = self.files[path]
        address = base + offset
        if self.mode == "full" and address + len(data) > self.real:
            raise fusepy.FuseOSError(errno.ENOSPC)
        done = 0
        for at, n in self._pieces(address, len(data)):
            if at < self.real or self.mode == "wrap":
                where = at % self.real
                self.store[where:where + n] = data[done:done + n]
            done += n
        self.files[path][1] = max(size, offset + len(data))
        self.cursor = max(self.cursor, base + self.files[path][1])
        return len(data)

    def read(self, path, length, offset, fh):
        base, size = self.files[path]
        length = max(0, min(length, size - offset))
        out = bytearray(length)
        done = 0
        for at, n in self._pieces(base + offset, length):
            if at < self.real or self.mode == "wrap":
                where = at % self.real
                out[done:done + n] = self.store[where:where + n]
            done += n
        if self.mode == "flip" and base + offset <= self.flip < base + offset + length:
            out[self.flip - base - offset] ^= 0x10
        return bytes(out)

    def truncate(self, path, length, fh=None):
        self.files[path][1] = length

    # Names --------------------------------------------------------------------------------
    def getattr(self, path, fh=None):
        now = time.time()
        if path in self.dirs:
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_atime=now, st_mtime=now, st_ctime=now)
        if path in self.files:
            return dict(st_mode=stat.S_IFREG | 0o644, st_nlink=1, st_size=self.files[path][1],
                        st_atime=now, st_mtime=now, st_ctime=now)
        raise fusepy.FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        prefix = path.rstrip("/") + "/"
        names = [p[len(prefix):] for p in list(self.files) + list(self.dirs)
                 if p.startswith(prefix) and p != prefix and "/" not in p[len(prefix):]]
        return [".", ".."] + names

    def create(self, path, mode, fi=None):
        if path in self.files:
            raise fusepy.FuseOSError(errno.EEXIST)
        self.files[path] = [self.cursor, 0]
        return 0

    def open(self, path, flags):
        if path not in self.files:
            raise fusepy.FuseOSError(errno.ENOENT)
        return 0

    def unlink(self, path):
        self.files.pop(path)

    def mkdir(self, path, mode):
        self.dirs.add(path)

    def rmdir(self, path):
        if any(p.startswith(path + "/") for p in self.files):
            raise fusepy.FuseOSError(errno.ENOTEMPTY)
        self.dirs.discard(path)

    def chmod(self, path, mode):
        return 0

    def chown(self, path, uid, gid):
        return 0

    def utimens(self, path, times=None):
        return 0

    def fsync(self, path, datasync, fh):
        return 0

    def flush(self, path, fh):
        return 0

    def release(self, path, fh):
        return 0

    def statfs(self, path):
        free = max(0, self.claim - self.cursor) // BLOCK
        return dict(f_bsize=BLOCK, f_frsize=BLOCK, f_blocks=self.claim // BLOCK, f_bfree=free,
                    f_bavail=free, f_files=1000, f_ffree=1000, f_namemax=255)


def main():
    mount, mode, claim, real = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    flip = int(sys.argv[5]) if len(sys.argv) > 5 else -1
    if mode == "flip":
        real = claim
    fusepy.FUSE(FakeCapacity(mode, claim, real, flip), mount, foreground=False, nothreads=True,
                direct_io=True, big_writes=True, max_write=1 << 20, max_read=1 << 20)


if __name__ == "__main__":
    main()
