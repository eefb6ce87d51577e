#!/usr/bin/env python3
"""Packs alarm.wav into the program's data, losslessly.

    pack-alarm.py alarm.wav packed.cpp wave.cpp

packed.cpp holds the packed form that alarm_image.cpp expands (the layout is
in alarm_packing.h): the 44-byte wave header as it stands, then every 8-bit
sample predicted from the ones before it by fixed integer coefficients, the
differences between prediction and sample Rice-coded. A chime is a handful of
decaying sinusoids, which a linear predictor of this order follows to within
the rounding of the samples, so most differences are 0 or -1.

wave.cpp holds the image unchanged, for the test that checks the expansion.
The packed form is expanded here as the program does it, and the build fails
if that does not give the image back.
"""
import operator
import sys
from pathlib import Path

IMAGE_BYTES = 10164
HEADER_BYTES = 44
TAPS = 20           # AlarmPredictorTaps in alarm_packing.h
SHIFT = 12          # coefficients are fixed-point with 12 fraction bits


def signed(samples):
    return [s - 128 for s in samples]


def least_squares(x):
    """Coefficients c[0..TAPS) minimising the squared error of
    x[n] ~ sum c[j] * x[n-1-j] (samples before the start count as 0)."""
    def lagged(j):
        return [0] * j + x[:len(x) - j]
    lags = [lagged(j) for j in range(TAPS + 1)]
    a = [[float(sum(map(operator.mul, lags[i + 1], lags[j + 1]))) for j in range(TAPS)]
         for i in range(TAPS)]
    b = [float(sum(map(operator.mul, lags[0], lags[i + 1]))) for i in range(TAPS)]
    for i in range(TAPS):  # Gaussian elimination; the matrix is positive definite
        for k in range(i + 1, TAPS):
            f = a[k][i] / a[i][i]
            for j in range(i, TAPS):
                a[k][j] -= f * a[i][j]
            b[k] -= f * b[i]
    c = [0.0] * TAPS
    for i in reversed(range(TAPS)):
        c[i] = (b[i] - sum(a[i][j] * c[j] for j in range(i + 1, TAPS))) / a[i][i]
    return [int(round(v * (1 << SHIFT))) for v in c]


def predict(coefficients, x, n):
    p = 1 << (SHIFT - 1)
    for j in range(min(TAPS, n)):
        p += coefficients[j] * x[n - 1 - j]
    return p >> SHIFT


def rice_bits(codes, k):
    return sum((c >> k) + 1 + k for c in codes)


def pack(samples):
    x = signed(samples)
    coefficients = least_squares(x)
    codes = []
    for n in range(len(x)):
        r = (predict(coefficients, x, n) - x[n] + 128) % 256 - 128
        codes.append(2 * r if r >= 0 else -2 * r - 1)
    k = min(range(8), key=lambda k: rice_bits(codes, k))
    bits = []
    for c in codes:
        bits += [1] * (c >> k) + [0] + [(c >> i) & 1 for i in reversed(range(k))]
    bits += [0] * (-len(bits) % 8)
    data = bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    return coefficients, k, data


def expand(header, count, coefficients, k, data):
    """The expansion as alarm_image.cpp does it."""
    position = 0
    end = len(data) * 8

    def bit():
        nonlocal position
        if position >= end:
            return 0
        value = data[position >> 3] >> (7 - (position & 7)) & 1
        position += 1
        return value
    x = []
    for n in range(count):
        code = 0
        while bit():
            code += 1
        for _ in range(k):
            code = code << 1 | bit()
        residual = (code >> 1) ^ -(code & 1)
        x.append((predict(coefficients, x, n) - residual + 128) % 256 - 128)
    image = header + bytes(v + 128 for v in x)
    return image + bytes(IMAGE_BYTES - len(image))


def byte_lines(data):
    return ",\n".join("  " + ", ".join(f"0x{b:02x}" for b in data[i:i + 16])
                      for i in range(0, len(data), 16))


def main():
    wav, packed_out, wave_out = (Path(a) for a in sys.argv[1:4])
    image = wav.read_bytes()
    assert len(image) == IMAGE_BYTES, f"{wav}: {len(image)} bytes, the alarm image must have {IMAGE_BYTES}"
    count = int.from_bytes(image[40:44], "little")
    assert HEADER_BYTES + count <= IMAGE_BYTES and not any(image[HEADER_BYTES + count:])
    header = image[:HEADER_BYTES]
    coefficients, k, data = pack(image[HEADER_BYTES:HEADER_BYTES + count])
    assert expand(header, count, coefficients, k, data) == image, "the packed alarm image does not expand to alarm.wav"

    packed_out.write_text(
        "// Generated from alarm.wav by pack-alarm.py when the program is built.\n"
        '#include "resources/alarm/alarm_packing.h"\n\n'
        f"static_assert(AlarmPredictorTaps == {TAPS});\n\n"
        "extern const AlarmPacking AlarmPacked = {\n"
        f"  {{\n{byte_lines(header)}\n  }},\n"
        f"  {{{', '.join(map(str, coefficients))}}},\n"
        f"  {count}, {SHIFT}, {k}, {len(data)}\n}};\n\n"
        f"extern const unsigned char AlarmBits[{len(data)}] = {{\n{byte_lines(data)}\n}};\n")
    wave_out.write_text(
        "// Generated from alarm.wav by pack-alarm.py when the program is built.\n"
        '#include "resources/alarm/alarm_wave.h"\n\n'
        f"extern const unsigned char AlarmWave[{IMAGE_BYTES}] = {{\n{byte_lines(image)}\n}};\n")


if __name__ == "__main__":
    main()
