"""Prints a message as the launcher shows it, taken from the compiled string tables' sources.

usage: rctext.py RESDIR LANGID ID [ARG]

The entry comes from RESDIR/strings/LANGID.rc, or from the English (1033) table when that
language has no table, as the launcher's lookup falls back. ARG replaces the one %s or %d.
The result is printed the way the watcher records it: backslash, tab, line feed and carriage
return escaped as \\\\, \\t, \\n and \\r.
"""
import os
import re
import sys


def ids(resdir):
    names = {}
    with open(os.path.join(resdir, "resource.h"), encoding="utf-8") as f:
        for m in re.finditer(r"#define\s+(IDS_\w+)\s+(\d+)", f.read()):
            names[int(m.group(2))] = m.group(1)
    return names


def unquote(body):
    out, i = [], 0
    escapes = {"n": "\n", "t": "\t", "r": "\r", "\\": "\\", '"': '"', "a": "\a"}
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            out.append(escapes.get(body[i + 1], "\\" + body[i + 1]))
            i += 2
        elif c == '"' and body[i + 1 : i + 2] == '"':
            out.append('"')
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def entry(resdir, lang, name):
    path = os.path.join(resdir, "strings", "%s.rc" % lang)
    if not os.path.exists(path):
        path = os.path.join(resdir, "strings", "1033.rc")
    with open(path, encoding="utf-8-sig") as f:
        text = f.read()
    m = re.search(r"^\s*%s\s+\"((?:[^\"]|\"\")*)\"" % re.escape(name), text, re.M)
    if not m:
        sys.exit("no %s in %s" % (name, path))
    return unquote(m.group(1))


def main():
    resdir, lang, sid = sys.argv[1], sys.argv[2], int(sys.argv[3])
    arg = sys.argv[4] if len(sys.argv) > 4 else ""
    text = entry(resdir, lang, ids(resdir)[sid])
    text = re.sub(r"%[sd]", lambda _: arg, text, count=1)
    for a, b in (("\\", "\\\\"), ("\t", "\\t"), ("\n", "\\n"), ("\r", "\\r")):
        text = text.replace(a, b)
    sys.stdout.write(text)


main()
