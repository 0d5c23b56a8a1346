#!/usr/bin/env python3
"""The layer rule of the repository, and a check of every project include.

check_layers.py SOURCE_DIR

Reads every `#include "..."` in the repository's C++ files and fails, one line
per break, naming the file, the include and the rule it breaks: a unit
including a unit it may not use, a `..` include that climbs out of its unit,
or an include that names no file of the repository. The build enforces the
same layers with per-module include roots (cmake/IncludeRoots.cmake); this
check also covers what the build cannot see, such as a test helper of one
module included by the tests of another.
"""
import os
import re
import sys

# The layer rule, written down once. A unit is a folder (or one header that a
# module publishes); it may include its own files, those of the units named
# here, and what those may include in turn. The longest folder that holds a
# file gives its unit.
MODULES = {
    # unit: (folder or header, units it uses directly)
    "abi": ("abi", []),
    "platform": ("platform", ["abi"]),
    "boardtext": ("boardtext", ["abi"]),
    "toolkit": ("toolkit", ["platform"]),
    "plugin": ("plugin", ["toolkit", "platform"]),
    # The editor's simulation API: what the host and the tests may know of it.
    "editor/BrelixSim.h": ("editor/BrelixSim.h", ["platform"]),
    "editor": ("editor", ["editor/BrelixSim.h", "boardtext", "platform"]),
    "host": ("host", ["platform"]),
    # The command-line host plays the user (the toolkit's automation API) and
    # drives the editor module through its simulation API.
    "quorvex": ("host/quorvex", ["host", "boardtext", "toolkit", "editor/BrelixSim.h"]),
}

# The helpers every test program may use, at tests/ itself.
TEST_SUPPORT = ("tests", ["platform"])

# Test folders: each may use the units named, what those may use, the test
# support, and the test helpers of those units (tests/<unit>/...).
TESTS = {
    "tests/abi": ["abi"],
    "tests/platform": ["platform"],
    "tests/boardtext": ["boardtext"],
    "tests/toolkit": ["toolkit"],
    # The test program is the host: it loads the plug-in and the editor.
    "tests/plugin": ["plugin", "host", "editor/BrelixSim.h"],
    "tests/editor": ["editor"],
    "tests/host": ["host"],
    # quorvex is run as a program, never linked.
    "tests/e2e": [],
    "tests/validator": ["abi"],
    "tests/kicad": [],
    # The fuzz targets and the benchmarks compile or link any module.
    "tests/fuzz": list(MODULES),
}
BENCH = ("bench", list(MODULES))

# Headers the build writes, by the name they are included by, with the
# template each is made from; the tests, their shared support (which runs the
# built programs) and the benchmarks may include them.
GENERATED = {"generated/BuildPaths.h": "cmake/BuildPaths.h.in"}

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".in")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


class Rule:
    def __init__(self):
        self.folders = {name: folder for name, (folder, _) in MODULES.items()}
        self.folders["tests"] = TEST_SUPPORT[0]
        self.folders.update({name: name for name in TESTS})
        self.folders["bench"] = BENCH[0]
        self.allowed = {}
        for name in MODULES:
            self.allowed[name] = self.closure(MODULES[name][1])
        self.allowed["tests"] = self.closure(TEST_SUPPORT[1])
        for name, uses in TESTS.items():
            modules = self.closure(uses)
            helpers = {"tests/" + m for m in modules if "tests/" + m in TESTS and "tests/" + m != name}
            self.allowed[name] = modules | helpers | {"tests"}
        self.allowed["bench"] = self.closure(BENCH[1])
        for name in list(TESTS) + ["tests", "bench"]:
            self.allowed[name] |= set(GENERATED)

    @staticmethod
    def closure(uses):
        seen = set()
        pending = list(uses)
        while pending:
            unit = pending.pop()
            if unit not in seen:
                seen.add(unit)
                pending.extend(MODULES[unit][1])
        return seen

    def unit_of(self, path):
        """The unit a repository path (with / separators) belongs to, or None."""
        if path in GENERATED:
            return path
        best = None
        for name, folder in self.folders.items():
            if path == folder or path.startswith(folder + "/"):
                if best is None or len(folder) > len(self.folders[best]):
                    best = name
        # tests/ itself holds only the support files; its subfolders without a
        # rule of their own (data) hold no code.
        if best == "tests" and "/" in path[len("tests/"):]:
            return None
        return best

    def describe(self, unit):
        allowed = sorted(self.allowed[unit])
        return f"{unit} may use {', '.join(allowed)}" if allowed else f"{unit} may use no other unit"


def source_files(root):
    """Every C++ file of the checkout: build trees (a CMakeCache.txt) and
    hidden folders are not part of it."""
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(
            d
            for d in subfolders
            if not d.startswith(".") and not os.path.exists(os.path.join(folder, d, "CMakeCache.txt"))
        )
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def check(root):
    """The breaks of the rule in the checkout at `root`, one line each, and the
    number of includes read."""
    rule = Rule()
    breaks = []
    for folder in list(rule.folders.values()) + list(GENERATED.values()):
        if not os.path.exists(os.path.join(root, folder)):
            breaks.append(f"the layer rule names {folder}, which does not exist")
    includes = 0
    for path in source_files(root):
        unit = rule.unit_of(path)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            found = [(number, INCLUDE.match(line)) for number, line in enumerate(f, 1)]
        found = [(number, match.group(1)) for number, match in found if match]
        includes += len(found)
        if unit is None:
            if found:
                breaks.append(f"{path}: no layer rule covers this file's folder")
            continue
        here = os.path.dirname(path)
        for number, name in found:
            where = f'{path}:{number}: #include "{name}"'
            if ".." in name.split("/"):
                target = os.path.normpath(os.path.join(here, name)).replace(os.sep, "/")
                if target.startswith("../") or rule.unit_of(target) != unit:
                    breaks.append(f'{where} climbs out of {unit} with ".."; name the file as "module/File.h"')
                    continue
            elif os.path.isfile(os.path.join(root, here, name)):
                target = os.path.normpath(os.path.join(here, name)).replace(os.sep, "/")
            elif os.path.isfile(os.path.join(root, name)) or name in GENERATED:
                target = name
            else:
                breaks.append(f"{where} names no file of the repository")
                continue
            used = rule.unit_of(target)
            if used != unit and used not in rule.allowed[unit]:
                breaks.append(f"{where}: {unit} may not use {used} ({rule.describe(unit)})")
    return breaks, includes


def main(argv):
    if len(argv) != 2:
        print("usage: check_layers.py SOURCE_DIR", file=sys.stderr)
        return 2
    breaks, includes = check(argv[1])
    for line in breaks:
        print(line)
    if breaks:
        print(f"layers: {len(breaks)} break(s) of the layer rule")
        return 1
    print(f"layers: {includes} includes keep the layer rule")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
