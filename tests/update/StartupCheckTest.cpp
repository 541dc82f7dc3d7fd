#include "UpdateFixture.h"
#include "app/VantrelController.h"
#include "update/UpdateChecker.h"

using StartupCheck = test::UpdateFixture;

TEST_F (StartupCheck, TheControllerChecksSilentlyShortlyAfterItIsBuilt)
{
    serveOverview ("1.1.1");
    VantrelController controller;
    EXPECT_EQ (server.countRequests ("/updates/19203/overview.xml"), 0) << "not while the controller is built";
    ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
    EXPECT_EQ (server.countRequests ("/updates/19203/overview.xml"), 1);
}

TEST_F (StartupCheck, AControllerGoneBeforeTheCheckIsLeftAlone)
{
    serveOverview ("1.1.1");
    {
        VantrelController controller;
    }
    test::pumpFor (300);
    EXPECT_EQ (server.countRequests ("/updates/19203/overview.xml"), 0);
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
}
