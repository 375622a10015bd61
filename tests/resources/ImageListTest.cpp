// The image list parser: valid lines, and slips reported with their line.
#include "ImageList.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageList, ReadsEntriesCommentsAndBlankLines) {
    const auto list = images::parseImageList("# header\n\n"
                                             "BITMAP/IDB_BMP_IO bmp 128 128 8 rle8  # moon\n"
                                             "DDS/IDB_DDS_SATRING dds 64 256 32 none\n"
                                             "ICON/101-32 png 32 32 32 none\n");
    ASSERT_EQ(list.error, "");
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0].name(), "IDB_BMP_IO");
    EXPECT_TRUE(list.entries[0].rle8);
    EXPECT_EQ(list.entries[0].fileName(), "IDB_BMP_IO.bmp");
    EXPECT_EQ(list.entries[1].format, images::ImageFormat::Dds);
    EXPECT_EQ(list.entries[1].height, 256);
    EXPECT_EQ(list.entries[2].fileName(), "101-32.png");
}

TEST(ImageList, RejectsWhatWouldMakeAWrongImage) {
    const char* bad[] = {
        "BITMAP/X bmp 64 64 8\n",                             // missing field
        "BITMAP/X bmp 64 64 24 rle8\n",                       // RLE8 is for 8 bits only
        "BITMAP/X bmp 64 64 16 none\n",                       // no 16-bit bitmaps
        "DDS/X dds 64 64 8 none\n",                           // DDS images are 32-bit
        "BITMAP/X gif 64 64 8 none\n",                        // unknown format
        "BITMAP/X bmp 0 64 8 none\n",                         // empty
        "BITMAP/X bmp 64 64 8 zip\n",                         // unknown compression
        "IDB_BMP_X bmp 64 64 8 none\n",                       // no kind folder
        "BITMAP/X bmp 64 64 8 none\nDDS/X dds 8 8 32 none\n", // duplicate name
    };
    for (const char* text : bad) {
        const auto list = images::parseImageList(text);
        EXPECT_NE(list.error, "") << text;
        EXPECT_TRUE(list.entries.empty()) << text;
    }
    EXPECT_TRUE(images::parseImageList("\nBITMAP/X bmp 64 64 8 nope\n").error.startsWith("line 2"));
}

} // namespace
