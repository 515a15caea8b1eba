#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <regex>

#include "framework/RegExp.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

struct FindCase {
  const char* pattern;
  const char* text;
  int pos;  // -1 = no match
  int len;
};

// One row a case: pattern, subject, expected position and length of the whole match.
const FindCase kFindCases[] = {
    // the number pattern of the edits
    {"^([+-]?[0-9]*([.][0-9]*)?)?$", "", 0, 0},
    {"^([+-]?[0-9]*([.][0-9]*)?)?$", "-1.", 0, 3},
    {"^([+-]?[0-9]*([.][0-9]*)?)?$", ".5", 0, 2},
    {"^([+-]?[0-9]*([.][0-9]*)?)?$", "1.2.3", -1, 0},
    {"^([+-]?[0-9]*([.][0-9]*)?)?$", "--1", -1, 0},
    // Plain runs, operators, alternatives, group loops, '.', '^' and '$' are compared
    // with ECMAScript on generated patterns below; here what that cannot reach.
    {"", "abc", 0, 0},
    {"a{2}", "xa{2}", 1, 4},
    {"a]b", "a]b", 0, 3},
    // sets
    {"[]a]", "]", 0, 1},
    {"[]a]", "xa", 1, 1},
    {"[]a]", "b", -1, 0},
    {"[a-]", "-", 0, 1},
    {"[a-]", "b", -1, 0},
    {"[-a]", "x-", 1, 1},
    {"[a-c-e]", "d", 0, 1},
    {"[0-9]+", "ab123c", 2, 3},
    {"[^]a]", "]]ab", 3, 1},
    {"[a-a]", "a", 0, 1},
    // non-ASCII compares by code point
    {"[à-ÿ]+", "xéü", 1, 2},
    {"ö", "Größe", 2, 1},
    {"[^ä]", "äb", 1, 1},
    // escapes
    {"\\.", "a.b", 1, 1},
    {"\\\\", "a\\b", 1, 1},
    {"a\\*", "aa*", 1, 2},
    {"\\d", "1d", 1, 1},
    {"a||b", "b", 0, 0},
    {"()", "q", 0, 0},
    // anchors: '^' only at the start, '$' only at the end
    {"$", "abc", 3, 0},
    {"a^", "aa", -1, 0},
    {"b|^a", "cab", 2, 1},
    // the required substring shortcut: a longer literal later in the pattern
    {"x*abc[d]", "xxabcd", 0, 6},
    {"x*abc[d]", "xxabd", -1, 0},
    {"[0-9]*kg", "12 kg 5kg", 3, 2},
    {"[0-9][0-9]*kg", "12 kg 5kg", 6, 3},
};

void ExpectFind(CPatternMatcher& m, const FindCase& c) {
  SCOPED_TRACE(std::string(c.pattern) + " in \"" + c.text + "\"");
  ASSERT_NE(m.Compile(S(c.pattern)), nullptr);
  EXPECT_EQ(m.Find(S(c.text)), c.pos);
  EXPECT_EQ(m.GetMatchLength(), c.pos < 0 ? 0 : c.len);
  EXPECT_FALSE(m.StepLimitHit());
}

}  // namespace

// With and without the shortcuts, which never change a result.
TEST(RegExp, FindTable) {
  for (bool shortcuts : {true, false}) {
    CPatternMatcher m;
    m.SetShortcuts(shortcuts);
    for (const FindCase& c : kFindCases) ExpectFind(m, c);
  }
}

TEST(RegExp, SyntaxErrorsDoNotCompileAndFindNothing) {
  const char* const bad[] = {
      "a**", "*a", "(", "a)", "[z-a]", "a+?", "a?*", "[abc", "[", "[]", "[^]", "a\\", "(|a)*", "(a*)*",
      "(^)*", "^*", "$+", "x|*", "(*)", "+", "?", "a(b", "(a))", "(a?)+",
      "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)",  // a tenth group
  };
  CPatternMatcher m;
  for (const char* p : bad) {
    SCOPED_TRACE(p);
    ASSERT_NE(m.Compile(S("a")), nullptr);
    EXPECT_EQ(m.Compile(S(p)), nullptr);
    EXPECT_FALSE(m.IsCompiled());
    EXPECT_EQ(m.Find(S("a")), -1);  // the earlier program is gone
  }
  EXPECT_NE(m.Compile(S("(a)(b)(c)(d)(e)(f)(g)(h)(i)")), nullptr);
  EXPECT_NE(m.Compile(S("(^)?a")), nullptr);  // '?' may follow an empty operand
}

TEST(RegExp, ReplacementTemplates) {
  CPatternMatcher m;
  ASSERT_NE(m.Compile(S("(a+)b")), nullptr);
  EXPECT_FALSE(m.BuildReplacement(S("&")).has_value());  // nothing searched yet
  ASSERT_EQ(m.Find(S("xaab")), 1);
  EXPECT_EQ(*m.BuildReplacement(S("\\1-&")), "aa-aab");
  EXPECT_EQ(*m.BuildReplacement(S("\\&")), "&");
  EXPECT_EQ(*m.BuildReplacement(S("\\\\")), "\\");
  EXPECT_EQ(*m.BuildReplacement(S("\\x\\")), "\\x\\");
  EXPECT_EQ(*m.BuildReplacement(S("[\\2]")), "[]");  // an unset group is left out
  EXPECT_EQ(*m.BuildReplacement(S("\\0")), "aab");
  EXPECT_EQ(*m.BuildReplacement(S("")), "");

  EXPECT_EQ(m.Find(S("bbb")), -1);
  EXPECT_FALSE(m.BuildReplacement(S("&")).has_value());
  EXPECT_EQ(m.GetMatchLength(), 0);
}

TEST(RegExp, GroupsKeepTheirLastPass) {
  CPatternMatcher m;
  ASSERT_NE(m.Compile(S("(a|b)*c")), nullptr);
  ASSERT_EQ(m.Find(S("abc")), 0);
  EXPECT_EQ(m.GroupStart(1), 1);
  EXPECT_EQ(m.GroupEnd(1), 2);

  // a group matched in an earlier pass only keeps that pass
  ASSERT_NE(m.Compile(S("((a)|b)*")), nullptr);
  ASSERT_EQ(m.Find(S("ab")), 0);
  EXPECT_EQ(*m.BuildReplacement(S("\\1\\2")), "ba");

  // alternatives that failed leave no positions behind
  ASSERT_NE(m.Compile(S("(x)y|(x)z")), nullptr);
  ASSERT_EQ(m.Find(S("xz")), 0);
  EXPECT_EQ(m.GroupStart(1), -1);
  EXPECT_EQ(m.GroupStart(2), 0);
  EXPECT_EQ(m.GroupEnd(2), 1);
}

TEST(RegExp, PositionsAreCodePoints) {
  CPatternMatcher m;
  ASSERT_NE(m.Compile(S("(ü+)")), nullptr);
  ASSERT_EQ(m.Find(S("Grüüße")), 2);
  EXPECT_EQ(m.GetMatchLength(), 2);
  EXPECT_EQ(*m.BuildReplacement(S("<\\1>")), S("<üü>"));
}

TEST(RegExp, MatchAndReplaceAndCountMatches) {
  CPatternMatcher m;
  wxString s = "\\1";
  EXPECT_TRUE(MatchAndReplace(m, "-12.345", "[+-]?([0-9]*)([.]([0-9]*))?", s));
  EXPECT_EQ(s, "12");
  s = "\\3";
  EXPECT_TRUE(MatchAndReplace(m, "-12.345", "[+-]?([0-9]*)([.]([0-9]*))?", s));
  EXPECT_EQ(s, "345");
  s = "\\3";
  EXPECT_TRUE(MatchAndReplace(m, "12", "[+-]?([0-9]*)([.]([0-9]*))?", s));
  EXPECT_EQ(s, "");
  s = "&";
  EXPECT_FALSE(MatchAndReplace(m, "abc", "z", s));
  EXPECT_EQ(s, "");
  s = "&";
  EXPECT_FALSE(MatchAndReplace(m, "abc", "(", s));
  EXPECT_EQ(s, "");

  EXPECT_EQ(CountMatches("x*", m, "abc"), 1);
  EXPECT_EQ(CountMatches("a", m, "banana"), 3);
  EXPECT_EQ(CountMatches("^a", m, "aaa"), 3);  // each resumed search starts a new text
  EXPECT_EQ(CountMatches("an", m, "banana"), 2);
  EXPECT_EQ(CountMatches("z", m, "banana"), 0);
  EXPECT_EQ(CountMatches("a**", m, "aaa"), 0);
  EXPECT_EQ(CountMatches("a*", m, "aaa"), 2);  // then the empty match at the end
}

TEST(RegExp, LongTextsNeedNoDeepStack) {
  // Each pass of a group loop used to nest one call deeper.
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "ab";
  CPatternMatcher m;
  ASSERT_NE(m.Compile("^(ab)*$"), nullptr);
  EXPECT_EQ(m.Find(wxString(text)), 0);
  EXPECT_EQ(m.GetMatchLength(), 400000);
  EXPECT_EQ(*m.BuildReplacement("\\1"), "ab");

  ASSERT_NE(m.Compile("(a|b)+c"), nullptr);
  EXPECT_EQ(m.Find(wxString(text.substr(0, 20000)) + "c"), 0);
}

TEST(RegExp, LargeProgramsKeepTheirLinks) {
  // The first alternative spans far more than 32767 bytes of program: a 16-bit link
  // to the second one would wrap.
  wxString pattern;
  for (int i = 0; i < 12000; ++i) pattern += "a?";
  pattern += "b|c";
  CPatternMatcher m;
  ASSERT_NE(m.Compile(pattern), nullptr);
  EXPECT_EQ(m.Find("xc"), 1);
  EXPECT_EQ(m.Find("xaab"), 1);
  EXPECT_EQ(m.GetMatchLength(), 3);
  EXPECT_EQ(m.Find("xyz"), -1);
  EXPECT_FALSE(m.StepLimitHit());
}

TEST(RegExp, CatastrophicPatternEndsAsNoMatch) {
  CPatternMatcher m;
  ASSERT_NE(m.Compile("(a|aa)*[c]"), nullptr);
  const wxString text(wxString('a', 60));
  m.SetStepLimit(100000);
  EXPECT_EQ(m.Find(text), -1);
  EXPECT_TRUE(m.StepLimitHit());
  EXPECT_EQ(m.GetMatchLength(), 0);
  EXPECT_FALSE(m.BuildReplacement("&").has_value());

  // the default budget ends too (how fast: bench/regexp_bench.cpp)
  m.SetStepLimit(CPatternMatcher::kDefaultStepLimit);
  EXPECT_EQ(m.Find(text), -1);
  EXPECT_TRUE(m.StepLimitHit());

  // the next search starts afresh
  EXPECT_EQ(m.Find("aac"), 0);
  EXPECT_FALSE(m.StepLimitHit());
}

TEST(RegExp, CountsAndLargeSetsEndWithinAFixedTime) {
  // Processor time of this thread: other work on the machine does not stretch it.
  auto now = hvtest::ThreadSeconds;
  auto seconds = [&](double since) { return now() - since; };
  CPatternMatcher m;
  // What one search spending its whole step budget takes here.
  ASSERT_NE(m.Compile("(a|aa)*[c]"), nullptr);
  double t0 = now();
  EXPECT_EQ(m.Find(wxString('a', 60)), -1);
  ASSERT_TRUE(m.StepLimitHit());
  const double budget = seconds(t0);

  // A count whose every search may spend the whole budget spends it once.
  const wxString as(wxString('a', 2500));
  t0 = now();
  CountMatches("a*a*b|a", m, as);
  EXPECT_LT(seconds(t0), 3 * budget + 0.05);
  EXPECT_EQ(CountMatches("a", m, as), 2500);   // plain counts still count every match

  // A set of 1,500 members costs a step little more than a small one.
  wxString set = "[";
  for (int i = 0; i < 1500; ++i) set += wxUniChar(0x4E00 + 2 * i);
  const wxString big = set + "]*x|" + set + "]";
  wxString text;
  for (int i = 0; i < 2500; ++i) text += wxUniChar(0x4E00 + 2 * (i % 1500));
  t0 = now();
  EXPECT_EQ(CountMatches(big, m, text + "x"), 1);
  m.Compile(set + "]*y");
  m.Find(text);
  EXPECT_LT(seconds(t0), 8 * budget + 0.05);
  // Sorted and merged, a set still holds what it was written with.
  m.Compile("[z-za-cb-eq]+");
  EXPECT_EQ(m.Find("xxdeacbqz!"), 2);
  EXPECT_EQ(m.GetMatchLength(), 7);
  m.Compile("[^z-za-cb-eq]");
  EXPECT_EQ(m.Find("abcdeqzf"), 7);

  // Time alone ends a search whose steps are within their budget. The search cannot
  // spend more of this thread's processor time than passes on the clock, so a busy
  // machine does not lengthen it; a search the clock does not end runs for hours.
  m.SetStepLimit(1L << 40);
  m.SetTimeLimit(std::chrono::milliseconds(50));
  ASSERT_NE(m.Compile("(a|aa)*[c]"), nullptr);
  t0 = now();
  EXPECT_EQ(m.Find(wxString('a', 80)), -1);
  EXPECT_TRUE(m.StepLimitHit());
  EXPECT_LT(seconds(t0), 0.5);
}

// Leftmost-first backtracking agrees with ECMAScript on this subset.
TEST(RegExp, AgreesWithEcmaScriptOnGeneratedPatterns) {
  const char* const atoms[] = {"a", "b", ".", "[ab]", "[^a]", "ab", "c"};
  std::mt19937 rng(12345);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::function<std::string(int)> gen = [&](int depth) {
    std::string p;
    const int pieces = 1 + pick(3);
    for (int i = 0; i < pieces; ++i) {
      if (depth < 2 && pick(4) == 0)
        p += "(" + gen(depth + 1) + ")";
      else
        p += atoms[pick(7)];
      const int op = pick(6);
      if (op == 0) p += "*";
      if (op == 1) p += "+";
      if (op == 2) p += "?";
    }
    if (pick(4) == 0) p += "|" + gen(depth + 1);
    if (depth == 0 && pick(8) == 0) p = "^" + p;
    if (depth == 0 && pick(8) == 0) p += "$";
    return p;
  };
  CPatternMatcher m, plain;
  plain.SetShortcuts(false);   // the shortcuts never change a result
  int compared = 0;
  for (int i = 0; i < 1500; ++i) {
    const std::string p = gen(0);
    if (!m.Compile(wxString(p)) || !plain.Compile(wxString(p))) continue;
    std::regex re;
    try {
      re = std::regex(p, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      continue;
    }
    for (int t = 0; t < 12; ++t) {
      std::string text;
      const int len = pick(9);
      for (int k = 0; k < len; ++k) text += "abc"[pick(3)];
      std::smatch sm;
      const bool found = std::regex_search(text, sm, re);
      SCOPED_TRACE(p + " in \"" + text + "\"");
      for (CPatternMatcher* matcher : {&m, &plain}) {
        ASSERT_EQ(matcher->Find(wxString(text)), found ? static_cast<int>(sm.position(0)) : -1);
        if (found) {
          ASSERT_EQ(matcher->GetMatchLength(), static_cast<int>(sm.length(0)));
        }
      }
      ++compared;
    }
  }
  EXPECT_GT(compared, 5000);
}
