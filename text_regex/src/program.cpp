#include "program.h"

#include <algorithm>
#include <utility>

namespace text_regex::detail {
namespace {

using Kind = Node::Kind;

// The instructions a node compiles to, or more than kMaxInstructions where it passes them.
std::size_t size_of(const Node& node) {
  constexpr std::size_t kTooMany = kMaxInstructions + 1;
  switch (node.kind) {
    case Kind::kEmpty:
      return 0;
    case Kind::kSet:
    case Kind::kAssertion:
      return 1;
    case Kind::kGroup:
      return size_of(node.children[0]) + 2;
    case Kind::kConcat:
    case Kind::kAlternation: {
      std::size_t total = 0;
      for (const Node& child : node.children)
        total = std::min(total + size_of(child) + 2, kTooMany);
      return total;
    }
    case Kind::kRepeat: {
      const std::size_t one = size_of(node.children[0]) + 2;
      const std::size_t copies = static_cast<std::size_t>(std::max(node.min, node.max) + 1);
      return std::min(one * copies, kTooMany);
    }
  }
  return kTooMany;
}

class Compiler {
 public:
  Compiler(Program& program, Direction direction)
      : p_(program), backward_(direction == Direction::kBackward) {}

  void emit(const Node& node) {
    switch (node.kind) {
      case Kind::kEmpty:
        return;
      case Kind::kSet: {
        auto found = std::find(p_.sets.begin(), p_.sets.end(), node.set);
        const auto index = static_cast<std::int32_t>(found - p_.sets.begin());
        if (found == p_.sets.end()) p_.sets.push_back(node.set);
        add({Op::kSet, node.fold, false, Assertion::kTextStart, index, 0});
        return;
      }
      case Kind::kAssertion:
        assertion(node.assertion);
        return;
      case Kind::kGroup:
        if (!backward_) add({Op::kSave, false, false, {}, 2 * node.group, 0});
        emit(node.children[0]);
        if (!backward_) add({Op::kSave, false, false, {}, 2 * node.group + 1, 0});
        return;
      case Kind::kConcat:
        if (backward_) {
          for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) emit(*it);
        } else {
          for (const Node& child : node.children) emit(child);
        }
        return;
      case Kind::kAlternation:
        alternation(node);
        return;
      case Kind::kRepeat:
        repeat(node);
        return;
    }
  }

 private:
  std::int32_t here() const { return static_cast<std::int32_t>(p_.insts.size()); }
  std::int32_t add(Inst inst) {
    p_.insts.push_back(inst);
    return here() - 1;
  }

  void assertion(Assertion kind) {
    if (backward_ && kind == Assertion::kTextStart)
      kind = Assertion::kTextEnd;
    else if (backward_ && kind == Assertion::kTextEnd)
      kind = Assertion::kTextStart;
    if (kind == Assertion::kWordBoundary || kind == Assertion::kNotWordBoundary)
      p_.word_assertions = true;
    add({Op::kAssert, false, false, kind, 0, 0});
  }

  // split L1, next; L1: first; jump end; next: split L2, next2; ...; the last branch alone.
  void alternation(const Node& node) {
    std::vector<std::int32_t> jumps;
    for (std::size_t b = 0; b < node.children.size(); ++b) {
      if (b + 1 == node.children.size()) {
        emit(node.children[b]);
        break;
      }
      const std::int32_t split = add({Op::kSplit, false, false, {}, here() + 1, 0});
      emit(node.children[b]);
      jumps.push_back(add({Op::kJump, false, false, {}, 0, 0}));
      p_.insts[split].y = here();
    }
    for (const std::int32_t jump : jumps) p_.insts[jump].x = here();
  }

  // A split whose preferred branch is the next instruction, a greedy repeat's, or its target, a
  // lazy one's; the other branch patched later.
  std::int32_t optional_split(bool greedy) {
    const std::int32_t split = add({Op::kSplit, false, false, {}, 0, 0});
    (greedy ? p_.insts[split].x : p_.insts[split].y) = split + 1;
    return split;
  }
  void patch_other(std::int32_t split, bool greedy, std::int32_t target) {
    (greedy ? p_.insts[split].y : p_.insts[split].x) = target;
  }

  // x{n,m} as n copies, then m - n nested optional copies; x{n,} as n - 1 copies and a copy that
  // loops, x* as (x+)?: a loop's body is tried before its exit is taken, even where it matches
  // nothing, as a backtracking engine tries it; and, as there, an iteration that matched nothing
  // leaves the loop at once (kCheck), with the groups it set.
  void repeat(const Node& node) {
    const Node& body = node.children[0];
    const bool greedy = node.greedy;
    if (node.max < 0) {
      std::int32_t skip = -1;
      if (node.min == 0) skip = optional_split(greedy);
      for (int k = 1; k < node.min; ++k) emit(body);
      const std::int32_t loop = here();
      emit(body);
      std::int32_t check = -1;
      if (can_be_empty(body)) {
        for (std::int32_t pc = loop; pc < here(); ++pc)
          p_.insts[pc].revisit = p_.insts[pc].op == Op::kSave || p_.insts[pc].op == Op::kJump;
        check = add({Op::kCheck, false, false, {}, 0, loop});
      }
      const std::int32_t split = add({Op::kSplit, false, false, {}, 0, 0});
      (greedy ? p_.insts[split].x : p_.insts[split].y) = loop;
      patch_other(split, greedy, here());
      if (skip >= 0) patch_other(skip, greedy, here());
      if (check >= 0) p_.insts[check].x = here();
      return;
    }
    for (int k = 0; k < node.min; ++k) emit(body);
    std::vector<std::int32_t> splits;
    for (int k = node.min; k < node.max; ++k) {
      splits.push_back(optional_split(greedy));
      emit(body);
    }
    for (const std::int32_t split : splits) patch_other(split, greedy, here());
  }

  Program& p_;
  bool backward_;
};

}  // namespace

bool can_be_empty(const Node& node) {
  switch (node.kind) {
    case Kind::kEmpty:
    case Kind::kAssertion:
      return true;
    case Kind::kSet:
      return false;
    case Kind::kGroup:
      return can_be_empty(node.children[0]);
    case Kind::kConcat:
      return std::all_of(node.children.begin(), node.children.end(), can_be_empty);
    case Kind::kAlternation:
      return std::any_of(node.children.begin(), node.children.end(), can_be_empty);
    case Kind::kRepeat:
      return node.min == 0 || can_be_empty(node.children[0]);
  }
  return true;
}

Program compile(const Syntax& syntax, Direction direction, std::vector<CharSet> sets) {
  Program program;
  program.sets = std::move(sets);
  if (size_of(syntax.root) + 4 > kMaxInstructions) return program;
  Compiler compiler(program, direction);
  const bool forward = direction == Direction::kForward;
  if (forward) program.insts.push_back({Op::kSave, false, false, {}, 0, 0});
  compiler.emit(syntax.root);
  if (forward) program.insts.push_back({Op::kSave, false, false, {}, 1, 0});
  program.insts.push_back({Op::kMatch});
  program.slots = forward ? 2 * (syntax.groups + 1) : 0;
  program.ascii.resize(program.sets.size());
  for (std::size_t s = 0; s < program.sets.size(); ++s) {
    for (const CharSet::Range& r : program.sets[s].ranges()) {
      if (r.first >= 0x80) break;
      for (char32_t c = r.first; c <= std::min<char32_t>(r.last, 0x7F); ++c)
        program.ascii[s].bits[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
  }
  return program;
}

std::vector<const Inst*> first_sets(const Program& program) {
  std::vector<const Inst*> sets;
  std::vector<std::int32_t> pending{program.start};
  std::vector<bool> seen(program.insts.size(), false);
  while (!pending.empty()) {
    std::int32_t pc = pending.back();
    pending.pop_back();
    for (; !seen[static_cast<std::size_t>(pc)];) {
      seen[static_cast<std::size_t>(pc)] = true;
      const Inst& inst = program.insts[static_cast<std::size_t>(pc)];
      if (inst.op == Op::kSplit) {
        pending.push_back(inst.y);
        pc = inst.x;
      } else if (inst.op == Op::kJump) {
        pc = inst.x;
      } else if (inst.op == Op::kSave) {
        ++pc;
      } else if (inst.op == Op::kSet) {
        sets.push_back(&inst);
        break;
      } else {
        return {};
      }
    }
  }
  return sets;
}

}  // namespace text_regex::detail
