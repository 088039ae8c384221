#!/usr/bin/env python3
"""Writes the hostile workbooks next to this script (and into fuzz/seeds/workbook/).

Each is small on disk and was, before the readers bounded their work, enough to hang
the reader or to exhaust memory:

  hostile-fat-loop.xls     OLE2 container whose directory chain points at itself, with
                           many root-like entries, each of which made the reader walk the
                           loop again
  hostile-spaces.ods       cells made of <text:s text:c="1000"/> elements, a thousand
                           spaces each for 22 bytes of XML
  hostile-dimensions.xls   alters-xlwt.xls with its sheets claiming 65536 x 256 cells

Run from anywhere: python3 tests/data/sheets/make_hostile.py
"""
import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, "..", "..", "..", "fuzz", "seeds", "workbook")


def fat_loop():
    size = 4096
    header = bytearray(size)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHH", header, 0x18, 0x3E, 4, 0xFFFE, 12)  # version 4, 4096-byte sectors
    struct.pack_into("<H", header, 0x20, 6)
    struct.pack_into("<I", header, 0x2C, 1)  # one FAT sector
    struct.pack_into("<I", header, 0x30, 1)  # directory starts at sector 1
    struct.pack_into("<I", header, 0x38, 4096)
    struct.pack_into("<IIII", header, 0x3C, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
    for i in range(109):
        struct.pack_into("<I", header, 0x4C + i * 4, 0 if i == 0 else 0xFFFFFFFF)
    fat = bytearray(b"\xff" * size)
    struct.pack_into("<III", fat, 0, 0xFFFFFFFD, 1, 0xFFFFFFFE)  # sector 1 follows itself
    directory = bytearray(size)
    for e in range(size // 128):
        entry = bytearray(128)
        name = "Root Entry".encode("utf-16-le") + b"\0\0"
        entry[0:len(name)] = name
        struct.pack_into("<HB", entry, 0x40, len(name), 5)
        struct.pack_into("<II", entry, 0x74, 1, 1 << 20)  # its stream: the looping chain
        directory[e * 128:(e + 1) * 128] = entry
    return bytes(header + fat + directory + bytes(size))


def spaces():
    space = b'<text:s text:c="1000"/>'
    cell = (b'<table:table-cell office:value-type="string"><text:p>'
            + space * 60000 + b"</text:p></table:table-cell>")
    content = (b'<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
               b'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
               b'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0">'
               b'<office:body><office:spreadsheet><table:table table:name="T">'
               + (b"<table:table-row>" + cell * 4 + b"</table:table-row>") * 2
               + b"</table:table></office:spreadsheet></office:body></office:document-content>")
    path = os.path.join(HERE, "hostile-spaces.ods")
    with zipfile.ZipFile(path, "w") as z:
        z.writestr("mimetype", "application/vnd.oasis.opendocument.spreadsheet", zipfile.ZIP_STORED)
        z.writestr("content.xml", content, zipfile.ZIP_DEFLATED, compresslevel=9)
    with open(path, "rb") as f:
        return f.read()


def dimensions():
    with open(os.path.join(HERE, "alters-xlwt.xls"), "rb") as f:
        data = bytearray(f.read())
    record = b"\x00\x02\x0e\x00"  # DIMENSIONS, 14 bytes
    at = data.find(record)
    found = 0
    while at >= 0:
        struct.pack_into("<IIHH", data, at + 4, 0, 65536, 0, 256)
        found += 1
        at = data.find(record, at + 4)
    assert found >= 2, "no DIMENSIONS records found"
    return bytes(data)


def main():
    os.makedirs(SEEDS, exist_ok=True)
    files = {"hostile-fat-loop.xls": fat_loop(), "hostile-spaces.ods": spaces(),
             "hostile-dimensions.xls": dimensions()}
    for name, data in files.items():
        for folder in (HERE, SEEDS):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        print(name, len(data), "bytes")


if __name__ == "__main__":
    main()
