#include "model/misc_funcs.h"

#include <gtest/gtest.h>

namespace thrustlet {
namespace {

TEST(TakeFieldTest, ConsumesFieldsFromTheFront) {
    const struct {
        const char* text;
        const char* delim;
        int16_t count;
        const char* field;
        const char* rest;
    } cases[] = {
        {"NozzleDia:0.5", ":", 2, "0.5", ""},
        {"4,2,1", ",", 0, "4", "2,1"},   // a count of 0 counts as 1
        {"4,2,1", ",", 1, "4", "2,1"},
        {"4,2,1", ",", 3, "1", ""},
        {"4,2,1", ",", 4, "", ""},       // past the last field
        {" 1 ", ",", 1, "1", ""},        // the last field is trimmed
        {" 1 ,2", ",", 1, " 1 ", "2"},   // a delimited field is not
        {"a::b", ":", 2, "", "b"},
        {"", ",", 1, "", ""},
        {"a<>b<>c", "<>", 2, "b", "c"},  // several-character delimiter
        {"A:b", "a", 1, "A:b", ""},      // case-sensitive search
        {"x,y", ",", -3, "", "x,y"},     // a negative count takes nothing
        {"\t1\t", ",", 1, "\t1\t", ""},  // only spaces are trimmed
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(TakeField(text, c.delim, c.count), c.field) << c.text << " #" << c.count;
        EXPECT_EQ(text, c.rest) << c.text << " #" << c.count;
    }
}

TEST(TakeFieldTest, LongTextsAreSplitLikeShortOnes) {
    std::string text(70000, 'x');
    text += ",tail";
    EXPECT_EQ(TakeField(text, ",", 1).size(), 70000u);
    EXPECT_EQ(text, "tail");
}

}  // namespace
}  // namespace thrustlet
