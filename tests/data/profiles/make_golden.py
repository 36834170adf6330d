#!/usr/bin/env python3
"""Writes the golden profile files that tst_profilefiles compares against.

A profile file is a 90-byte configuration record stored without header or checksum, with
its bytes in a fixed order that differs from the record's. FILE_ORDER below lists, for each
file byte, the record offset it holds; it is written out group by group from the layout
table, independently of the C++ code, so the tests check that code against a second source.

Files written next to this script:
  distinct.qpf    record byte k = k + 1 (every byte tells where it came from)
  new.qpf         the record a new profile starts with
  T1/T2/T3 Profile.qpf  the reserved profiles: the new record with every trigger start 0
                        and every level's end values (left, right) fixed per profile

Run: python3 tests/data/profiles/make_golden.py
"""

import os

RECORD_SIZE = 90

# Record offsets of the fields involved in more than one place.
TRIGGER_L_START, TRIGGER_L_END, TRIGGER_R_START, TRIGGER_R_END = 50, 53, 56, 59
LIGHT_AREAS = 66

FILE_ORDER = (
    list(range(0, 20))  # button map
    + [20, 21, 22]  # turbo mask, status byte, current profile
    + list(range(32, 40))  # left stick curve points
    + list(range(40, 48))  # right stick curve points
    + [27, 28, 29, 30]  # stick inside/outside, left then right
    + [23, 24, 25, 26]  # stick axis reversal
    + [31]  # curve side
    + [48]  # left trigger lock
    + [49]  # right trigger lock
    + [off for level in range(3)
       for off in (TRIGGER_L_END + level, TRIGGER_L_START + level,
                   TRIGGER_R_END + level, TRIGGER_R_START + level)]
    + [64, 65]  # motor vibration
    + [62, 63]  # trigger vibration
    + [off for area in range(4)
       for a in [LIGHT_AREAS + 6 * area]
       for off in (a, a + 3, a + 4, a + 5, a + 2, a + 1)]
)
assert sorted(FILE_ORDER) == list(range(RECORD_SIZE)), "file order must be a permutation"


def file_bytes(record):
    assert len(record) == RECORD_SIZE
    return bytes(record[off] for off in FILE_ORDER)


def new_record():
    r = [0] * RECORD_SIZE
    r[0:6] = range(0x12, 0x18)
    r[6:14] = range(0x20, 0x28)
    r[14:20] = [0x40] * 6
    curve = [20, 20, 40, 40, 60, 60, 80, 80]
    r[32:40] = curve
    r[40:48] = curve
    r[62:66] = [100] * 4
    for area in range(4):
        a = LIGHT_AREAS + 6 * area
        # brightness, speed, mode, red, green, blue
        r[a:a + 6] = [100, 0, 0, 0, 128, 0]
    return r


def reserved_record(left_end, right_end):
    r = new_record()
    for level in range(3):
        r[TRIGGER_L_START + level] = 0
        r[TRIGGER_R_START + level] = 0
        r[TRIGGER_L_END + level] = left_end
        r[TRIGGER_R_END + level] = right_end
    return r


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    files = {
        "distinct.qpf": [k + 1 for k in range(RECORD_SIZE)],
        "new.qpf": new_record(),
        "T1 Profile.qpf": reserved_record(1, 0),
        "T2 Profile.qpf": reserved_record(50, 50),
        "T3 Profile.qpf": reserved_record(100, 100),
    }
    for name, record in files.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(file_bytes(record))


if __name__ == "__main__":
    main()
