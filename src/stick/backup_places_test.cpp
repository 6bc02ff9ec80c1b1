#include "stick/backup_places.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "test_support.h"

namespace {

TEST(BackupPlaces, OnlyPlainFoldersOrMissingOnesMayBeWritten) {
    const uint32_t folder = FILE_ATTRIBUTE_DIRECTORY;
    const uint32_t link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const struct {
        const wchar_t* place;
        PlaceFacts facts;
        bool plain;
    } cases[] = {
        {L"E:\\_Backup_", {folder, L"\\\\?\\E:\\_Backup_"}, true},
        {L"E:\\_backup_\\PC01", {folder, L"\\\\?\\E:\\_Backup_\\PC01\\"}, true},       // letter case, separator
        {L"\\\\srv\\s\\_Backup_", {folder, L"\\\\?\\UNC\\srv\\s\\_Backup_"}, true},
        {L"E:\\_Backup_\\PC01", {INVALID_FILE_ATTRIBUTES, L""}, true},                // made by the run
        {L"E:\\_Backup_", {link, L"\\\\?\\E:\\_Backup_"}, false},                      // a junction itself
        {L"E:\\_Versions_\\PC01", {folder, L"\\\\?\\C:\\Users\\other\\Documents"}, false},
        {L"E:\\_Backup_\\PC01\\C", {folder, L"\\\\?\\E:\\_Backup_\\PC02\\C"}, false},  // a link above it
        {L"E:\\_Backup_", {folder, L""}, true},                                         // no final path given
    };
    for (const auto& c : cases) EXPECT_EQ(IsPlainPlace(c.place, c.facts), c.plain) << c.place;
}

TEST(BackupPlaces, EveryPlaceTheRunWritesIsLookedAt) {
    BackupPlan plan;
    plan.backupFolder = L"E:\\_Backup_";
    plan.computerFolder = L"E:\\_Backup_\\PC01";
    plan.versionsFolder = L"E:\\_Versions_\\PC01";
    PlannedFolder data;
    data.destination = L"E:\\_Backup_\\PC01\\C\\KORV\\Data";
    PlannedFolder refused;
    refused.fate = FolderFate::Refused;
    refused.destination = L"E:\\_Backup_\\PC01\\D\\x";
    PlannedFolder share;
    share.destination = L"E:\\_Backup_\\srv\\s";
    plan.folders = {data, refused, share};
    EXPECT_EQ(PlacesOfPlan(plan),
              (StringList{L"E:\\_Backup_", L"E:\\_Backup_\\PC01", L"E:\\_Versions_", L"E:\\_Versions_\\PC01",
                          L"E:\\_Backup_\\PC01\\C", L"E:\\_Backup_\\PC01\\C\\KORV", L"E:\\_Backup_\\PC01\\C\\KORV\\Data",
                          L"E:\\_Backup_\\srv", L"E:\\_Backup_\\srv\\s"}));
}

// The system's own answer for a plain folder, as the run asks it.
TEST(BackupPlaces, APlainFolderOnDiskIsPlain) {
    ScopedTempFolder temp;
    const PlaceFacts facts = FactsOfPlace(temp.Path());
    EXPECT_TRUE(IsPlainPlace(temp.Path(), facts)) << facts.finalPath;
    EXPECT_TRUE(IsPlainPlace(temp.Join(L"missing"), FactsOfPlace(temp.Join(L"missing"))));
}

}  // namespace

namespace {

TEST(BackupPlaces, ADeepFolderIsPlainToo) {
    ScopedTempFolder temp;
    WideString deep = temp.Path();
    while (deep.size() < 300) {
        deep += L"\\level of a deep tree";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    const PlaceFacts facts = FactsOfPlace(deep);
    EXPECT_TRUE(IsPlainPlace(deep, facts)) << deep << L"\n" << facts.finalPath << L"\n" << facts.attributes;
}

}  // namespace
