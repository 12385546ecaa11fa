#!/usr/bin/env python3
"""Writes text_unicode/src/normalization_tables.cpp: what normalization reads of the Unicode
Character Database, from its UnicodeData.txt, CompositionExclusions.txt and
DerivedNormalizationProps.txt (Debian's unicode-data puts them in /usr/share/unicode).

    generate_normalization.py [--ucd DIR] [--output FILE] [--check]

With --check it writes nothing, and fails when FILE differs from what the database gives: the
committed tables are exactly the script's work on that database.

Three two-stage tables, each the characters in blocks of 2^SHIFT, each block an index into the
distinct blocks of entries (blocks alike are stored once):
  * properties: each character's canonical combining class and flags (whether it decomposes,
    canonically or for compatibility; whether it can be in NFC or NFKC; whether it composes with
    the starter before it), as an index into the distinct pairs of the two;
  * decompositions: the character's full decompositions, canonical and for compatibility, each
    already applied over and over until nothing decomposes further, as a place in one pool;
  * compositions: for a character that a primary composite begins with, a place in a pool of
    its pairs (the character that follows, the composite), ascending.
Hangul syllables decompose and compose by arithmetic, not by these tables. The flags are derived
from the mappings and the exclusions, then checked against the database's own quick-check values
before anything is written, and so are the rules normalization.cpp takes for granted."""
import argparse
import os
import re
import sys

from generate_tables import numbers

SHIFT = 6
BLOCK = 1 << SHIFT
HERE = os.path.dirname(os.path.abspath(__file__))

# Hangul syllables, leading consonants, vowels and trailing consonants.
S_BASE, L_BASE, V_BASE, T_BASE = 0xAC00, 0x1100, 0x1161, 0x11A7
L_COUNT, V_COUNT, T_COUNT = 19, 21, 28
S_COUNT = L_COUNT * V_COUNT * T_COUNT

# The flags, as normalization_tables.h names them.
CANONICAL, COMPATIBILITY, NOT_NFC, NOT_NFKC, COMPOSES_BACK = 1, 2, 4, 8, 16


def read_data(path):
    """Each character's combining class (those above 0) and decomposition mapping, a
    (compatibility, [code points]) pair, and the database's version."""
    classes, mappings = {}, {}
    with open(path, encoding='utf-8') as data:
        for line in data:
            fields = line.rstrip('\n').split(';')
            code = int(fields[0], 16)
            if fields[3] != '0':
                classes[code] = int(fields[3])
            if fields[5]:
                parts = fields[5].split()
                tagged = parts[0].startswith('<')
                mappings[code] = (tagged, [int(p, 16) for p in parts[tagged:]])
    return classes, mappings


def read_codes(path):
    """The code points listed in a file of the database, one or a range a line."""
    codes = set()
    with open(path, encoding='utf-8') as data:
        for line in data:
            field = line.split('#')[0].split(';')[0].strip()
            if field:
                bounds = field.split('..')
                codes.update(range(int(bounds[0], 16), int(bounds[-1], 16) + 1))
    return codes


def read_derived(path):
    """The database's Full_Composition_Exclusion set, its quick-check values (property -> {code:
    'N' or 'M'}, every other code 'Y'), and its version."""
    exclusions, quick_check, version = set(), {}, None
    with open(path, encoding='utf-8') as data:
        for line in data:
            found = re.match(r'# DerivedNormalizationProps-(\d+\.\d+\.\d+)\.txt', line)
            if found:
                version = found.group(1)
            fields = [f.strip() for f in line.split('#')[0].split(';')]
            if len(fields) < 2:
                continue
            bounds = fields[0].split('..')
            codes = range(int(bounds[0], 16), int(bounds[-1], 16) + 1)
            if fields[1] == 'Full_Composition_Exclusion':
                exclusions.update(codes)
            elif fields[1].endswith('_QC'):
                quick_check.setdefault(fields[1], {}).update((c, fields[2]) for c in codes)
    if version is None:
        sys.exit(f'{path}: no version line')
    return exclusions, quick_check, version


def full_decomposition(code, mappings, compatibility):
    tagged, parts = mappings.get(code, (True, None))
    if parts is None or (tagged and not compatibility):
        return [code]
    return [d for part in parts for d in full_decomposition(part, mappings, compatibility)]


class Database:
    """What the tables hold, derived from the database's mappings and exclusions."""

    def __init__(self, ucd):
        self.classes, mappings = read_data(os.path.join(ucd, 'UnicodeData.txt'))
        listed = read_codes(os.path.join(ucd, 'CompositionExclusions.txt'))
        self.canonical = {c: full_decomposition(c, mappings, False)
                          for c, (tagged, _) in mappings.items() if not tagged}
        self.compatibility = {c: full_decomposition(c, mappings, True) for c in mappings}
        # Excluded from composition: the listed characters, the singletons and the
        # decompositions that begin with a non-starter.
        self.excluded = {c for c, (tagged, parts) in mappings.items() if not tagged and (
            c in listed or len(parts) == 1 or self.ccc(c) or self.ccc(parts[0]))}
        self.pairs = {}
        for c, (tagged, parts) in mappings.items():
            if not tagged and c not in self.excluded:
                assert len(parts) == 2, f'U+{c:04X} composes from {len(parts)} characters'
                self.pairs.setdefault(parts[0], []).append((parts[1], c))
        hangul = range(S_BASE, S_BASE + S_COUNT)
        self.seconds = {second for pairs in self.pairs.values() for second, _ in pairs}
        self.seconds.update(range(V_BASE, V_BASE + V_COUNT), range(T_BASE + 1, T_BASE + T_COUNT))
        # Characters whose decomposition for compatibility is not their canonical one.
        self.kept_apart = {c for c, d in self.compatibility.items() if self.canonical.get(c) != d}
        self.flags = {}
        for c in set(self.compatibility) | self.excluded | self.seconds | set(hangul):
            decomposes = c in self.canonical or c in hangul
            f = CANONICAL * decomposes + COMPATIBILITY * (decomposes or c in self.compatibility)
            f |= NOT_NFC * (c in self.excluded or c in self.seconds)
            f |= NOT_NFKC * (c in self.excluded or c in self.seconds or c in self.kept_apart)
            f |= COMPOSES_BACK * (c in self.seconds)
            self.flags[c] = f

    def ccc(self, code):
        return self.classes.get(code, 0)


def check_rules(db, exclusions, quick_check):
    """The flags agree with the database's own derived values, and the rules normalization.cpp
    takes for granted hold."""
    if db.excluded != exclusions:
        sys.exit('the composition exclusions derived differ from Full_Composition_Exclusion')
    for c in range(0x110000):
        f = db.flags.get(c, 0)
        derived = {'NFD_QC': 'N' if f & CANONICAL else 'Y',
                   'NFKD_QC': 'N' if f & COMPATIBILITY else 'Y',
                   'NFC_QC': 'N' if c in db.excluded else 'M' if f & COMPOSES_BACK else 'Y',
                   'NFKC_QC': 'N' if c in db.excluded or c in db.kept_apart else
                   'M' if f & COMPOSES_BACK else 'Y'}
        for prop, value in derived.items():
            if quick_check[prop].get(c, 'Y') != value:
                sys.exit(f'U+{c:04X}: {prop} derived {value}, the database says otherwise')
    if any(db.ccc(c) or db.flags.get(c) for c in range(0x80)):
        sys.exit('an ASCII character no longer takes the fast path of normalization.cpp')
    # A text is normalized from its last starter that takes the quick check: that character's
    # decomposition must begin with a starter that composes with nothing before it.
    for c in range(0x110000):
        f = db.flags.get(c, 0)
        for not_form, decomposition in (NOT_NFC, db.canonical), (NOT_NFKC, db.compatibility):
            first = decomposition.get(c, [c])[0]
            if db.ccc(c) == 0 and not f & not_form and (db.ccc(first) or first in db.seconds):
                sys.exit(f'U+{c:04X} takes the quick check but may join what is before it')
    # A composite stands where its starter stood: it is a starter too.
    if any(db.ccc(p) for pairs in db.pairs.values() for _, p in pairs):
        sys.exit('a primary composite has a combining class')


def two_stage(entry_of, limit):
    """The block of each 2^SHIFT characters below limit and the distinct blocks' entries."""
    blocks, stage1 = {}, []
    for start in range(0, limit, BLOCK):
        block = tuple(entry_of(c) for c in range(start, start + BLOCK))
        stage1.append(blocks.setdefault(block, len(blocks)))
    if len(blocks) > 256:
        sys.exit('a table outgrew its one-byte block indices')
    return stage1, [entry for block in blocks for entry in block]


def hex_numbers(values, per_line):
    rows = []
    for start in range(0, len(values), per_line):
        rows.append('    ' + ' '.join(f'0x{v:05X},' for v in values[start:start + per_line]))
    return '\n'.join(rows)


def limit_of(codes):
    return (max(codes) // BLOCK + 1) * BLOCK


def table(name, what, entry_type, width, entry_of, codes):
    limit = limit_of(codes)
    stage1, stage2 = two_stage(entry_of, limit)
    return f"""// {what}; every character at or past U+{limit:04X} has entry 0.
constexpr std::uint8_t {name}_blocks[] = {{
{numbers(stage1, 16, 3)}
}};
constexpr {entry_type} {name}_entries[] = {{
{numbers(stage2, 16 if width <= 3 else 12, width)}
}};
"""


def source(db, version):
    # The distinct (class, flags) pairs, the pair of the characters outside the tables first.
    properties = {(0, 0): 0}
    for c in sorted(set(db.classes) | set(db.flags)):
        properties.setdefault((db.ccc(c), db.flags.get(c, 0)), len(properties))
    if len(properties) > 256:
        sys.exit('the properties outgrew their one-byte index')

    # The decompositions' pool: for each character, a header (the canonical length, the
    # compatibility length << 8, and 1 << 16 where the two are the same), then the canonical
    # decomposition, then the compatibility one where it differs. Place 0 is no decomposition.
    pool, place = [0], {}
    for c in sorted(db.compatibility):
        canonical, compatibility = db.canonical.get(c, []), db.compatibility[c]
        same = canonical == compatibility
        if max(len(canonical), len(compatibility)) > 255:
            sys.exit(f'U+{c:04X}: a decomposition outgrew its one-byte length')
        place[c] = len(pool)
        pool += [len(canonical) | len(compatibility) << 8 | same << 16] + canonical
        pool += [] if same else compatibility
    # The compositions' pool: for each first character, the count of its pairs, then each pair's
    # second character and composite, the seconds ascending. Place 0 is no composition.
    compositions, first_place = [0], {}
    for first in sorted(db.pairs):
        first_place[first] = len(compositions)
        pairs = sorted(db.pairs[first])
        compositions += [len(pairs)] + [code for pair in pairs for code in pair]
    if max(len(pool), len(compositions)) > 0x10000:
        sys.exit('a pool outgrew its 16-bit places')

    pairs = '\n'.join(f'    {{{ccc:3}, 0x{flags:02X}}},' for ccc, flags in properties)
    property_codes = set(db.classes) | set(db.flags)
    return f"""// Normalization's tables of the Unicode Character Database {version}, as
// normalization_tables.h reads them. Generated by text_unicode/generate_normalization.py from
// UnicodeData.txt, CompositionExclusions.txt and DerivedNormalizationProps.txt: run it again,
// never edit this file.
// clang-format off
#include "normalization_tables.h"

namespace text_unicode::detail {{
namespace {{

static_assert(kNormalizationShift == {SHIFT}, "the tables were generated for blocks of 2^{SHIFT}");

{table('property', 'Each character: an index into kProperties', 'std::uint8_t', 3,
       lambda c: properties[(db.ccc(c), db.flags.get(c, 0))], property_codes)}
{table('decomposition', 'Each character: its place in kDecompositions, 0 for none',
       'std::uint16_t', 5, lambda c: place.get(c, 0), set(place))}
{table('composition', 'Each character: its place in kCompositions, 0 for none',
       'std::uint16_t', 5, lambda c: first_place.get(c, 0), set(first_place))}
}}  // namespace

// The distinct pairs of a combining class and flags: {len(db.classes)} characters have a class
// above 0, {len(db.flags)} have flags.
const NormalizationProperties kProperties[] = {{
{pairs}
}};

const TwoStage<std::uint8_t> kPropertyIndex = {{sizeof property_blocks << kNormalizationShift,
                                               property_blocks, property_entries}};
const TwoStage<std::uint16_t> kDecompositionIndex = {{
    sizeof decomposition_blocks << kNormalizationShift, decomposition_blocks,
    decomposition_entries}};
const TwoStage<std::uint16_t> kCompositionIndex = {{
    sizeof composition_blocks << kNormalizationShift, composition_blocks, composition_entries}};

// {len(db.canonical)} canonical decompositions and {len(db.compatibility)} for compatibility,
// each full.
const char32_t kDecompositions[] = {{
{hex_numbers(pool, 10)}
}};

// {sum(map(len, db.pairs.values()))} primary composites of {len(db.pairs)} first characters.
const char32_t kCompositions[] = {{
{hex_numbers(compositions, 10)}
}};

}}  // namespace text_unicode::detail
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--ucd', default='/usr/share/unicode',
                        help='the folder of UnicodeData.txt, CompositionExclusions.txt and '
                             'DerivedNormalizationProps.txt')
    parser.add_argument('--output',
                        default=os.path.join(HERE, 'src', 'normalization_tables.cpp'))
    parser.add_argument('--check', action='store_true',
                        help='fail when OUTPUT is not what the database gives; write nothing')
    args = parser.parse_args()

    db = Database(args.ucd)
    exclusions, quick_check, version = read_derived(
        os.path.join(args.ucd, 'DerivedNormalizationProps.txt'))
    check_rules(db, exclusions, quick_check)
    text = source(db, version)
    if args.check:
        with open(args.output, encoding='utf-8') as committed:
            if committed.read() != text:
                sys.exit(f'{args.output} is not what {os.path.basename(__file__)} makes of the '
                         f'database in {args.ucd}: run it again')
        print(f'{args.output}: the tables of Unicode {version}, as generated')
    else:
        with open(args.output, 'w', encoding='utf-8') as out:
            out.write(text)


if __name__ == '__main__':
    main()
