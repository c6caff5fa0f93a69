#!/usr/bin/env python3
"""Packs the dialog layout into DLGTEMPLATEEX bytes, one file per dialog.

A resource compiler adds style bits and spellings of its own (class names as
strings, -1 ids widened); packing the bytes here keeps them exactly as laid
out. Usage: make_dialog_templates.py OUTPUT_FOLDER
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ui"))
from dialog_layout import DIALOGS  # noqa: E402

PREDEFINED_CLASSES = {"Button": 0x0080, "Edit": 0x0081, "Static": 0x0082}


def text(value):
    return value.encode("utf-16-le") + b"\0\0"


def name_or_number(value):
    if isinstance(value, int):
        return struct.pack("<HH", 0xFFFF, value)
    return text(value)


def align4(data):
    return data + b"\0" * (-len(data) % 4)


def pack_dialog(dialog):
    x, y, w, h = dialog["rect"]
    out = struct.pack("<HHIIIHhhhh", 1, 0xFFFF, 0, dialog["exstyle"], dialog["style"],
                      len(dialog["controls"]), x, y, w, h)
    out += b"\0\0" + b"\0\0" + text(dialog["caption"])  # no menu, no class
    points, weight, italic, charset, face = dialog["font"]
    out += struct.pack("<HHBB", points, weight, italic, charset) + text(face)
    for (cid, cls, caption, cx, cy, cw, ch, style, exstyle) in dialog["controls"]:
        out = align4(out)
        out += struct.pack("<IIIhhhhI", 0, exstyle, style, cx, cy, cw, ch, cid)
        out += name_or_number(PREDEFINED_CLASSES.get(cls, cls))
        out += name_or_number(caption)
        out += struct.pack("<H", 0)  # no extra data
    return out


def main():
    folder = sys.argv[1]
    for dialog in DIALOGS:
        with open(os.path.join(folder, "dialog%d.bin" % dialog["id"]), "wb") as f:
            f.write(pack_dialog(dialog))


if __name__ == "__main__":
    main()
