"""Tests of tools/compare_ifc_outputs.py: GlobalIds (and keys on request) aside, any change is a difference."""

import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "tools" / "compare_ifc_outputs.py"
BASE = "#7=IFCPROPERTYSET('2ujSINwsP8OuK0lbLXQUiU',#5,'Totals',$,(#8));\n"


def compare(first, second, *args):
    with tempfile.TemporaryDirectory() as tmp:
        a, b = Path(tmp) / "a.ifc", Path(tmp) / "b.ifc"
        a.write_text(first, encoding="latin-1")
        b.write_text(second, encoding="latin-1")
        return subprocess.run([sys.executable, str(SCRIPT), str(a), str(b), *args],
                              stdout=subprocess.DEVNULL).returncode


class CompareTest(unittest.TestCase):
    def test_differences(self):
        cases = [
            (BASE.replace("2ujSINwsP8OuK0lbLXQUiU", "1KEadqByn9L86BkH$YAYFX"), (), 0),
            (BASE.replace("Totals", "Total"), (), 1),
            (BASE.replace("#8", "#9"), (), 1),
            (BASE.replace("#8", "#9"), ("--ignore-keys",), 0),
            (BASE + BASE, (), 1),
        ]
        for second, args, expected in cases:
            with self.subTest(second=second, args=args):
                self.assertEqual(compare(BASE, second, *args), expected)


if __name__ == "__main__":
    unittest.main()
