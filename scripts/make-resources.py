#!/usr/bin/env python3
"""Writes the program's own sounds and application icon into ui/resources, and the icon in the
desktop's sizes into packaging/icons (run once by hand)."""
import math
import os
import struct
import wave
import zlib

HERE = os.path.join(os.path.dirname(__file__), '..', 'ui', 'resources')
RATE = 22050


def tone(path, notes):
    """notes: list of (frequency Hz, seconds); 0 Hz is a rest."""
    frames = bytearray()
    for freq, seconds in notes:
        count = int(RATE * seconds)
        for i in range(count):
            fade = min(1.0, i / 200.0, (count - i) / 400.0)
            value = 0.0 if freq == 0 else math.sin(2 * math.pi * freq * i / RATE) * 0.45 * fade
            frames += struct.pack('<h', int(value * 32767))
    with wave.open(path, 'wb') as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def png(path, size):
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            dx, dy = x - size / 2 + 0.5, y - size / 2 + 0.5
            inside = dx * dx + dy * dy <= (size / 2 - 1) ** 2
            star = abs(dx) + abs(dy) < size * 0.28
            if not inside:
                row += bytes([0, 0, 0, 0])
            elif star:
                row += bytes([255, 215, 64, 255])
            else:
                row += bytes([150, 20, 30, 255])
        rows.append(bytes(row))
    raw = zlib.compress(b''.join(rows), 9)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', raw) + chunk(b'IEND', b''))


tone(os.path.join(HERE, 'sounds', '151.wav'), [(880, 0.12), (0, 0.05), (1175, 0.18), (0, 0.6)])
tone(os.path.join(HERE, 'sounds', '198.wav'), [(1320, 0.1), (0, 0.08), (1320, 0.1), (0, 0.5)])
tone(os.path.join(HERE, 'sounds', '190.wav'), [(660, 0.08), (990, 0.16)])
tone(os.path.join(HERE, 'sounds', '192.wav'), [(520, 0.12)])
png(os.path.join(HERE, 'icons', 'app.png'), 32)

# The desktop's icon theme picks the nearest size; these are the hicolor sizes menus and docks ask for.
PACKAGING = os.path.join(os.path.dirname(__file__), '..', 'packaging', 'icons')
for size in (16, 24, 32, 48, 64, 128, 256):
    png(os.path.join(PACKAGING, '%d.png' % size), size)
