#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: seeds.py [TARGET...].

Seeds are inputs that reach the interesting paths at once (iteration with
objects freed under it, pool blocks filling and emptying, texts in the
temporary area, masks of every token, each accepted alarm form, wave images
with extra chunks). Targets that read their input through FuzzedDataProvider
take integers from the END of the data, so those seeds are built backwards.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


class Provider:
    """Builds input for FuzzedDataProvider's ConsumeIntegralInRange calls."""

    def __init__(self):
        self.consumed = []  # bytes in the order they are consumed

    def int_in_range(self, lo, hi, value):
        span = hi - lo
        assert lo <= value <= hi
        raw = value - lo
        nbytes = 0
        while nbytes < 8 and (span >> (8 * nbytes)) > 0:
            nbytes += 1
        out = [(raw >> (8 * (nbytes - 1 - i))) & 0xFF for i in range(nbytes)]
        self.consumed.extend(out)
        return self

    def boolean(self, value):
        self.consumed.append(1 if value else 0)
        return self

    def string(self, text):
        """ConsumeRandomLengthString reads from the front; a backslash is doubled."""
        self.front = getattr(self, "front", b"") + text.replace(b"\\", b"\\\\") + b"\\;"
        return self

    def data(self):
        return getattr(self, "front", b"") + bytes(reversed(self.consumed))


def write(target, name, data):
    folder = os.path.join(HERE, target, "corpus")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- objects ----------------------------------------------------------------
# Op codes of fuzz_objects.cpp.
ALLOC, ALLOC_HUGE, ALLOC_AUTO, LOOKUP, RELEASE, LIB_FREE, REWIND, NEXT, CLEAR, CHECK_ALL, DRAIN, PALLOC, PFREE, PCHECK = (
    0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15)


def objects_header(p, record_words, grow, hook, element, min_block, max_block):
    p.int_in_range(1, 12, record_words).int_in_range(1, 40, grow).boolean(hook)
    p.int_in_range(0, 200, element).int_in_range(1, 48, min_block)
    p.int_in_range(min_block, min_block + 300, max_block)


def op(p, code):
    p.int_in_range(0, 15, code)


def alloc(p, grow, n):
    op(p, ALLOC)
    p.int_in_range(0, 3 * grow + 60, n)


def auto_kind(p, kind, index, count):
    """A PickNumber choice of kind 1 (live handle) or 2 (stale handle)."""
    p.int_in_range(0, 7, kind)
    if count:
        p.int_in_range(0, count - 1, index)


def objects_seeds():
    # Growth, lookups of every kind, a full check.
    p = Provider()
    objects_header(p, 2, 16, True, 20, 16, 256)
    for n in (0, 5, 15, 16, 3, 5):
        alloc(p, 16, n)
    for _ in range(3):
        op(p, ALLOC_AUTO)
    for kind in range(8):
        op(p, LOOKUP)
        p.int_in_range(0, 7, kind)
        if kind == 0:
            p.int_in_range(0, 400, 16)
        elif kind in (1, 3):
            p.int_in_range(0, 2, 1)
            if kind == 3:
                p.int_in_range(-32, 32, 8)
        elif kind == 4:
            p.int_in_range(-(1 << 63), (1 << 63) - 1, 12345678)
        elif kind == 5:
            p.int_in_range(1, 1000, 1)
        elif kind == 6:
            p.int_in_range(0, 256, 16)
    op(p, CHECK_ALL)
    write("objects", "growth-and-lookups", p.data())

    # Slots 0 and 5, AutoNumber A then B; iterate, releasing A before it is reached.
    p = Provider()
    objects_header(p, 3, 8, False, 8, 4, 64)
    alloc(p, 8, 0)
    alloc(p, 8, 5)
    op(p, ALLOC_AUTO)
    op(p, ALLOC_AUTO)
    op(p, REWIND)
    op(p, NEXT); p.boolean(False)
    op(p, RELEASE); auto_kind(p, 1, 0, 2)
    for _ in range(4):
        op(p, NEXT); p.boolean(True)
    op(p, REWIND)
    op(p, NEXT); p.boolean(False)
    op(p, CHECK_ALL)
    write("objects", "iteration-release-ahead", p.data())

    # The end function with the hook, then stale handles looked up.
    p = Provider()
    objects_header(p, 1, 4, True, 0, 1, 1)
    for n in (1, 2, 9):
        alloc(p, 4, n)
    for _ in range(4):
        op(p, ALLOC_AUTO)
    op(p, CLEAR); p.int_in_range(0, 3, 2)
    op(p, LIB_FREE); auto_kind(p, 1, 0, 4)
    op(p, DRAIN)
    op(p, LOOKUP); auto_kind(p, 2, 0, 1)
    op(p, ALLOC_AUTO)
    op(p, LOOKUP); auto_kind(p, 2, 0, 1)
    write("objects", "drain-and-stale", p.data())

    # Numbers whose slot array cannot be had.
    p = Provider()
    objects_header(p, 12, 40, True, 4, 2, 2)
    for k in range(5):
        op(p, ALLOC_HUGE); p.int_in_range(0, 4, k)
        if k == 4:
            p.int_in_range(31, 62, 40)
    alloc(p, 40, 179)
    op(p, CHECK_ALL)
    write("objects", "huge-numbers", p.data())

    # The pool: blocks filling, a full block reopened, blocks emptied.
    p = Provider()
    objects_header(p, 1, 1, False, 20, 16, 256)
    live = 0
    for _ in range(40):
        op(p, PALLOC); live += 1
    op(p, PCHECK)
    for i in (3, 20, 0, 0, 1):
        op(p, PFREE); p.int_in_range(0, live - 1, i); live -= 1
    for _ in range(3):
        op(p, PALLOC); live += 1
    op(p, PCHECK)
    for _ in range(20):
        op(p, PFREE); p.int_in_range(0, live - 1, live - 1); live -= 1
    op(p, PCHECK)
    write("objects", "pool-blocks", p.data())

    # One-element blocks.
    p = Provider()
    objects_header(p, 1, 1, False, 0, 1, 1)
    for _ in range(5):
        op(p, PALLOC)
    op(p, PFREE); p.int_in_range(0, 4, 2)
    op(p, PALLOC)
    op(p, PCHECK)
    write("objects", "pool-single", p.data())


# ---- strings --------------------------------------------------------------
PIECE, APPEND, STORE, ASSIGN, COMPARE, SETTOP = 0, 3, 4, 5, 6, 7
NULL_TEXT, OUTSIDE, IN_AREA, TAIL = 0, 1, 2, 3


def strings_sources(p, texts):
    p.int_in_range(1, 4, len(texts))
    for text, repeat in texts:
        p.string(text)
        p.boolean(repeat > 1)
        if repeat > 1:
            p.int_in_range(1, 2000, repeat)


def place(p, nsources, source, where, tail_from=None, area_size=None):
    p.int_in_range(0, nsources - 1, source).int_in_range(0, 3, where)
    if where == TAIL and area_size:
        p.int_in_range(0, area_size - 1, tail_from)


def count(p, length, value):
    """PickCount: small values relative to the length, else any 32-bit value."""
    if -3 <= value <= length + 3:
        p.int_in_range(0, 3, 0).int_in_range(-3, length + 3, value)
    else:
        p.int_in_range(0, 3, 1).int_in_range(-(1 << 31), (1 << 31) - 1, value)


def strings_seeds():
    texts = [(b"abcdef", 1), (b"0123456789", 1500)]
    # Pieces of a text inside the area while the area grows under them.
    p = Provider()
    strings_sources(p, texts)
    p.int_in_range(0, 7, PIECE).int_in_range(0, 2, 0)
    place(p, 2, 1, IN_AREA)
    count(p, 15000, 14000)
    p.boolean(False)
    p.int_in_range(0, 7, PIECE).int_in_range(0, 2, 2)
    place(p, 2, 0, IN_AREA)
    count(p, 6, 3)
    count(p, 6, 2)
    p.boolean(False)
    p.int_in_range(0, 7, PIECE).int_in_range(0, 2, 1)
    place(p, 2, 1, OUTSIDE)
    count(p, 15000, 1 << 30)
    p.boolean(True)
    p.int_in_range(0, 7, STORE).int_in_range(0, 29015, 7)
    write("strings", "pieces-across-growth", p.data())

    # Every edge of StrMid on abcdef, with the text outside the area.
    p = Provider()
    strings_sources(p, [(b"abcdef", 1)])
    for s, n in ((3, 2), (0, 2), (1, 2), (6, 5), (7, 1), (3, 0), (3, -1), (-5, 3), ((1 << 31) - 1, 4), (2, (1 << 31) - 1)):
        p.int_in_range(0, 7, PIECE).int_in_range(0, 2, 2)
        place(p, 1, 0, OUTSIDE)
        count(p, 6, s)
        count(p, 6, n)
        p.boolean(True)
    for which in (0, 1):
        for n in (0, -1, 4, 6, 7, -(1 << 31)):
            p.int_in_range(0, 7, PIECE).int_in_range(0, 2, which)
            place(p, 1, 0, OUTSIDE)
            count(p, 6, n)
            p.boolean(True)
    write("strings", "mid-left-right-edges", p.data())

    # Null texts, appends, the variable assigned from its own text.
    p = Provider()
    strings_sources(p, [(b"Montag", 1), (b"\xe4\xf6\xfc", 3)])
    p.int_in_range(0, 7, APPEND); place(p, 2, 0, OUTSIDE)
    p.int_in_range(0, 7, APPEND); place(p, 2, 1, TAIL, 2, 6)
    p.int_in_range(0, 7, PIECE).int_in_range(0, 2, 0); place(p, 2, 0, NULL_TEXT); count(p, 0, 3); p.boolean(False)
    p.int_in_range(0, 7, STORE).int_in_range(0, 10, 0)
    p.int_in_range(0, 7, ASSIGN).boolean(True).int_in_range(0, 10, 3)
    p.int_in_range(0, 7, COMPARE); place(p, 2, 0, OUTSIDE)
    p.int_in_range(0, 7, ASSIGN).boolean(False); place(p, 2, 0, NULL_TEXT)
    p.int_in_range(0, 7, COMPARE); place(p, 2, 0, NULL_TEXT)
    write("strings", "append-store-assign", p.data())


def strval_seeds():
    rows = [b"7a", b" 7", b"\t-12", b"+3", b"-", b"- 5", b"--5", b"12 34", b"$ff", b"$FF", b"%101", b"%102",
            b"0x1F", b"", b"18446744073709551615", b"99999999999999999999", b"-$8000000000000000",
            b"$123456789abcdef0123", b"%" + b"1" * 70, b" \t +$7fffffffffffffff", b"12\xb2"]
    for i, row in enumerate(rows):
        write("strval", "row%02d" % i, row)


# ---- dateformat -------------------------------------------------------------
MONDAY = 1796634782  # Monday 7 December 2026, 09:13:02
LAST_DATE = 253402300799  # 9999-12-31 23:59:59


def dateformat_call(p, mask, date, where, drop, repeat=1):
    p.string(mask)
    p.boolean(repeat > 1)
    if repeat > 1:
        p.int_in_range(1, 4000, repeat)
    if -2 <= date <= 2:
        p.int_in_range(0, 4, 1).int_in_range(-2, 2, date)
    else:
        p.int_in_range(0, 4, 0).int_in_range(-(1 << 63), (1 << 63) - 1, date)
    p.boolean(False)
    p.int_in_range(0, 2, where)
    p.boolean(drop)


def dateformat_seeds():
    p = Provider()
    dateformat_call(p, b" %dd.%mm.%yyyy", MONDAY, 0, False)
    dateformat_call(p, b"%hh:%ii:%ss", MONDAY, 1, False)
    dateformat_call(p, b" %dd.%mm.%yyyy", -1, 1, True)
    write("dateformat", "clock-masks", p.data())

    p = Provider()
    dateformat_call(p, b"%YYYY %Dd %HH %yyy %% %%dd %x %m %", MONDAY, 0, False)
    dateformat_call(p, b"%yy%YY%mM%Ss%iI%hH", (1 << 31) - 1, 1, False)
    dateformat_call(p, b"", 0, 2, False)
    dateformat_call(p, b"%yyyy-%mm-%dd %hh:%ii:%ss", 4107542400, 0, False)  # 2100-03-01
    dateformat_call(p, b"%yyyy-%mm-%dd %hh:%ii:%ss", LAST_DATE, 0, False)
    write("dateformat", "tokens-any-case", p.data())

    p = Provider()
    dateformat_call(p, b"%yyyy-%mm-%dd %hh:%ii:%ss|", MONDAY, 1, False, repeat=900)
    dateformat_call(p, b"%dd", 86399, 0, False, repeat=3000)
    write("dateformat", "long-output", p.data())


# ---- alarm ------------------------------------------------------------------
def alarm_seeds():
    midnight = MONDAY - (9 * 3600 + 13 * 60 + 2)
    rows = [(b"7", 7 * 3600), (b"07", 7 * 3600), (b"7:", 0), (b"1230", 0), (b"12:3", 0),
            (b"12:30", 12 * 3600 + 30 * 60), (b"123000", 12 * 3600 + 30 * 60), (b"12:30:15", 45015),
            (b"12-30-15", 45015), (b"25", 0), (b"25:00", 0), (b"12:60", 0), (b"12:00:60", 0), (b"-1", 0),
            (b"24", 0), (b"12.30", 12 * 3600 + 30 * 60), (b" 7", 0), (b"+7", 0), (b"ab", 0), (b"1:234", 0), (b"", 0),
            (b"123", 0), (b"1234567", 0), (b"123456789", 0), (b"$f", 0), (b"%1:%1:%1", 0), (b"\xff\x80", 0),
            (b"12345", 12 * 3600 + 45 * 60), (b"2a", 0), (b"1x:30", 0), (b"24:00", 0), (b"23:59:59", 86399)]
    for i, (entry, second_of_day) in enumerate(rows):
        p = Provider()
        p.boolean(i % 2 == 0).int_in_range(0, LAST_DATE - 2 * 86400, midnight + second_of_day)
        write("alarm", "row%02d" % i, entry + p.data())


# ---- wave -------------------------------------------------------------------
def chunk(tag, body, size=None, pad=True):
    size = len(body) if size is None else size
    return tag + struct.pack("<I", size) + body + (b"\0" if pad and len(body) % 2 else b"")


def riff(body, size=None):
    return b"RIFF" + struct.pack("<I", len(body) + 4 if size is None else size) + b"WAVE" + body


PCM = struct.pack("<HHIIHH", 1, 1, 11025, 11025, 1, 8)


def wave_seeds():
    samples = bytes((128 + (40 if (i // 12) % 2 else -40)) & 0xFF for i in range(300))
    write("wave", "pcm-mono-8bit", riff(chunk(b"fmt ", PCM) + chunk(b"data", samples[:201])))
    write("wave", "fmt-18-bytes", riff(chunk(b"fmt ", PCM + b"\0\0") + chunk(b"data", samples[:64])))
    write("wave", "list-before-data", riff(chunk(b"fmt ", PCM) + chunk(b"LIST", b"INFOISFT\x03\0\0\0ab\0") + chunk(b"data", samples[:50])))
    write("wave", "odd-chunk-padded", riff(chunk(b"fmt ", PCM) + chunk(b"junk", b"abc") + chunk(b"data", samples[:9])))
    extensible = struct.pack("<HHIIHHH", 0xFFFE, 2, 44100, 176400, 4, 16, 22) + bytes(22)
    write("wave", "extensible-format", riff(chunk(b"fmt ", extensible) + chunk(b"data", samples[:32])))
    write("wave", "format-cbsize-too-big", riff(chunk(b"fmt ", struct.pack("<HHIIHHH", 2, 1, 8000, 4000, 1, 4, 200)) + chunk(b"data", samples[:8])))
    write("wave", "rifx", b"RIFX" + riff(chunk(b"fmt ", PCM) + chunk(b"data", samples[:8]))[4:])
    write("wave", "fmt-not-first", riff(chunk(b"LIST", b"xx") + chunk(b"fmt ", PCM) + chunk(b"data", samples[:8])))
    write("wave", "no-data", riff(chunk(b"fmt ", PCM) + chunk(b"LIST", b"xxxx")))
    write("wave", "data-too-long", riff(chunk(b"fmt ", PCM) + chunk(b"data", samples[:8], size=4000)))
    write("wave", "chunk-size-wraps", riff(chunk(b"fmt ", PCM) + chunk(b"LIST", b"", size=0xFFFFFFF8) + chunk(b"data", samples[:8])))
    whole = riff(chunk(b"fmt ", PCM) + chunk(b"data", samples[:100]))
    write("wave", "riff-size-short", whole[:4] + struct.pack("<I", 40) + whole[8:])
    write("wave", "truncated", whole[:30])
    write("wave", "data-below-device-minimum", riff(chunk(b"fmt ", PCM) + chunk(b"data", b"X")))


TARGETS = {"objects": objects_seeds, "strings": strings_seeds, "strval": strval_seeds,
           "dateformat": dateformat_seeds, "alarm": alarm_seeds, "wave": wave_seeds}

if __name__ == "__main__":
    for name in sys.argv[1:] or TARGETS:
        TARGETS[name]()
