// The order in which ConnectCad looks for a CAD: running AutoCAD by its usual name, other running
// AutoCAD versions, running compatible CADs, then a new AutoCAD, or a compatible CAD when AutoCAD is
// not installed.

#include "cad/cad_link.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cadsim/model/simulation.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using testing::SimPlatform;

bool Tried(const SimPlatform& platform, const std::wstring& attempt) {
    const auto& attempts = platform.Attempts();
    return std::find(attempts.begin(), attempts.end(), attempt) != attempts.end();
}

bool AnyStartTried(const SimPlatform& platform) {
    return std::any_of(platform.Attempts().begin(), platform.Attempts().end(),
                       [](const std::wstring& attempt) { return attempt.starts_with(L"create "); });
}

class Attach : public ::testing::Test {
protected:
    cadsim::Simulation autocad;
    cadsim::Simulation older;
    cadsim::Simulation compatible;
    cadsim::Simulation other;
    CadLink link;
};

TEST(AutoCadVersionProgIds, NewestFirstDownToR2000WithMinorVersionsBeforeTheirMajor) {
    const std::vector<std::wstring> names = AutoCadVersionProgIds();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), L"AutoCAD.Application.28.3");
    EXPECT_EQ(names.back(), L"AutoCAD.Application.15");
    const auto at = [&](std::wstring_view name) { return std::find(names.begin(), names.end(), name); };
    EXPECT_LT(at(L"AutoCAD.Application.25.1"), at(L"AutoCAD.Application.25"));
    EXPECT_LT(at(L"AutoCAD.Application.25"), at(L"AutoCAD.Application.24.3"));
    EXPECT_LT(at(L"AutoCAD.Application.24.3"), at(L"AutoCAD.Application.24"));
    EXPECT_NE(at(L"AutoCAD.Application.17.2"), names.end());
    EXPECT_EQ(at(L"AutoCAD.Application"), names.end());  // the usual name is tried on its own first
}

TEST_F(Attach, ARunningAutoCadIsTheOnlyThingAsked) {
    SimPlatform platform(&autocad);
    platform.Install(L"ZWCAD.Application", &compatible, true);
    ConnectCad(link, platform);
    EXPECT_EQ(platform.Attempts(), (std::vector<std::wstring>{L"running AutoCAD.Application"}));
    EXPECT_EQ(link.CadApp, autocad.Application());
}

TEST_F(Attach, AnOlderRunningAutoCadWinsOverStartingTheNewerOneInstalled) {
    SimPlatform platform(nullptr);
    platform.Install(L"AutoCAD.Application", nullptr, false);  // installed, cannot start
    platform.Install(L"AutoCAD.Application.23", &older, true);
    platform.Install(L"ZWCAD.Application", &compatible, true);
    link.Identity = EntityIdentity::kObjectName;  // from a compatible CAD attached before
    ConnectCad(link, platform);
    EXPECT_EQ(link.CadApp, older.Application());
    EXPECT_EQ(link.Identity, EntityIdentity::kEntityType);
    EXPECT_TRUE(older.Visible());
    EXPECT_NE(link.CadUtility, nullptr);
    EXPECT_TRUE(Tried(platform, L"running AutoCAD.Application.24"));  // newer versions were asked first
    EXPECT_FALSE(Tried(platform, L"running ZWCAD.Application"));
    EXPECT_FALSE(AnyStartTried(platform));
    EXPECT_TRUE(platform.Dialogs().empty());
}

TEST_F(Attach, ARunningCompatibleCadIsTakenInTheTablesOrderAndNothingIsStarted) {
    SimPlatform platform(&autocad, /*running=*/false);
    platform.Install(L"BricscadApp.AcadApplication", &other, true);
    platform.Install(L"ZWCAD.Application", &compatible, true);
    ConnectCad(link, platform);
    EXPECT_EQ(link.CadApp, compatible.Application());
    EXPECT_EQ(link.Identity, EntityIdentity::kObjectName) << "its entities are asked their class names";
    EXPECT_FALSE(AnyStartTried(platform));
    EXPECT_FALSE(platform.Running());

    SimPlatform bricscadOnly(nullptr);
    bricscadOnly.Install(L"BricscadApp.AcadApplication", &other, true);
    ConnectCad(link, bricscadOnly);
    EXPECT_EQ(link.CadApp, other.Application());
    EXPECT_FALSE(AnyStartTried(bricscadOnly));
}

TEST_F(Attach, NothingRunningStartsAutoCadWhenInstalledElseTheFirstCompatibleCadInstalled) {
    SimPlatform withAutoCad(&autocad, /*running=*/false);
    withAutoCad.Install(L"ZWCAD.Application", &compatible, false);
    ConnectCad(link, withAutoCad);
    EXPECT_EQ(link.CadApp, autocad.Application());
    EXPECT_EQ(link.Identity, EntityIdentity::kEntityType);
    EXPECT_EQ(withAutoCad.Attempts().back(), L"create AutoCAD.Application");

    SimPlatform without(nullptr);
    without.Install(L"BricscadApp.AcadApplication", &other, false);
    without.Install(L"GStarCAD.Application", &compatible, false);
    ConnectCad(link, without);
    EXPECT_EQ(link.CadApp, compatible.Application());
    EXPECT_EQ(link.Identity, EntityIdentity::kObjectName);
    EXPECT_TRUE(compatible.Visible());
    EXPECT_EQ(without.Starts(), 1);
    const std::vector<std::wstring> starts(without.Attempts().end() - 3, without.Attempts().end());
    EXPECT_EQ(starts, (std::vector<std::wstring>{L"create AutoCAD.Application", L"create ZWCAD.Application",
                                                 L"create GStarCAD.Application"}));
    EXPECT_TRUE(without.Dialogs().empty());
}

TEST_F(Attach, WhenNothingStartsTheFirstStartAttemptsErrorIsShown) {
    // AutoCAD installed but unable to start: no compatible CAD is started in its place.
    SimPlatform broken(nullptr);
    broken.Install(L"AutoCAD.Application", nullptr, false);
    broken.Install(L"ZWCAD.Application", &compatible, false);
    ConnectCad(link, broken);
    EXPECT_EQ(link.CadApp, nullptr);
    EXPECT_EQ(broken.Attempts().back(), L"create AutoCAD.Application");
    ASSERT_EQ(broken.Dialogs().size(), 1u);
    EXPECT_EQ(broken.Dialogs()[0].text, L"服务器运行失败");

    // No AutoCAD, and the first compatible CAD installed cannot start: AutoCAD's error, no further one.
    SimPlatform firstBroken(nullptr);
    firstBroken.Install(L"ZWCAD.Application", nullptr, false);
    firstBroken.Install(L"BricscadApp.AcadApplication", &other, false);
    ConnectCad(link, firstBroken);
    EXPECT_EQ(link.CadApp, nullptr);
    EXPECT_FALSE(Tried(firstBroken, L"create BricscadApp.AcadApplication"));
    ASSERT_EQ(firstBroken.Dialogs().size(), 1u);
    EXPECT_EQ(firstBroken.Dialogs()[0].text, L"无效的类字符串");
}

}  // namespace
}  // namespace korvena
