#include <gtest/gtest.h>

#include "AnsiString.h"
#include "Encoding.h"
#include "Messages.h"

namespace {

TEST(AnsiStringTest, PositionsCountFromOneAndZeroMeansNotFound) {
    const AnsiString s = "a\\b.c:d.e";
    EXPECT_EQ(s.Pos("b.c"), 3);
    EXPECT_EQ(s.Pos("x"), 0);
    EXPECT_EQ(s.LastDelimiter("\\:"), 6);
    EXPECT_EQ(s.LastDelimiter("."), 8);
    EXPECT_EQ(s.LastDelimiter("/"), 0);
    EXPECT_EQ(s.SubString(3, 3), "b.c");
    EXPECT_EQ(s.SubString(8, 100), ".e");
    EXPECT_EQ(s.SubString(0, 2), "");
    EXPECT_EQ(s.SubString(10, 1), "");
}

TEST(AnsiStringTest, DeleteOutsideTheStringRemovesNothing) {
    struct Case { int index; int count; const char* left; };
    for (const Case& c : {Case{1, 2, "cde"}, Case{4, 9, "abc"}, Case{0, 3, "abcde"},
                          Case{6, 1, "abcde"}, Case{2, 0, "abcde"}}) {
        AnsiString s = "abcde";
        EXPECT_EQ(s.Delete(c.index, c.count), c.left) << c.index << "," << c.count;
    }
}

TEST(EncodingTest, StoredTextsReadAsUtf8) {
    struct Case { std::string stored; std::string shown; };
    for (const Case& c : {Case{Messages::kCaptionErrorRu, "Ошибка"},
                          Case{Messages::kCaptionMessageRu, "Сообщение"},
                          Case{Messages::kNoDataBlocks, "Нет блоков данных"},
                          Case{"\xA8\xB8\x88\xB9 ok", "Ёё€№ ok"},
                          Case{"\x98", "\xEF\xBF\xBD"}}) {
        EXPECT_EQ(Cp1251ToUtf8(c.stored), c.shown);
    }
}

}  // namespace
