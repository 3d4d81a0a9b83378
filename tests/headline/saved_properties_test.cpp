#include <gtest/gtest.h>

#include "headline/property_bag.h"
#include "headline/uc_headline.h"

namespace velmaro {
namespace {

TEST(HeadlineProperties, MissingCaptionReadsAsDefault) {
    ucHeadline headline;
    headline.SetCaption("vorher");
    headline.ReadProperties(PropertyBag{});
    EXPECT_EQ(headline.Caption(), "ucHeadline");
}

TEST(HeadlineProperties, SavedCaptionIsShown) {
    ucHeadline headline;
    headline.ReadProperties(PropertyBag{{"Caption", "Hinweis zur Problemlösung"}});
    EXPECT_EQ(headline.Caption(), "Hinweis zur Problemlösung");
}

TEST(HeadlineProperties, OtherKeysAreIgnored) {
    ucHeadline headline;
    headline.ReadProperties(PropertyBag{{"caption", "klein"}, {"Text", "anders"}});
    EXPECT_EQ(headline.Caption(), "ucHeadline");
}

TEST(HeadlineProperties, DefaultCaptionIsNotWritten) {
    ucHeadline headline;
    PropertyBag bag;
    headline.WriteProperties(bag);
    EXPECT_TRUE(bag.Entries().empty());

    headline.SetCaption("ucHeadline");
    headline.WriteProperties(bag);
    EXPECT_TRUE(bag.Entries().empty());
}

TEST(HeadlineProperties, OtherCaptionIsWrittenUnderCaption) {
    ucHeadline headline;
    headline.SetCaption("Physikalische && virtuelle COM Ports auf diesem PC");
    PropertyBag bag;
    headline.WriteProperties(bag);
    ASSERT_EQ(bag.Entries().size(), 1u);
    EXPECT_EQ(bag.Read("Caption"), "Physikalische && virtuelle COM Ports auf diesem PC");
}

TEST(HeadlineProperties, CaptionDiffersFromDefaultByLetterCase) {
    ucHeadline headline;
    headline.SetCaption("UCHeadline");
    PropertyBag bag;
    headline.WriteProperties(bag);
    EXPECT_EQ(bag.Read("Caption"), "UCHeadline");
}

TEST(HeadlineProperties, WrittenCaptionReadsBack) {
    ucHeadline first;
    first.SetCaption("Hinweis zur Problemlösung");
    PropertyBag bag;
    first.WriteProperties(bag);

    ucHeadline second;
    second.ReadProperties(bag);
    EXPECT_EQ(second.Caption(), "Hinweis zur Problemlösung");
}

TEST(PropertyBagRules, ReadAndWriteWithDefault) {
    PropertyBag bag{{"A", "1"}};
    EXPECT_EQ(ReadProperty(bag, "A", "0"), "1");
    EXPECT_EQ(ReadProperty(bag, "B", "0"), "0");
    WriteProperty(bag, "B", "0", "0");
    EXPECT_FALSE(bag.Read("B").has_value());
    WriteProperty(bag, "B", "", "0");
    EXPECT_EQ(bag.Read("B"), "");
}

}  // namespace
}  // namespace velmaro
