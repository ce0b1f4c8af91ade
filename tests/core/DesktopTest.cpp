// Where the data files are found, and the recent designs list.
#include "files/RecentDesigns.h"
#include "platform/DataFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

TEST(DataFiles, WorkingDirectoryThenInstalledDataFolderThenBesideTheProgram)
{
    const fs::path root = fs::temp_directory_path() / ("quelf-data-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path cwd = root / "work", bin = root / "usr" / "bin", data = root / "usr" / "share" / "quelf";
    for (const fs::path& d : {cwd, bin, data}) fs::create_directories(d);
    auto put = [](const fs::path& p) { std::ofstream(p) << "x"; };
    for (const fs::path& p :
         {cwd / "a.doc", data / "a.doc", bin / "a.doc", data / "b.wav", bin / "b.wav", bin / "c.doc"})
        put(p);
    fs::create_directories(cwd / "c.doc"); // a folder of that name is no file

    const std::vector<fs::path> folders = DataFolders(cwd, bin);
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[1], data);
    EXPECT_EQ(FindDataFile("a.doc", folders), cwd / "a.doc");
    EXPECT_EQ(FindDataFile("b.wav", folders), data / "b.wav");
    EXPECT_EQ(FindDataFile("c.doc", folders), bin / "c.doc");
    EXPECT_TRUE(FindDataFile("none.doc", folders).empty());
    EXPECT_TRUE(FindDataFile("", folders).empty());
    // The program's folder unknown: only the working directory.
    EXPECT_TRUE(FindDataFile("b.wav", DataFolders(cwd, fs::path())).empty());
    fs::remove_all(root);
}

TEST(RecentDesigns, MostRecentFirstEachOnceAtMostEight)
{
    std::vector<std::string> list;
    for (int i = 1; i <= 10; ++i) list = WithRecentDesign(list, "/d/g" + std::to_string(i) + ".vgw");
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), "/d/g10.vgw");
    EXPECT_EQ(list.back(), "/d/g3.vgw");
    // Using one again moves it to the top without doubling it.
    list = WithRecentDesign(list, "/d/g5.vgw");
    EXPECT_EQ(list, (std::vector<std::string>{"/d/g5.vgw", "/d/g10.vgw", "/d/g9.vgw", "/d/g8.vgw", "/d/g7.vgw",
                                              "/d/g6.vgw", "/d/g4.vgw", "/d/g3.vgw"}));
    EXPECT_EQ(WithRecentDesign(list, ""), list);

    EXPECT_EQ(RecentDesignCaption(3, "/home/me/B&O gear.vgw"), "&3 B&&O gear.vgw");
    EXPECT_EQ(RecentDesignCaption(1, "plain.vgd"), "&1 plain.vgd");
}
