#!/usr/bin/env python3
"""Make a large IFC 2x3 model out of real ones by repeating them.

Each copy of each input gets its instance numbers shifted past those of the copies
before it, and GlobalIds of its own, derived from the originals: the same inputs and
arguments give the same bytes.  The copies share the first input's IfcProject (a
file has one project); the other projects are left out and references to them point
to the kept one.  Whatever the inputs hold otherwise (their units, owner histories,
sites) is repeated as it is, so the result keeps their shapes: the authoring tools'
property sets, quantities, types and instance order.

    repeat_ifc_model.py --target-mb 200 -o /tmp/repeated.ifc
    repeat_ifc_model.py --copies 3 -o /tmp/r.ifc a.ifc b.ifc
"""

import argparse
import os
import re
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
SHARED = REPO.parent / "shared"

# A record of the DATA section: its number and its text up to the ';' that ends it,
# quoted strings (which may hold ';') taken whole.
RECORD = re.compile(r"#(\d+)\s*=\s*([A-Za-z0-9_]+)\s*((?:'(?:[^']|'')*'|[^;'])*);")
# What changes from copy to copy in a record: its references.  Strings are matched
# so that a '#' inside one is left alone.
TOKEN = re.compile(r"'(?:[^']|'')*'|#(\d+)")
GUID_CHARS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$"
GUID_VALUE = {c: i for i, c in enumerate(GUID_CHARS)}
# Odd, so that adding it walks every 128-bit value before coming back.
GUID_STEP = 0x9E3779B97F4A7C15F39CC0605CEDC835


def guid_number(text):
    n = 0
    for c in text:
        n = n * 64 + GUID_VALUE[c]
    return n


def guid_text(n):
    chars = []
    for _ in range(22):
        n, digit = divmod(n, 64)
        chars.append(GUID_CHARS[digit])
    return "".join(reversed(chars))


def rooted_entities(schema_dir):
    """Upper-case names of the entities that carry a GlobalId (IfcRoot's subtypes)."""
    names = set()
    for line in (schema_dir / "ifc2x3-entities.tsv").read_text().splitlines():
        if not line.startswith("#"):
            fields = line.split("\t")
            if fields[5].split(">")[0] == "IfcRoot":
                names.add(fields[0].upper())
    return names


class Sample:
    """One input, compiled once into a %-template of its DATA section whose
    values (references and GlobalIds) are filled in for each copy."""

    def __init__(self, path, rooted):
        text = Path(path).read_bytes().decode("latin-1")
        data = text.split("DATA;", 1)[1].rsplit("ENDSEC;", 1)[0]
        parts, self.slots = [], []
        self.project = self.project_template = self.project_slots = None
        self.span = 0
        for m in RECORD.finditer(data):
            number, entity, body = int(m.group(1)), m.group(2).upper(), m.group(3)
            body = body.replace("\r", "").replace("\n", "")
            self.span = max(self.span, number)
            if entity != "IFCPROJECT":
                parts.append(self.compile(number, entity, body, rooted, self.slots))
            elif self.project is None:
                self.project, self.project_slots = number, []
                self.project_template = self.compile(number, entity, body, rooted,
                                                     self.project_slots)
            else:
                raise ValueError("%s: more than one IFCPROJECT" % path)
        if self.project is None:
            raise ValueError("%s: no IFCPROJECT" % path)
        self.template = "".join(parts)

    def copy_size(self, offset):
        """Bytes of one copy whose numbers are shifted by about offset."""
        refs = [n + offset for kind, n in self.slots if kind == "ref"]
        guids = len(self.slots) - len(refs)
        return (len(self.template) - 2 * len(self.slots) + sum(len(str(n)) for n in refs)
                + 22 * guids)

    @staticmethod
    def compile(number, entity, body, rooted, slots):
        """The record as a template; its values are appended to slots."""
        out = ["#%d=", entity]
        slots.append(("ref", number))
        first_string = entity in rooted
        position = 0
        for m in TOKEN.finditer(body):
            out.append(body[position:m.start()].replace("%", "%%"))
            position = m.end()
            if m.group(1) is not None:
                out.append("#%d")
                slots.append(("ref", int(m.group(1))))
            elif first_string and len(m.group()) == 24:
                out.append("'%s'")
                slots.append(("guid", m.group()[1:-1]))
            else:
                out.append(m.group().replace("%", "%%"))
            first_string = False
        out.append(body[position:].replace("%", "%%"))
        out.append(";\n")
        return "".join(out)


class Repeater:
    def __init__(self, samples):
        self.samples = samples
        self.kept_project = samples[0].project
        self.guids = set()

    def fresh_guid(self, original, copy):
        n = (guid_number(original) + copy * GUID_STEP) % (1 << 128)
        while n in self.guids:  # a clash is unlikely, but would break the file
            n = (n + 1) % (1 << 128)
        self.guids.add(n)
        return guid_text(n)

    def write(self, out, copies):
        out.write("ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView_V2.0]'),"
                  "'2;1');\nFILE_NAME('%s','2024-05-13T10:42:17',(''),(''),'repeat_ifc_model.py',"
                  "'repeat_ifc_model.py','');\nFILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n"
                  % os.path.basename(out.name))
        first = self.samples[0]
        out.write(first.project_template % self.values(first, first.project_slots, 0, 0))
        offset = 0
        for copy in range(copies):
            for sample in self.samples:
                out.write(sample.template % self.values(sample, sample.slots, copy, offset))
                offset += sample.span
        out.write("ENDSEC;\nEND-ISO-10303-21;\n")

    def values(self, sample, slots, copy, offset):
        """References shifted (the project's to the kept one) and GlobalIds of the copy."""
        project, kept = sample.project, self.kept_project
        return tuple(self.fresh_guid(original, copy) if kind == "guid"
                     else kept if original == project else original + offset
                     for kind, original in slots)


def copies_for_size(samples, target_bytes):
    """Copies giving about target_bytes: numbers get longer as copies are added,
    so a copy is measured with the numbers of the middle copy of a first guess."""
    span = sum(s.span for s in samples)
    guess = target_bytes / sum(s.copy_size(0) for s in samples)
    middle = int(guess / 2) * span
    return max(1, round(target_bytes / sum(s.copy_size(middle) for s in samples)))


def main(argv=None):
    parser = argparse.ArgumentParser(description="Repeat real IFC 2x3 models into a large one.")
    parser.add_argument("inputs", nargs="*", type=Path,
                        help="models to repeat (default: the .ifc files of ../shared/samples)")
    size = parser.add_mutually_exclusive_group(required=True)
    size.add_argument("--copies", type=int, help="how many times to repeat the inputs")
    size.add_argument("--target-mb", type=float, help="approximate size in MB (10^6 bytes)")
    parser.add_argument("-o", "--output", required=True)
    args = parser.parse_args(argv)

    inputs = args.inputs or sorted((SHARED / "samples").glob("*.ifc"))
    if not inputs:
        parser.error("no input models (and none in %s)" % (SHARED / "samples"))
    if args.copies is not None and args.copies < 1:
        parser.error("--copies must be at least 1")
    if args.target_mb is not None and args.target_mb <= 0:
        parser.error("--target-mb must be positive")
    start = time.monotonic()
    try:
        rooted = rooted_entities(SHARED / "ifc2x3")
        samples = [Sample(path, rooted) for path in inputs]
    except (OSError, ValueError) as error:
        parser.error(str(error))
    copies = args.copies or copies_for_size(samples, args.target_mb * 1e6)
    with open(args.output, "w", encoding="latin-1", newline="\n", buffering=1 << 20) as out:
        Repeater(samples).write(out, copies)
    print("%s: %d copies of %d models, %d bytes, %.1f s"
          % (os.path.basename(args.output), copies, len(samples), os.path.getsize(args.output),
             time.monotonic() - start), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
