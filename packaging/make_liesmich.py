#!/usr/bin/env python3
"""Writes LIESMICH.txt as Windows users get it: the text of LIESMICH.txt.in
(UTF-8, LF) with its version filled in, in Windows-1252 with CR LF. A
character that Windows-1252 lacks stops it with an error. The package and
the test that holds the text to the program's messages both use it.

Usage: make_liesmich.py SOURCE TARGET VERSION
"""
import sys


def main():
    source, target, version = sys.argv[1:]
    with open(source, encoding="utf-8") as text_file:
        text = text_file.read().replace("@VERSION@", version)
    with open(target, "wb") as out:
        out.write(text.replace("\n", "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
