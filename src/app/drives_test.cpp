#include "app/drives.h"

#include <gtest/gtest.h>

namespace {

DriveTable Drives(std::initializer_list<std::pair<wchar_t, DriveAnswer>> present) {
    DriveTable table;
    for (const auto& drive : present) table[static_cast<size_t>(drive.first - L'A')] = drive.second;
    return table;
}

TEST(Drives, TheFirstDriveOfATypeThatHoldsAMedium) {
    const DriveAnswer removable = {2, true};
    const DriveAnswer emptySlot = {2, false};
    const DriveAnswer fixed = {3, true};
    const DriveAnswer cdrom = {5, true};
    const struct {
        DriveTable drives;
        int removable;
        int fixedFromD;
    } cases[] = {
        {Drives({}), -1, -1},
        {Drives({{L'C', fixed}}), -1, -1},
        {Drives({{L'A', removable}, {L'C', fixed}}), 0, -1},
        // Card-reader slots without a medium come before the stick.
        {Drives({{L'C', fixed}, {L'D', emptySlot}, {L'F', emptySlot}, {L'G', removable}}), 6, -1},
        {Drives({{L'B', fixed}, {L'C', fixed}, {L'D', cdrom}, {L'F', fixed}}), -1, 5},
        {Drives({{L'C', fixed}, {L'D', {3, false}}, {L'Z', fixed}}), -1, 25},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FirstRemovableDriveIn(c.drives), c.removable);
        EXPECT_EQ(FirstFixedDriveFromDIn(c.drives), c.fixedFromD);
    }
}

TEST(Drives, TypesOfPathsAndLetters) {
    EXPECT_EQ(DriveTypeOfPath(L"C:\\x"), DriveTypeOfLetter(L'c'));
    EXPECT_EQ(DriveTypeOfLetter(L'C'), 3u);
    for (const wchar_t* path : {L"", L"x", L"\\\\srv\\share", L"1:\\"}) {
        EXPECT_EQ(DriveTypeOfPath(path), 1u) << path;
    }
}

}  // namespace
