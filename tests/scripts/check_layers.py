#!/usr/bin/env python3
"""Checks the #include lines of every source against the library layering.

A file may include files of its own module and of modules on lower layers:

    platform <- app <- oscar/codec, ui/framework, ui/notify <- net <- oscar
             <- store <- skin <- ui <- home <- app/main (the entry) <- tools/corvane-cli

Modules on the same layer do not include each other. The home-screen plug-in
uses only the device's services (platform/), and the local server
(tools/oscar-server) is a program of its own that includes nothing of the
client. The phone's home screen (tools/homescreen) is the device's, not the
product's: it uses platform/ only. Tests, benchmarks and fuzz targets may include anything.

Usage: check_layers.py SOURCE_ROOT. Prints every wrong include and exits with
1 when there is one.
"""
import os
import re
import sys

# Module prefix -> layer; the longest matching prefix names a file's module.
LAYERS = {
    "platform": 0,
    "app": 1,
    "oscar/codec": 2,
    "ui/framework": 2,
    "ui/notify": 2,
    "net": 3,
    "oscar": 4,
    "store": 5,
    "skin": 6,
    "ui": 7,
    "home": 8,
    "app/main": 9,
    "tools/corvane-cli": 10,
}
# Modules that stand apart: the only modules they may include besides their own.
ISOLATED = {
    "plugin": {"platform"},
    "tools/oscar-server": set(),
    "tools/homescreen": {"platform"},
    # The mutation campaign calls the readers of every part, the plug-in's
    # and the home screen's among them.
    "tools/mutate-files": {"platform", "app", "oscar/codec", "ui/framework", "ui/notify", "net", "oscar", "store",
                           "skin", "ui", "plugin", "tools/homescreen"},
}
UNCHECKED = ("tests", "bench", "fuzz", "build")
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def module_of(path):
    best = None
    for prefix in list(LAYERS) + list(ISOLATED):
        if path == prefix or path.startswith(prefix + "/"):
            if best is None or len(prefix) > len(best):
                best = prefix
    return best


def resolve(root, including, name):
    """The included file relative to the root: next to the including file
    first, then from the root (the include directory of every target)."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.isfile(os.path.join(root, beside)):
        return beside
    return os.path.normpath(name)


def allowed(source_module, target_module):
    if target_module is None or target_module == source_module:
        return True
    if source_module in ISOLATED:
        return target_module in ISOLATED[source_module]
    if target_module in ISOLATED:
        return False
    return LAYERS[target_module] < LAYERS[source_module]


def sources(root):
    for folder, subfolders, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        if relative == ".":
            subfolders[:] = [s for s in subfolders if s not in UNCHECKED and not s.startswith(".")]
            continue
        for name in files:
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(relative, name)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    root = sys.argv[1]
    wrong = []
    checked = 0
    for path in sorted(sources(root)):
        source_module = module_of(path)
        if source_module is None:
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                checked += 1
                target = resolve(root, path, match.group(1))
                target_module = module_of(target)
                if not allowed(source_module, target_module):
                    wrong.append(f"{path}:{number}: {source_module} includes {target} ({target_module})")
    for entry in wrong:
        print(entry)
    print(f"{checked} includes checked, {len(wrong)} against the layering")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
