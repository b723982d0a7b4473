#!/usr/bin/env python3
"""Exif blocks with an orientation tag, written by hand (ImageMagick adds none to a JPEG
that has none), and JPEG files that carry them.

  exif_orientation.py corpus DIR             the orientation reader's fuzz corpus
  exif_orientation.py tag IN.jpg OUT.jpg O [mm|ii|truncated|outside|loop|long|nolink]
  exif_orientation.py loop-tiff FILE.tif     makes IFD0's next-directory link point at IFD0
"""
import struct
import sys


def block(big, orientation, typ=3, next_ifd=0):
    """APP1 payload: "Exif\\0\\0", a TIFF header, IFD0 with Make and Orientation."""
    e = '>' if big else '<'
    tiff = (b'MM' if big else b'II') + struct.pack(e + 'HI', 42, 8) + struct.pack(e + 'H', 2)
    tiff += struct.pack(e + 'HHII', 0x010F, 2, 4, 0x00414243)
    tiff += struct.pack(e + 'HHIHH', 0x0112, typ, 1, orientation, 0) + struct.pack(e + 'I', next_ifd)
    return b'Exif\0\0' + tiff


def broken(kind, orientation=6):
    if kind == 'truncated':
        return block(True, orientation)[:17]
    if kind == 'outside':  # IFD0 offset far past the block
        b = bytearray(block(False, orientation))
        b[10] = 0x7F
        return bytes(b)
    if kind == 'long':  # the value as a LONG, filling its field
        e = '>'
        b = bytearray(block(True, 0, 4))
        b[36:40] = struct.pack(e + 'I', orientation)
        return bytes(b)
    if kind == 'nolink':  # IFD0 ends the block, without its next-directory link
        return block(False, orientation)[:-4]
    if kind == 'loop':  # entries count runs out of the block, next IFD points at itself
        b = bytearray(block(False, orientation, 3, 8))
        b[14], b[15], b[16] = 0xFF, 0xFF, 0
        return bytes(b)
    raise ValueError(kind)


def with_app1(jpeg, payload):
    assert jpeg[:2] == b'\xff\xd8'
    return jpeg[:2] + b'\xff\xe1' + struct.pack('>H', len(payload) + 2) + payload + jpeg[2:]


def loop_tiff(path):
    data = bytearray(open(path, 'rb').read())
    e = '>' if data[:2] == b'MM' else '<'
    ifd0 = struct.unpack_from(e + 'I', data, 4)[0]
    count = struct.unpack_from(e + 'H', data, ifd0)[0]
    struct.pack_into(e + 'I', data, ifd0 + 2 + 12 * count, ifd0)
    open(path, 'wb').write(bytes(data))


def main(argv):
    if argv[1] == 'loop-tiff':
        loop_tiff(argv[2])
        return
    if argv[1] == 'corpus':
        d = argv[2]
        for big in (False, True):
            for o in range(1, 9):
                open(f'{d}/{"mm" if big else "ii"}-{o}.bin', 'wb').write(block(big, o))
        for kind in ('truncated', 'outside', 'loop', 'long', 'nolink'):
            open(f'{d}/{kind}.bin', 'wb').write(broken(kind))
        open(f'{d}/value-9.bin', 'wb').write(block(True, 9))
        return
    src, dst, o = argv[2], argv[3], int(argv[4])
    kind = argv[5] if len(argv) > 5 else 'ii'
    payload = block(kind == 'mm', o) if kind in ('mm', 'ii') else broken(kind, o)
    open(dst, 'wb').write(with_app1(open(src, 'rb').read(), payload))


if __name__ == '__main__':
    main(sys.argv)
