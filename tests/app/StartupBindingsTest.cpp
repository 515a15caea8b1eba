// The program's wiring: start-up's own BindServices leaves no service unbound, and the
// check names whatever is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/Startup.h"
#include "framework/Services.h"
#include "grid/NumberFormat.h"
#include "model/DeviceServices.h"
#include "model/ModelServices.h"
#include "model/NewObjectRequests.h"
#include "tests/support/TestServices.h"

namespace {

bool Has(const std::vector<std::string>& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

std::vector<std::string> Services(const std::vector<std::string>& missing) {
  std::vector<std::string> out;
  for (const std::string& m : missing)
    if (m.rfind("service ", 0) == 0) out.push_back(m);
  return out;
}

}  // namespace

TEST(StartupBindings, EveryServiceIsBoundAndTheCheckNamesWhatIsNot) {
  hvtest::BindTestServices();
  EXPECT_EQ(Services(MissingBindings()), std::vector<std::string>{});

  // The window layer's part left out: named, not skipped.
  CGridNumberFormat odd;
  odd.decimal = wxS(";");
  CGridNumberFormat::SetUser(odd);
  BindServices(UiBindings{});
  // Grid numbers follow the locale the environment names.
  EXPECT_EQ(CGridNumberFormat::User(), CGridNumberFormat::FromLocale(""));
  EXPECT_EQ(Services(MissingBindings()), std::vector<std::string>{"service 'event loop'"});
  hvtest::BindTestServices();
  {
    hv::ServiceOverride<hv::IProcessCheck> gone(nullptr);
    hv::ServiceOverride<CProjectServices> alsoGone(nullptr);
    const auto missing = MissingBindings();
    EXPECT_TRUE(Has(missing, "service 'process check'"));
    EXPECT_TRUE(Has(missing, "service 'project services'"));
  }
  EXPECT_EQ(Services(MissingBindings()), std::vector<std::string>{});
}

TEST(StartupBindings, EveryRequestTypeTheCoreRunsNeedsARunnerOrAReason) {
  hv::Ui().Reset();
  hvtest::BindTestServices();
  // Without the window layer no request type has a runner: each one is named, but the
  // types this program does not serve, which carry a reason instead.
  std::vector<std::string> runners;
  for (const std::string& m : MissingBindings())
    if (m.rfind("runner for ", 0) == 0) runners.push_back(m.substr(11));
  EXPECT_TRUE(Has(runners, "NewObjectRequest"));
  for (const UnservedRequest& u : UnservedRequests()) {
    EXPECT_FALSE(Has(runners, u.type)) << u.type;
    EXPECT_GT(std::string(u.reason).size(), 10u) << u.type;
  }
  // A runner registered through the binding's door takes the type off the list.
  BindServices(UiBindings{nullptr, [](hv::UiFacade& ui) {
                            ui.Register<NewObjectRequest>([](NewObjectRequest&) { return IDCANCEL; });
                          }});
  EXPECT_FALSE(Has(MissingBindings(), "runner for NewObjectRequest"));
  hv::Ui().Reset();
  hvtest::BindTestServices();
}

TEST(StartupBindingsDeathTest, UsingAnUnboundServiceStopsATestAndNamesIt) {
  hvtest::BindTestServices();
  EXPECT_DEATH(
      {
        hv::ServiceOverride<hv::IProcessCheck> gone(nullptr);
        hv::Service<hv::IProcessCheck>().IsRunning(wxS("x"));
      },
      "service 'process check' is not bound");
}
