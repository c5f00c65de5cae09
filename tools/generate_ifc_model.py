#!/usr/bin/env python3
"""Generate a synthetic but realistic IFC 2x3 model (ISO 10303-21 physical file).

The model is meant for benchmarks and for large-scale tests of the IFC reader and of
the material-quantities computation: a site with buildings and storeys, walls with
openings filled by doors and windows, slabs, beams, columns, a few members, plates,
coverings, element assemblies and virtual elements, element types carrying the
functional-unit, material-composition and reuse property sets, and per-element
BaseQuantities.  It mimics what authoring tools write: forward references, ids that
are not monotonic in file order, typing relations at the end of the file, property
sets shared by hundreds of elements through one relation, \\X2\\ and \\S\\ string
encodings, and lengths in millimetres with areas in m2 and volumes in m3.

With --shape real, the model takes the shapes files from authoring tools have and the
default model lacks: lengths in millimetres through a conversion-based unit, shared
property sets of twenty and more properties (also on beams and columns), a vendor set on
every type, a third of the types without the material properties, quantities of weight
and count beside lengths, areas and volumes, and one quantity set shared by all the
identical members, and another by all the plates, of a storey.

Output is deterministic for a given set of arguments and seed.

    generate_ifc_model.py --elements 5000 -o model.ifc
    generate_ifc_model.py --target-mb 200 --length-unit mm -o /tmp/big.ifc
    generate_ifc_model.py --target-mb 200 --shape real -o /tmp/real.ifc
"""

import argparse
import base64
import math
import os
import random
import sys
import time

# --------------------------------------------------------------------------------------
# STEP encoding helpers
# --------------------------------------------------------------------------------------


def real(x):
    """A REAL as STEP writes it: always a '.', upper-case exponent ('2.', '1.E-05')."""
    s = repr(x + 0.0)  # + 0.0 turns ints into floats and -0.0 into 0.0
    if "e" in s:
        mant, exp = s.split("e")
        if "." not in mant:
            mant += "."
        return mant + "E" + exp
    if s.endswith(".0"):
        return s[:-1]
    return s


def step_string(text, latin1_escape=False):
    """A STEP string literal (with quotes).

    Non-ASCII characters become \\X2\\hhhh\\X0\\ (or \\X4\\ beyond the BMP).  With
    latin1_escape, Latin-1 letters use the older \\S\\ form some exporters still write.
    """
    out = ["'"]
    pending = []  # consecutive non-ASCII code points share one \X2\ group

    def flush():
        if pending:
            if max(pending) > 0xFFFF:
                out.append("\\X4\\" + "".join("%08X" % c for c in pending) + "\\X0\\")
            else:
                out.append("\\X2\\" + "".join("%04X" % c for c in pending) + "\\X0\\")
            pending.clear()

    for ch in text:
        c = ord(ch)
        if 0x20 <= c < 0x7F:
            flush()
            if ch == "'":
                out.append("''")
            elif ch == "\\":
                out.append("\\\\")
            else:
                out.append(ch)
        elif latin1_escape and 0xA0 <= c <= 0xFE:
            flush()
            out.append("\\S\\" + chr(c - 0x80))
        else:
            pending.append(c)
    flush()
    out.append("'")
    return "".join(out)


def refs(ids):
    return "(" + ",".join("#%d" % i for i in ids) + ")"


# IFC's base-64 alphabet, mapped from the standard one so GlobalIds cost one
# b64encode + translate instead of a per-character loop.
_GUID_TABLE = bytes.maketrans(
    b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/",
    b"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$",
)


class StepWriter:
    """Numbers and buffers records; writes them to `out` in large chunks.

    `out` is a binary file, or None to only count bytes (used to size a model).
    """

    FLUSH_RECORDS = 20000

    def __init__(self, out):
        self.out = out
        self.parts = []
        self.next_id = 1
        self.records = 0
        self.bytes = 0

    def reserve(self):
        i = self.next_id
        self.next_id = i + 1
        return i

    def add(self, body):
        i = self.next_id
        self.next_id = i + 1
        self.parts.append("#%d=%s;\n" % (i, body))
        return i

    def put(self, i, body):
        """Write a record whose id was reserved earlier (a forward reference target)."""
        self.parts.append("#%d=%s;\n" % (i, body))

    def raw(self, text):
        self.parts.append(text)

    def maybe_flush(self):
        if len(self.parts) >= self.FLUSH_RECORDS:
            self.flush()

    def flush(self):
        if not self.parts:
            return
        data = "".join(self.parts).encode("ascii")
        self.records += sum(1 for p in self.parts if p.startswith("#"))
        self.parts = []
        self.bytes += len(data)
        if self.out is not None:
            self.out.write(data)


# --------------------------------------------------------------------------------------
# Catalogues
# --------------------------------------------------------------------------------------

# Order matters: --materials M keeps the first M names.  "Béton désactivé" is the one
# written with \S\ escapes, as some older exporters do for Latin-1 text.
MATERIAL_NAMES = [
    "Béton", "Acier", "Bois", "Plâtre", "Laine de verre", "Brique", "Verre",
    "Aluminium", "Mortier", "Laine de roche", "Polystyrène expansé", "Terre cuite",
    "Cuivre", "Zinc", "PVC", "Bitume", "Céramique", "Pierre calcaire",
    "Enduit à la chaux", "Béton désactivé",
]
LATIN1_ESCAPED = {"Béton désactivé"}

# name, section or thickness (m), functional unit, mass per unit, composition weights,
# and per-kind extras.  Masses: kg/m3 for volume, kg/m2 for surface, kg/m for
# longueur, kg per piece for unite.
WALL_TYPES = [
    dict(name="Mur béton 20", t=0.20, fu="volume", mass=2400.0,
         comp=[("Béton", 92), ("Acier", 8)], ext=True, lb=True, fire="REI 120", u=0.28),
    dict(name="Mur béton 16", t=0.16, fu="volume", mass=2400.0,
         comp=[("Béton", 94), ("Acier", 6)], ext=False, lb=True, fire="REI 90", u=2.9),
    dict(name="Mur brique 20", t=0.20, fu="volume", mass=1750.0,
         comp=[("Brique", 84), ("Mortier", 12), ("Enduit à la chaux", 4)],
         ext=True, lb=True, fire="REI 60", u=0.95),
    dict(name="Cloison plâtre 10", t=0.10, fu="volume", mass=260.0,
         comp=[("Plâtre", 70), ("Acier", 18), ("Laine de verre", 12)],
         ext=False, lb=False, fire="EI 30", u=0.65),
    dict(name="Mur ossature bois 18", t=0.18, fu="volume", mass=380.0,
         comp=[("Bois", 58), ("Laine de roche", 27), ("Plâtre", 15)],
         ext=True, lb=True, fire="REI 30", u=0.22),
    dict(name="Voile béton 25", t=0.25, fu="volume", mass=2450.0,
         comp=[("Béton", 91), ("Acier", 9)], ext=True, lb=True, fire="REI 180", u=3.1),
    dict(name="Mur d'isolation extérieure 30", t=0.30, fu="volume", mass=900.0,
         comp=[("Béton", 60), ("Polystyrène expansé", 30), ("Enduit à la chaux", 10)],
         ext=True, lb=True, fire="REI 120", u=0.18),
    dict(name="Mur béton désactivé 22", t=0.22, fu="volume", mass=2350.0,
         comp=[("Béton désactivé", 90), ("Acier", 10)], ext=True, lb=True,
         fire="REI 120", u=2.6),
]
SLAB_TYPES = [
    dict(name="Dalle béton 20", t=0.20, fu="volume", mass=2400.0, pre="FLOOR",
         comp=[("Béton", 95), ("Acier", 5)]),
    dict(name="Dalle béton 25", t=0.25, fu="volume", mass=2400.0, pre="FLOOR",
         comp=[("Béton", 94), ("Acier", 6)]),
    dict(name="Plancher bois 22", t=0.22, fu="surface", mass=85.0, pre="FLOOR",
         comp=[("Bois", 78), ("Laine de verre", 12), ("Plâtre", 10)]),
    dict(name="Dalle alvéolée 26", t=0.26, fu="surface", mass=350.0, pre="FLOOR",
         comp=[("Béton", 96), ("Acier", 4)]),
    dict(name="Chape sur isolant 12", t=0.12, fu="volume", mass=1900.0, pre="FLOOR",
         comp=[("Mortier", 82), ("Polystyrène expansé", 18)]),
    dict(name="Toiture terrasse 30", t=0.30, fu="surface", mass=420.0, pre="ROOF",
         comp=[("Béton", 80), ("Polystyrène expansé", 14), ("Bitume", 6)]),
    dict(name="Radier 35", t=0.35, fu="volume", mass=2500.0, pre="BASESLAB",
         comp=[("Béton", 93), ("Acier", 7)]),
]
BEAM_TYPES = [
    dict(name="Poutre IPE 300", b=0.15, h=0.30, fu="longueur", mass=42.2,
         comp=[("Acier", 100)]),
    dict(name="Poutre IPE 400", b=0.18, h=0.40, fu="longueur", mass=66.3,
         comp=[("Acier", 100)]),
    dict(name="Poutre HEA 240", b=0.24, h=0.23, fu="longueur", mass=60.3,
         comp=[("Acier", 100)]),
    dict(name="Poutre béton 30x50", b=0.30, h=0.50, fu="longueur", mass=360.0,
         comp=[("Béton", 97), ("Acier", 3)]),
    dict(name="Poutre lamellé-collé 14x40", b=0.14, h=0.40, fu="longueur", mass=25.2,
         comp=[("Bois", 98), ("Acier", 2)]),
    dict(name="Linteau béton 20x25", b=0.20, h=0.25, fu="longueur", mass=120.0,
         comp=[("Béton", 96), ("Acier", 4)]),
]
COLUMN_TYPES = [
    dict(name="Poteau béton 30x30", b=0.30, h=0.30, fu="longueur", mass=216.0,
         comp=[("Béton", 96), ("Acier", 4)]),
    dict(name="Poteau béton 40x40", b=0.40, h=0.40, fu="longueur", mass=384.0,
         comp=[("Béton", 95), ("Acier", 5)]),
    dict(name="Poteau HEB 200", b=0.20, h=0.20, fu="longueur", mass=61.3,
         comp=[("Acier", 100)]),
    dict(name="Poteau bois 20x20", b=0.20, h=0.20, fu="longueur", mass=18.0,
         comp=[("Bois", 100)]),
    dict(name="Poteau acier Ø168", b=0.168, h=0.168, fu="longueur", mass=28.3,
         comp=[("Acier", 100)]),
]
DOOR_TYPES = [
    dict(name="Porte bois 83x204", w=0.83, h=2.04, fu="unite", mass=32.0,
         comp=[("Bois", 85), ("Acier", 15)], op="SINGLE_SWING_LEFT", cons="WOOD"),
    dict(name="Porte bois 93x204", w=0.93, h=2.04, fu="unite", mass=38.0,
         comp=[("Bois", 86), ("Acier", 14)], op="SINGLE_SWING_RIGHT", cons="WOOD"),
    dict(name="Porte coupe-feu 93x204", w=0.93, h=2.04, fu="unite", mass=75.0,
         comp=[("Acier", 70), ("Laine de roche", 25), ("Bois", 5)],
         op="SINGLE_SWING_LEFT", cons="STEEL"),
    dict(name="Porte d'entrée vitrée 140x220", w=1.40, h=2.20, fu="unite", mass=95.0,
         comp=[("Aluminium", 45), ("Verre", 50), ("Acier", 5)],
         op="DOUBLE_DOOR_SINGLE_SWING", cons="ALUMINIUM"),
    dict(name="Porte de service 90x210", w=0.90, h=2.10, fu="unite", mass=45.0,
         comp=[("Acier", 80), ("Polystyrène expansé", 20)],
         op="SINGLE_SWING_RIGHT", cons="STEEL"),
    dict(name="Porte coulissante 120x210", w=1.20, h=2.10, fu="unite", mass=55.0,
         comp=[("Bois", 70), ("Aluminium", 20), ("Verre", 10)],
         op="SLIDING_TO_LEFT", cons="ALUMINIUM_WOOD"),
]
WINDOW_TYPES = [
    dict(name="Fenêtre PVC 120x135", w=1.20, h=1.35, sill=0.90, fu="unite", mass=38.0,
         comp=[("PVC", 45), ("Verre", 50), ("Acier", 5)], op="DOUBLE_PANEL_VERTICAL",
         cons="PLASTIC"),
    dict(name="Fenêtre alu 140x135", w=1.40, h=1.35, sill=0.90, fu="unite", mass=42.0,
         comp=[("Aluminium", 40), ("Verre", 60)], op="DOUBLE_PANEL_VERTICAL",
         cons="ALUMINIUM"),
    dict(name="Fenêtre bois 100x125", w=1.00, h=1.25, sill=0.95, fu="unite", mass=35.0,
         comp=[("Bois", 55), ("Verre", 45)], op="SINGLE_PANEL", cons="WOOD"),
    dict(name="Châssis fixe 60x60", w=0.60, h=0.60, sill=1.60, fu="unite", mass=12.0,
         comp=[("Verre", 70), ("Aluminium", 30)], op="SINGLE_PANEL", cons="ALUMINIUM"),
    dict(name="Baie coulissante 240x215", w=2.40, h=2.15, sill=0.0, fu="unite",
         mass=110.0, comp=[("Aluminium", 35), ("Verre", 65)],
         op="DOUBLE_PANEL_HORIZONTAL", cons="ALUMINIUM"),
    dict(name="Fenêtre de toit 78x98", w=0.78, h=0.98, sill=1.20, fu="unite", mass=22.0,
         comp=[("Bois", 40), ("Verre", 50), ("Aluminium", 10)], op="SINGLE_PANEL",
         cons="WOOD"),
]

# Share of each kind among the building elements of a storey.
KIND_SHARES = [
    ("wall", 0.28), ("slab", 0.06), ("beam", 0.12), ("column", 0.10), ("door", 0.12),
    ("window", 0.18), ("member", 0.06), ("plate", 0.03), ("covering", 0.05),
]
TYPED_KINDS = ("wall", "slab", "beam", "column", "door", "window")

# Padding of the shared sets of the real shape: what vendors add to every set.
EXTRA_PROPERTIES = [
    ("Fabricant", "IFCLABEL", ("Constructions Rhône", "Aciéries du Nord", "BoisTec")),
    ("Référence catalogue", "IFCIDENTIFIER", ("RC-1024", "AN-220", "BT-77")),
    ("Phase", "IFCLABEL", ("Existant", "Nouvelle construction")),
    ("Lot", "IFCLABEL", ("Gros oeuvre", "Charpente", "Second oeuvre")),
    ("Finition", "IFCLABEL", ("Brut", "Peint", "Galvanisé")),
    ("Couleur", "IFCLABEL", ("RAL 7016", "RAL 9010", "Naturel")),
    ("Durée de vie", "IFCREAL", (50, 30, 100)),
    ("Garantie", "IFCREAL", (10, 2, 5)),
    ("Classe d'exposition", "IFCLABEL", ("XC1", "XC4", "XF1")),
    ("Marquage CE", "IFCBOOLEAN", (True, False)),
    ("Norme", "IFCLABEL", ("NF EN 1090", "NF EN 206", "NF EN 14081")),
    ("Recyclable", "IFCBOOLEAN", (True, False)),
    ("Origine", "IFCLABEL", ("France", "Belgique", "Allemagne")),
    ("Distance de transport", "IFCLENGTHMEASURE", (120000, 45000, 800000)),
    ("Émissions COV", "IFCLABEL", ("A+", "A", "B")),
    ("Commentaire", "IFCTEXT", ("Voir carnet de détails", "Sans objet")),
    ("Revêtement", "IFCLABEL", ("Aucun", "Enduit", "Peinture intumescente")),
    ("Traitement", "IFCLABEL", ("Aucun", "Classe 2", "Grenaillage")),
    ("Code article", "IFCIDENTIFIER", ("A-001", "B-114", "C-208")),
    ("Prix unitaire", "IFCREAL", (125.5, 48, 310)),
    ("Statut", "IFCLABEL", ("Validé", "À vérifier")),
    ("Modifié par", "IFCLABEL", ("M. Lefèvre", "J. Martin")),
    ("Numéro de révision", "IFCLABEL", ("A", "B", "C")),
    ("Repère de montage", "IFCLABEL", ("R1", "R2", "R3")),
]
REAL_SET_SIZE = 24

SPACE_NAMES = ["Bureau", "Salle de réunion", "Circulation", "Local technique",
               "Sanitaires", "Hall d'accueil", "Cafétéria", "Réserve"]

STOREY_HEIGHT = 3.0


def split_counts(n, shares):
    """Split n into integer parts proportional to shares (largest remainder)."""
    quotas = [n * s for _, s in shares]
    counts = [int(q) for q in quotas]
    order = sorted(range(len(shares)), key=lambda i: (-(quotas[i] - counts[i]), i))
    for i in order[: n - sum(counts)]:
        counts[i] += 1
    return {k: c for (k, _), c in zip(shares, counts)}


def storey_mix(n):
    c = split_counts(n, KIND_SHARES)
    # Every door and window needs a host wall; a wall hosts at most two openings.
    while c["door"] + c["window"] > 2 * c["wall"]:
        k = "window" if c["window"] >= c["door"] else "door"
        c[k] -= 1
        c["wall"] += 1
    return c


# --------------------------------------------------------------------------------------
# The generator
# --------------------------------------------------------------------------------------


class ModelGenerator:
    def __init__(self, writer, elements, seed=1, length_unit="m", buildings=1,
                 storeys=4, materials=20, shape="synthetic", type_variants=1):
        self.w = writer
        self.n_elements = elements
        self.rng = random.Random(seed)
        self.seed = seed
        self.real = shape == "real"
        self.mm = length_unit == "mm" or self.real
        self.n_buildings = max(1, buildings)
        self.n_storeys = max(1, storeys)
        self.materials = self._material_names(max(1, materials))
        self.type_variants = max(1, type_variants)
        self.tag = 100000  # element tags look like authoring-tool ids
        self.stats = dict.fromkeys(
            [k for k, _ in KIND_SHARES] + ["opening", "assembly", "virtual", "space"], 0)
        # element ids per type object, written as IfcRelDefinesByType at the end
        self.typed = {}
        self.containment = []  # (relation id, storey id, element ids), written at the end
        if self.mm:
            self.L = lambda x: real(round(x * 1000.0, 1))
        else:
            self.L = lambda x: real(round(x, 4))

    @staticmethod
    def _material_names(m):
        names = MATERIAL_NAMES[:m]
        names += ["Matériau %d" % i for i in range(len(names) + 1, m + 1)]
        return names

    # -- small record helpers ---------------------------------------------------------

    def guid(self):
        raw = (self.rng.getrandbits(128) << 4).to_bytes(17, "big")
        return "'" + base64.b64encode(raw).translate(_GUID_TABLE)[:22].decode() + "'"

    def next_tag(self):
        self.tag += self.rng.randint(1, 40)
        return "'%d'" % self.tag

    def pt2(self, x, y):
        return self.w.add("IFCCARTESIANPOINT((%s,%s))" % (self.L(x), self.L(y)))

    def pt3(self, x, y, z):
        return self.w.add("IFCCARTESIANPOINT((%s,%s,%s))" % (self.L(x), self.L(y), self.L(z)))

    def local_placement(self, rel, x, y, z, axis="$", refdir="$"):
        p = self.pt3(x, y, z)
        a = self.w.add("IFCAXIS2PLACEMENT3D(#%d,%s,%s)" % (p, axis, refdir))
        return self.w.add("IFCLOCALPLACEMENT(#%d,#%d)" % (rel, a))

    def outline(self, pts):
        ids = [self.pt2(x, y) for x, y in pts]
        return self.w.add("IFCPOLYLINE(%s)" % refs(ids + ids[:1]))

    def extrusion_of_outline(self, pts, depth, z0=0.0):
        w = self.w
        prof = w.add("IFCARBITRARYCLOSEDPROFILEDEF(.AREA.,$,#%d)" % self.outline(pts))
        if z0:
            pos = w.add("IFCAXIS2PLACEMENT3D(#%d,$,$)" % self.pt3(0.0, 0.0, z0))
        else:
            pos = w.add("IFCAXIS2PLACEMENT3D(#%d,$,$)" % self.origin3)
        return w.add("IFCEXTRUDEDAREASOLID(#%d,#%d,#%d,%s)"
                     % (prof, pos, self.dz, self.L(depth)))

    def extrusion_of_rectangle(self, cx, cy, xdim, ydim, depth, axis="$", refdir="$"):
        w = self.w
        p2 = w.add("IFCAXIS2PLACEMENT2D(#%d,#%d)" % (self.pt2(cx, cy), self.d2x))
        prof = w.add("IFCRECTANGLEPROFILEDEF(.AREA.,$,#%d,%s,%s)"
                     % (p2, self.L(xdim), self.L(ydim)))
        pos = w.add("IFCAXIS2PLACEMENT3D(#%d,%s,%s)" % (self.origin3, axis, refdir))
        return w.add("IFCEXTRUDEDAREASOLID(#%d,#%d,#%d,%s)"
                     % (prof, pos, self.dz, self.L(depth)))

    def body(self, pds, solid, axis_curve=None):
        """Write the shape of a product under the id it already references."""
        w = self.w
        reps = []
        if axis_curve is not None:
            reps.append(w.add("IFCSHAPEREPRESENTATION(#%d,'Axis','Curve2D',(#%d))"
                              % (self.ctx_axis, axis_curve)))
        reps.append(w.add("IFCSHAPEREPRESENTATION(#%d,'Body','SweptSolid',(#%d))"
                          % (self.ctx_body, solid)))
        w.put(pds, "IFCPRODUCTDEFINITIONSHAPE($,$,%s)" % refs(reps))

    def quantities(self, element, qs):
        """BaseQuantities of one element, or of several sharing them (a list);
        qs = [(LENGTH|AREA|VOLUME, name, text)]."""
        w = self.w
        if self.real:
            qs = qs + [("WEIGHT", "GrossWeight", real(round(self.rng.uniform(2.0, 2500.0), 1))),
                       ("COUNT", "Count", "1.")]
        ids = [w.add("IFCQUANTITY%s('%s',$,$,%s)" % q) for q in qs]
        eq = w.add("IFCELEMENTQUANTITY(%s,#%d,'BaseQuantities',$,$,%s)"
                   % (self.guid(), self.oh, refs(ids)))
        elements = refs(element) if isinstance(element, list) else "(#%d)" % element
        w.add("IFCRELDEFINESBYPROPERTIES(%s,#%d,$,$,%s,#%d)"
              % (self.guid(), self.oh, elements, eq))

    def padded(self, props):
        """The real shape's sets: vendor properties up to REAL_SET_SIZE."""
        if not self.real:
            return props
        extra = EXTRA_PROPERTIES[: max(0, REAL_SET_SIZE - len(props))]
        return props + [self.single_value(name, "%s(%s)" % (measure, self.value_text(
                            self.rng.choice(values)))) for name, measure, values in extra]

    @staticmethod
    def value_text(value):
        if isinstance(value, bool):
            return ".T." if value else ".F."
        if isinstance(value, str):
            return step_string(value)
        return real(value)

    def single_value(self, name, value):
        return self.w.add("IFCPROPERTYSINGLEVALUE(%s,$,%s,$)" % (step_string(name), value))

    def property_set(self, name, props):
        return self.w.add("IFCPROPERTYSET(%s,#%d,%s,$,%s)"
                          % (self.guid(), self.oh, step_string(name), refs(props)))

    def area(self, x):
        return real(round(x, 4))

    def volume(self, x):
        return real(round(x, 6))

    # -- model ------------------------------------------------------------------------

    def generate(self):
        w = self.w
        w.raw("ISO-10303-21;\nHEADER;\n")
        w.raw("/* Synthetic model: %d building elements, seed %d, lengths in %s%s */\n"
              % (self.n_elements, self.seed, "millimetres" if self.mm else "metres",
                 ", real shape" if self.real else ""))
        w.raw("FILE_DESCRIPTION(('ViewDefinition [CoordinationView_V2.0, "
              "QuantityTakeOffAddOnView]'),'2;1');\n")
        w.raw("FILE_NAME('synthetic-model.ifc','2024-05-13T10:42:17',(%s),(%s),"
              "'Synthetic IFC model generator 1.0','generate_ifc_model.py','');\n"
              % (step_string("Marie Lefèvre"), step_string("Bureau d'études Synthèse")))
        w.raw("FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n")

        self.write_context()
        self.write_types()
        self.write_spatial_structure()

        per_storey, extra = divmod(self.n_elements, self.n_buildings * self.n_storeys)
        s = 0
        for b in self.buildings:
            shared = {}  # shared property set id -> element ids in this building
            for storey in b["storeys"]:
                n = per_storey + (1 if s < extra else 0)
                s += 1
                self.write_storey(b, storey, n, shared)
                w.maybe_flush()
            # One relation per shared set and building, listing every element using it.
            for pset, elements in shared.items():
                w.add("IFCRELDEFINESBYPROPERTIES(%s,#%d,$,$,%s,#%d)"
                      % (self.guid(), self.oh, refs(elements), pset))
            w.maybe_flush()

        for rel, storey, elements in self.containment:
            if elements:
                w.put(rel, "IFCRELCONTAINEDINSPATIALSTRUCTURE(%s,#%d,'BuildingStoreyContainer',"
                      "$,%s,#%d)" % (self.guid(), self.oh, refs(elements), storey))
        for t in self.types:
            elements = self.typed[t["id"]]
            if elements:
                w.add("IFCRELDEFINESBYTYPE(%s,#%d,$,$,%s,#%d)"
                      % (self.guid(), self.oh, refs(elements), t["id"]))
        # The project goes last under an early id, as some exporters write it.
        w.put(self.project, "IFCPROJECT(%s,#%d,%s,$,$,%s,'Esquisse',(#%d),#%d)"
              % (self.project_guid, self.oh, step_string("Projet synthétique"),
                 step_string("Opération de démonstration"), self.ctx_model, self.units))
        w.raw("ENDSEC;\nEND-ISO-10303-21;\n")
        w.flush()

    def write_context(self):
        w = self.w
        org = w.add("IFCORGANIZATION($,%s,$,$,$)" % step_string("Bureau d'études Synthèse"))
        app = w.add("IFCAPPLICATION(#%d,'1.0','Synthetic IFC model generator','SynthIFC')"
                    % org)
        person = w.add("IFCPERSON($,%s,'Marie',$,$,$,$,$)" % step_string("Lefèvre"))
        po = w.add("IFCPERSONANDORGANIZATION(#%d,#%d,$)" % (person, org))
        self.oh = w.add("IFCOWNERHISTORY(#%d,#%d,$,.ADDED.,$,$,$,1715596937)" % (po, app))
        self.project = w.reserve()
        self.project_guid = self.guid()

        if self.real:
            metre = w.add("IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.)")
            length_dims = w.add("IFCDIMENSIONALEXPONENTS(1,0,0,0,0,0,0)")
            millimetre = w.add("IFCMEASUREWITHUNIT(IFCLENGTHMEASURE(0.001),#%d)" % metre)
            length = w.add("IFCCONVERSIONBASEDUNIT(#%d,.LENGTHUNIT.,'MILLIMETRE',#%d)"
                           % (length_dims, millimetre))
        else:
            length = w.add("IFCSIUNIT(*,.LENGTHUNIT.,%s,.METRE.)"
                           % (".MILLI." if self.mm else "$"))
        units = [length,
                 w.add("IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.)"),
                 w.add("IFCSIUNIT(*,.VOLUMEUNIT.,$,.CUBIC_METRE.)"),
                 w.add("IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.)")]
        radian = w.add("IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.)")
        dims = w.add("IFCDIMENSIONALEXPONENTS(0,0,0,0,0,0,0)")
        factor = w.add("IFCMEASUREWITHUNIT(IFCPLANEANGLEMEASURE(0.017453292519943295),#%d)"
                       % radian)
        units.append(w.add("IFCCONVERSIONBASEDUNIT(#%d,.PLANEANGLEUNIT.,'DEGREE',#%d)"
                           % (dims, factor)))
        units.append(w.add("IFCSIUNIT(*,.TIMEUNIT.,$,.SECOND.)"))
        self.units = w.add("IFCUNITASSIGNMENT(%s)" % refs(units))

        self.origin3 = w.add("IFCCARTESIANPOINT((0.,0.,0.))")
        self.origin2 = w.add("IFCCARTESIANPOINT((0.,0.))")
        self.dx = w.add("IFCDIRECTION((1.,0.,0.))")
        self.dy = w.add("IFCDIRECTION((0.,1.,0.))")
        self.dz = w.add("IFCDIRECTION((0.,0.,1.))")
        self.d2x = w.add("IFCDIRECTION((1.,0.))")
        north = w.add("IFCDIRECTION((6.123233995736766E-17,1.))")
        wcs = w.add("IFCAXIS2PLACEMENT3D(#%d,$,$)" % self.origin3)
        self.ctx_model = w.add("IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,%s,#%d,#%d)"
                               % ("0.01" if self.mm else "1.E-05", wcs, north))
        self.ctx_body = w.add("IFCGEOMETRICREPRESENTATIONSUBCONTEXT('Body','Model',*,*,*,*,"
                              "#%d,$,.MODEL_VIEW.,$)" % self.ctx_model)
        self.ctx_axis = w.add("IFCGEOMETRICREPRESENTATIONSUBCONTEXT('Axis','Model',*,*,*,*,"
                              "#%d,$,.GRAPH_VIEW.,$)" % self.ctx_model)

        self.material_ids = {}
        for name in self.materials:
            self.material_ids[name] = w.add(
                "IFCMATERIAL(%s)" % step_string(name, name in LATIN1_ESCAPED))

    # -- types --------------------------------------------------------------------------

    def composition(self, weights):
        """Map a catalogue composition onto the material list in use, as (name, value)
        pairs: percentages summing to 100 or fractions summing to 1."""
        rng = self.rng
        names = []
        for name, _ in weights:
            if name in self.materials and name not in names:
                names.append(name)
            else:
                spare = [m for m in self.materials if m not in names
                         and m not in (n for n, _ in weights)]
                if spare:
                    names.append(rng.choice(spare))
        weights = [wt for _, wt in weights][: len(names)]
        if len(weights) > 1:
            jittered = [max(1, wt + rng.randint(-3, 3)) for wt in weights[:-1]]
            if sum(jittered) < 100:
                weights = jittered + [100 - sum(jittered)]
        total = sum(weights)
        percents = [wt * 100.0 / total for wt in weights]
        percents = [round(p, 1) for p in percents[:-1]]
        percents.append(round(100.0 - sum(percents), 1))
        if rng.random() < 0.5:
            return names, percents, "IFCREAL"
        fractions = [round(p / 100.0, 4) for p in percents[:-1]]
        fractions.append(round(1.0 - sum(fractions), 4))
        return names, fractions, rng.choice(("IFCREAL", "IFCPOSITIVERATIOMEASURE"))

    def type_property_sets(self, type_entry):
        if not self.real:
            return self.material_property_sets(type_entry)
        vendor = self.property_set("Données fabricant", self.padded([]))
        if self.rng.random() < 1 / 3:
            # As most files come: a material, but none of the properties asked for.
            name = type_entry["comp"][0][0]
            return [vendor], name if name in self.materials else self.materials[0]
        psets, main = self.material_property_sets(type_entry)
        return psets + [vendor], main

    def material_property_sets(self, type_entry):
        mass_kind = self.rng.choice(("IFCREAL", "IFCMASSMEASURE"))
        fu = [self.single_value("Type", "IFCLABEL('%s')" % type_entry["fu"]),
              self.single_value("Masse_par_UF", "%s(%s)" % (mass_kind, real(type_entry["mass"])))]
        psets = [self.property_set("Unite_Fonctionnelle", fu)]
        names, values, measure = self.composition(type_entry["comp"])
        props = [self.single_value(n, "%s(%s)" % (measure, real(v)))
                 for n, v in zip(names, values)]
        psets.append(self.property_set("Pourcentage_PMIB", props))
        if self.rng.random() < 0.5:
            flag = ".T." if self.rng.random() < 0.4 else ".F."
            reused = self.single_value("Réemployé", "IFCBOOLEAN(%s)" % flag)
            psets.append(self.property_set("Réemploi", [reused]))
        return psets, names[0] if names else None

    def write_types(self):
        w = self.w
        rng = self.rng
        self.types = []
        self.types_by_kind = {}
        catalogues = dict(wall=WALL_TYPES, slab=SLAB_TYPES, beam=BEAM_TYPES,
                          column=COLUMN_TYPES, door=DOOR_TYPES, window=WINDOW_TYPES)
        for kind in TYPED_KINDS:
            cat = catalogues[kind]
            picked = sorted(rng.sample(range(len(cat)), rng.randint(3, len(cat))))
            if kind == "slab":
                # whatever the draw, keep a floor slab by volume and one by surface
                picked = sorted(set(picked) | {0, 2})
            self.types_by_kind[kind] = []
            for i, variant in ((i, v) for i in picked for v in range(self.type_variants)):
                type_entry = dict(cat[i])
                if variant:
                    type_entry["name"] = "%s v%d" % (type_entry["name"], variant + 1)
                psets, main = self.type_property_sets(type_entry)
                enc = step_string(type_entry["name"])
                tag = self.next_tag()
                if kind == "door":
                    lining = w.add("IFCDOORLININGPROPERTIES(%s,#%d,$,$,%s,%s,$,$,$,$,$,$,$,$,$)"
                                   % (self.guid(), self.oh, self.L(0.1), self.L(0.05)))
                    panel = w.add("IFCDOORPANELPROPERTIES(%s,#%d,$,$,%s,.SWINGING.,1.,"
                                  ".MIDDLE.,$)" % (self.guid(), self.oh, self.L(0.04)))
                    tid = w.add("IFCDOORSTYLE(%s,#%d,%s,$,$,%s,$,%s,.%s.,.%s.,.F.,.F.)"
                                % (self.guid(), self.oh, enc, refs(psets + [lining, panel]),
                                   tag, type_entry["op"], type_entry["cons"]))
                elif kind == "window":
                    lining = w.add("IFCWINDOWLININGPROPERTIES(%s,#%d,$,$,%s,%s,$,$,$,$,$,$,$)"
                                   % (self.guid(), self.oh, self.L(0.07), self.L(0.05)))
                    panel = w.add("IFCWINDOWPANELPROPERTIES(%s,#%d,$,$,.SIDEHUNGLEFTHAND.,"
                                  ".MIDDLE.,%s,%s,$)"
                                  % (self.guid(), self.oh, self.L(0.06), self.L(0.05)))
                    tid = w.add("IFCWINDOWSTYLE(%s,#%d,%s,$,$,%s,$,%s,.%s.,.%s.,.F.,.F.)"
                                % (self.guid(), self.oh, enc, refs(psets + [lining, panel]),
                                   tag, type_entry["cons"], type_entry["op"]))
                else:
                    entity = dict(wall="IFCWALLTYPE", slab="IFCSLABTYPE", beam="IFCBEAMTYPE",
                                  column="IFCCOLUMNTYPE")[kind]
                    pre = dict(wall="STANDARD", beam="BEAM", column="COLUMN").get(
                        kind, type_entry.get("pre"))
                    tid = w.add("%s(%s,#%d,%s,$,$,%s,$,%s,%s,.%s.)"
                                % (entity, self.guid(), self.oh, enc, refs(psets), tag,
                                   enc, pre))
                if main is not None:
                    w.add("IFCRELASSOCIATESMATERIAL(%s,#%d,$,$,(#%d),#%d)"
                          % (self.guid(), self.oh, tid, self.material_ids[main]))
                type_entry["id"] = tid
                type_entry["enc"] = enc
                type_entry["name_enc"] = enc[:-1]  # element names append ':<tag>'
                self.typed[tid] = []
                self.types.append(type_entry)
                self.types_by_kind[kind].append(type_entry)
            if kind in ("wall", "slab", "door", "window") or self.real:
                self.common_psets(kind)

    def common_psets(self, kind):
        """The Pset_*Common set of each type, later shared by its occurrences."""
        for type_entry in self.types_by_kind[kind]:
            ref = self.single_value("Reference", "IFCIDENTIFIER(%s)" % type_entry["enc"])
            if kind == "wall":
                props = [ref,
                         self.single_value("IsExternal", "IFCBOOLEAN(.%s.)" % "FT"[type_entry["ext"]]),
                         self.single_value("LoadBearing", "IFCBOOLEAN(.%s.)" % "FT"[type_entry["lb"]]),
                         self.single_value("ExtendToStructure", "IFCBOOLEAN(.F.)"),
                         self.single_value("FireRating", "IFCLABEL('%s')" % type_entry["fire"]),
                         self.single_value("ThermalTransmittance",
                                           "IFCTHERMALTRANSMITTANCEMEASURE(%s)"
                                           % real(type_entry["u"]))]
            elif kind == "slab":
                props = [ref,
                         self.single_value("IsExternal", "IFCBOOLEAN(.%s.)"
                                           % ("T" if type_entry["pre"] == "ROOF" else "F")),
                         self.single_value("LoadBearing", "IFCBOOLEAN(.T.)")]
            elif kind in ("beam", "column"):
                props = [ref,
                         self.single_value("LoadBearing", "IFCBOOLEAN(.T.)"),
                         self.single_value("IsExternal", "IFCBOOLEAN(.F.)")]
            else:
                props = [ref,
                         self.single_value("IsExternal", "IFCBOOLEAN(.%s.)"
                                           % self.rng.choice("TF")),
                         self.single_value("FireRating", "IFCLABEL('%s')"
                                           % ("EI 30" if kind == "door" else "E 15"))]
            type_entry["common"] = self.property_set("Pset_%sCommon" % kind.capitalize(),
                                               self.padded(props))

    def pick_slab_type(self, level, top):
        """Roof slabs on the top storey, base slabs on the ground floor, floors elsewhere."""
        if self.rng.random() < 0.02:
            return None
        wanted = {"FLOOR"} | ({"ROOF"} if top else set()) | ({"BASESLAB"} if level == 0 else set())
        if top and any(t["pre"] == "ROOF" for t in self.types_by_kind["slab"]):
            wanted = {"ROOF"}
        return self.rng.choice([t for t in self.types_by_kind["slab"] if t["pre"] in wanted])

    def pick_type(self, kind, untyped_share=0.0):
        if untyped_share and self.rng.random() < untyped_share:
            return None
        return self.rng.choice(self.types_by_kind[kind])

    # -- spatial structure --------------------------------------------------------------

    def write_spatial_structure(self):
        w = self.w
        site_lp = self.local_placement_root()
        site = w.add("IFCSITE(%s,#%d,'Terrain',$,$,#%d,$,$,.ELEMENT.,(45,45,32,520000),"
                     "(4,50,51,840000),%s,$,$)" % (self.guid(), self.oh, site_lp, self.L(170.0)))
        w.add("IFCRELAGGREGATES(%s,#%d,$,$,#%d,(#%d))"
              % (self.guid(), self.oh, self.project, site))
        self.buildings = []
        x0 = 0.0
        for bi in range(self.n_buildings):
            letter = chr(ord("A") + bi % 26) + ("" if bi < 26 else str(bi // 26))
            cell = (self.rng.choice((5.4, 6.0, 7.2)), self.rng.choice((4.8, 5.0, 5.4)))
            blp = self.local_placement(site_lp, x0, 0.0, 0.0)
            addr = w.add("IFCPOSTALADDRESS($,$,$,$,(%s),$,'Lyon',$,'69002','France')"
                         % step_string("%d rue de la République" % (12 + 2 * bi)))
            bid = w.add("IFCBUILDING(%s,#%d,%s,$,$,#%d,$,%s,.ELEMENT.,$,$,#%d)"
                        % (self.guid(), self.oh, step_string("Bâtiment " + letter), blp,
                           step_string("Bâtiment %s - bureaux" % letter), addr))
            storeys = []
            for k in range(self.n_storeys):
                z = k * STOREY_HEIGHT
                slp = self.local_placement(blp, 0.0, 0.0, z)
                name = step_string("Rez-de-chaussée" if k == 0 else "Niveau %d" % k)
                sid = w.add("IFCBUILDINGSTOREY(%s,#%d,%s,$,$,#%d,$,%s,.ELEMENT.,%s)"
                            % (self.guid(), self.oh, name, slp, name, self.L(z)))
                rel = w.reserve()  # containment is written at the end under this id
                self.containment.append((rel, sid, []))
                storeys.append(dict(id=sid, lp=slp, level=k, rel=self.containment[-1][2]))
            w.add("IFCRELAGGREGATES(%s,#%d,$,$,#%d,%s)"
                  % (self.guid(), self.oh, bid, refs(s["id"] for s in storeys)))
            self.buildings.append(dict(id=bid, cell=cell, storeys=storeys, letter=letter))
            # buildings side by side; the footprint grows with the element count
            per = self.n_elements / (self.n_buildings * self.n_storeys)
            x0 += (math.ceil(math.sqrt(max(per * 0.28 / 2, 1))) + 4) * cell[0]
        w.add("IFCRELAGGREGATES(%s,#%d,$,$,#%d,%s)"
              % (self.guid(), self.oh, site, refs(b["id"] for b in self.buildings)))

    def local_placement_root(self):
        a = self.w.add("IFCAXIS2PLACEMENT3D(#%d,$,$)" % self.origin3)
        return self.w.add("IFCLOCALPLACEMENT($,#%d)" % a)

    # -- one storey ---------------------------------------------------------------------

    def write_storey(self, building, storey, n, shared):
        if n <= 0:
            return
        mix = storey_mix(n)
        for k, c in mix.items():
            self.stats[k] += c
        cx, cy = building["cell"]
        ncells = max(1, (mix["wall"] + 1) // 2)
        ncols = max(1, math.ceil(math.sqrt(ncells)))
        nrows = max(1, math.ceil(ncells / ncols))
        grid = dict(cx=cx, cy=cy, ncols=ncols, nrows=nrows)
        contained = storey["rel"]
        top = storey["level"] == self.n_storeys - 1

        self.write_walls(storey, grid, mix, contained, shared)
        self.write_slabs(storey, grid, mix["slab"], contained, shared, top)
        frame = self.write_frame(storey, grid, mix["column"], mix["beam"], shared)
        self.write_assemblies(storey, frame, contained)
        self.write_members(storey, grid, mix["member"], contained)
        self.write_plates(storey, grid, mix["plate"], contained)
        self.write_coverings(storey, grid, mix["covering"], contained)
        if n >= 10:
            self.write_virtual(storey, grid, contained)
        self.write_spaces(storey, grid, max(1, mix["wall"] // 6))

    def element_name(self, type_entry, fallback):
        tag = self.next_tag()
        if type_entry is None:
            return step_string(fallback + ":" + tag[1:-1]), "$", tag
        return "%s:%s'" % (type_entry["name_enc"], tag[1:-1]), type_entry["enc"], tag

    def write_walls(self, storey, grid, mix, contained, shared):
        w = self.w
        rng = self.rng
        nwalls = mix["wall"]
        openings = (["door"] * mix["door"]) + (["window"] * mix["window"])
        rng.shuffle(openings)
        hosted = [[] for _ in range(nwalls)]
        for j, kind in enumerate(openings):
            hosted[j % nwalls].append(kind)
        height = STOREY_HEIGHT
        for i in range(nwalls):
            cell, vertical = divmod(i, 2)
            row, col = divmod(cell, grid["ncols"])
            x, y = col * grid["cx"], row * grid["cy"]
            length = grid["cy"] if vertical else grid["cx"]
            type_entry = self.pick_type("wall", 0.02)
            t = type_entry["t"] if type_entry else 0.2
            name, otype, tag = self.element_name(type_entry, "Mur générique")
            lp = self.local_placement(storey["lp"], x, y, 0.0, "#%d" % self.dz,
                                      "#%d" % (self.dy if vertical else self.dx))
            pds = w.reserve()
            wall = w.add("IFCWALLSTANDARDCASE(%s,#%d,%s,$,%s,#%d,#%d,%s)"
                         % (self.guid(), self.oh, name, otype, lp, pds, tag))
            axis = w.add("IFCPOLYLINE((#%d,#%d))" % (self.pt2(0.0, 0.0), self.pt2(length, 0.0)))
            solid = self.extrusion_of_outline(
                [(0.0, -t / 2), (length, -t / 2), (length, t / 2), (0.0, t / 2)], height)
            self.body(pds, solid, axis)
            contained.append(wall)
            if type_entry:
                self.typed[type_entry["id"]].append(wall)
                shared.setdefault(type_entry["common"], []).append(wall)

            holes = 0.0
            k = len(hosted[i])
            for j, kind in enumerate(hosted[i]):
                holes += self.write_filled_opening(lp, wall, kind, t,
                                                   (2 * j + 1) * length / (2 * k),
                                                   length / k, contained, shared)
            gross_side = length * height
            L = self.L
            self.quantities(wall, [
                ("LENGTH", "Length", L(length)), ("LENGTH", "Height", L(height)),
                ("LENGTH", "Width", L(t)),
                ("VOLUME", "GrossVolume", self.volume(gross_side * t)),
                ("VOLUME", "NetVolume", self.volume((gross_side - holes) * t)),
                ("AREA", "GrossSideArea", self.area(gross_side)),
                ("AREA", "NetSideArea", self.area(gross_side - holes))])
            w.maybe_flush()

    def write_filled_opening(self, wall_lp, wall, kind, t, centre, room, contained, shared):
        """An opening voiding the wall and the door or window filling it; returns the
        opening's area in the wall's side."""
        w = self.w
        type_entry = self.pick_type(kind)
        width = min(type_entry["w"], room - 0.1)
        height = type_entry["h"]
        sill = type_entry.get("sill", 0.0)
        x0 = centre - width / 2

        # Local z of the opening runs through the wall, local y points down: the
        # profile sits below the local x axis.
        through = "#%d" % self.dy, "#%d" % self.dx
        olp = self.local_placement(wall_lp, x0, -t / 2, sill)
        opds = w.reserve()
        opening = w.add("IFCOPENINGELEMENT(%s,#%d,$,$,'Opening',#%d,#%d,$)"
                        % (self.guid(), self.oh, olp, opds))
        solid = self.extrusion_of_rectangle(width / 2, -height / 2, width, height, t, *through)
        self.body(opds, solid)
        w.add("IFCRELVOIDSELEMENT(%s,#%d,$,$,#%d,#%d)" % (self.guid(), self.oh, wall, opening))
        self.stats["opening"] += 1

        depth = min(0.1, t)
        flp = self.local_placement(olp, 0.0, (t - depth) / 2, 0.0)
        fpds = w.reserve()
        name, otype, tag = self.element_name(type_entry, "")
        entity = "IFCDOOR" if kind == "door" else "IFCWINDOW"
        filler = w.add("%s(%s,#%d,%s,$,%s,#%d,#%d,%s,%s,%s)"
                       % (entity, self.guid(), self.oh, name, otype, flp, fpds, tag,
                          self.L(height), self.L(width)))
        solid = self.extrusion_of_rectangle(width / 2, -height / 2, width, height, depth,
                                            *through)
        self.body(fpds, solid)
        w.add("IFCRELFILLSELEMENT(%s,#%d,$,$,#%d,#%d)"
              % (self.guid(), self.oh, opening, filler))
        contained.append(filler)
        self.typed[type_entry["id"]].append(filler)
        shared.setdefault(type_entry["common"], []).append(filler)
        self.quantities(filler, [
            ("LENGTH", "Width", self.L(width)), ("LENGTH", "Height", self.L(height)),
            ("AREA", "Area", self.area(width * height))])
        return width * height

    def write_slabs(self, storey, grid, count, contained, shared, top):
        w = self.w
        if count <= 0:
            return
        total_w = grid["ncols"] * grid["cx"]
        total_d = grid["nrows"] * grid["cy"]
        strip = total_d / count
        for i in range(count):
            type_entry = self.pick_slab_type(storey["level"], top)
            t = type_entry["t"] if type_entry else 0.2
            y0 = i * strip
            # notch one corner of every other slab: real outlines are rarely rectangles
            notch = min(total_w, strip) / 4 if i % 2 else 0.0
            if notch:
                pts = [(0.0, 0.0), (total_w, 0.0), (total_w, strip - notch),
                       (total_w - notch, strip - notch), (total_w - notch, strip), (0.0, strip)]
            else:
                pts = [(0.0, 0.0), (total_w, 0.0), (total_w, strip), (0.0, strip)]
            area = total_w * strip - notch * notch
            perimeter = 2 * (total_w + strip)
            name, otype, tag = self.element_name(type_entry, "Dalle générique")
            lp = self.local_placement(storey["lp"], 0.0, y0, 0.0)
            pds = w.reserve()
            pre = type_entry["pre"] if type_entry else "FLOOR"
            slab = w.add("IFCSLAB(%s,#%d,%s,$,%s,#%d,#%d,%s,.%s.)"
                         % (self.guid(), self.oh, name, otype, lp, pds, tag, pre))
            self.body(pds, self.extrusion_of_outline(pts, t, -t))
            contained.append(slab)
            if type_entry:
                self.typed[type_entry["id"]].append(slab)
                shared.setdefault(type_entry["common"], []).append(slab)
            self.quantities(slab, [
                ("AREA", "GrossArea", self.area(area)), ("AREA", "NetArea", self.area(area)),
                ("VOLUME", "GrossVolume", self.volume(area * t)),
                ("VOLUME", "NetVolume", self.volume(area * t)),
                ("LENGTH", "Perimeter", self.L(perimeter)), ("LENGTH", "Width", self.L(t))])
            w.maybe_flush()

    def write_frame(self, storey, grid, ncolumns, nbeams, shared):
        """Columns on grid nodes and beams along grid lines; returns both id lists."""
        w = self.w
        L = self.L
        columns, beams = [], []
        nodes_x = grid["ncols"] + 1
        for i in range(ncolumns):
            row, col = divmod(i, nodes_x)
            type_entry = self.pick_type("column", 0.02)
            b, h = (type_entry["b"], type_entry["h"]) if type_entry else (0.3, 0.3)
            name, otype, tag = self.element_name(type_entry, "Poteau générique")
            lp = self.local_placement(storey["lp"], col * grid["cx"], row * grid["cy"], 0.0)
            pds = w.reserve()
            column = w.add("IFCCOLUMN(%s,#%d,%s,$,%s,#%d,#%d,%s)"
                           % (self.guid(), self.oh, name, otype, lp, pds, tag))
            self.body(pds, self.extrusion_of_rectangle(0.0, 0.0, b, h, STOREY_HEIGHT))
            columns.append(column)
            if type_entry:
                self.typed[type_entry["id"]].append(column)
                if "common" in type_entry:
                    shared.setdefault(type_entry["common"], []).append(column)
            self.quantities(column, [
                ("LENGTH", "Length", L(STOREY_HEIGHT)),
                ("VOLUME", "GrossVolume", self.volume(b * h * STOREY_HEIGHT)),
                ("AREA", "CrossSectionArea", self.area(b * h))])
            w.maybe_flush()
        for i in range(nbeams):
            cell, along_y = divmod(i, 2)
            row, col = divmod(cell, grid["ncols"])
            length = grid["cy"] if along_y else grid["cx"]
            type_entry = self.pick_type("beam", 0.02)
            b, h = (type_entry["b"], type_entry["h"]) if type_entry else (0.2, 0.4)
            name, otype, tag = self.element_name(type_entry, "Poutre générique")
            # The beam runs along its local z (the extrusion); local x points up.
            lp = self.local_placement(storey["lp"], col * grid["cx"], row * grid["cy"],
                                      STOREY_HEIGHT - h / 2,
                                      "#%d" % (self.dy if along_y else self.dx),
                                      "#%d" % self.dz)
            pds = w.reserve()
            beam = w.add("IFCBEAM(%s,#%d,%s,$,%s,#%d,#%d,%s)"
                         % (self.guid(), self.oh, name, otype, lp, pds, tag))
            self.body(pds, self.extrusion_of_rectangle(0.0, 0.0, h, b, length))
            beams.append(beam)
            if type_entry:
                self.typed[type_entry["id"]].append(beam)
                if "common" in type_entry:
                    shared.setdefault(type_entry["common"], []).append(beam)
            self.quantities(beam, [
                ("LENGTH", "Length", L(length)),
                ("VOLUME", "GrossVolume", self.volume(b * h * length)),
                ("AREA", "CrossSectionArea", self.area(b * h))])
            w.maybe_flush()
        return columns, beams

    def write_assemblies(self, storey, frame, contained):
        """Group a few columns and beams into frames; the parts are then decomposed
        from the assembly instead of being contained in the storey."""
        w = self.w
        columns, beams = frame
        parts = [e for pair in zip(columns, beams) for e in pair]
        parts += columns[len(beams):] + beams[len(columns):]
        count = min(5, 1 + len(parts) // 40) if len(parts) >= 3 else 0
        in_assembly = set()
        assemblies = []
        for a in range(count):
            group = parts[3 * a: 3 * a + 3]
            lp = self.local_placement(storey["lp"], 0.0, 0.0, 0.0)
            aid = w.add("IFCELEMENTASSEMBLY(%s,#%d,%s,$,$,#%d,$,$,.FACTORY.,.RIGID_FRAME.)"
                        % (self.guid(), self.oh, step_string("Portique préfabriqué %d" % (a + 1)),
                           lp))
            w.add("IFCRELAGGREGATES(%s,#%d,'Assemblage',$,#%d,%s)"
                  % (self.guid(), self.oh, aid, refs(group)))
            in_assembly.update(group)
            assemblies.append(aid)
        self.stats["assembly"] += count
        contained.extend(e for e in columns + beams if e not in in_assembly)
        contained.extend(assemblies)

    def write_members(self, storey, grid, count, contained):
        w = self.w
        qs = [("LENGTH", "Length", self.L(2.5)),
              ("VOLUME", "GrossVolume", self.volume(0.1 * 0.05 * 2.5)),
              ("AREA", "CrossSectionArea", self.area(0.1 * 0.05))]
        shared = []  # the real shape's identical pieces share one set per storey
        for i in range(count):
            row, col = divmod(i, grid["ncols"])
            name, _, tag = self.element_name(None, "Montant 100x50")
            lp = self.local_placement(storey["lp"], col * grid["cx"] + grid["cx"] / 2,
                                      row * grid["cy"] + 0.5, 0.0)
            pds = w.reserve()
            member = w.add("IFCMEMBER(%s,#%d,%s,$,'Montant',#%d,#%d,%s)"
                           % (self.guid(), self.oh, name, lp, pds, tag))
            self.body(pds, self.extrusion_of_rectangle(0.0, 0.0, 0.1, 0.05, 2.5))
            contained.append(member)
            if self.real:
                shared.append(member)
            else:
                self.quantities(member, qs)
        if shared:
            self.quantities(shared, qs)

    def write_plates(self, storey, grid, count, contained):
        w = self.w
        qs = [("LENGTH", "Width", self.L(0.013)), ("AREA", "GrossArea", self.area(3.0)),
              ("VOLUME", "GrossVolume", self.volume(3.0 * 0.013))]
        shared = []
        for i in range(count):
            row, col = divmod(i, grid["ncols"])
            name, _, tag = self.element_name(None, "Panneau de façade")
            lp = self.local_placement(storey["lp"], col * grid["cx"], row * grid["cy"] - 0.3,
                                      0.2)
            pds = w.reserve()
            plate = w.add("IFCPLATE(%s,#%d,%s,$,'Panneau',#%d,#%d,%s)"
                          % (self.guid(), self.oh, name, lp, pds, tag))
            self.body(pds, self.extrusion_of_outline(
                [(0.0, 0.0), (1.2, 0.0), (1.2, 2.5), (0.0, 2.5)], 0.013))
            contained.append(plate)
            if self.real:
                shared.append(plate)
            else:
                self.quantities(plate, qs)
        if shared:
            self.quantities(shared, qs)

    def write_coverings(self, storey, grid, count, contained):
        w = self.w
        cx, cy = grid["cx"], grid["cy"]
        for i in range(count):
            row, col = divmod(i, grid["ncols"])
            ceiling = i % 3 == 2
            label = "Faux plafond" if ceiling else "Carrelage"
            name, _, tag = self.element_name(None, label)
            z = STOREY_HEIGHT - 0.4 if ceiling else 0.0
            lp = self.local_placement(storey["lp"], col * cx, row * cy, z)
            pds = w.reserve()
            cov = w.add("IFCCOVERING(%s,#%d,%s,$,%s,#%d,#%d,%s,.%s.)"
                        % (self.guid(), self.oh, name, step_string(label), lp, pds, tag,
                           "CEILING" if ceiling else "FLOORING"))
            self.body(pds, self.extrusion_of_outline(
                [(0.0, 0.0), (cx, 0.0), (cx, cy), (0.0, cy)], 0.02))
            contained.append(cov)
            self.quantities(cov, [
                ("LENGTH", "Width", self.L(0.02)), ("AREA", "GrossArea", self.area(cx * cy)),
                ("AREA", "NetArea", self.area(cx * cy))])

    def write_virtual(self, storey, grid, contained):
        w = self.w
        lp = self.local_placement(storey["lp"], 0.0, grid["cy"] / 2, 0.0)
        pds = w.reserve()
        ve = w.add("IFCVIRTUALELEMENT(%s,#%d,'Limite de zone',$,$,#%d,#%d,$)"
                   % (self.guid(), self.oh, lp, pds))
        line = w.add("IFCPOLYLINE((#%d,#%d))"
                     % (self.pt2(0.0, 0.0), self.pt2(grid["ncols"] * grid["cx"], 0.0)))
        rep = w.add("IFCSHAPEREPRESENTATION(#%d,'Axis','Curve2D',(#%d))" % (self.ctx_axis, line))
        w.put(pds, "IFCPRODUCTDEFINITIONSHAPE($,$,(#%d))" % rep)
        contained.append(ve)
        self.stats["virtual"] += 1

    def write_spaces(self, storey, grid, count):
        w = self.w
        cells = grid["ncols"] * grid["nrows"]
        count = min(count, cells)
        spaces = []
        for i in range(count):
            row, col = divmod(i, grid["ncols"])
            lp = self.local_placement(storey["lp"], col * grid["cx"], row * grid["cy"], 0.0)
            pds = w.reserve()
            label = SPACE_NAMES[i % len(SPACE_NAMES)]
            sid = w.add("IFCSPACE(%s,#%d,'%d.%02d',$,$,#%d,#%d,%s,.ELEMENT.,.INTERNAL.,$)"
                        % (self.guid(), self.oh, storey["level"], i + 1, lp, pds,
                           step_string(label)))
            self.body(pds, self.extrusion_of_outline(
                [(0.1, 0.1), (grid["cx"] - 0.1, 0.1), (grid["cx"] - 0.1, grid["cy"] - 0.1),
                 (0.1, grid["cy"] - 0.1)], STOREY_HEIGHT))
            spaces.append(sid)
        self.stats["space"] += len(spaces)
        if spaces:
            w.add("IFCRELAGGREGATES(%s,#%d,'BuildingStoreyContainer',$,#%d,%s)"
                  % (self.guid(), self.oh, storey["id"], refs(spaces)))


# --------------------------------------------------------------------------------------
# Command line
# --------------------------------------------------------------------------------------


def generate(out, elements, **options):
    """Write a model to the binary file `out` (None: only measure); returns the
    writer and the generator for their counters."""
    writer = StepWriter(out)
    gen = ModelGenerator(writer, elements, **options)
    gen.generate()
    return writer, gen


def elements_for_size(target_bytes, **options):
    """Element count giving about target_bytes, from measured (not written) runs.

    Two small runs give the fixed part and a first per-element size.  Ids get longer
    as the model grows, so for large targets one more run at the estimate corrects
    the per-element size."""
    n1, n2 = 1000, 4000
    b1 = generate(None, n1, **options)[0].bytes
    b2 = generate(None, n2, **options)[0].bytes
    per_element = (b2 - b1) / (n2 - n1)
    fixed = b1 - per_element * n1
    estimate = max(1, int(round((target_bytes - fixed) / per_element)))
    if estimate > 2 * n2:
        measured = generate(None, estimate, **options)[0].bytes
        estimate = int(round(estimate * (target_bytes - fixed) / (measured - fixed)))
    return max(1, estimate)


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Generate a synthetic IFC 2x3 model (STEP physical file).")
    size = parser.add_mutually_exclusive_group(required=True)
    size.add_argument("--elements", type=int, help="number of building elements")
    size.add_argument("--target-mb", type=float,
                      help="instead of --elements: approximate file size in MB (10^6 bytes)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--length-unit", choices=("m", "mm"), default="m")
    parser.add_argument("--shape", choices=("synthetic", "real"), default="synthetic",
                        help="real: the shapes of files from authoring tools (see above); "
                             "lengths are then in millimetres")
    parser.add_argument("--buildings", type=int, default=1)
    parser.add_argument("--storeys-per-building", type=int, default=4)
    parser.add_argument("--materials", type=int, default=20,
                        help="number of material names to draw compositions from")
    parser.add_argument("--type-variants", type=int, default=1,
                        help="element types per catalogue type drawn (variants named 'v2', 'v3'...), "
                             "for models with hundreds of types")
    parser.add_argument("-o", "--output", required=True)
    args = parser.parse_args(argv)

    if args.elements is not None and args.elements < 0:
        parser.error("--elements must not be negative")
    if args.target_mb is not None and args.target_mb <= 0:
        parser.error("--target-mb must be positive")
    for name in ("buildings", "storeys_per_building", "materials", "type_variants"):
        if getattr(args, name) < 1:
            parser.error("--%s must be at least 1" % name.replace("_", "-"))

    options = dict(seed=args.seed, length_unit=args.length_unit, buildings=args.buildings,
                   storeys=args.storeys_per_building, materials=args.materials,
                   shape=args.shape, type_variants=args.type_variants)
    start = time.monotonic()
    elements = args.elements
    if elements is None:
        elements = elements_for_size(args.target_mb * 1e6, **options)
    with open(args.output, "wb", buffering=1 << 20) as out:
        writer, gen = generate(out, elements, **options)
    seconds = time.monotonic() - start
    s = gen.stats
    print("%s: %d elements (%d openings, %d assemblies, %d virtual, %d spaces), %d records, "
          "%d bytes, %.2f s"
          % (os.path.basename(args.output), elements, s["opening"], s["assembly"],
             s["virtual"], s["space"], writer.records, writer.bytes, seconds),
          file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
