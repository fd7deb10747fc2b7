// The recently used list of desktops: order, merging, capacity, stored values and menu texts.

#include "common/RecentFiles.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

using TList = std::vector<std::string>;

TEST(RecentFiles, MostRecentFirstEachOnceAtMostTheCapacity)
{
    TRecentFiles recent(3);
    recent.Add("/d/a.vrn");
    recent.Add("/d/b.vrn");
    EXPECT_EQ(recent.Items(), (TList {"/d/b.vrn", "/d/a.vrn"}));
    recent.Add("/d/x/../a.vrn"); // the same file, written otherwise: moved up, not doubled
    EXPECT_EQ(recent.Items(), (TList {"/d/a.vrn", "/d/b.vrn"}));
    recent.Add("/d/c.vrn");
    recent.Add("/d/e.vrn");
    EXPECT_EQ(recent.Items(), (TList {"/d/e.vrn", "/d/c.vrn", "/d/a.vrn"}));
    recent.Remove("/d/c.vrn"); // found missing
    EXPECT_EQ(recent.Items(), (TList {"/d/e.vrn", "/d/a.vrn"}));
    recent.Remove("/d/none.vrn");
    EXPECT_EQ(recent.Items().size(), 2u);
    recent.Add("");
    EXPECT_EQ(recent.Items().size(), 2u);
}

TEST(RecentFiles, StoredEntriesAreCheckedAndCut)
{
    TRecentFiles recent;
    EXPECT_EQ(recent.Capacity(), 8u);
    TList stored = {"", "relative.vrn", "/d/a.vrn", "/d/./a.vrn"};
    for (int i = 0; i < 10; ++i)
        stored.push_back("/d/" + std::to_string(i) + ".vrn");
    recent.SetItems(stored);
    ASSERT_EQ(recent.Items().size(), 8u);
    EXPECT_EQ(recent.Items()[0], "/d/a.vrn");
    EXPECT_EQ(recent.Items()[1], "/d/0.vrn");
    EXPECT_EQ(recent.Items()[7], "/d/6.vrn");
}

TEST(RecentFiles, MenuTextsNumberTheEntriesAndKeepAmpersands)
{
    EXPECT_EQ(RecentMenuText(0, "/home/ana/Sail & Sea/azores.vrn"),
        "&1 /home/ana/Sail && Sea/azores.vrn");
    EXPECT_EQ(RecentMenuText(7, "/d/.../x.vrn"), "&8 /d/.../x.vrn");
}

} // namespace
} // namespace vrn
