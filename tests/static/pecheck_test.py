#!/usr/bin/env python3
"""The import, header and resource checks catch what they are for, on a program built to break
every rule, and on the real program checked against a list that lacks one of its imports.

    pecheck_test.py PECHECK REVIEWED_LIST RULE_BREAKER_EXE QUORLANE_EXE
"""

import os
import subprocess
import sys
import tempfile
import unittest

PECHECK, REVIEWED, BREAKER, PROGRAM = sys.argv[1:5]


def run(*args):
    result = subprocess.run([sys.executable, PECHECK, *args], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


class RuleBreakerTest(unittest.TestCase):
    def test_lists_the_imports_it_was_built_with(self):
        status, out = run("imports", BREAKER)
        self.assertEqual(status, 0, out)
        lines = {tuple(line.split("\t")[1:3]) for line in out.splitlines()}
        for dll, function in [("USER32.dll", "GetDpiForWindow"), ("msimg32.dll", "TransparentBlt"),
                              ("KERNEL32.dll", "Beep"), ("COMCTL32.dll", "InitCommonControls")]:
            self.assertTrue(any(d.lower() == dll.lower() and f == function for d, f in lines),
                            f"{dll} {function} not listed:\n{out}")

    def test_every_kind_of_bad_import_fails_the_check(self):
        status, out = run("check-imports", REVIEWED, BREAKER)
        self.assertEqual(status, 1, out)
        self.assertRegex(out, r"GetDpiForWindow needs Windows 10-1607")
        self.assertRegex(out, r"(?i)import from msimg32\.dll, which is not a KnownDLL.*TransparentBlt")
        self.assertRegex(out, r"Beep is not in the reviewed list")
        self.assertRegex(out, r"(?i)imports COMCTL32\.dll, but its manifest does not name "
                              r"Microsoft\.Windows\.Common-Controls")

    def test_a_console_header_for_windows_10_fails(self):
        status, out = run("check-header", "--gui", BREAKER)
        self.assertEqual(status, 1, out)
        self.assertIn("not the GUI subsystem", out)
        self.assertIn("operating system version 10.0 is newer than Windows 7's 6.1", out)
        self.assertIn("subsystem version 10.0 is newer", out)

    def test_missing_resources_and_differing_ones_fail(self):
        status, out = run("check-resources", BREAKER)
        self.assertEqual(status, 1, out)
        for kind in ("manifest", "version", "icon group", "bitmap"):
            self.assertIn(f"no {kind} resource", out)
        status, out = run("check-resources", PROGRAM, "--like", BREAKER)
        self.assertEqual(status, 1, out)
        self.assertIn("differ from", out)
        status, out = run("check-resources", PROGRAM, "--like", PROGRAM)
        self.assertEqual(status, 0, out)

    def test_a_file_that_is_no_program_is_refused(self):
        with tempfile.NamedTemporaryFile(suffix=".exe", delete=False) as f:
            f.write(b"MZ" + b"\0" * 100)
        try:
            status, out = run("check-imports", REVIEWED, f.name)
            self.assertEqual(status, 2, out)
        finally:
            os.unlink(f.name)


class ReviewedListTest(unittest.TestCase):
    def check_with_list(self, lines):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        try:
            return run("check-imports", f.name, PROGRAM)
        finally:
            os.unlink(f.name)

    def reviewed(self):
        with open(REVIEWED, encoding="utf-8") as f:
            return f.read().splitlines()

    def test_the_real_program_passes_with_the_reviewed_list(self):
        status, out = run("check-imports", REVIEWED, PROGRAM)
        self.assertEqual(status, 0, out)

    def test_an_import_missing_from_the_list_fails(self):
        lines = [l for l in self.reviewed() if l.split()[:3] != ["import", "user32.dll", "SetTimer"]]
        status, out = self.check_with_list(lines)
        self.assertEqual(status, 1, out)
        self.assertIn("USER32.dll SetTimer is not in the reviewed list", out)

    def test_an_import_listed_as_newer_than_windows_7_fails(self):
        lines = [l.replace(" 2000", " 8") if l.startswith("import user32.dll SetTimer ") else l
                 for l in self.reviewed()]
        status, out = self.check_with_list(lines)
        self.assertEqual(status, 1, out)
        self.assertIn("SetTimer needs Windows 8", out)

    def test_a_dll_without_a_rule_fails_and_so_does_a_misspelt_list(self):
        lines = [l for l in self.reviewed() if l.strip() != "dll gdi32.dll known"]
        lines.append("import kernel32.dll Sleep 95")
        status, out = self.check_with_list(lines)
        self.assertEqual(status, 1, out)
        self.assertIn("functions of gdi32.dll, which no 'dll' rule allows", out)
        self.assertIn("import from GDI32.dll, which is not a KnownDLL", out)
        self.assertIn("unknown Windows '95'", out)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
