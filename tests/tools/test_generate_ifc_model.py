"""Tests of tools/generate_ifc_model.py: its models must be read and computed by our program."""

import collections
import os
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
SCRIPT = REPO / "tools" / "generate_ifc_model.py"
SAMPLE = REPO / "samples" / "small-building.ifc"
SAMPLE_ARGS = ["--elements", "150"]
PROGRAM = os.environ.get("MATERIAL_QUANTITIES_PROGRAM", "")

RECORD = re.compile(r"^#(\d+)=([A-Z0-9_]+)\((.*)\);$", re.M)
STRING = re.compile(r"'(?:[^']|'')*'")
ELEMENTS = {"IFCWALLSTANDARDCASE", "IFCSLAB", "IFCBEAM", "IFCCOLUMN", "IFCDOOR", "IFCWINDOW", "IFCMEMBER",
            "IFCPLATE", "IFCCOVERING"}


def generate(tmp, name, *args):
    out = Path(tmp) / name
    subprocess.run([sys.executable, str(SCRIPT), *args, "-o", str(out)], check=True,
                   stderr=subprocess.DEVNULL)
    return out.read_bytes()


def ids(text):
    return [int(x) for x in re.findall(r"#(\d+)", STRING.sub("''", text))]


class Model:
    def __init__(self, raw):
        self.text = raw.decode("ascii")  # non-ASCII must be escaped
        self.records = {int(k): (entity, body) for k, entity, body in RECORD.findall(self.text)}

    def of(self, entity):
        return [k for k, (e, _) in self.records.items() if e == entity]

    def name(self, key):
        found = re.match(r"'[^']*',(?:#\d+|\$),('(?:[^']|'')*')", self.records[key][1])
        return found.group(1) if found else None

    def property_sets(self, type_key):
        # The first list of references in a type is its HasPropertySets.
        found = re.search(r"\((#[\d,#]+)\)", STRING.sub("''", self.records[type_key][1]))
        return ids(found.group(1)) if found else []

    def defined_by(self, key):
        """(relating set or type, the objects it is given to); the owner history goes first."""
        references = ids(self.records[key][1])
        return references[-1], references[1:-1]


class GeneratedModelTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.addClassCleanup(cls.tmp.cleanup)
        cls.path = Path(cls.tmp.name) / "a.ifc"
        cls.model = Model(generate(cls.tmp.name, "a.ifc", "--elements", "400", "--buildings", "2",
                                   "--storeys-per-building", "2", "--seed", "7"))

    def test_references_resolve(self):
        m = self.model
        dangling = {r for _, body in m.records.values() for r in ids(body)} - set(m.records)
        self.assertEqual(dangling, set())

    @unittest.skipUnless(os.access(PROGRAM, os.X_OK), "material-quantities not built")
    def test_our_reader_computes_the_quantities(self):
        with tempfile.TemporaryDirectory() as home:
            env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home)
            out = Path(home) / "out.ifc"
            run = subprocess.run([PROGRAM, "compute", str(self.path), "-o", str(out)], env=env,
                                 capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("Building elements:             400\n", run.stdout)
        # Only elements without a type lack a composition to compute from.
        typed = {o for rel in self.model.of("IFCRELDEFINESBYTYPE") for o in self.model.defined_by(rel)[1]}
        untyped = [k for k, (entity, _) in self.model.records.items() if entity in ELEMENTS and k not in typed]
        self.assertIn("Elements without results:      %d\n" % len(untyped), run.stdout)
        self.assertEqual(len(re.findall(r"^Building ", run.stdout, re.M)), 3, run.stdout)

    @unittest.skipUnless(SAMPLE.exists(), "no committed sample")
    def test_committed_sample_is_current(self):
        self.assertIn("generate_ifc_model.py " + " ".join(SAMPLE_ARGS),
                      (REPO / "samples" / "README.md").read_text())
        with tempfile.TemporaryDirectory() as tmp:
            self.assertEqual(generate(tmp, "s.ifc", *SAMPLE_ARGS), SAMPLE.read_bytes())


class RealShapeTest(unittest.TestCase):
    def test_shapes_of_authoring_tools(self):
        with tempfile.TemporaryDirectory() as tmp:
            m = Model(generate(tmp, "r.ifc", "--elements", "1000", "--shape", "real"))
        self.assertIn("IFCCONVERSIONBASEDUNIT(#8,.LENGTHUNIT.,'MILLIMETRE',#9)", m.text)
        # property sets are each given to many elements at once
        shared = collections.Counter()
        for rel in m.of("IFCRELDEFINESBYPROPERTIES"):
            target, objects = m.defined_by(rel)
            shared[m.records[target][0]] = max(shared[m.records[target][0]], len(objects))
        self.assertGreater(shared["IFCPROPERTYSET"], 50)
        self.assertGreater(shared["IFCELEMENTQUANTITY"], 5)
        # some types carry the material properties, others none
        with_material = [any(m.name(p) == "'Unite_Fonctionnelle'" for p in m.property_sets(t))
                         for t in {m.defined_by(rel)[0] for rel in m.of("IFCRELDEFINESBYTYPE")}]
        self.assertIn(True, with_material)
        self.assertIn(False, with_material)


class TypeVariantsTest(unittest.TestCase):
    def test_each_type_drawn_comes_in_variants(self):
        with tempfile.TemporaryDirectory() as tmp:
            one = Model(generate(tmp, "one.ifc", "--elements", "300"))
            three = Model(generate(tmp, "three.ifc", "--elements", "300", "--type-variants", "3"))

        def types(m):
            return {m.defined_by(rel)[0] for rel in m.of("IFCRELDEFINESBYTYPE")}

        self.assertGreater(len(types(three)), 2 * len(types(one)))
        names = {three.name(t) for t in types(three)}
        self.assertTrue(any(name.endswith(" v3'") for name in names), names)


if __name__ == "__main__":
    unittest.main()
