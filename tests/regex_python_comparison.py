#!/usr/bin/env python3
"""regexsplit and regexfindall against Python's re.split and re.finditer, on random patterns and
texts, through the built icehost: what docs/nodes.md promises of the two.

usage: regex_python_comparison.py BUILD_DIR [COUNT] [SEED]

COUNT cases per node (default 2000), from SEED (default 1). Patterns come from the syntax
ECMAScript and Python read alike (compiled with re.ASCII, so that \\d \\w \\b are ASCII's in both):
literals, classes, escapes, assertions, greedy and lazy quantifiers, groups, (?:), lookaheads (on
Boost.Regex), alternation. Texts come from an alphabet with characters past U+FFFF and a non-ASCII
digit, without the line ends that . and $ read differently. Fails on any difference but those the
docs give as ECMAScript's reading (by_design); prints the counts.
"""
import json, random, re, subprocess, sys

build, count, seed = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 2000, \
    int(sys.argv[3]) if len(sys.argv) > 3 else 1
rng = random.Random(seed)
ALPHABET = ['a', 'b', 'c', 'a', 'b', '1', '2', ' ', '-', '_', '\u00e9', '\U0001F600', '\U00010400',
            '\u0663']
ATOMS = ['a', 'b', 'c', '1', '-', ' ', '\U0001F600', '\u00e9', '.', '[ab]', '[^a1]', '[a-c]',
         '[\U0001F600b]', '\\d', '\\w', '\\W', '\\D', '\\s', '\\-']
ASSERTS = ['^', '$', '\\b', '\\B']
QUANTS = ['*', '+', '?', '*?', '+?', '??', '{1,2}', '{0,1}', '{2}', '{0,2}?']


def pattern(depth=0):
    """(capturing form, form without groups, groups)"""
    parts, plain, groups = [], [], 0
    for _ in range(rng.randint(1, 3)):
        r = rng.random()
        if r < 0.12 and depth < 2:
            inner, inner_plain, g = pattern(depth + 1)
            kind = rng.choice(['(', '(?:', '(?=', '(?!'])
            if kind in ('(?=', '(?!'):
                # lookaheads: no group inside, so that their groups mean the same in both
                inner = inner_plain
                g = 0
            groups += g + (kind == '(')
            parts.append(kind + inner + ')')
            plain.append(('(?:' if kind == '(' else kind) + inner_plain + ')')
        elif r < 0.2:
            a = rng.choice(ASSERTS)
            parts.append(a), plain.append(a)
            continue
        else:
            a = rng.choice(ATOMS)
            parts.append(a), plain.append(a)
        if rng.random() < 0.35 and not parts[-1].startswith('(?=') and not parts[-1].startswith('(?!'):
            q = rng.choice(QUANTS)
            parts[-1] += q
            plain[-1] += q
    if rng.random() < 0.25:
        other, other_plain, g = pattern(depth + 1)
        return ''.join(parts) + '|' + other, ''.join(plain) + '|' + other_plain, groups + g
    return ''.join(parts), ''.join(plain), groups


def text():
    return ''.join(rng.choice(ALPHABET) for _ in range(rng.randint(0, 12)))


def run(node, cases):
    args = [f'{build}/bin/icehost', 'eval', node, '--elements', str(len(cases)), '--json']
    for k, case in enumerate(cases):
        args += ['--set', f'String@{k}={case["text"]}', '--set', f'Pattern@{k}={case["pattern"]}']
        if node == 'regexfindall':
            args += ['--set', f'Group@{k}={case["group"]}']
    out = subprocess.run(args, capture_output=True, text=True, check=True).stdout
    written = json.loads(out)['written']
    return [w['value'] for w in sorted(written, key=lambda w: w['element'])]


def expected(node, case):
    compiled = re.compile(case['pattern'], re.ASCII)
    if node == 'regexsplit':
        return re.split(re.compile(case['plain'], re.ASCII), case['text'])
    g = case['group']
    if g < 0 or g > compiled.groups:
        return []
    return [m.group(g) or '' for m in compiled.finditer(case['text'])]


def by_design(node, case):
    """Why the two may differ by design, or None: ECMAScript's reading where Python's differs."""
    if case['text'] == '' and '\\B' in case['pattern']:
        return 'ECMAScript\'s \\B matches in the empty text, Python\'s does not'
    if node == 'regexfindall' and case['group'] > 0 and re.search(r'\)(\*|\+|\?|\{)', case['pattern']):
        return 'a group in a repeat that can match nothing'
    return None


compared = agreed = python_rule = groups_used = boost = 0
explained = {}
differences = []
for node in ('regexsplit', 'regexfindall'):
    cases = []
    for _ in range(count):
        p, plain, groups = pattern()
        cases.append({'pattern': p, 'plain': plain, 'text': text(),
                      'group': rng.randint(-1, groups + 1) if rng.random() < 0.15 else
                      rng.randint(0, groups)})
    got = []
    for i in range(0, len(cases), 250):
        got += run(node, cases[i:i + 250])
    for case, value in zip(cases, got):
        want = expected(node, case)
        spans = [m.span() for m in re.finditer(case['pattern'], case['text'], re.ASCII)]
        python_rule += any(a[0] == a[1] == b[0] < b[1] for a, b in zip(spans, spans[1:]))
        groups_used += node == 'regexfindall' and case['group'] > 0
        boost += '(?' in case['pattern'].replace('(?:', '')
        compared += 1
        if value == want:
            agreed += 1
        elif by_design(node, case):
            explained[by_design(node, case)] = explained.get(by_design(node, case), 0) + 1
        else:
            differences.append((node, case, value, want))
print(f'compared {compared}, agreed {agreed}, differing by design {sum(explained.values())}, '
      f'otherwise {len(differences)}')
print(f'  of them {python_rule} with a match that is not empty where an empty one was, '
      f'{groups_used} of a group past 0, {boost} with a lookahead (Boost.Regex)')
for why, n in explained.items():
    print(f'  {n}: {why}')
for node, case, value, want in differences[:40]:
    print(node, json.dumps(case, ensure_ascii=False), 'node', json.dumps(value, ensure_ascii=False),
          'python', json.dumps(want, ensure_ascii=False))
sys.exit(1 if differences else 0)
