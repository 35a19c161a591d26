#!/usr/bin/env python3
"""Prints the rows of a spool folder's job and detail tables as stable text: one "column = value"
line per non-empty column: columns as stored, rich-text and layout blobs from Windows-1252,
other bytes in hex.
The time of the run and the workstation are replaced by fixed words, so that two runs of the same
list at different times and on different machines give the same text.
    spool_rows.py SPOOL_DIRECTORY"""
import re
import sqlite3
import sys

TIME = re.compile(r"\d{2}([._])\d{2}\1\d{4}([ _])\d{2}([:_])\d{2}(\3\d{2})?")
TEXT_BLOBS = {"HTEXT", "FTEXT", "DATAGRIDDATA"}


def masked(text):
    return TIME.sub("ZEIT", text)


def value_text(column, value):
    if isinstance(value, bytes):
        if column in TEXT_BLOBS:
            return masked(value.decode("cp1252"))
        return value.hex()
    if isinstance(value, str):
        return masked(value)
    return repr(value)


def dump(path, table, skip):
    con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    con.text_factory = bytes
    cur = con.execute('SELECT * FROM "%s" ORDER BY rowid' % table)
    names = [d[0] for d in cur.description]
    for number, row in enumerate(cur, 1):
        print("[%s %d]" % (table, number))
        for name, value in zip(names, row):
            if value is None or name in skip:
                continue
            if isinstance(value, bytes) and name not in TEXT_BLOBS and name != "RPT":
                value = value.decode("utf-8", "backslashreplace")
            print("%s = %s" % (name, value_text(name, value).replace("\r", "\\r").replace("\n", "\\n")))


folder = sys.argv[1]
dump(folder + "/SPOOL.ADT", "SPOOL", {"COMPUTER"})
dump(folder + "/DET.ADT", "DET", set())
