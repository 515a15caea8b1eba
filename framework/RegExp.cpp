#include "framework/RegExp.h"

#include <algorithm>

static_assert(sizeof(wchar_t) == 4, "the matcher works on code points");

namespace {

bool IsRepeatOp(wchar_t c) { return c == L'*' || c == L'+' || c == L'?'; }

bool IsMeta(wchar_t c) {
  switch (c) {
    case L'^': case L'$': case L'.': case L'[': case L'(': case L')':
    case L'|': case L'?': case L'+': case L'*': case L'\\':
      return true;
    default:
      return false;
  }
}

// Texts end at their first NUL, as the edits' texts always did.
std::wstring ToCodePoints(const wxString& s) {
  std::wstring w = s.ToStdWstring();
  const size_t nul = w.find(L'\0');
  if (nul != std::wstring::npos) w.resize(nul);
  return w;
}

bool IsGroupOp(int op) { return (op > CPatternMatcher::GroupOpen && op < CPatternMatcher::GroupOpen + 10) ||
                                (op > CPatternMatcher::GroupClose && op < CPatternMatcher::GroupClose + 10); }

}  // namespace

// ---------------------------------------------------------------- compiler

CPatternMatcher* CPatternMatcher::Compile(const wxString& pattern) {
  m_compiled = false;
  m_program.clear();
  m_startChar = 0;
  m_anchored = false;
  m_required.clear();
  m_pattern = ToCodePoints(pattern);
  m_parse = 0;
  m_nextGroup = 1;

  int flags = 0;
  int first = -1;
  const bool ok = ParseAlternatives(false, flags, first);
  m_pattern.clear();
  if (!ok) {
    m_program.clear();
    return nullptr;
  }
  Analyse(flags);
  m_compiled = true;
  return this;
}

int CPatternMatcher::Emit(Op op) {
  m_program.push_back(Node{op, 0, {}, {}});
  return static_cast<int>(m_program.size()) - 1;
}

// Offsets are relative, so the nodes moved up by the insertion keep their links.
void CPatternMatcher::InsertBefore(Op op, int at) {
  m_program.insert(m_program.begin() + at, Node{op, 0, {}, {}});
}

int CPatternMatcher::NextOf(int node) const {
  const Node& n = m_program[node];
  if (n.next == 0) return -1;
  return n.op == Back ? node - n.next : node + n.next;
}

// Links the last node of the chain starting at `node` to `target`.
void CPatternMatcher::Tail(int node, int target) {
  int scan = node;
  for (int t = NextOf(scan); t >= 0; t = NextOf(scan)) scan = t;
  m_program[scan].next = m_program[scan].op == Back ? scan - target : target - scan;
}

// Links the end of a Branch's alternative to `target`; no-op for other nodes.
void CPatternMatcher::OperandTail(int node, int target) {
  if (node < 0 || m_program[node].op != Branch) return;
  Tail(node + 1, target);
}

bool CPatternMatcher::ParseAlternatives(bool group, int& flags, int& first) {
  flags = HasWidth;
  int ret = -1;
  int number = 0;
  if (group) {
    if (m_nextGroup >= kGroups) return false;
    number = m_nextGroup++;
    ret = Emit(static_cast<Op>(GroupOpen + number));
  }

  int branchFlags = 0;
  int branch = -1;
  if (!ParseBranch(branchFlags, branch)) return false;
  if (ret >= 0)
    Tail(ret, branch);
  else
    ret = branch;
  if (!(branchFlags & HasWidth)) flags &= ~HasWidth;
  flags |= branchFlags & StartsWithRepeat;
  while (m_parse < m_pattern.size() && m_pattern[m_parse] == L'|') {
    ++m_parse;
    if (!ParseBranch(branchFlags, branch)) return false;
    Tail(ret, branch);
    if (!(branchFlags & HasWidth)) flags &= ~HasWidth;
    flags |= branchFlags & StartsWithRepeat;
  }

  const int ender = Emit(group ? static_cast<Op>(GroupClose + number) : End);
  Tail(ret, ender);
  for (int b = ret; b >= 0; b = NextOf(b)) OperandTail(b, ender);

  if (group) {
    if (m_parse >= m_pattern.size() || m_pattern[m_parse] != L')') return false;
    ++m_parse;
  } else if (m_parse < m_pattern.size()) {
    return false;  // a ')' without its '('
  }
  first = ret;
  return true;
}

bool CPatternMatcher::ParseBranch(int& flags, int& first) {
  flags = 0;
  const int ret = Emit(Branch);
  int chain = -1;
  while (m_parse < m_pattern.size() && m_pattern[m_parse] != L'|' && m_pattern[m_parse] != L')') {
    int pieceFlags = 0;
    int latest = -1;
    if (!ParsePiece(pieceFlags, latest)) return false;
    flags |= pieceFlags & HasWidth;
    if (chain < 0)
      flags |= pieceFlags & StartsWithRepeat;
    else
      Tail(chain, latest);
    chain = latest;
  }
  if (chain < 0) Emit(Empty);
  first = ret;
  return true;
}

bool CPatternMatcher::ParsePiece(int& flags, int& first) {
  int atomFlags = 0;
  int ret = -1;
  if (!ParseAtom(atomFlags, ret)) return false;
  if (m_parse >= m_pattern.size() || !IsRepeatOp(m_pattern[m_parse])) {
    flags = atomFlags;
    first = ret;
    return true;
  }
  const wchar_t op = m_pattern[m_parse];
  if (!(atomFlags & HasWidth) && op != L'?') return false;  // the loop could spin on nothing
  flags = op == L'*' ? StartsWithRepeat : op == L'+' ? (HasWidth | StartsWithRepeat) : 0;

  if (op == L'*' && (atomFlags & Simple)) {
    InsertBefore(Star, ret);
  } else if (op == L'*') {
    // x* as Branch(x, Back to the branch), Branch(Empty)
    InsertBefore(Branch, ret);
    OperandTail(ret, Emit(Back));
    OperandTail(ret, ret);
    Tail(ret, Emit(Branch));
    Tail(ret, Emit(Empty));
  } else if (op == L'+' && (atomFlags & Simple)) {
    InsertBefore(Plus, ret);
  } else if (op == L'+') {
    // x+ as x, Branch(Back to x), Branch(Empty)
    const int next = Emit(Branch);
    Tail(ret, next);
    Tail(Emit(Back), ret);
    Tail(next, Emit(Branch));
    Tail(ret, Emit(Empty));
  } else {
    // x? as Branch(x), Branch(Empty)
    InsertBefore(Branch, ret);
    Tail(ret, Emit(Branch));
    const int next = Emit(Empty);
    Tail(ret, next);
    OperandTail(ret, next);
  }
  ++m_parse;
  if (m_parse < m_pattern.size() && IsRepeatOp(m_pattern[m_parse])) return false;
  first = ret;
  return true;
}

bool CPatternMatcher::ParseAtom(int& flags, int& first) {
  flags = 0;
  const wchar_t c = m_pattern[m_parse++];
  switch (c) {
    case L'^':
      first = Emit(LineStart);
      return true;
    case L'$':
      first = Emit(LineEnd);
      return true;
    case L'.':
      first = Emit(AnyChar);
      flags = HasWidth | Simple;
      return true;
    case L'[':
      if (!ParseSet(first)) return false;
      flags = HasWidth | Simple;
      return true;
    case L'(': {
      int groupFlags = 0;
      if (!ParseAlternatives(true, groupFlags, first)) return false;
      flags = groupFlags & (HasWidth | StartsWithRepeat);
      return true;
    }
    case L'|':
    case L')':
    case L'?':
    case L'+':
    case L'*':
      return false;  // an operator with nothing before it
    case L'\\':
      if (m_parse >= m_pattern.size()) return false;
      first = Emit(Literal);
      m_program[first].text.assign(1, m_pattern[m_parse++]);
      flags = HasWidth | Simple;
      return true;
    default: {
      const size_t begin = m_parse - 1;
      size_t len = 1;
      while (begin + len < m_pattern.size() && !IsMeta(m_pattern[begin + len])) ++len;
      // An operator after a run applies to its last character only.
      if (len > 1 && begin + len < m_pattern.size() && IsRepeatOp(m_pattern[begin + len])) --len;
      flags = HasWidth | (len == 1 ? Simple : 0);
      first = Emit(Literal);
      m_program[first].text = m_pattern.substr(begin, len);
      m_parse = begin + len;
      return true;
    }
  }
}

bool CPatternMatcher::ParseSet(int& first) {
  Op op = InSet;
  if (m_parse < m_pattern.size() && m_pattern[m_parse] == L'^') {
    op = NotInSet;
    ++m_parse;
  }
  std::vector<std::pair<wchar_t, wchar_t>> ranges;
  const size_t n = m_pattern.size();
  if (m_parse < n && (m_pattern[m_parse] == L']' || m_pattern[m_parse] == L'-')) {
    ranges.emplace_back(m_pattern[m_parse], m_pattern[m_parse]);
    ++m_parse;
  }
  while (m_parse < n && m_pattern[m_parse] != L']') {
    if (m_pattern[m_parse] == L'-') {
      ++m_parse;
      if (m_parse >= n || m_pattern[m_parse] == L']') {
        ranges.emplace_back(L'-', L'-');
      } else {
        // From the pattern character before the '-' to the one after it.
        const wchar_t lo = m_pattern[m_parse - 2];
        const wchar_t hi = m_pattern[m_parse];
        if (lo > hi) return false;
        if (!ranges.empty() && ranges.back().second == lo)
          ranges.back().second = hi;  // the start is the member just before
        else
          ranges.emplace_back(lo, hi);
        ++m_parse;
      }
    } else {
      ranges.emplace_back(m_pattern[m_parse], m_pattern[m_parse]);
      ++m_parse;
    }
  }
  if (m_parse >= n) return false;  // no closing ']'
  ++m_parse;
  // Sorted and merged, a member is found by halving: a large set costs a step no more
  // than a small one.
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<wchar_t, wchar_t>> merged;
  for (const auto& r : ranges) {
    if (!merged.empty() && static_cast<unsigned long>(r.first) <= static_cast<unsigned long>(merged.back().second) + 1)
      merged.back().second = std::max(merged.back().second, r.second);
    else
      merged.push_back(r);
  }
  first = Emit(op);
  m_program[first].ranges = std::move(merged);
  return true;
}

void CPatternMatcher::Analyse(int flags) {
  const int second = NextOf(0);
  if (second < 0 || m_program[second].op != End) return;  // several top-level branches
  const int scan = 1;
  if (m_program[scan].op == Literal)
    m_startChar = m_program[scan].text[0];
  else if (m_program[scan].op == LineStart)
    m_anchored = true;
  if (flags & StartsWithRepeat) {
    // The longest literal every match must contain (the last of equal ones).
    size_t guard = m_program.size();
    for (int s = scan; s >= 0 && guard-- > 0; s = NextOf(s)) {
      if (m_program[s].op == Literal && m_program[s].text.size() >= m_required.size()) m_required = m_program[s].text;
    }
  }
}

wxString CPatternMatcher::Dump() const {
  static const char* const names[] = {"End",    "LineStart", "LineEnd", "AnyChar", "InSet", "NotInSet",
                                      "Branch", "Back",      "Literal", "Empty",   "Star",  "Plus"};
  wxString out;
  for (const Node& n : m_program) {
    if (!out.empty()) out += ' ';
    if (n.op <= Plus) {
      out += names[n.op];
    } else if (n.op > GroupClose) {
      out += wxString::Format("GroupClose%d", n.op - GroupClose);
    } else {
      out += wxString::Format("GroupOpen%d", n.op - GroupOpen);
    }
    if (n.op == Literal) out += "(" + wxString(n.text) + ")";
    if (n.op == InSet || n.op == NotInSet) {
      out += '(';
      for (const auto& [lo, hi] : n.ranges) {
        out += wxUniChar(static_cast<wxUint32>(lo));
        if (hi != lo) {
          out += '-';
          out += wxUniChar(static_cast<wxUint32>(hi));
        }
      }
      out += ')';
    }
  }
  return out;
}

// ---------------------------------------------------------------- matcher

void CPatternMatcher::ClearGroups() {
  std::fill(std::begin(m_start), std::end(m_start), -1);
  std::fill(std::begin(m_end), std::end(m_end), -1);
}

int CPatternMatcher::GetMatchLength() const {
  if (m_start[0] < 0 || m_end[0] < 0) return 0;
  return m_end[0] - m_start[0];
}

int CPatternMatcher::Find(const wxString& text) {
  m_text = ToCodePoints(text);
  return Search(0, false);
}

bool CPatternMatcher::OverBudget() {
  if (m_steps > m_stepLimit) return true;
  // The clock is read now and then: a step may cost more than another (a long literal).
  if ((++m_ticks & 1023) == 0 && std::chrono::steady_clock::now() > m_deadline) m_steps = m_stepLimit + 1;
  return m_steps > m_stepLimit;
}

int CPatternMatcher::Search(size_t base, bool resume) {
  m_found.reset();
  ClearGroups();
  m_limitHit = false;
  if (!resume) {
    m_steps = 0;
    m_deadline = std::chrono::steady_clock::now() + m_timeLimit;
  }
  if (!m_compiled || base > m_text.size()) return -1;
  if (m_shortcuts && !m_required.empty() && m_text.find(m_required, base) == std::wstring::npos) return -1;

  m_base = base;
  const int len = static_cast<int>(m_text.size());
  int found = -1;
  auto attempt = [&](int p) {
    switch (Try(p)) {
      case Attempt::Match:
        found = p;
        return true;
      case Attempt::Exhausted:
        m_limitHit = true;
        ClearGroups();
        return true;
      case Attempt::NoMatch:
        return false;
    }
    return false;
  };
  if (m_shortcuts && m_anchored) {
    attempt(static_cast<int>(base));
  } else if (m_shortcuts && m_startChar != 0) {
    for (size_t p = m_text.find(m_startChar, base); p != std::wstring::npos; p = m_text.find(m_startChar, p + 1)) {
      if (attempt(static_cast<int>(p))) break;
    }
  } else {
    for (int p = static_cast<int>(base); p <= len; ++p) {
      if (attempt(p)) break;
    }
  }
  if (found < 0) return -1;

  // Positions count from the start of the searched text.
  const int b = static_cast<int>(base);
  for (int i = 0; i < kGroups; ++i) {
    if (m_start[i] >= 0) m_start[i] -= b;
    if (m_end[i] >= 0) m_end[i] -= b;
  }
  m_found = m_text.substr(found, m_end[0] - m_start[0]);
  return found - b;
}

bool CPatternMatcher::SetContains(const Node& node, wchar_t c) const {
  // The last range starting at or below c is the only one that can hold it.
  auto it = std::upper_bound(node.ranges.begin(), node.ranges.end(), c,
                             [](wchar_t v, const std::pair<wchar_t, wchar_t>& r) { return v < r.first; });
  return it != node.ranges.begin() && c <= std::prev(it)->second;
}

int CPatternMatcher::Repeat(const Node& operand, int from) const {
  const int len = static_cast<int>(m_text.size());
  int i = from;
  switch (operand.op) {
    case AnyChar:
      i = len;
      break;
    case Literal:
      while (i < len && m_text[i] == operand.text[0]) ++i;
      break;
    case InSet:
      while (i < len && SetContains(operand, m_text[i])) ++i;
      break;
    case NotInSet:
      while (i < len && !SetContains(operand, m_text[i])) ++i;
      break;
    default:
      break;
  }
  return i - from;
}

namespace {

// Chooses the largest repetition count, not below the minimum, after which the
// required next character follows.
template <class Frame>
bool PickCount(Frame& f, const std::wstring& text, int& in) {
  const int len = static_cast<int>(text.size());
  for (; f.count >= f.min; --f.count) {
    in = f.pos + f.count;
    if (f.nextChar == 0 || (in < len && text[in] == f.nextChar)) return true;
  }
  return false;
}

}  // namespace

CPatternMatcher::Attempt CPatternMatcher::Try(int start) {
  ClearGroups();
  m_stack.clear();
  const int len = static_cast<int>(m_text.size());
  const int size = static_cast<int>(m_program.size());
  int scan = 0;
  int in = start;

  for (;;) {
    ++m_steps;
    if (OverBudget() || m_stack.size() > kMaxBacktrackDepth) return Attempt::Exhausted;
    bool ok = true;
    int next = -1;
    if (scan < 0 || scan >= size) {
      ok = false;
    } else {
      const Node& node = m_program[scan];
      next = NextOf(scan);
      switch (node.op) {
        case LineStart:
          ok = in == static_cast<int>(m_base);
          break;
        case LineEnd:
          ok = in == len;
          break;
        case AnyChar:
          ok = in < len;
          if (ok) ++in;
          break;
        case InSet:
          ok = in < len && SetContains(node, m_text[in]);
          if (ok) ++in;
          break;
        case NotInSet:
          ok = in < len && !SetContains(node, m_text[in]);
          if (ok) ++in;
          break;
        case Literal: {
          const std::wstring& t = node.text;
          ok = in < len && m_text[in] == t[0] && (t.size() == 1 || m_text.compare(in, t.size(), t) == 0);
          if (ok) in += static_cast<int>(t.size());
          break;
        }
        case Empty:
        case Back:
          break;
        case Branch:
          if (next >= 0 && m_program[next].op == Branch) m_stack.push_back(Frame{Frame::Choice, scan, in, 0, 0, 0});
          next = scan + 1;  // the alternative
          break;
        case Star:
        case Plus: {
          if (scan + 1 >= size || next < 0) {
            ok = false;
            break;
          }
          Frame f{Frame::Repeat, next, in, 0, node.op == Star ? 0 : 1, 0};
          if (m_program[next].op == Literal) f.nextChar = m_program[next].text[0];
          f.count = Repeat(m_program[scan + 1], in);
          m_steps += f.count;
          ok = PickCount(f, m_text, in);
          if (ok) m_stack.push_back(f);
          break;
        }
        case End: {
          // Success: groups record where they were reached, innermost first, so a
          // repeated group keeps the positions of its last pass.
          for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if (it->kind != Frame::Group) continue;
            if (it->node > GroupClose) {
              int& e = m_end[it->node - GroupClose];
              if (e < 0) e = it->pos;
            } else {
              int& s = m_start[it->node - GroupOpen];
              if (s < 0) s = it->pos;
            }
          }
          m_start[0] = start;
          m_end[0] = in;
          return Attempt::Match;
        }
        default:
          if (IsGroupOp(node.op))
            m_stack.push_back(Frame{Frame::Group, node.op, in, 0, 0, 0});
          else
            ok = false;
          break;
      }
    }
    if (ok) {
      scan = next;
      continue;
    }

    // Back to the latest open choice.
    for (;;) {
      if (m_stack.empty()) return Attempt::NoMatch;
      ++m_steps;
      if (OverBudget()) return Attempt::Exhausted;
      Frame& f = m_stack.back();
      if (f.kind == Frame::Choice) {
        const int alt = NextOf(f.node);
        if (alt >= 0 && m_program[alt].op == Branch) {
          f.node = alt;
          in = f.pos;
          scan = alt + 1;
          break;
        }
      } else if (f.kind == Frame::Repeat) {
        --f.count;
        if (PickCount(f, m_text, in)) {
          scan = f.node;
          break;
        }
      }
      m_stack.pop_back();
    }
  }
}

std::optional<wxString> CPatternMatcher::BuildReplacement(const wxString& templ) const {
  if (!m_found) return std::nullopt;
  const std::wstring src = ToCodePoints(templ);
  const std::wstring& found = *m_found;
  std::wstring out;
  for (size_t i = 0; i < src.size();) {
    wchar_t c = src[i++];
    int no = -1;
    if (c == L'&')
      no = 0;
    else if (c == L'\\' && i < src.size() && src[i] >= L'0' && src[i] <= L'9')
      no = src[i++] - L'0';
    if (no < 0) {
      if (c == L'\\' && i < src.size() && (src[i] == L'\\' || src[i] == L'&')) c = src[i++];
      out += c;
    } else if (m_start[no] >= 0 && m_end[no] > m_start[no] && m_start[no] >= m_start[0]) {
      const size_t off = static_cast<size_t>(m_start[no] - m_start[0]);
      const size_t n = static_cast<size_t>(m_end[no] - m_start[no]);
      if (off <= found.size() && n <= found.size() - off) out.append(found, off, n);
    }
  }
  return wxString(out);
}

BOOL MatchAndReplace(CPatternMatcher& engine, const wxString& text, const wxString& pattern, wxString& inout) {
  engine.Compile(pattern);
  if (engine.Find(text) < 0) {
    inout.clear();
    return FALSE;
  }
  const std::optional<wxString> r = engine.BuildReplacement(inout);
  inout = r ? *r : wxString();
  return TRUE;
}

int CountMatches(const wxString& pattern, CPatternMatcher& engine, const wxString& text) {
  if (!engine.Compile(pattern)) return 0;
  engine.m_text = ToCodePoints(text);
  int count = 0;
  size_t base = 0;
  for (;;) {
    // One budget for the whole count: a search per match must not multiply it.
    const int pos = engine.Search(base, count > 0);
    if (pos < 0) break;
    ++count;
    const int len = engine.GetMatchLength();
    if (len <= 0) break;
    base += static_cast<size_t>(pos + len);
  }
  return count;
}
