"""Tests of tools/generate_ifc_model.py: the files it writes must be models our IFC
reader and the material-quantities computation can rely on."""

import collections
import importlib.util
import math
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
SCRIPT = REPO / "tools" / "generate_ifc_model.py"
SCHEMA_DIR = REPO.parent / "shared" / "ifc2x3"
SAMPLE = REPO / "samples" / "small-building.ifc"
SAMPLE_ARGS = ["--elements", "150"]

spec = importlib.util.spec_from_file_location("generate_ifc_model", SCRIPT)
gen = importlib.util.module_from_spec(spec)
spec.loader.exec_module(gen)

RECORD = re.compile(r"#(\d+)=([A-Z0-9_]+)\((.*)\);$")
STRING = re.compile(r"'(?:[^']|'')*'")
REAL = re.compile(r"-?\d+\.\d*(E[+-]?\d+)?$")
BUILDING_ELEMENTS = {"IFCWALLSTANDARDCASE", "IFCSLAB", "IFCBEAM", "IFCCOLUMN", "IFCDOOR",
                     "IFCWINDOW", "IFCMEMBER", "IFCPLATE", "IFCCOVERING"}


def split_args(text):
    """Top-level comma-separated parameters of a record or list."""
    args, depth, start, i, n = [], 0, 0, 0, len(text)
    while i < n:
        c = text[i]
        if c == "'":
            i = text.index("'", i + 1)
            while i + 1 < n and text[i + 1] == "'":
                i = text.index("'", i + 2)
        elif c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
        elif c == "," and depth == 0:
            args.append(text[start:i])
            start = i + 1
        i += 1
    args.append(text[start:])
    return args


def decode(literal):
    """Text of a STEP string literal (\\X2\\, \\S\\ and quote escapes)."""
    s = literal[1:-1].replace("''", "'")
    for tag, width in (("2", 4), ("4", 8)):
        s = re.sub(r"\\X%s\\((?:[0-9A-F]{%d})+)\\X0\\" % (tag, width),
                   lambda m: "".join(chr(int(m.group(1)[i:i + width], 16))
                                     for i in range(0, len(m.group(1)), width)), s)
    s = re.sub(r"\\S\\(.)", lambda m: chr(ord(m.group(1)) + 0x80), s)
    return s.replace("\\\\", "\\")


def ids(arg):
    return [int(x) for x in re.findall(r"#(\d+)", arg)]


def number(arg):
    return float(re.search(r"\(?([-0-9.E+]+)\)?$", arg).group(1))


class Model:
    def __init__(self, text):
        self.text = text
        self.order = []
        self.records = {}
        self.duplicates = []
        data = text.split("\nDATA;\n", 1)[1].split("\nENDSEC;\n", 1)[0]
        for line in data.split("\n"):
            m = RECORD.match(line)
            assert m, "not a record: " + line[:80]
            key = int(m.group(1))
            if key in self.records:
                self.duplicates.append(key)
            self.records[key] = (m.group(2), m.group(3))
            self.order.append(key)

    def args(self, key):
        return split_args(self.records[key][1])

    def of(self, *entities):
        return [k for k in self.order if self.records[k][0] in entities]

    def relations(self, entity, relating, related):
        """relating id -> related ids for every relation of that entity."""
        out = collections.defaultdict(list)
        for k in self.of(entity):
            a = self.args(k)
            for r in ids(a[relating]):
                out[r].extend(ids(a[related]))
        return out

    def pset(self, key):
        a = self.args(key)
        return decode(a[2]), {decode(self.args(p)[0]): self.args(p)[2] for p in ids(a[4])}


def check_schema(test, model):
    """Every record names a concrete entity with the schema's attribute count."""
    entities, attributes, types = {}, collections.defaultdict(list), {}
    for line in (SCHEMA_DIR / "ifc2x3-entities.tsv").read_text().splitlines():
        if not line.startswith("#"):
            f = line.split("\t")
            entities[f[0].upper()] = (f[2] == "ABSTRACT", int(f[3]))
    for line in (SCHEMA_DIR / "ifc2x3-attributes.tsv").read_text().splitlines():
        if not line.startswith("#"):
            f = line.split("\t")
            attributes[f[0].upper()].append((f[3], f[4] != "", f[6] == "DERIVED"))
    for line in (SCHEMA_DIR / "ifc2x3-types.tsv").read_text().splitlines():
        if not line.startswith("#"):
            f = line.split("\t")
            types[f[0].upper()] = (f[1], f[2].split(","))
    m = model
    for k in m.order:
        entity, body = m.records[k]
        with test.subTest(record=k, entity=entity):
            test.assertIn(entity, entities)
            abstract, count = entities[entity]
            test.assertFalse(abstract)
            args = split_args(body)
            test.assertEqual(len(args), count)
            for arg, (atype, optional, derived) in zip(args, attributes[entity]):
                if derived:
                    test.assertEqual(arg, "*")
                elif arg == "$":
                    test.assertTrue(optional, atype)
                elif types.get(atype.upper(), ("",))[0] == "ENUMERATION":
                    test.assertIn(arg.strip("."), types[atype.upper()][1])
            for typed in re.findall(r"(IFC[A-Z]+)\(", STRING.sub("''", body)):
                test.assertEqual(types.get(typed, ("?",))[0], "DEFINED", typed)


def run(tmp, name, *args):
    out = Path(tmp) / name
    subprocess.run([sys.executable, str(SCRIPT), *args, "-o", str(out)], check=True,
                   stderr=subprocess.DEVNULL)
    return out.read_bytes()


class GeneratedModelTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.raw = run(cls.tmp.name, "a.ifc", "--elements", "400", "--buildings", "2",
                      "--storeys-per-building", "2", "--seed", "7")
        cls.model = Model(cls.raw.decode("ascii"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_file_structure(self):
        text = self.raw.decode("ascii")  # non-ASCII must be escaped
        self.assertNotIn("\r", text)
        self.assertTrue(text.startswith("ISO-10303-21;\nHEADER;\n"))
        self.assertIn("FILE_SCHEMA(('IFC2X3'));", text)
        self.assertTrue(text.endswith("ENDSEC;\nEND-ISO-10303-21;\n"))

    def test_keys_unique_and_references_resolve(self):
        m = self.model
        self.assertEqual(m.duplicates, [])
        dangling = {r for k in m.order for r in ids(STRING.sub("''", m.records[k][1]))
                    if r not in m.records}
        self.assertEqual(dangling, set())
        # readers must cope with forward references and out-of-order ids
        position = {k: i for i, k in enumerate(m.order)}
        forward = sum(1 for k in m.order
                      for r in ids(STRING.sub("''", m.records[k][1]))
                      if position[r] > position[k])
        self.assertGreater(forward, 100)
        self.assertNotEqual(m.order, sorted(m.order))

    @unittest.skipUnless(SCHEMA_DIR.is_dir(), "IFC 2x3 schema tables not available")
    def test_records_match_schema(self):
        check_schema(self, self.model)

    def test_numbers_are_step_reals(self):
        m = self.model
        for k in m.order:
            entity, body = m.records[k]
            for token in re.findall(r"(?<![#\w.])-?\d[\w.+-]*", STRING.sub("''", body)):
                if re.fullmatch(r"\d+", token):
                    # integers belong only where the schema wants INTEGER
                    self.assertIn(entity, {"IFCDIMENSIONALEXPONENTS", "IFCOWNERHISTORY",
                                           "IFCGEOMETRICREPRESENTATIONCONTEXT", "IFCSITE"},
                                  body)
                else:
                    self.assertRegex(token, REAL)

    def test_element_counts_and_openings(self):
        m = self.model
        self.assertEqual(len(m.of(*BUILDING_ELEMENTS)), 400)
        voids = m.relations("IFCRELVOIDSELEMENT", 4, 5)
        fills = m.relations("IFCRELFILLSELEMENT", 4, 5)
        walls = set(m.of("IFCWALLSTANDARDCASE"))
        openings = set(m.of("IFCOPENINGELEMENT"))
        self.assertTrue(set(voids) <= walls)
        self.assertEqual(sorted(o for os_ in voids.values() for o in os_), sorted(openings))
        self.assertEqual(set(fills), openings)
        self.assertEqual(sorted(f for fs in fills.values() for f in fs),
                         sorted(m.of("IFCDOOR", "IFCWINDOW")))

    def test_spatial_structure(self):
        m = self.model
        contained = m.relations("IFCRELCONTAINEDINSPATIALSTRUCTURE", 5, 4)
        aggregated = m.relations("IFCRELAGGREGATES", 4, 5)
        storeys = m.of("IFCBUILDINGSTOREY")
        self.assertEqual(len(storeys), 4)
        self.assertEqual(set(contained), set(storeys))
        parts = {p for a in m.of("IFCELEMENTASSEMBLY") for p in aggregated[a]}
        self.assertTrue(parts)
        self.assertTrue(parts <= set(m.of("IFCBEAM", "IFCCOLUMN")))
        # each element sits in exactly one storey, or in an assembly that does
        placed = collections.Counter(e for es in contained.values() for e in es)
        for e in m.of(*BUILDING_ELEMENTS, "IFCELEMENTASSEMBLY", "IFCVIRTUALELEMENT"):
            self.assertEqual(placed[e] + (e in parts), 1, m.records[e][0])
        self.assertTrue(m.of("IFCVIRTUALELEMENT"))
        spaces = {s for st in storeys for s in aggregated[st]}
        self.assertEqual(spaces, set(m.of("IFCSPACE")))
        (project,) = m.of("IFCPROJECT")
        (site,) = aggregated[project]
        self.assertEqual(sorted(aggregated[site]), sorted(m.of("IFCBUILDING")))

    def test_types_carry_functional_unit_and_composition(self):
        m = self.model
        expected = {"IFCWALLTYPE": {"volume"}, "IFCSLABTYPE": {"volume", "surface"},
                    "IFCBEAMTYPE": {"longueur"}, "IFCCOLUMNTYPE": {"longueur"},
                    "IFCDOORSTYLE": {"unite"}, "IFCWINDOWSTYLE": {"unite"}}
        needed = {"volume": "GrossVolume", "surface": "GrossArea", "longueur": "Length"}
        typed = m.relations("IFCRELDEFINESBYTYPE", 5, 4)
        quantities = {}
        for rel in m.of("IFCRELDEFINESBYPROPERTIES"):
            a = m.args(rel)
            (target,) = ids(a[5])
            if m.records[target][0] == "IFCELEMENTQUANTITY":
                names = {decode(m.args(q)[0]) for q in ids(m.args(target)[5])}
                for e in ids(a[4]):
                    quantities[e] = names
        units, reuse_flags = set(), set()
        for t in typed:
            entity = m.records[t][0]
            psets = dict(m.pset(p) for p in ids(m.args(t)[5])
                         if m.records[p][0] == "IFCPROPERTYSET")
            unit = decode(re.search(r"'.*'", psets["Unite_Fonctionnelle"]["Type"]).group())
            self.assertIn(unit, expected[entity])
            units.add(unit)
            self.assertGreater(number(psets["Unite_Fonctionnelle"]["Masse_par_UF"]), 0)
            shares = {n: number(v) for n, v in psets["Pourcentage_PMIB"].items()}
            self.assertTrue(set(shares) <= set(gen.MATERIAL_NAMES), shares)
            self.assertTrue(math.isclose(sum(shares.values()), 100.0, abs_tol=1e-6)
                            or math.isclose(sum(shares.values()), 1.0, abs_tol=1e-6), shares)
            if "Réemploi" in psets:
                reuse_flags.add(psets["Réemploi"]["Réemployé"])
            for e in typed[t]:
                if unit in needed:
                    self.assertIn(needed[unit], quantities[e], m.records[e][0])
        self.assertEqual(units, {"volume", "surface", "longueur", "unite"})
        self.assertTrue(reuse_flags <= {"IFCBOOLEAN(.T.)", "IFCBOOLEAN(.F.)"} and reuse_flags)
        text = self.raw.decode("ascii")
        self.assertIn("\\S\\", text)
        self.assertIn("'R\\X2\\00E9\\X0\\employ\\X2\\00E9\\X0\\'", text)

    def test_wall_quantities_follow_openings(self):
        m = self.model
        voids = m.relations("IFCRELVOIDSELEMENT", 4, 5)
        fills = m.relations("IFCRELFILLSELEMENT", 4, 5)
        area = {}
        for rel in m.of("IFCRELDEFINESBYPROPERTIES"):
            a = m.args(rel)
            (target,) = ids(a[5])
            if m.records[target][0] == "IFCELEMENTQUANTITY":
                q = {decode(m.args(i)[0]): number(m.args(i)[3]) for i in ids(m.args(target)[5])}
                for e in ids(a[4]):
                    area[e] = q
        for wall in m.of("IFCWALLSTANDARDCASE"):
            q = area[wall]
            holes = sum(area[f]["Area"] for o in voids.get(wall, []) for f in fills[o])
            self.assertAlmostEqual(q["GrossVolume"], q["Length"] * q["Height"] * q["Width"], 3)
            self.assertAlmostEqual(q["NetSideArea"], q["GrossSideArea"] - holes, 3)
            self.assertAlmostEqual(q["NetVolume"], q["NetSideArea"] * q["Width"], 3)

    def test_common_property_sets_are_shared(self):
        # one relation per set and building lists every wall of that type there
        m = self.model
        walls = set(m.of("IFCWALLSTANDARDCASE"))
        relations = collections.Counter()
        covered = []
        for rel in m.of("IFCRELDEFINESBYPROPERTIES"):
            a = m.args(rel)
            (target,) = ids(a[5])
            if m.records[target][0] == "IFCPROPERTYSET" and m.pset(target)[0] == "Pset_WallCommon":
                relations[target] += 1
                covered += ids(a[4])
        self.assertTrue(relations)
        self.assertLessEqual(max(relations.values()), 2)
        self.assertEqual(len(covered), len(set(covered)))
        typed = {e for es in m.relations("IFCRELDEFINESBYTYPE", 5, 4).values() for e in es}
        self.assertEqual(set(covered), walls & typed)
        self.assertGreater(len(covered) / sum(relations.values()), 5)


class RealShapeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as tmp:
            cls.model = Model(run(tmp, "r.ifc", "--elements", "1000", "--shape", "real")
                              .decode("ascii"))

    @unittest.skipUnless(SCHEMA_DIR.is_dir(), "IFC 2x3 schema tables not available")
    def test_records_match_schema(self):
        check_schema(self, self.model)

    def test_shapes_of_authoring_tools(self):
        m = self.model
        self.assertIn("IFCCONVERSIONBASEDUNIT(#8,.LENGTHUNIT.,'MILLIMETRE',#9)", m.text)
        quantities = {m.records[k][0] for k in m.order if m.records[k][0].startswith("IFCQUANTITY")}
        self.assertEqual(quantities, {"IFCQUANTITY" + kind
                                      for kind in ("LENGTH", "AREA", "VOLUME", "WEIGHT", "COUNT")})
        largest_shared = collections.Counter()
        for rel in m.of("IFCRELDEFINESBYPROPERTIES"):
            a = m.args(rel)
            (target,) = ids(a[5])
            entity = m.records[target][0]
            members = len(ids(m.args(target)[4 if entity == "IFCPROPERTYSET" else 5]))
            if entity == "IFCELEMENTQUANTITY" or members >= 20:
                largest_shared[entity] = max(largest_shared[entity], len(ids(a[4])))
        self.assertGreater(largest_shared["IFCPROPERTYSET"], 50)
        self.assertGreater(largest_shared["IFCELEMENTQUANTITY"], 5)
        with_material = [any(m.pset(p)[0] == "Unite_Fonctionnelle" for p in ids(m.args(t)[5]))
                         for t in m.relations("IFCRELDEFINESBYTYPE", 5, 4)]
        self.assertIn(True, with_material)
        self.assertIn(False, with_material)


class OptionsTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)

    def test_same_seed_same_bytes(self):
        a = run(self.tmp.name, "a.ifc", "--elements", "120", "--seed", "3")
        b = run(self.tmp.name, "b.ifc", "--elements", "120", "--seed", "3")
        c = run(self.tmp.name, "c.ifc", "--elements", "120", "--seed", "4")
        self.assertEqual(a, b)
        self.assertNotEqual(a, c)

    def test_millimetres_scale_lengths_only(self):
        metres = Model(run(self.tmp.name, "m.ifc", "--elements", "120").decode("ascii"))
        mm = Model(run(self.tmp.name, "mm.ifc", "--elements", "120",
                       "--length-unit", "mm").decode("ascii"))
        self.assertEqual(metres.order, mm.order)
        self.assertIn("IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.)", mm.text)
        self.assertIn("IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.)", mm.text)
        lengths = 0
        for k in metres.order:
            entity = metres.records[k][0]
            if entity in ("IFCQUANTITYLENGTH", "IFCQUANTITYAREA", "IFCQUANTITYVOLUME"):
                a, b = number(metres.args(k)[3]), number(mm.args(k)[3])
                factor = 1000.0 if entity == "IFCQUANTITYLENGTH" else 1.0
                self.assertAlmostEqual(b, a * factor, delta=0.1 if factor > 1 else 1e-9)
                lengths += factor > 1
            elif entity == "IFCCARTESIANPOINT":
                for x, y in zip(re.findall(r"[-\d.E+]+", metres.records[k][1]),
                                re.findall(r"[-\d.E+]+", mm.records[k][1])):
                    self.assertAlmostEqual(float(y), float(x) * 1000.0, delta=0.1)
        self.assertGreater(lengths, 100)

    def test_target_size(self):
        size = len(run(self.tmp.name, "t.ifc", "--target-mb", "0.4"))
        self.assertLess(abs(size - 400000), 20000)

    def test_material_list_option(self):
        text = run(self.tmp.name, "m3.ifc", "--elements", "60", "--materials", "3").decode()
        m = Model(text)
        names = {decode(m.args(k)[0]) for k in m.of("IFCMATERIAL")}
        self.assertEqual(names, {"Béton", "Acier", "Bois"})
        for k in m.of("IFCPROPERTYSET"):
            name, props = m.pset(k)
            if name == "Pourcentage_PMIB":
                self.assertTrue(set(props) <= names)

    @unittest.skipUnless(SAMPLE.exists(), "no committed sample")
    def test_committed_sample_is_current(self):
        readme = (REPO / "samples" / "README.md").read_text()
        self.assertIn("generate_ifc_model.py " + " ".join(SAMPLE_ARGS), readme)
        self.assertEqual(run(self.tmp.name, "s.ifc", *SAMPLE_ARGS), SAMPLE.read_bytes())


class EncodingTest(unittest.TestCase):
    def test_reals(self):
        self.assertEqual([gen.real(x) for x in (0, 2, 2.5, -0.0, 1e-05, 1.5e-07, 1e16, -3.25)],
                         ["0.", "2.", "2.5", "0.", "1.E-05", "1.5E-07", "1.E+16", "-3.25"])

    def test_strings_round_trip(self):
        for text in ("Réemployé", "Porte d'entrée", "a\\b", "Ø168 — \U0001D538", "plain"):
            literal = gen.step_string(text)
            self.assertTrue(literal.isascii())
            self.assertEqual(decode(literal), text)
        self.assertEqual(gen.step_string("Réemployé"), "'R\\X2\\00E9\\X0\\employ\\X2\\00E9\\X0\\'")
        self.assertEqual(gen.step_string("glänzend", latin1_escape=True), "'gl\\S\\dnzend'")


if __name__ == "__main__":
    unittest.main()
