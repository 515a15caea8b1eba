#include "framework/PropertySheetModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Log {
  std::vector<std::string> lines;
};

class Page : public CSheetPage {
 public:
  Page(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}
  bool refuse = false;
  void OnInit() override { m_log.lines.push_back(m_name + " init"); }
  void OnSetActive() override {
    m_log.lines.push_back(m_name + " active");
    if (m_name == "general") Sheet()->ShowExtraButton(415, true);
  }
  PageCheck OnKillActive() override {
    m_log.lines.push_back(m_name + " check");
    if (refuse) return {10284, 1078};
    if (m_name == "general") Sheet()->ShowExtraButton(415, false);
    return {};
  }
  void OnLeave() override {
    m_log.lines.push_back(m_name + " leave");
    if (m_name == "general") Sheet()->ShowExtraButton(415, false);
  }
  void OnOK() override { m_log.lines.push_back(m_name + " ok"); }

 private:
  Log& m_log;
  std::string m_name;
};

class CountingView : public ISheetView {
 public:
  int changes = 0;
  void ButtonsChanged() override { ++changes; }
};

TEST(SheetWizard, NextChecksBackDoesNotAndFinishStoresEveryShownPage) {
  Log log;
  Page connection(log, "connection"), general(log, "general");
  CSheetController sheet;
  CountingView view;
  sheet.SetView(&view);
  sheet.SetWizardMode(true);
  sheet.AddPage(&connection);
  sheet.AddPage(&general);
  ASSERT_TRUE(sheet.SetActivePage(0));
  EXPECT_FALSE(sheet.Back());   // nothing before the first page
  EXPECT_FALSE(sheet.IsExtraButtonShown(415));

  connection.refuse = true;
  EXPECT_FALSE(sheet.Next());
  EXPECT_EQ(sheet.ActivePage(), 0);
  connection.refuse = false;
  ASSERT_TRUE(sheet.Next());
  EXPECT_EQ(sheet.ActivePage(), 1);
  EXPECT_TRUE(sheet.IsExtraButtonShown(415));
  EXPECT_FALSE(sheet.Next());   // nothing after the last page

  ASSERT_TRUE(sheet.Back());   // leaves the general page unchecked, yet it is left
  EXPECT_EQ(sheet.ActivePage(), 0);
  EXPECT_FALSE(sheet.IsExtraButtonShown(415));
  ASSERT_TRUE(sheet.Next());
  general.refuse = true;
  EXPECT_FALSE(sheet.Finish());
  general.refuse = false;
  ASSERT_TRUE(sheet.Finish());

  const std::vector<std::string> expected = {
      "connection init",  "connection active", "connection check", "connection check", "connection leave",
      "general init",     "general active",    "general leave",    "connection active", "connection check",
      "connection leave", "general active",    "general check",    "general check",     "general ok",
      "connection ok"};
  EXPECT_EQ(log.lines, expected);
  EXPECT_FALSE(sheet.IsExtraButtonShown(415));
  EXPECT_EQ(view.changes, 4);   // shown and hidden twice: repeats do not notify
}

TEST(SheetWizard, WizardButtonsNotifyOnlyOnChange) {
  CSheetController sheet;
  CountingView view;
  sheet.SetView(&view);
  EXPECT_EQ(sheet.WizardButtons(), unsigned{PSWIZB_NEXT});
  sheet.SetWizardButtons(PSWIZB_NEXT);
  EXPECT_EQ(view.changes, 0);
  sheet.SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  EXPECT_EQ(view.changes, 1);
  EXPECT_EQ(sheet.WizardButtons(), unsigned{PSWIZB_BACK | PSWIZB_FINISH});
}

}  // namespace
