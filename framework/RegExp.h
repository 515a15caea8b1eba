#pragma once
// The program's own small backtracking pattern matcher (the validating edits use it).
//
// Syntax: branches separated by '|'; pieces are atoms optionally followed by '*', '+'
// or '?'; atoms are '^', '$', '.', bracket sets "[...]" / "[^...]", groups "(...)"
// (at most 9), '\' plus any character taken literally, or runs of ordinary characters.
// Texts are searched as Unicode code points; positions are code-point indices.
//
// Matching never recurses: backtracking points live on a heap stack, and every search
// (and every CountMatches as a whole) has a budget of steps and of time, so a
// pathological pattern over a long text ends as "no match" instead of exhausting the
// stack or hanging the user interface. Sets are sorted, a member found by halving.
//
// Not safe for two threads at once: the search state is kept in the object.
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

class CPatternMatcher {
 public:
  enum Op : unsigned char {
    End = 0,
    LineStart = 1,
    LineEnd = 2,
    AnyChar = 3,
    InSet = 4,
    NotInSet = 5,
    Branch = 6,
    Back = 7,
    Literal = 8,
    Empty = 9,
    Star = 10,
    Plus = 11,
    GroupOpen = 20,   // + group number 1..9
    GroupClose = 30,  // + group number 1..9
  };

  static constexpr int kGroups = 10;  // 0 = whole match, 1..9 groups
  static constexpr long kDefaultStepLimit = 4000000;
  static constexpr size_t kMaxBacktrackDepth = 1000000;
  static constexpr std::chrono::milliseconds kDefaultTimeLimit{2000};

  CPatternMatcher() = default;

  // Compiles the pattern, replacing any earlier program. Returns this engine, or null
  // on a syntax error (the engine then finds nothing until compiled again).
  CPatternMatcher* Compile(const wxString& pattern);
  bool IsCompiled() const { return m_compiled; }

  // Position of the first match in the text, or -1. Keeps the group positions and a
  // copy of the whole match for GetMatchLength and BuildReplacement.
  int Find(const wxString& text);

  // Length of the last whole match; 0 when there is none.
  int GetMatchLength() const;

  // Replacement text for the last match: '&' is the whole match, '\' + digit a group,
  // "\\" and "\&" a literal '\' or '&'. Nothing when the last search found nothing.
  std::optional<wxString> BuildReplacement(const wxString& templ) const;

  // Positions of a group of the last match (-1 when unset).
  int GroupStart(int n) const { return n >= 0 && n < kGroups ? m_start[n] : -1; }
  int GroupEnd(int n) const { return n >= 0 && n < kGroups ? m_end[n] : -1; }

  // True when the last search was cut off by its budget (and reported -1).
  bool StepLimitHit() const { return m_limitHit; }
  void SetStepLimit(long steps) { m_stepLimit = steps; }
  void SetTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

  // The start-character, anchor and required-substring shortcuts only save time; they
  // can be switched off to check that they never change a result.
  void SetShortcuts(bool on) { m_shortcuts = on; }

  // The compiled program, one node per word: "Branch Literal(ab) Plus Literal(c) End".
  wxString Dump() const;

 private:
  struct Node {
    Op op = End;
    int next = 0;  // relative offset to the next node, backwards for Back; 0 = none
    std::wstring text;                                // Literal
    std::vector<std::pair<wchar_t, wchar_t>> ranges;  // InSet / NotInSet members
  };
  enum Flags { HasWidth = 1, Simple = 2, StartsWithRepeat = 4 };

  // Compiler.
  bool ParseAlternatives(bool group, int& flags, int& first);
  bool ParseBranch(int& flags, int& first);
  bool ParsePiece(int& flags, int& first);
  bool ParseAtom(int& flags, int& first);
  bool ParseSet(int& first);
  int Emit(Op op);
  void InsertBefore(Op op, int at);
  void Tail(int node, int target);
  void OperandTail(int node, int target);
  int NextOf(int node) const;
  void Analyse(int flags);

  // Matcher.
  enum class Attempt { Match, NoMatch, Exhausted };
  // `resume`: goes on with the budget of the search before.
  int Search(size_t base, bool resume);
  bool OverBudget();
  Attempt Try(int start);
  bool SetContains(const Node& node, wchar_t c) const;
  int Repeat(const Node& operand, int from) const;
  void ClearGroups();

  bool m_compiled = false;
  std::vector<Node> m_program;
  wchar_t m_startChar = 0;
  bool m_anchored = false;
  std::wstring m_required;

  std::wstring m_pattern;
  size_t m_parse = 0;
  int m_nextGroup = 1;

  std::wstring m_text;
  size_t m_base = 0;  // where the searched text starts (what '^' matches)
  int m_start[kGroups] = {};
  int m_end[kGroups] = {};
  std::optional<std::wstring> m_found;
  long m_stepLimit = kDefaultStepLimit;
  long m_steps = 0;
  unsigned m_ticks = 0;
  std::chrono::milliseconds m_timeLimit = kDefaultTimeLimit;
  std::chrono::steady_clock::time_point m_deadline;
  bool m_limitHit = false;
  bool m_shortcuts = true;

  struct Frame {
    enum Kind : unsigned char { Group, Choice, Repeat } kind;
    int node;   // Group: opcode; Choice: current alternative; Repeat: node after the loop
    int pos;    // input position to restore or record
    int count;  // Repeat: repetitions being tried
    int min;    // Repeat: least repetitions
    wchar_t nextChar;  // Repeat: the character that must follow, 0 = any
  };
  std::vector<Frame> m_stack;

  friend int CountMatches(const wxString& pattern, CPatternMatcher& engine, const wxString& text);
};

// Compiles the pattern and searches the text. Without a match `inout` becomes empty
// and the result is FALSE; with one, `inout` (a replacement template on entry) becomes
// the replacement built from it.
BOOL MatchAndReplace(CPatternMatcher& engine, const wxString& text, const wxString& pattern, wxString& inout);

// Number of matches of the pattern in the text, each search resuming behind the last
// match. Every resumed search treats its new start as the text's start, so "^a" counts
// 3 in "aaa"; the one caller only asks whether there is any match. An empty match is
// counted and ends the count.
int CountMatches(const wxString& pattern, CPatternMatcher& engine, const wxString& text);
