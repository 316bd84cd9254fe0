#include "image_strips.h"

#include <gtest/gtest.h>
#include <wx/image.h>

#include "resource_ids.h"
#include "tovi/testing/files.h"

namespace {

// Opaque pixels of one image.
int OpaquePixels(const wxBitmap& bitmap) {
    wxImage image = bitmap.ConvertToImage();
    int count = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            if (!image.HasAlpha() || image.GetAlpha(x, y) > 128) {
                ++count;
            }
        }
    }
    return count;
}

bool SamePixels(const wxBitmap& a, const wxBitmap& b) {
    wxImage ia = a.ConvertToImage();
    wxImage ib = b.ConvertToImage();
    return ia.GetSize() == ib.GetSize() &&
           std::equal(ia.GetData(), ia.GetData() + ia.GetWidth() * ia.GetHeight() * 3,
                      ib.GetData());
}

TEST(ImageStrips, EveryStripHasItsSizeAndEveryImageIsDrawn) {
    wxInitAllImageHandlers();
    struct Case {
        int id;
        int size;
        int count;
    } cases[] = {{112, 27, 1}, {311, 16, 17}, {312, 32, 17}, {315, 32, 32}, {316, 16, 32}};
    res::ImageStrips strips;
    for (const Case& c : cases) {
        const wxBitmap& strip = strips.Strip(c.id);
        ASSERT_TRUE(strip.IsOk()) << c.id;
        EXPECT_EQ(strip.GetWidth(), c.size * c.count) << c.id;
        EXPECT_EQ(strip.GetHeight(), c.size) << c.id;
        for (int i = 0; i < c.count; ++i) {
            EXPECT_GT(OpaquePixels(strips.Image(c.id, i)), c.size * c.size / 8)
                << "strip " << c.id << " image " << i;
        }
        wxImage image = strip.ConvertToImage();
        image.SaveFile(
            tovi::testing::ScreenshotPath("strip_" + std::to_string(c.id) + ".png").string(),
            wxBITMAP_TYPE_PNG);
    }
    EXPECT_FALSE(strips.Image(311, 17).IsOk());
    EXPECT_FALSE(strips.Strip(999).IsOk());
}

TEST(ImageStrips, ImagesWithDifferentMeaningsDiffer) {
    res::ImageStrips strips;
    // Play and pause, the clear button and its empty-list image.
    EXPECT_FALSE(SamePixels(strips.Image(311, 0), strips.Image(311, 1)));
    EXPECT_FALSE(SamePixels(strips.Image(315, 12), strips.Image(315, 13)));
    // Index 3 is the exit button in the small strip and the settings panels' icon in the
    // large one.
    wxImage exitSmall = strips.Image(316, 3).ConvertToImage();
    wxImage settingsLarge = strips.Image(315, 3).ConvertToImage().Scale(16, 16);
    EXPECT_FALSE(SamePixels(wxBitmap(exitSmall), wxBitmap(settingsLarge)));
}

}  // namespace
