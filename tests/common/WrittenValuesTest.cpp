#include "WrittenValues.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using lse::WrittenValues;

// The page's reading Worker hands the kept texts over whole, as records and texts.
TEST(WrittenValues, HandedOverWholeTheyReadAsNoted) {
    WrittenValues noted;
    noted.note(1, 1, "0.1");
    noted.note(1, 2, "7");
    noted.note(2, 3, "1/3");
    WrittenValues handed;
    handed.assign(noted.records(), noted.texts());
    ASSERT_EQ(handed.size(), 2U);
    EXPECT_EQ(handed[0].text, "0.1");
    EXPECT_EQ(handed[1].row, 2);
    EXPECT_EQ(handed[1].column, 3);
    EXPECT_EQ(handed[1].text, "1/3");
}

// The exact solve and Save System read a plain '-' alone.
TEST(WrittenValues, KeepALookAlikeMinusAsTheMinus) {
    WrittenValues written;
    written.note(1, 1, "\u22120.1");
    written.note(1, 2, "1/\uFF0D3");
    written.note(1, 3, "\u22122"); // a whole number: its double is its value
    ASSERT_EQ(written.size(), 2U);
    EXPECT_EQ(written[0].text, "-0.1");
    EXPECT_EQ(written[1].text, "1/-3");
}

TEST(WrittenValues, RefusesARecordBeyondTheTexts) {
    WrittenValues written;
    for (const WrittenValues::Record record :
         {WrittenValues::Record{1, 1, 2, 2}, WrittenValues::Record{1, 1, 4, 0}}) {
        EXPECT_THROW(written.assign({record}, "0.5"), std::invalid_argument);
        EXPECT_TRUE(written.empty());
    }
}
