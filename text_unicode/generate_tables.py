#!/usr/bin/env python3
"""Writes text_unicode/src/unicode_tables.cpp: the simple lower- and upper-case mappings and the
White_Space set of the Unicode Character Database, read from its UnicodeData.txt and
PropList.txt (Debian's unicode-data puts them in /usr/share/unicode).

    generate_tables.py [--ucd DIR] [--output FILE] [--check]

With --check it writes nothing, and fails when FILE differs from what the database gives: the
committed tables are exactly the script's work on that database.

A case mapping is stored as the difference between a character and its mapping, in a two-stage
table: the characters in blocks of 2^SHIFT, each block an index into the distinct blocks, each
entry of those an index into the distinct differences. Blocks of characters without a mapping
are all one block, so the tables take a few kilobytes. The ASCII characters take the fast path
of text_unicode.h, whose rules this script checks against the database before writing."""
import argparse
import os
import re
import sys

SHIFT = 6
BLOCK = 1 << SHIFT
HERE = os.path.dirname(os.path.abspath(__file__))


def read_case_mappings(path):
    """The simple lower- and upper-case mappings, each a dict code point -> code point."""
    lower, upper = {}, {}
    with open(path, encoding='utf-8') as data:
        for line in data:
            fields = line.rstrip('\n').split(';')
            code = int(fields[0], 16)
            if fields[12]:
                upper[code] = int(fields[12], 16)
            if fields[13]:
                lower[code] = int(fields[13], 16)
    return lower, upper


def read_white_space(path):
    """The White_Space ranges as (first, last) pairs, ascending, and the database's version."""
    ranges, version = [], None
    with open(path, encoding='utf-8') as data:
        for line in data:
            found = re.match(r'# PropList-(\d+\.\d+\.\d+)\.txt', line)
            if found:
                version = found.group(1)
            fields = line.split('#')[0].split(';')
            if len(fields) != 2 or fields[1].strip() != 'White_Space':
                continue
            bounds = fields[0].strip().split('..')
            ranges.append((int(bounds[0], 16), int(bounds[-1], 16)))
    if version is None:
        sys.exit(f'{path}: no version line')
    return sorted(ranges), version


def check_rules(lower, upper, white_space):
    """What text_unicode.h takes for granted: A-Z and a-z map to each other by 32, no other
    ASCII character maps, the ASCII white space is tab to carriage return and the space; and no
    mapping crosses U+FFFF."""
    letters = range(ord('A'), ord('Z') + 1)
    want_lower = {c: c + 32 for c in letters}
    want_upper = {c + 32: c for c in letters}
    got_lower = {c: m for c, m in lower.items() if c < 0x80}
    got_upper = {c: m for c, m in upper.items() if c < 0x80}
    spaces = {c for first, last in white_space for c in range(first, last + 1) if c < 0x80}
    if got_lower != want_lower or got_upper != want_upper or spaces != {9, 10, 11, 12, 13, 32}:
        sys.exit('the ASCII characters no longer follow the fast path of text_unicode.h')
    # Where wchar_t holds 16 bits, a character within them must map within them.
    for mapping in lower, upper:
        if any((c > 0xFFFF) != (m > 0xFFFF) for c, m in mapping.items()):
            sys.exit('a case mapping crosses U+FFFF, which a 16-bit wchar_t cannot follow')


def two_stage(mapping):
    """The limit (mappings stop below it), the block of each 2^SHIFT characters, the distinct
    blocks' entries, and the distinct differences (0 first)."""
    limit = (max(mapping) // BLOCK + 1) * BLOCK
    deltas = [0] + sorted({m - c for c, m in mapping.items()} - {0})
    delta_index = {delta: i for i, delta in enumerate(deltas)}
    blocks, stage1 = {}, []
    for start in range(0, limit, BLOCK):
        block = tuple(delta_index[mapping.get(c, c) - c] for c in range(start, start + BLOCK))
        stage1.append(blocks.setdefault(block, len(blocks)))
    if len(blocks) > 256 or len(deltas) > 256:
        sys.exit('a case table outgrew its one-byte indices')
    stage2 = [entry for block in blocks for entry in block]
    return limit, stage1, stage2, deltas


def numbers(values, per_line, width):
    rows = []
    for start in range(0, len(values), per_line):
        rows.append('    ' + ' '.join(f'{v:>{width}},' for v in values[start:start + per_line]))
    return '\n'.join(rows)


def case_table(name, what, mapping):
    limit, stage1, stage2, deltas = two_stage(mapping)
    return f"""// {what}: {len(mapping)} characters map to another; none at or past U+{limit:04X}.
constexpr std::uint8_t {name}_blocks[] = {{
{numbers(stage1, 16, 3)}
}};
constexpr std::uint8_t {name}_entries[] = {{
{numbers(stage2, 16, 3)}
}};
constexpr std::int32_t {name}_deltas[] = {{
{numbers(deltas, 8, 6)}
}};
"""


def source(version, lower, upper, white_space):
    spaces = '\n'.join(f'    {{0x{first:04X}, 0x{last:04X}}},' for first, last in white_space
                       if last >= 0x80)
    return f"""// The simple case mappings and the White_Space set of the Unicode Character Database
// {version}, as text_unicode.h reads them. Generated by text_unicode/generate_tables.py from
// UnicodeData.txt and PropList.txt: run it again, never edit this file.
// clang-format off
#include <cstdint>

#include "text_unicode/text_unicode.h"

namespace text_unicode::detail {{
namespace {{

static_assert(kBlockShift == {SHIFT}, "the tables were generated for blocks of 2^{SHIFT}");

{case_table('lower', 'Simple lower-case mapping', lower)}
{case_table('upper', 'Simple upper-case mapping', upper)}
}}  // namespace

const CaseTable kLower = {{sizeof lower_blocks << kBlockShift, lower_blocks, lower_entries,
                          lower_deltas}};
const CaseTable kUpper = {{sizeof upper_blocks << kBlockShift, upper_blocks, upper_entries,
                          upper_deltas}};

// White_Space beyond ASCII, ascending.
const CodeRange kWhiteSpace[] = {{
{spaces}
}};
const std::size_t kWhiteSpaceRanges = sizeof kWhiteSpace / sizeof kWhiteSpace[0];

}}  // namespace text_unicode::detail
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--ucd', default='/usr/share/unicode',
                        help='the folder of UnicodeData.txt and PropList.txt')
    parser.add_argument('--output', default=os.path.join(HERE, 'src', 'unicode_tables.cpp'))
    parser.add_argument('--check', action='store_true',
                        help='fail when OUTPUT is not what the database gives; write nothing')
    args = parser.parse_args()

    lower, upper = read_case_mappings(os.path.join(args.ucd, 'UnicodeData.txt'))
    white_space, version = read_white_space(os.path.join(args.ucd, 'PropList.txt'))
    check_rules(lower, upper, white_space)
    text = source(version, lower, upper, white_space)
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
