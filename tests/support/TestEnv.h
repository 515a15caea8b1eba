#pragma once
// Shared helpers for tests: a private HALVORA_HOME per test, file helpers and a
// scripted user-interaction facade.
#include <gtest/gtest.h>

#include <time.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/Ui.h"

namespace hvtest {

// Processor time of this thread in seconds: other work on the machine does not stretch
// it, so time bounds hold on a busy machine.
inline double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Creates a fresh folder, points HALVORA_HOME at it and reloads the registry store.
// The folder is removed at destruction. With HVTEST_SESSION_HOME set (a test run as a
// later session of another), that folder is used instead and kept.
class TempHome {
 public:
  TempHome();
  ~TempHome();
  const wxString& Path() const { return m_path; }
  wxString Sub(const wxString& relative) const;
  // Writes the system layer of the registry store (read-only for the program).
  void WriteSystemRegistry(const std::string& content);

 private:
  wxString m_path;
  bool m_keep = false;
};

// A fresh temporary folder removed at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const wxString& Path() const { return m_path; }
  wxString Sub(const wxString& relative) const;

 private:
  wxString m_path;
};

// Makes every write past `bytes` in a file fail (EFBIG) while it lives, so tests can
// break a write midway even when running as root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(unsigned long bytes);
  ~FileSizeLimit();

 private:
  unsigned long m_soft = 0;
  bool m_set = false;
};

std::string ReadAll(const wxString& path);
void WriteAll(const wxString& path, const std::string& bytes);
wxString S(const char* utf8);   // wxString from a UTF-8 literal

// Scripted facade: answers messages and dialogs in order; anything unexpected fails
// the test and answers IDCANCEL.
class ScriptedUi {
 public:
  ScriptedUi();
  ~ScriptedUi();

  // The next message must carry this text number; it is answered with `answer`.
  void ExpectMessage(UINT id, int answer = IDOK);
  // Messages not expected are recorded and fail the test unless allowed.
  void AllowAnyMessage(int answer = IDOK) { m_allowAny = true; m_anyAnswer = answer; }

  template <class T>
  void Answer(std::function<int(T&)> fn) {
    hv::Ui().Register<T>(std::move(fn));
  }

  bool AllExpectationsMet() const { return m_expected.empty(); }
  const std::vector<UINT>& MessageIds() const { return m_seen; }
  const std::vector<wxString>& MessageTexts() const { return m_texts; }
  // The titles of the folder copies shown.
  const std::vector<wxString>& CopyTitles() const { return m_copyTitles; }
  // Each message's own caption; empty for the program's name.
  const std::vector<wxString>& MessageCaptions() const { return m_captions; }
  bool Saw(UINT id) const;

 private:
  std::deque<std::pair<UINT, int>> m_expected;
  std::vector<UINT> m_seen;
  std::vector<wxString> m_texts;
  std::vector<wxString> m_captions;
  std::vector<wxString> m_copyTitles;
  bool m_allowAny = false;
  int m_anyAnswer = IDOK;
};

}  // namespace hvtest
