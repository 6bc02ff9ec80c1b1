#include "shell/open_request.h"

#include <gtest/gtest.h>

#include <set>

namespace {

ExistsQuery Existing(std::set<WideString> paths) {
    return [paths](const WideString& p) { return paths.count(p) != 0; };
}

TEST(OpenRequest, WhatTheShellIsAskedFor) {
    const struct {
        const wchar_t* target;
        bool isFile;
        const wchar_t* file;
        const wchar_t* parameters;
    } cases[] = {
        {L"D:\\data\\", false, L"C:\\Windows\\explorer.exe", L"D:\\data\\"},
        {L"D:\\data\\report.txt", true, L"C:\\Windows\\explorer.exe", L"/e,/select,D:\\data\\report.txt"},
        {L"D:\\tools\\x.EXE", true, L"D:\\tools\\x.EXE", L""},
        {L"E:/", false, L"C:\\Windows\\explorer.exe", L"E:/"},
        {L"", false, L"C:\\Windows\\explorer.exe", L""},
    };
    // Never a bare name, which the shell would look for in the current folder.
    EXPECT_EQ(ExplorerIn(L""), L"");
    for (const auto& c : cases) {
        const OpenRequest request = ChooseOpenRequest(c.target, c.isFile, L"C:\\Windows");
        EXPECT_EQ(request.file, c.file) << c.target;
        EXPECT_EQ(request.parameters, c.parameters) << c.target;
    }
}

TEST(OpenRequest, MissingTargetsWalkUpToWhatExists) {
    const ExistsQuery onlyA = Existing({L"X:\\a"});
    EXPECT_EQ(ExistingTarget(L"X:\\a\\b\\d\\", onlyA), L"X:\\a");
    EXPECT_EQ(ExistingTarget(L"x:\\q\\r\\", onlyA), L"X:/");
    EXPECT_EQ(ExistingTarget(L"E:\\_Backup_\\", Existing({L"E:\\_Backup_\\"})), L"E:\\_Backup_\\");
    // Eleven parent steps at most.
    const WideString eleven = L"X:\\a\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10\\11";
    EXPECT_EQ(ExistingTarget(eleven, onlyA), L"X:\\a");
    EXPECT_EQ(ExistingTarget(eleven + L"\\12", onlyA), L"X:/");
    EXPECT_EQ(ExistingTarget(L"\\\\srv\\share\\x", Existing({})), L"\\\\SRV/");
}

TEST(OpenRequest, TheSearchFolderMarkerStandsForANetworkPath) {
    const ExistsQuery shareExists = Existing({L"\\\\srv\\share\\doc"});
    EXPECT_EQ(MapSearchFolderPath(L"D:/Users/u/Temp/_Search_/__/srv/share/doc", shareExists),
              L"\\\\srv\\share\\doc");
    EXPECT_EQ(MapSearchFolderPath(L"D:\\Users\\u\\temp\\_search_\\__\\srv\\share\\doc", shareExists),
              L"\\\\srv\\share\\doc");
    EXPECT_EQ(MapSearchFolderPath(L"D:\\u\\Temp\\_Search_\\__\\srv\\share\\doc", Existing({})),
              L"D:\\u\\Temp\\_Search_\\__\\srv\\share\\doc");
    EXPECT_EQ(MapSearchFolderPath(L"D:\\data", shareExists), L"D:\\data");
}

TEST(OpenRequest, TheFailureTextNamesResultErrorAndRequest) {
    EXPECT_EQ(OpenFailureText(2, 2, L"File not found.\r\n", {L"explorer.exe", L"E:\\x\\"}),
              L"0x2\r\n0x2    File not found.\r\n\r\n\r\nexplorer.exe\r\nE:\\x\\");
    EXPECT_EQ(OpenFailureText(31, 0x483, L"", {L"x.exe", L""}), L"0x1f\r\n0x483    \r\n\r\nx.exe\r\n");
}

}  // namespace
