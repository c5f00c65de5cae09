"""Tests of tools/repeat_ifc_model.py: the repeated model must be one valid file."""

import collections
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
SCRIPT = REPO / "tools" / "repeat_ifc_model.py"
SAMPLE = REPO / "samples" / "small-building.ifc"
ENTITIES = REPO.parent / "shared" / "ifc2x3" / "ifc2x3-entities.tsv"  # the tool's schema table
RECORD = re.compile(r"^#(\d+)=([A-Z0-9]+)\((.*)\);$", re.M)
STRING = re.compile(r"'(?:[^']|'')*'")


def repeat(tmp, name, *args):
    out = Path(tmp) / name
    subprocess.run([sys.executable, str(SCRIPT), *args, "-o", str(out)], check=True,
                   stderr=subprocess.DEVNULL)
    return out.read_text(encoding="latin-1")


@unittest.skipUnless(SAMPLE.exists() and ENTITIES.exists(), "needs the committed sample and ../shared/ifc2x3")
class RepeatTest(unittest.TestCase):
    def test_copies_are_one_consistent_model(self):
        with tempfile.TemporaryDirectory() as tmp:
            text = repeat(tmp, "r.ifc", "--copies", "3", str(SAMPLE))
        records = RECORD.findall(text)
        source = RECORD.findall(SAMPLE.read_text(encoding="latin-1"))
        self.assertEqual(len(records), 3 * len(source) - 2)
        numbers = {int(n) for n, _, _ in records}
        self.assertEqual(len(numbers), len(records))
        referenced = {int(r) for _, _, body in records
                      for r in re.findall(r"#(\d+)", STRING.sub("''", body))}
        self.assertLessEqual(referenced, numbers)
        entities = collections.Counter(entity for _, entity, _ in records)
        self.assertEqual(entities["IFCPROJECT"], 1)
        self.assertEqual(entities["IFCWALLSTANDARDCASE"],
                         3 * sum(1 for _, e, _ in source if e == "IFCWALLSTANDARDCASE"))
        guids = [body[1:23] for _, entity, body in records
                 if entity.startswith(("IFCREL", "IFCPROPERTYSET", "IFCWALL", "IFCBUILDING"))]
        self.assertEqual(len(guids), len(set(guids)))


if __name__ == "__main__":
    unittest.main()
