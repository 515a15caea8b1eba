// Kinds offered by the new-object dialog per object and device.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Services.h"
#include "model/ModelServices.h"
#include "model/NewObjectKinds.h"
#include "platform/Registry.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

namespace {

std::vector<TypeCode> Codes(const std::vector<NewObjectKind>& kinds) {
  std::vector<TypeCode> codes;
  for (const auto& k : kinds) codes.push_back(k.code);
  return codes;
}

bool Has(const std::vector<NewObjectKind>& kinds, TypeCode code) {
  return std::any_of(kinds.begin(), kinds.end(), [code](const NewObjectKind& k) { return k.code == code; });
}

DeviceCapabilities FullPanel() {
  DeviceCapabilities d;
  d.versionKnown = d.designEntry = d.panel = d.keypads = d.tavSim = d.coDeSys = true;
  d.fwVersion = 210;
  return d;
}

}  // namespace

TEST(NewObjectKinds, FoldersAndProjects) {
  const DeviceCapabilities none;
  EXPECT_EQ(Codes(NewObjectKinds(TypeCode::PrjFolder, true, none, false)),
            (std::vector<TypeCode>{TypeCode::Project, TypeCode::PrjFolder}));
  EXPECT_EQ(Codes(NewObjectKinds(TypeCode::Project, false, none, false)),
            (std::vector<TypeCode>{TypeCode::Project, TypeCode::PrjDevice}));
}

TEST(NewObjectKinds, DeviceKindsFollowItsCapabilities) {
  const auto full = NewObjectKinds(TypeCode::PrjDevice, false, FullPanel(), true);
  EXPECT_EQ(full.front().code, TypeCode::PrjDevice);
  for (TypeCode c : {TypeCode::Bitmap, TypeCode::Font, TypeCode::Menu, TypeCode::Mask, TypeCode::String,
                     TypeCode::AlarmDef, TypeCode::RecipeDef, TypeCode::DataLoger, TypeCode::KeypadXML,
                     TypeCode::KeypadBmp, TypeCode::TavSim, TypeCode::CoDeSys, TypeCode::ProGRIPS,
                     TypeCode::DirectDataPoint, TypeCode::Network, TypeCode::Html})
    EXPECT_TRUE(Has(full, c)) << TypeCodeHex(c);
  // Grouping folders are never offered themselves.
  for (TypeCode c : {TypeCode::Resource, TypeCode::ResMask, TypeCode::Program, TypeCode::PrjDataPoint})
    EXPECT_FALSE(Has(full, c)) << TypeCodeHex(c);

  DeviceCapabilities noDesign = FullPanel();
  noDesign.designEntry = false;
  const auto plain = NewObjectKinds(TypeCode::PrjDevice, false, noDesign, false);
  for (TypeCode c : {TypeCode::Bitmap, TypeCode::Font, TypeCode::Menu, TypeCode::Mask, TypeCode::String,
                     TypeCode::AlarmDef, TypeCode::RecipeDef, TypeCode::DataLoger, TypeCode::ProGRIPS,
                     TypeCode::DirectDataPoint})
    EXPECT_FALSE(Has(plain, c)) << TypeCodeHex(c);
  noDesign.dataPointPermission = true;
  EXPECT_TRUE(Has(NewObjectKinds(TypeCode::PrjDevice, false, noDesign, false), TypeCode::Network));

  DeviceCapabilities old = FullPanel();
  old.fwVersion = 209;
  EXPECT_FALSE(Has(NewObjectKinds(TypeCode::PrjDevice, false, old, false), TypeCode::DataLoger));

  DeviceCapabilities controller = FullPanel();
  controller.panel = controller.keypads = controller.tavSim = false;
  const auto ctl = NewObjectKinds(TypeCode::PrjDevice, false, controller, false);
  EXPECT_FALSE(Has(ctl, TypeCode::Html));
  EXPECT_FALSE(Has(ctl, TypeCode::Network));
  EXPECT_FALSE(Has(ctl, TypeCode::KeypadXML));
  EXPECT_FALSE(Has(ctl, TypeCode::TavSim));
  EXPECT_TRUE(Has(ctl, TypeCode::CoDeSys));
  DeviceCapabilities unknownVersion = FullPanel();
  unknownVersion.versionKnown = false;
  const auto unknown = NewObjectKinds(TypeCode::PrjDevice, false, unknownVersion, false);
  EXPECT_FALSE(Has(unknown, TypeCode::Mask));
  EXPECT_TRUE(Has(unknown, TypeCode::String));
}

TEST(NewObjectKinds, ObjectsBelowADeviceAndPasteTargets) {
  // A mask: a new mask on top.
  EXPECT_EQ(Codes(NewObjectKinds(TypeCode::Mask, false, FullPanel(), false)), std::vector<TypeCode>{TypeCode::Mask});
  // A web folder that takes pastes offers a sub-folder and files.
  EXPECT_EQ(Codes(NewObjectKinds(TypeCode::HtmlFolder, true, FullPanel(), false)),
            (std::vector<TypeCode>{TypeCode::HtmlFolder, TypeCode::Html}));
  // A grouping folder that takes pastes must not look for itself without end.
  EXPECT_EQ(Codes(NewObjectKinds(TypeCode::ResMask, true, FullPanel(), false)),
            (std::vector<TypeCode>{TypeCode::ResMask, TypeCode::Mask}));
}

TEST(NewObjectKinds, LiveObjectsAskTheProviderAndTheRegistry) {
  hvtest::TempHome home;
  hvtest::FakeObject device(TypeCode::PrjDevice, "CPOPrjDevice", "D");
  struct Panel : hv::IDeviceCapabilities {
    DeviceCapabilities Of(CProjectObject&) override { return FullPanel(); }
  } panel;
  {
    hv::ServiceOverride<hv::IDeviceCapabilities> bound(&panel);
    EXPECT_FALSE(Has(NewObjectKindsFor(device), TypeCode::ProGRIPS));
    hv::RegistryStore::Get().SetString("SOFTWARE\\ProGRIPS", "Path", "/opt/progrips");
    EXPECT_TRUE(Has(NewObjectKindsFor(device), TypeCode::ProGRIPS));
  }
  // The program's own answer for an object that is no real device: nothing allowed.
  EXPECT_FALSE(Has(NewObjectKindsFor(device), TypeCode::Mask));
}
