// CString: formatting with the Windows meaning of the conversions, the string table, and
// the edits the pages make.
#include "win/Afx.h"
#include "res/StringIds.h"

#include <gtest/gtest.h>

TEST(CStringTest, FormatTakesWideStringsAndNumbers) {
    CString name;
    name.Format(L"%s_%s", L"CF9582A7-67AC-4FB5-8CDF-0C1EA783C59F", L"Vantor");
    EXPECT_EQ(name, L"CF9582A7-67AC-4FB5-8CDF-0C1EA783C59F_Vantor");

    CString counter;
    counter.Format(L"%d", -42);
    EXPECT_EQ(counter, L"-42");
    counter.Format(L"%s,code =0x%08X", L"未知错误", 0xA0u);
    EXPECT_EQ(counter, L"未知错误,code =0x000000A0");

    // A long result is not cut at any fixed buffer size.
    CString wide;
    wide.Format(L"%0600d", 7);
    EXPECT_EQ(wide.GetLength(), 600);
    EXPECT_EQ(wide[599], L'7');
}

TEST(CStringTest, LoadStringGivesTheEntryOrEmpty) {
    CString title;
    EXPECT_TRUE(title.LoadString(IDS_APP_TITLE));
    EXPECT_EQ(title, L"Orbel PKI 初始化工具");
    CString missing(L"old");
    EXPECT_FALSE(missing.LoadString(110)); // there is no entry 110
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(CStringTest, EditsAndComparisons) {
    CString text(L"tamsel");
    text += text; // appending itself
    EXPECT_EQ(text, L"tamseltamsel");
    EXPECT_EQ(text.GetLength(), 12);
    EXPECT_EQ(text.Find(L's'), 3);
    EXPECT_EQ(text.Find(L"sel", 4), 9);
    EXPECT_EQ(text.Mid(3, 3), L"sel");
    EXPECT_EQ(text.Left(2), L"ta");
    EXPECT_EQ(text.Mid(10, 99), L"el");
    EXPECT_TRUE(CString(L"a") < CString(L"b"));
    EXPECT_NE(CString(L"a"), L"A");

    CString moved(std::move(text));
    EXPECT_TRUE(text.IsEmpty()); // NOLINT: a moved-from string is empty and usable
    EXPECT_EQ(moved.ToStdWString(), std::wstring(L"tamseltamsel"));
    moved.Empty();
    EXPECT_EQ(moved, L"");
}

TEST(CStringTest, BufferForInPlaceWriters) {
    CString text(L"abc");
    wchar_t* buffer = text.GetBuffer(10);
    wcscpy(buffer, L"0123456789");
    text.ReleaseBuffer();
    EXPECT_EQ(text, L"0123456789");
    text.GetBuffer(10);
    text.ReleaseBuffer(4);
    EXPECT_EQ(text, L"0123");
}
