#pragma once
// A document in a private user folder shown by the tree and the list presenters over
// in-memory controls, with no device services bound.
#include <gtest/gtest.h>

#include "app/ListPresenter.h"
#include "app/TreePresenter.h"
#include "framework/Services.h"
#include "framework/SettingsFile.h"
#include "model/DeviceServices.h"
#include "tests/support/FakeList.h"
#include "tests/support/FakeTree.h"
#include "tests/support/TestEnv.h"

namespace apptest {

class PresenterViews : public testing::Test {
 protected:
  PresenterViews() { profile.SetPath(home.Sub("Project.INI")); }

  CDeviceServices noDevices;
  hv::ServiceOverride<CDeviceServices> boundDevices{&noDevices};
  hvtest::TempHome home;
  CSettingsFile profile;
  CTavProjectDoc doc;
  hvtest::FakeTree tree;
  hvtest::FakeList list;
  CTreePresenter treePresenter{tree, doc};
  CListPresenter listPresenter{list, doc, profile};
};

}  // namespace apptest
