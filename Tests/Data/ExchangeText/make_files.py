#!/usr/bin/env python3
"""Writes the exchange texts of the encoding tests with Python's own codecs, so that the reader is
checked against an encoder that is not ours. Run it from anywhere; the files land beside it and
are committed as they are."""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
HEADER = "Unique ID\tName\tStart\tFinish\r"

# One schedule, its names full of letters that Windows-1252 and UTF-8 write differently.
SCHEDULE = HEADER + (
    "1\tB_Gerüst\t25/04/2027\t30/04/2027\r"
    "2\tF_Façade – phase 2\t03/05/2027\t14/05/2027\r"
    "3\tR_Kosten €\t17/05/2027\t\r"
    "4\tT_Straße, Café\t18/05/2027\t19/05/2027\r"
)
# Only 03/04/05: every order of day, month and year fits, so the reader must ask.
ASK = HEADER + "1\tB_Gerüst\t03/04/05\t03/04/05\r"
# 25/13/99 fits no order.
NO_ORDER = HEADER + "1\tB_Gerüst\t25/13/99\t25/13/99\r"
# Microsoft Project's German column names: not ours.
FOREIGN = "Nr.\tVorgangsname\tAnfang\tFertig stellen\r1\tB_Gerüst\t25/04/2027\t30/04/2027\r"
# Control characters, NUL and (UTF-16 only) lone surrogates in names.
HOSTILE = HEADER + (
    "1\tB_Steu\x01er\x1f\x7f\t25/04/2027\t\r"
    "2\tB_Vorher\x00Nachher\t26/04/2027\t\r"
    "3\tB_Café\t27/04/2027\t\r"
)
HOSTILE_UTF16 = HOSTILE + (
    "4\tB_Hoch\ud800 allein\t28/04/2027\t\r"
    "5\tB_\udc00tief\t29/04/2027\t\r"
)


def encoded(text, encoding):
    if encoding == "utf-8":
        return text.encode("utf-8")
    if encoding == "utf-8-mark":
        return text.encode("utf-8-sig")
    if encoding == "windows-1252":
        return text.encode("cp1252")
    if encoding == "utf-16le":
        return ("\ufeff" + text).encode("utf-16-le", "surrogatepass")
    if encoding == "utf-16be":
        return ("\ufeff" + text).encode("utf-16-be", "surrogatepass")
    raise ValueError(encoding)


def write(name, data):
    (HERE / name).write_bytes(data)


ALL = ["utf-8", "utf-8-mark", "windows-1252", "utf-16le", "utf-16be"]
for encoding in ALL:
    write(f"schedule.{encoding}.txt", encoded(SCHEDULE, encoding))
    write(f"ask.{encoding}.txt", encoded(ASK, encoding))
    write(f"no-order.{encoding}.txt", encoded(NO_ORDER, encoding))
    write(f"foreign.{encoding}.txt", encoded(FOREIGN, encoding))
for encoding in ["utf-16le", "utf-16be", "windows-1252"]:
    write(f"schedule-crlf.{encoding}.txt", encoded(SCHEDULE.replace("\r", "\r\n"), encoding))
write("hostile.windows-1252.txt", encoded(HOSTILE, "windows-1252"))
for encoding in ["utf-16le", "utf-16be"]:
    write(f"hostile.{encoding}.txt", encoded(HOSTILE_UTF16, encoding))

# Every byte from 80 to FF in names, the five undefined ones among them; beside it the same
# schedule as Python reads it (an undefined byte as U+FFFD), in UTF-8.
rows = b"".join(
    b"%d\tB_x" % (1 + row) + bytes(range(0x80 + 16 * row, 0x90 + 16 * row)) + b"x\t25/04/2027\t\r"
    for row in range(8)
)
every_byte = HEADER.encode("ascii") + rows
write("every-byte.windows-1252.txt", every_byte)
write("every-byte.utf-8.txt", every_byte.decode("cp1252", errors="replace").encode("utf-8"))
