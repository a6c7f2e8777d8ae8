#!/usr/bin/env python3
"""Writes the stand-in firmware images into payload/images.

The real release 4.4 images are not ours to ship. These stand-ins have the exact
shape of the release: the same sizes, the same empty and non-empty pages, the
same all-zero pages, so an update sends the same frames. Contents are a fixed
pseudo-random sequence: running this again writes the same bytes.
"""
import os
import sys

PAGE = 1024


class Bytes:
    """A small linear congruential generator; deterministic across machines."""

    def __init__(self, state):
        self.state = state

    def take(self, n, avoid_ff=True):
        out = bytearray()
        for _ in range(n):
            self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
            b = (self.state >> 16) & 0xFF
            if avoid_ff and b == 0xFF:
                b = 0x5A
            out.append(b)
        return out


def loader(gen):
    # The last 716 bytes are erased flash (0xFF): chunks 10 and 11 entirely.
    return gen.take(3072 - 716) + b"\xff" * 716


def bank_df(gen):
    image = bytearray(b"\xff" * 32 * PAGE)
    image[0:18] = gen.take(18)  # page 0: data only in its first 18 bytes
    for page in list(range(8, 22)) + [24, 25]:
        image[page * PAGE:(page + 1) * PAGE] = gen.take(PAGE)
    for page in range(26, 32):
        image[page * PAGE:(page + 1) * PAGE] = b"\x00" * PAGE
    return image


def bank_fc(gen):
    return gen.take(64 * PAGE)


def bank_empty(_gen):
    return bytearray(b"\xff" * 64 * PAGE)


def bank_ff(gen):
    image = bytearray(b"\xff" * 64 * PAGE)
    first, last = 0xFE88, 0xFFDE
    image[first:last + 1] = gen.take(last - first + 1)
    # 295 bytes other than 0xFF in that range: blank out every seventh inner byte
    # until the count fits.
    offset = first + 3
    while sum(1 for b in image[first:last + 1] if b != 0xFF) > 295:
        image[offset] = 0xFF
        offset += 7
    return image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "images")
    os.makedirs(out, exist_ok=True)
    gen = Bytes(0x44)
    for name, make in [("loader.bin", loader), ("bank_df.bin", bank_df),
                       ("bank_fc.bin", bank_fc), ("bank_fd.bin", bank_empty),
                       ("bank_fe.bin", bank_empty), ("bank_ff.bin", bank_ff)]:
        with open(os.path.join(out, name), "wb") as f:
            f.write(make(gen))


if __name__ == "__main__":
    main()
