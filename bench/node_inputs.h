// The inputs every measurement gives a node: the benchmarks (node_bench) and the count of
// instructions per call (call_cost) evaluate the same texts and numbers, built here once.
//
// A node is measured at a size: kestrune at N (0 for its default text and sub-text), palvane
// and dromlet at a count of pieces, ocherin at a count of characters, vireth and tamsel at a
// count of items per element; the nodes read at each element at a count of characters of each
// element's text (textjoin of texts per element), 0 for their defaults.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xsi_host.h"

namespace bench {

using XSI::ULONG;

// The nodes measured, in the order the tables list them.
inline constexpr std::string_view kNodes[] = {
    "kestrune",  "palvane",    "dromlet",    "ocherin",      "vireth",
    "tamsel",    "textlength", "textfind",   "textreplace",  "textslice",
    "textjoin",  "textnumber", "textcase",   "texttrim",     "textnormalize",
    "textmatch", "textsplit",  "textpath",   "texthash",     "textchar",
    "textsort",  "textformat", "regexmatch", "regexextract", "regexreplace"};

// Declares every port of node (as registered in record) over a batch of `elements` elements,
// at their defaults, then sets the inputs of the node at size:
//  * kestrune: RemoveAll on in every element; for size N > 0 the text "a" N times then "b" N
//    times in element 0 alone (the node reads element 0 only; this spares gigabytes at large N)
//    and the sub-text "ab" in every element, so that every removal joins a new occurrence;
//  * palvane, dromlet: the text of pieces<float> or pieces<std::int32_t> in every element;
//  * ocherin: characters(size) in every element;
//  * vireth, tamsel: element k holds float_item(k, i) or integer_item(k, i) for i below size.
// The nodes read at each element get, for size N > 0, the same inputs in every element:
//  * textlength, textslice: characters(N); textslice from Start N / 4, N / 2 of them;
//  * textfind: find_worst(N), the text and sub-text where trying each position costs most; for
//    its Count (pulled 201), replace_worst(N), many occurrences each after a near miss;
//  * textreplace: replace_worst(N) with ReplaceAll on, replaced by "x";
//  * textjoin: N texts, those of float_item(0, i) for i below N, joined with ",";
//  * textnumber: number_of(N);
//  * textcase: characters(N) with Upper on, so that every character is looked up and most change;
//  * texttrim: characters(N) between runs of N / 4 characters of white space, ASCII and beyond;
//  * textnormalize: marked(N), in NFC (its default Form);
//  * textmatch: find_worst(N), its text upper-cased, with IgnoreCase on: the whole text
//    lower-cased and then searched for the sub-text where trying each position costs most;
//  * textsplit: replace_worst(N), the text cut at each of its many occurrences of the sub-text;
//  * textpath: path_of(N), a path whose name, past a short directory, is nearly all of it;
//  * texthash: characters(N), with the seed 0;
//  * textchar: code_points(N);
//  * textsort: sort_texts(N), in natural order, case kept;
//  * textformat: textformat_format(N) in every element, over element k's float_item(k, i) for
//    i below N.
// The regular expressions keep their default pattern (and group, replacement, ReplaceAll) in
// every element, and get texts that differ from one element to the next, piece_text(k, N) in
// element k (N 0: as short as it comes).
// node is one of kNodes; pulled the output pulled, 0 for the node's first.
void set_up(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& record,
            std::string_view node, int size, ULONG elements, ULONG pulled = 0);

// A text that begins with a number of n digits (n at least 2), its point in the middle, an
// exponent and a unit after it: "  1234.5678e-3 m" for 8.
std::wstring number_of(int n);

// A text of n pieces joined by ',' and the values its pieces read as: floats of every form
// (palvane), or integers of every sign and length (dromlet). Item is float or std::int32_t.
template <class Item>
std::pair<std::wstring, std::vector<Item>> pieces(int n);

// n characters of a motif that is mostly ASCII, with a character of the narrow form's upper
// half and one beyond it.
std::wstring characters(int n);

// n characters of text with combining marks: a letter and its mark, a letter that decomposes,
// two marks out of order, Hangul syllables, so that both NFC and NFD change most of it.
std::wstring marked(int n);

// The worst cases below are made of runs of "b" ended by "a": "b" is the rarer letter in English
// text, so that a search which scans for the rarest character of the sub-text stops at every
// character of a run, and each comparison there reads far, as trying each position does.
//
// A text of n characters and a sub-text of it: "b" n - 1 times then "a", and "b" n / 2 - 1
// times then "a" (n at least 2). Trying each position compares about n * n / 4 characters before
// the one occurrence, at n / 2; a linear search reads each character a bounded number of times.
std::pair<std::wstring, std::wstring> find_worst(int n);

// A text of n characters and a sub-text that occurs in it many times, never overlapping, each
// after a near miss: blocks of "b" 2m times then "a", and "b" m times then "a", m the square
// root of n. Trying each position compares about n * m / 2 characters; each replacement that
// moves the rest of the text, or restarts its search from the start, moves or reads about n;
// replacing every occurrence, about sqrt(n) / 2 of them, in one pass reads each character
// a bounded number of times.
std::pair<std::wstring, std::wstring> replace_worst(int n);

// Ordinary text: n characters of English-like prose, sentences of words drawn from a fixed
// vocabulary of common words with the frequencies of English (a few very common, many rarer;
// some hold a 'z', none begins with one), differing with the seed, then kWordsEnding, which
// ends the text. Each of kOrdinaryNeedles occurs first in the ending or not at all, so that
// finding it reads the whole text: a rare word, an absent word, one character and 40 characters.
inline constexpr std::wstring_view kWordsEnding =
    L" Zoe watched the particles as they settled slowly over the quieter harbour.";
struct Needle {
  std::string_view name;  // the benchmark's: textfind_<name>
  std::wstring_view text;
};
inline constexpr Needle kOrdinaryNeedles[] = {
    {"rare_word", L"particles"},
    {"absent_word", L"zebra"},
    {"one_character", L"Z"},
    {"forty_characters", kWordsEnding.substr(kWordsEnding.size() - 40)},
};
std::wstring words(std::size_t n, std::uint32_t seed);

// Declares textfind's ports over a batch of `elements` elements, then sets element k's text to
// words(characters, k) (the texts made once per run and kept) and every sub-text to needle.
void set_up_ordinary(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& record,
                     std::size_t characters, ULONG elements, std::wstring_view needle);

// A path of n characters (n at least 16): "C:/renders/", then a name of "sim_0042_" repeated,
// ending in ".bgeo".
std::wstring path_of(int n);

// n code points of a motif that is mostly ASCII, with two characters beyond it and one past
// U+FFFF.
std::vector<std::int32_t> code_points(int n);

// n texts of "bone" or "Bone" and a number of up to 7 digits, in no order, each number taken
// once (n up to 1,000,003).
std::vector<std::wstring> sort_texts(int n);

// N fields, of four kinds that Python and {fmt} read alike, cycled: "{:.2f}, {:>10.4e}, ...".
std::wstring textformat_format(int n);

// "piece_" and element k's number, padded with zeros to n characters; every third element's
// ends in "x", so that the default patterns of the regular expressions do not match it.
std::wstring piece_text(ULONG k, int n);

// Item i of element k: numbers of every length, signs and magnitudes, different from one
// element to the next.
float float_item(ULONG k, ULONG i);
std::int32_t integer_item(ULONG k, ULONG i);

}  // namespace bench
