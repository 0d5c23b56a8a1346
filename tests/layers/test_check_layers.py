#!/usr/bin/env python3
"""The layer check itself: on small checkouts built here, each kind of break
is found and named, and what the rule allows passes."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402

# (file, included name, files the include may find, the break expected or None)
CASES = [
    ("plugin/Legend.cpp", "toolkit/Form.h", ["toolkit/Form.h"], None),
    ("plugin/Legend.cpp", "abi/Types.h", ["abi/Types.h"], None),
    ("plugin/Legend.cpp", "editor/Editor.h", ["editor/Editor.h"],
     'plugin/Legend.cpp:1: #include "editor/Editor.h": plugin may not use editor (plugin may use abi, platform, toolkit)'),
    ("plugin/Legend.cpp", "host/Host.h", ["host/Host.h"], "plugin may not use host"),
    ("abi/Types.h", "platform/Modules.h", ["platform/Modules.h"], "abi may not use platform (abi may use no other unit)"),
    ("host/Client.cpp", "host/quorvex/Options.h", ["host/quorvex/Options.h"], "host may not use quorvex"),
    ("host/quorvex/Run.cpp", "editor/BrelixSim.h", ["editor/BrelixSim.h"], None),
    ("host/quorvex/Run.cpp", "editor/Board.h", ["editor/Board.h"], "quorvex may not use editor"),
    ("editor/Board.cpp", "editor/BrelixSim.h", ["editor/BrelixSim.h"], None),
    ("tests/plugin/ATest.cpp", "Support.h", ["tests/plugin/Support.h"], None),
    ("tests/plugin/ATest.cpp", "host/Host.h", ["host/Host.h"], None),
    ("tests/plugin/ATest.cpp", "tests/TestMachine.h", ["tests/TestMachine.h"], None),
    ("tests/plugin/ATest.cpp", "tests/platform/Helper.h", ["tests/platform/Helper.h"], None),
    ("tests/plugin/ATest.cpp", "tests/editor/EditorTestSupport.h", ["tests/editor/EditorTestSupport.h"],
     "tests/plugin may not use tests/editor"),
    ("tests/abi/ATest.cpp", "platform/Modules.h", ["platform/Modules.h"], "tests/abi may not use platform"),
    ("tests/e2e/ATest.cpp", "host/Host.h", ["host/Host.h"], "tests/e2e may not use host"),
    ("bench/a_bench.cpp", "tests/TestMachine.h", ["tests/TestMachine.h"], "bench may not use tests"),
    ("plugin/RTL/Binding.cpp", "../Legend.h", ["plugin/Legend.h"], None),
    ("plugin/RTL/Binding.cpp", "../../editor/Editor.h", ["editor/Editor.h"],
     'plugin/RTL/Binding.cpp:1: #include "../../editor/Editor.h" climbs out of plugin with ".."'),
    ("tests/plugin/ATest.cpp", "../platform/Helper.h", ["tests/platform/Helper.h"], "climbs out of tests/plugin"),
    ("tests/e2e/ATest.cpp", "generated/BuildPaths.h", [], None),
    ("tests/Support.h", "generated/BuildPaths.h", [], None),
    ("bench/a_bench.cpp", "generated/BuildPaths.h", [], None),
    ("plugin/Legend.cpp", "generated/BuildPaths.h", [], "plugin may not use generated/BuildPaths.h"),
    ("plugin/Legend.cpp", "plugin/Missing.h", [], 'plugin/Legend.cpp:1: #include "plugin/Missing.h" names no file'),
    ("examples/sample.cpp", "abi/Types.h", ["abi/Types.h"], "examples/sample.cpp: no layer rule covers"),
]


class CheckLayersTest(unittest.TestCase):
    def checkout(self, root, files):
        rule = check_layers.Rule()
        for folder in list(rule.folders.values()) + list(check_layers.GENERATED.values()):
            path = os.path.join(root, folder)
            if folder.endswith((".h", ".in")):
                os.makedirs(os.path.dirname(path), exist_ok=True)
                open(path, "w").close()
            else:
                os.makedirs(path, exist_ok=True)
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)

    def test_each_kind_of_break_is_named(self):
        for source, name, found, expected in CASES:
            with self.subTest(source=source, include=name), tempfile.TemporaryDirectory() as root:
                files = {path: "" for path in found}
                files[source] = f'#include "{name}"\n'
                self.checkout(root, files)
                breaks, includes = check_layers.check(root)
                self.assertEqual(includes, 1)
                if expected is None:
                    self.assertEqual(breaks, [])
                else:
                    self.assertEqual(len(breaks), 1, breaks)
                    self.assertIn(expected, breaks[0])

    def test_build_trees_and_system_includes_are_not_read(self):
        with tempfile.TemporaryDirectory() as root:
            self.checkout(root, {
                "build/default/CMakeCache.txt": "",
                "build/default/include/plugin/X.cpp": '#include "editor/Editor.h"\n',
                "plugin/Legend.cpp": "#include <nlohmann/json.hpp>\n// #include \"editor/Editor.h\" is not a line\n",
            })
            self.assertEqual(check_layers.check(root), ([], 0))

    def test_a_folder_the_rule_names_must_exist(self):
        with tempfile.TemporaryDirectory() as root:
            self.checkout(root, {})
            os.rmdir(os.path.join(root, "toolkit"))
            breaks, _ = check_layers.check(root)
            self.assertEqual(breaks, ["the layer rule names toolkit, which does not exist"])


if __name__ == "__main__":
    unittest.main()
