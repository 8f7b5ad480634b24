#!/usr/bin/env python3
"""Writes service/faces/HtmlEntities.inc: HTML5's named character references (the WHATWG
list, as Python's standard library carries it in html.entities.html5), those ending in ';',
sorted by name for a binary search. Run again only to follow a newer list:

    python3 scripts/make-html-entities.py > service/faces/HtmlEntities.inc
"""
import html.entities


def octal(text):
    return "".join("\\%03o" % byte for byte in text.encode("utf-8"))


def main():
    names = sorted((name[:-1] for name in html.entities.html5 if name.endswith(";")),
                   key=lambda name: name.encode("ascii"))
    print("// Made by scripts/make-html-entities.py from HTML5's named character references")
    print("// (%d of them); do not edit." % len(names))
    for name in names:
        print('{"%s", "%s"},' % (name, octal(html.entities.html5[name + ";"])))


if __name__ == "__main__":
    main()
