#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into corpus/<target>/, encoding each seed's
choices the way fuzz_input.h and plugin_trial.h decode them: texts and item values from the
front of the input; every count, flag, pulled port and index set from its back, last byte
first. Run it again whenever the decoding changes."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus')


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # one-byte choices, in the order they are taken

    def text(self, text):
        """A text as fuzz_input.h reads it, ended by a backslash and another byte."""
        encoded = bytearray()
        for character in text:
            code = ord(character)
            if code <= 0xEA:
                encoded.append(code)
            elif code <= 0xFFFF:
                encoded += bytes([0xEC, code >> 8, code & 0xFF])
            else:
                encoded += bytes([0xF4, code >> 16, (code >> 8) & 0xFF, code & 0xFF])
        self.front += encoded.replace(b'\\', b'\\\\') + b'\\X'

    def word(self, bits):
        self.front += struct.pack('<I', bits & 0xFFFFFFFF)

    def real(self, value):
        self.front += struct.pack('<f', value)

    def byte(self, value):
        self.back.append(value & 0xFF)

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def own(seed):
    seed.byte(0)  # a byte below 0xE0 pulls the node's own output


def other(seed, pick):
    seed.byte(0xE0 + pick)  # one of the node's input ids


def index_range(seed, count):
    seed.byte(0)
    seed.byte(count)


def index_bits(seed, bits):
    seed.byte(1)
    seed.byte(len(bits))
    for start in range(0, len(bits), 8):
        seed.byte(sum(1 << i for i, bit in enumerate(bits[start:start + 8]) if bit))


def index_list(seed, entries):
    seed.byte(2)
    seed.byte(len(entries))
    for entry in entries:
        seed.byte(0xFF if entry is None else entry)


def write(target, name, seed):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as out:
        out.write(seed.data())


# Each seed: the ports in registration order, each an element count and, for an array port, a
# constant flag; then the pulled port and the index set; then the node's own choices.

def kestrune(name, text, sub, remove_all, counts, index, pull=own):
    seed = Seed()
    for count in counts:
        seed.byte(count)
    pull(seed)
    index(seed)
    seed.text(text)
    seed.text(sub)
    seed.byte(1 if remove_all else 0)
    write('fuzz_kestrune', name, seed)


def text_and_delimiter(target, name, text, delimiter, counts, constant_output, index):
    seed = Seed()
    for count in counts:
        seed.byte(count)
    seed.byte(1 if constant_output else 0)
    own(seed)
    index(seed)
    seed.text(text)
    seed.text(delimiter)
    write(target, name, seed)


def ocherin(name, text, counts, constant_output, index):
    seed = Seed()
    seed.byte(counts[0])
    seed.byte(counts[1])
    seed.byte(1 if constant_output else 0)
    own(seed)
    index(seed)
    seed.text(text)
    write('fuzz_ocherin', name, seed)


def numbers(target, name, elements, constant_input, output_count, constant_output, index):
    """elements: the items of each input element; a float, or an int as a raw bit pattern."""
    seed = Seed()
    seed.byte(len(elements))
    seed.byte(1 if constant_input else 0)
    seed.byte(output_count)
    seed.byte(1 if constant_output else 0)
    own(seed)
    index(seed)
    for items in elements:
        seed.byte(len(items))
        for item in items:
            seed.real(item) if isinstance(item, float) else seed.word(item)
    write(target, name, seed)


TEXT_TOOLS = ['textlength', 'textfind', 'textreplace', 'textslice', 'textjoin', 'textnumber']
# Each node's input ports, in registration order: 'text', 'texts' (an array of texts), 'boolean'
# or 'integer'.
TEXT_TOOL_PORTS = {'textlength': ['text'], 'textfind': ['text', 'text'],
                   'textreplace': ['text', 'text', 'text', 'boolean'],
                   'textslice': ['text', 'integer', 'integer'], 'textjoin': ['texts', 'text'],
                   'textnumber': ['text']}
# The nodes of several outputs, and how many (each a one-value port).
TEXT_TOOL_OUTPUTS = {'textfind': 2, 'textnumber': 2}


def text_tools(name, node, pool, elements, constant, index, output_count=None, output=0):
    """pool: the four texts. elements: per element, one value per input port: a pool pick for a
    text (0-3 a text, 4-7 text i - 4 and the next joined), a list of picks for an array of texts,
    True or False, or an integer (small ones as themselves, others as a raw word). constant: the
    index of the input port handed over as constant, or None. output: the output checked and
    pulled, of a node of several."""
    ports = TEXT_TOOL_PORTS[node]
    outputs = TEXT_TOOL_OUTPUTS.get(node, 1)
    count = len(elements)
    seed = Seed()
    seed.byte(TEXT_TOOLS.index(node))
    for i, kind in enumerate(ports):
        seed.byte(count)
        if kind == 'texts':
            seed.byte(1 if constant == i else 0)
    for _ in range(outputs):
        seed.byte(count if output_count is None else output_count)
    if outputs > 1:
        seed.byte(output)
    own(seed)
    index(seed)
    for text in pool:
        seed.text(text)
    for i, kind in enumerate(ports):
        if kind != 'texts':
            seed.byte(1 if constant == i else 0)
        for values in elements:
            value = values[i]
            if kind == 'texts':
                seed.byte(len(value))
                for pick in value:
                    seed.byte(pick)
            elif kind == 'boolean':
                seed.byte(1 if value else 0)
            elif kind == 'integer':
                if -20 <= value <= 20:
                    seed.byte(0)
                    seed.byte(value + 20)
                else:
                    seed.byte(2)
                    seed.word(value)
            else:
                seed.byte(value)
    write('fuzz_text_tools', name, seed)



def textformat(name, formats, elements, constant_format, constant_values, index):
    """formats: the three formats, each given whole. elements: per element, the pick of its
    format and its values, a float or an int as a raw bit pattern."""
    count = len(elements)
    seed = Seed()
    seed.byte(count)
    seed.byte(count)
    seed.byte(1 if constant_values else 0)
    seed.byte(count)
    own(seed)
    index(seed)
    for text in formats:
        seed.byte(0)  # a format given whole, not made of pieces
        seed.text(text)
    seed.byte(1 if constant_format else 0)
    for pick, _ in elements:
        seed.byte(pick)
    for _, values in elements:
        seed.byte(len(values))
        for value in values:
            seed.byte(1)  # a raw 32-bit pattern
            seed.real(value) if isinstance(value, float) else seed.word(value)
    write('fuzz_textformat', name, seed)

kestrune('default_all', 'this_string_has_a_subString_and_another_subString_in_it', 'subString',
         True, [10, 10, 10, 10], lambda s: index_range(s, 10))
kestrune('joined_list', 'aabb', 'ab', True, [5, 5, 5, 5], lambda s: index_list(s, [3, None, 1]))
kestrune('first_only_bits', 'xaby ab', 'ab', False, [40, 40, 40, 40],
         lambda s: index_bits(s, [1, 0, 1] + [0] * 30 + [1, 1]))
kestrune('absent_marker', 'abc', 'x', True, [3, 3, 3, 3], lambda s: index_list(s, [2]))
kestrune('wide_nul', 'a\0b\u20ac\U0001F600a\0b', 'a\0b', True, [3, 1, 2, 3],
         lambda s: index_range(s, 3))
kestrune('other_port', 'aaaa', 'aa', True, [4, 4, 4, 4], lambda s: index_range(s, 4),
         pull=lambda s: other(s, 1))

for target, default in (('fuzz_palvane', '1.36,4.6704993,83.2243,114.68'),
                        ('fuzz_dromlet', '1,2,3,4,5,6,7,8,9')):
    text_and_delimiter(target, 'default', default, ',', [4, 4, 4], False,
                       lambda s: index_range(s, 4))
    text_and_delimiter(target, 'digit_delimiter', '10203', '0', [3, 3, 3], False,
                       lambda s: index_list(s, [2, None, 0]))
    text_and_delimiter(target, 'odd_pieces', ' 7;;2.9;-1e10;1e40;nan;x;-0', ';', [6, 2, 6], False,
                       lambda s: index_bits(s, [1, 1, 0, 1]))
    text_and_delimiter(target, 'constant_output', '5, 6,7', ',', [3, 3, 3], True,
                       lambda s: index_range(s, 3))
    text_and_delimiter(target, 'only_delimiters', ',,,', ',', [2, 2, 2], False,
                       lambda s: index_range(s, 2))
    text_and_delimiter(target, 'wide_delimiter', '1\u00b72\U0001F600\u00b7', '\u00b7', [2, 2, 2],
                       False, lambda s: index_range(s, 2))

ocherin('default', 'default string', [3, 3], False, lambda s: index_range(s, 3))
ocherin('high_bytes', '\xe9\0\u4e2d\U0001F600\xff', [4, 4], False,
        lambda s: index_list(s, [3, None, 0]))
ocherin('empty', '', [2, 2], False, lambda s: index_range(s, 2))
ocherin('constant_output', 'abc', [2, 2], True, lambda s: index_bits(s, [0, 1]))

NAN, NEGATIVE_NAN, INF, NEGATIVE_INF = 0x7FC00000, 0xFFC00001, 0x7F800000, 0xFF800000
NEGATIVE_ZERO, SMALLEST_SUBNORMAL, LARGEST = 0x80000000, 0x00000001, 0x7F7FFFFF
numbers('fuzz_vireth', 'plain', [[1.5, -2.0, 0.0], [1.36], []], False, 3, False,
        lambda s: index_range(s, 3))
numbers('fuzz_vireth', 'specials', [[NAN, NEGATIVE_NAN, INF, NEGATIVE_INF, NEGATIVE_ZERO,
                                     SMALLEST_SUBNORMAL, LARGEST, 1e20]], False, 1, False,
        lambda s: index_range(s, 1))
numbers('fuzz_vireth', 'constant_input', [[0.1, 2.0, 3.0], [7.0]], True, 2, False,
        lambda s: index_list(s, [1, None, 0]))
numbers('fuzz_vireth', 'fewer_inputs', [[0.3]], False, 5, True,
        lambda s: index_bits(s, [1, 0, 0, 1, 1]))
numbers('fuzz_tamsel', 'plain', [[-7, 0, 42], [0x7FFFFFFF, 0x80000000], []], False, 3, False,
        lambda s: index_range(s, 3))
numbers('fuzz_tamsel', 'constant_input', [[5, 6, 7], [0xFFFFFFFF]], True, 2, False,
        lambda s: index_list(s, [1, None, 0]))
numbers('fuzz_tamsel', 'fewer_inputs', [[9]], False, 4, True, lambda s: index_bits(s, [0, 1, 0, 1]))

text_tools('length_wide', 'textlength', ['text', 'a\0b', '\u00e9\U0001F600', ''],
           [[0], [1], [2], [3], [6]], None, lambda s: index_range(s, 5))
text_tools('find_overlaps', 'textfind', ['xaby ab', 'ab', 'aaa', 'aa'],
           [[0, 1], [2, 3], [1, 0], [4, 1]], None, lambda s: index_list(s, [3, None, 1, 0]))
text_tools('find_constant', 'textfind', ['abc', 'b', 'bbb', 'zzz'],
           [[0, 1], [2, 3], [0, 2]], 1, lambda s: index_range(s, 3))
text_tools('replace_all', 'textreplace', ['a-b-c', '-', '+', 'aaa'],
           [[0, 1, 2, False], [0, 1, 2, True], [3, 7, 0, True], [2, 2, 6, True]], None,
           lambda s: index_bits(s, [1, 1, 0, 1]))
text_tools('slice_ends', 'textslice', ['text', 'a\U0001F600b', '', 'slice'],
           [[0, 1, 2], [0, -3, -1], [1, -2147483648, 2147483647], [3, 2147483647, 5],
            [4, -9, 2]], None, lambda s: index_range(s, 5))
text_tools('join_arrays', 'textjoin', ['a', '', ',', '\U0001F600'],
           [[[0, 0, 3], 2], [[], 2], [[1, 1], 2], [[0], 1]], None,
           lambda s: index_list(s, [0, 1, None, 3, 2]))
text_tools('join_constant', 'textjoin', ['a', 'b', '-', ''],
           [[[0, 1, 1], 2], [[1], 3], [[], 2]], 0, lambda s: index_range(s, 3), output_count=4)
text_tools('count_overlaps', 'textfind', ['aaaa', 'aa', 'abab', ''],
           [[0, 1], [2, 6], [4, 3], [1, 0]], None, lambda s: index_bits(s, [1, 0, 1, 1]), output=1)
text_tools('number_forms', 'textnumber', [' 12.5 m', '-1e', 'infinit', 'nan(x_1) 0x1A'],
           [[0], [1], [2], [3], [7]], None, lambda s: index_range(s, 5))
text_tools('number_length', 'textnumber', ['\t+.5e-3x', '1e39', '- 1', '16777217'],
           [[0], [1], [2], [3], [4]], 0, lambda s: index_list(s, [4, None, 0, 2]), output=1)

TEXT_UNICODE = ['textcase', 'texttrim', 'textmatch', 'textsplit']
TEXT_UNICODE_PORTS = {'textcase': ['text', 'boolean'], 'texttrim': ['text', 'integer'],
                      'textmatch': ['text', 'text', 'integer', 'boolean'],
                      'textsplit': ['text', 'text']}


def text_unicode(name, node, pool, elements, constant, index):
    """pool: the four texts. elements: per element, one value per input port: a pool pick for a
    text (0-3 a text, 4-7 text i - 4 and the next joined, 8-11 text i - 8 upper-cased), True or
    False, or a mode (-1 to 4 as themselves, others as a raw word). constant: the index of the
    input port handed over as constant, or None."""
    ports = TEXT_UNICODE_PORTS[node]
    count = len(elements)
    seed = Seed()
    seed.byte(TEXT_UNICODE.index(node))
    for _ in ports:
        seed.byte(count)
    seed.byte(count)
    if node == 'textsplit':
        seed.byte(0)  # the output's constant flag
    own(seed)
    index(seed)
    for text in pool:
        seed.text(text)
    for i, kind in enumerate(ports):
        seed.byte(1 if constant == i else 0)
        for values in elements:
            value = values[i]
            if kind == 'boolean':
                seed.byte(1 if value else 0)
            elif kind == 'integer':
                if -1 <= value <= 4:
                    seed.byte(value + 1)
                else:
                    seed.byte(6)
                    seed.word(value)
            else:
                seed.byte(value)
    write('fuzz_text_unicode', name, seed)


text_unicode('case_both_ways', 'textcase', ['Text', 'Stra\u00dfe \u0130\u0131', '\u01c5\u03a3\u212a', ''],
             [[0, False], [1, True], [2, False], [10, False], [3, True]], None,
             lambda s: index_list(s, [4, None, 2, 0, 1]))
text_unicode('trim_modes', 'texttrim', [' \t a b \n', '\u3000x\u00a0\u2028', '\u200bx\u180e', ''],
             [[0, 0], [0, 1], [0, 2], [1, 3], [2, 0], [3, -2147483648]], 0,
             lambda s: index_range(s, 6))
text_unicode('match_modes', 'textmatch', ['banana', 'an', 'a\0b', ''],
             [[0, 1, 0, False], [0, 1, 1, False], [4, 0, 2, False], [0, 3, 3, False],
              [2, 2, 4, False], [3, 3, 3, False]], None, lambda s: index_bits(s, [1, 1, 0, 1, 1, 1]))
text_unicode('match_ignoring_case', 'textmatch', ['Hello', 'stra\u00dfe', 'STRA\u1e9eE', '\u03c2'],
             [[0, 8, 3, True], [1, 2, 3, True], [2, 1, 0, True], [10, 3, 0, True], [0, 8, 1, False]],
             None, lambda s: index_range(s, 5))
text_unicode('split_pieces', 'textsplit', ['a,,b', ',', 'aaaaa', 'aa'],
             [[0, 1], [1, 1], [2, 3], [4, 1], [3, 3]], 1, lambda s: index_list(s, [2, 0, None, 4]))
# Characters past U+FFFF, a pair where texts are UTF-16, and lone surrogates beside them.
text_unicode('past_16_bits', 'textmatch', ['\U00010400\U0001F600', '\U00010428', '\ud83d', '\ude00x'],
             [[0, 1, 1, True], [0, 2, 0, False], [4, 3, 0, False], [8, 1, 2, True]], None,
             lambda s: index_range(s, 4))
text_unicode('case_past_16_bits', 'textcase', ['\U00010400\ud801\U0001E900', '\U0001D400e\u0301', '', 'x'],
             [[0, False], [1, True], [8, False]], None, lambda s: index_range(s, 3))

textformat('defaults', ['{:.2f}', '{} m', '{1}/{0}'], [(0, [0.0]), (1, [12.5]), (2, [2.0, 8.0])],
           False, False, lambda s: index_range(s, 3))
textformat('python_rules', ['{:#o}|{:0<6}|{:.0%}', '{0:x}|{0:d}|{0:b}', '{:.3}|{:#.1g}|{:+08}'],
           [(0, [8.7, -1.5, 0.125]), (1, [LARGEST]), (1, [NAN]), (2, [1.0, 1.5, NEGATIVE_ZERO])],
           False, False, lambda s: index_list(s, [3, None, 1, 0, 2]))
textformat('refused', ['{', '{}{0}', '{:{}}|{:,}|{!r}'], [(0, [1.0]), (1, [1.0, 2.0]), (2, [])],
           False, False, lambda s: index_bits(s, [1, 1, 1]))
textformat('constant_inputs', ['{0:*^9.2e}|{1}', '{:>1000}', ''], [(0, [INF, 2.0]), (1, [3.0])],
           True, True, lambda s: index_range(s, 2))
textformat('long_fixed', ['{:.800f}', '{:#.800g}|{:.1000%}', '{:>1000.767f}'],
           [(0, [1.5]), (1, [1234.5, LARGEST]), (2, [-0.1])], False, False, lambda s: index_range(s, 3))


REGEX = ['regexmatch', 'regexextract', 'regexreplace', 'regexsplit', 'regexfindall']
# Each node's input ports, in registration order.
REGEX_PORTS = {'regexmatch': ['text', 'text'], 'regexextract': ['text', 'text', 'integer'],
               'regexreplace': ['text', 'text', 'text', 'boolean'],
               'regexsplit': ['text', 'text'], 'regexfindall': ['text', 'text', 'integer']}


def regex(name, node, pool, elements, constant, index):
    """As text_tools, for fuzz_regex: an integer is a group from -2 to 5."""
    ports = REGEX_PORTS[node]
    seed = Seed()
    seed.byte(REGEX.index(node))
    for _ in ports:
        seed.byte(len(elements))
    seed.byte(len(elements))
    own(seed)
    index(seed)
    for text in pool:
        seed.text(text)
    for i, kind in enumerate(ports):
        seed.byte(1 if constant == i else 0)
        for values in elements:
            value = values[i]
            if kind == 'boolean':
                seed.byte(1 if value else 0)
            elif kind == 'integer':
                seed.byte(value + 2)
            else:
                seed.byte(value)
    write('fuzz_regex', name, seed)


regex('match_constant', 'regexmatch', ['piece_12', '^piece_\\d+$', 'piece_12b', ''],
      [[0, 1], [2, 1], [3, 1], [0, 3]], 1, lambda s: index_list(s, [3, None, 1, 0]))
regex('catastrophic', 'regexmatch', ['a' * 40 + 'b', '(a+)+$', 'aaaa', '(a|a)*b'],
      [[0, 1], [2, 1], [0, 3], [6, 1]], None, lambda s: index_range(s, 4))
regex('extract_groups', 'regexextract', ['arm_L', '(\\w+)_(L)|(R)', '\u00e9\U0001F600', '('],
      [[0, 1, 1], [0, 1, 3], [2, 6, 0], [0, 3, 0], [0, 1, -1]], None,
      lambda s: index_bits(s, [1, 1, 0, 1, 1]))
regex('replace_dollars', 'regexreplace', ['a-b-c', '-', '<$&$$$1$10>', 'x*'],
      [[0, 1, 2, True], [0, 3, 1, True], [0, 1, 2, False], [2, 4, 1, True]], None,
      lambda s: index_range(s, 4))
regex('split_empty_matches', 'regexsplit', ['a, b,,c', ',\\s*', 'x*', '\U0001F600a\ude00'],
      [[0, 1], [0, 2], [3, 2], [1, 1]], 1, lambda s: index_list(s, [2, None, 0]))
regex('findall_groups', 'regexfindall', ['a1b22c', '([a-z])(\\d+)?', '-|(a+)+(?!x)$', 'x*'],
      [[0, 1, 2], [0, 1, 0], [0, 3, 0], [4, 1, 1], [0, 1, 5]], None,
      lambda s: index_bits(s, [1, 0, 1, 1, 1]))
regex('past_16_bits', 'regexreplace', ['\U0001F600\U00010400\ude00', '(?i)(.)\U00010428', '$1|', '\ud83d'],
      [[0, 1, 2, True], [0, 3, 2, True], [4, 1, 2, False]], None, lambda s: index_range(s, 3))
