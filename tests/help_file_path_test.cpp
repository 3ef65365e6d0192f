#include "app/help_file_path.h"

#include <gtest/gtest.h>

namespace korvena {
namespace {

TEST(ExecutableFolder, DropsTheFileNameAndTheBackslashBeforeIt) {
    EXPECT_EQ(ExecutableFolder(L"C:\\Program Files\\Korvena\\korvena.exe"), L"C:\\Program Files\\Korvena");
    EXPECT_EQ(ExecutableFolder(L"\\\\server\\tools\\korvena.exe"), L"\\\\server\\tools");
}

TEST(ExecutableFolder, KeepsTheBackslashOfADriveRoot) {
    EXPECT_EQ(ExecutableFolder(L"C:\\korvena.exe"), L"C:\\");
    EXPECT_EQ(ExecutableFolder(L"\\\\?\\D:\\korvena.exe"), L"\\\\?\\D:\\");
}

TEST(HelpFilePath, PutsOneBackslashBetweenFolderAndFile) {
    EXPECT_EQ(HelpFilePath(L"C:\\Program Files\\Korvena"), L"C:\\Program Files\\Korvena\\qel.chm");
    EXPECT_EQ(HelpFilePath(L"C:\\"), L"C:\\qel.chm");
    EXPECT_EQ(HelpFilePath(ExecutableFolder(L"C:\\korvena.exe")), L"C:\\qel.chm");
    EXPECT_EQ(HelpFilePath(ExecutableFolder(L"Z:\\work\\build\\korvena.exe")), L"Z:\\work\\build\\qel.chm");
}

TEST(HelpFilePath, KeepsChineseFolderNames) {
    EXPECT_EQ(HelpFilePath(ExecutableFolder(L"D:\\测绘工具\\korvena.exe")), L"D:\\测绘工具\\qel.chm");
}

}  // namespace
}  // namespace korvena
