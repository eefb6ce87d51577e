#!/usr/bin/env python3
"""Makes alarm.wav, the clock's built-in alarm sound.

A two-tone chime (E6, C6, E6, C6) with a soft attack on every strike, ringing
tails that overlap the next strike, and a short fade at the very end, so the
sound starts and stops without a click. 8-bit unsigned mono PCM at 11025 Hz,
10119 samples, written with the exact header layout the program expects.
"""
import math
import struct
import sys
from pathlib import Path

RATE = 11025
SAMPLES = 10119
STRIKES = [1318.51, 1046.50, 1318.51, 1046.50]  # E6, C6, E6, C6
ATTACK = 0.006      # seconds of raised-cosine rise per strike
DECAY = 0.16        # time constant of the ringing tail
FADE = 0.030        # raised-cosine fade over the last samples
PEAK = 100          # largest deviation from 128, well inside 0..255


def chime(t, frequency):
    """One strike at time t after its start: a bell-like partial mix."""
    if t < 0:
        return 0.0
    rise = 0.5 - 0.5 * math.cos(math.pi * t / ATTACK) if t < ATTACK else 1.0
    ring = math.exp(-t / DECAY)
    tone = (math.sin(2 * math.pi * frequency * t)
            + 0.35 * math.sin(2 * math.pi * 2 * frequency * t)
            + 0.12 * math.sin(2 * math.pi * 3 * frequency * t) * math.exp(-t / 0.05))
    return rise * ring * tone


def samples():
    spacing = SAMPLES / len(STRIKES) / RATE
    raw = []
    for n in range(SAMPLES):
        t = n / RATE
        value = sum(chime(t - i * spacing, f) for i, f in enumerate(STRIKES))
        left = (SAMPLES - 1 - n) / RATE
        if left < FADE:
            value *= 0.5 - 0.5 * math.cos(math.pi * left / FADE)
        raw.append(value)
    scale = PEAK / max(abs(v) for v in raw)
    return bytes(128 + int(round(v * scale)) for v in raw)


def image(data):
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    pad = b"\0" if len(data) % 2 else b""
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"data" + struct.pack("<I", len(data)) + data + pad)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("alarm.wav")
    wav = image(samples())
    assert len(wav) == 10164, len(wav)
    out.write_bytes(wav)


if __name__ == "__main__":
    main()
