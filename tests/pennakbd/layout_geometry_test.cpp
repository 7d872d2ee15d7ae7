// Resolving, measuring and scaling a layout's keys, and the built-in pictures they share.
#include "layout_fixture.h"

#include "keyboard_window.h"
#include "pennakbd_state.h"

namespace {

class LayoutGeometry : public LayoutFixture {
  protected:
    static std::vector<INT> Edges(const KeyDef *key) {
        return {key->left, key->top, key->width, key->height};
    }
};

TEST_F(LayoutGeometry, NegativePlacesFollowTheKeyBeforeAndAHiddenKeyTakesNoRoom) {
    KeyDef *first = AddKey(-1, -1, 10, 10);
    KeyDef *second = AddKey(20, 5, 10, 10);
    KeyDef *hidden = AddKey(-1, -1, 30, 10, KEY_HIDDEN);
    KeyDef *afterHidden = AddKey(-5, -1, 10, 10);
    KeyDef *afterVisible = AddKey(-1, 15, 5, 5);
    PrepareLayout(keys);
    EXPECT_EQ(Edges(first), (std::vector<INT>{0, 0, 10, 10})) << "the first key starts at 0";
    EXPECT_EQ(Edges(second), (std::vector<INT>{20, 5, 30, 15}));
    EXPECT_EQ(Edges(hidden), (std::vector<INT>{30, 5, 60, 15}));
    EXPECT_EQ(Edges(afterHidden), (std::vector<INT>{30, 5, 40, 15})) << "at the hidden key";
    EXPECT_EQ(Edges(afterVisible), (std::vector<INT>{40, 15, 45, 20}));

    MeasureLayout(keys);
    EXPECT_EQ(layoutWidth, 45) << "the hidden key's right edge does not count";
    EXPECT_EQ(layoutHeight, 20);

    // Prepared once, a layout keeps its geometry.
    PrepareLayout(keys);
    EXPECT_EQ(Edges(afterVisible), (std::vector<INT>{40, 15, 45, 20}));
}

TEST_F(LayoutGeometry, ALayoutStartingWithAHiddenKeyIsResolvedOnlyOnce) {
    AddKey(0, 0, 20, 10, KEY_HIDDEN);
    KeyDef *next = AddKey(-1, -1, 10, 10);
    PrepareLayout(keys);
    PrepareLayout(keys);
    EXPECT_EQ(Edges(next), (std::vector<INT>{0, 0, 10, 10}));
}

TEST_F(LayoutGeometry, ScalingTruncatesAndSetsTheFaceHeight) {
    KeyDef *key = AddKey(21, 3, 13, 17);
    PrepareLayout(keys);
    Settings.scale = 1500;
    const RECT scaled = ScaleKeyRect(key);
    EXPECT_EQ(scaled.left, 31);
    EXPECT_EQ(scaled.top, 4);
    EXPECT_EQ(scaled.right, 51);
    EXPECT_EQ(scaled.bottom, 30);
    EXPECT_EQ(faceHeight, 24);
}

TEST_F(LayoutGeometry, AWidthOfZeroLeavesNothingToMeasure) {
    AddKey(0, 0, 0, 10);
    AddKey(0, 0, 40, 10, KEY_HIDDEN);
    PrepareLayout(keys);
    MeasureLayout(keys);
    EXPECT_EQ(layoutWidth, 0);
    EXPECT_EQ(layoutHeight, 10);
}

TEST_F(LayoutGeometry, OnePictureNumberIsLoadedOnceAndBorrowedAfter) {
    KeyDef *first = AddKey(0, 0, 20, 20, KEY_IMAGEINTERNAL);
    first->imageIndex = 102;
    KeyDef *second = AddKey(20, 0, 20, 20, KEY_IMAGEINTERNAL);
    second->imageIndex = 102;
    KeyDef *other = AddKey(40, 0, 20, 20, KEY_IMAGEINTERNAL);
    other->imageIndex = 127;
    PrepareLayout(keys);
    ASSERT_NE(first->image, nullptr);
    EXPECT_EQ(first->flags & (KEY_IMAGE_OWNED | KEY_IMAGE_BORROWED), KEY_IMAGE_OWNED);
    EXPECT_EQ(second->image, first->image);
    EXPECT_EQ(second->flags & (KEY_IMAGE_OWNED | KEY_IMAGE_BORROWED),
              KEY_IMAGE_OWNED | KEY_IMAGE_BORROWED);
    EXPECT_NE(other->image, first->image);
    EXPECT_EQ(FindCachedImage(102), first->image);
    BITMAP picture = {};
    ASSERT_NE(GetObjectW(first->image, sizeof picture, &picture), 0);
    EXPECT_EQ(picture.bmWidth, 20);
    EXPECT_EQ(picture.bmHeight, 20);
    DeleteObject(first->image);
    DeleteObject(other->image);
}

TEST_F(LayoutGeometry, PicturesThatCannotBeLoadedAreCountedInOneMessage) {
    KeyDef *missing = AddKey(0, 0, 20, 20, KEY_IMAGEINTERNAL);
    missing->imageIndex = 999;
    KeyDef *alsoMissing = AddKey(20, 0, 20, 20, KEY_IMAGEINTERNAL);
    alsoMissing->imageIndex = 0x10000 + 998; // only the low 16 bits name the picture
    testing::internal::CaptureStdout();
    PrepareLayout(keys);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[Error when loading images] Loading failed in 2 images\n");
    EXPECT_EQ(missing->image, nullptr);
    EXPECT_EQ(missing->flags & KEY_IMAGE_OWNED, 0u);
}

} // namespace
