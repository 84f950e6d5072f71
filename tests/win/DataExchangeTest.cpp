// Data exchange and validation on a small dialog of the tests' own: values into the fields
// and back, typing limits, and the framework's refusals (message, focus, selection, first
// bad field in exchange order only).
#include "WinTestIds.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace wintest;

namespace {
class FieldsDialog : public CDialog {
  public:
    FieldsDialog() : CDialog(IDD_TEST_FIELDS) {}

    CEdit m_editName;
    BOOL m_bBatch = TRUE;
    CString m_strName = L"Orbel";
    DWORD m_dwSize = 30000;
    BYTE m_byRetry = 6;
    CString m_strTag = L"ab";
    int m_nOffset = -2;

    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_FIELD_NAME, m_editName);
        DDX_Check(dx, IDC_FIELD_BATCH, m_bBatch);
        DDX_Text(dx, IDC_FIELD_NAME, m_strName);
        DDV_MaxChars(dx, m_strName, 8);
        DDX_Text(dx, IDC_FIELD_SIZE, m_dwSize);
        DDV_MinMaxDWord(dx, m_dwSize, 0, 65535);
        DDX_Text(dx, IDC_FIELD_RETRY, m_byRetry);
        DDV_MinMaxByte(dx, m_byRetry, 1, 255);
        DDX_Text(dx, IDC_FIELD_TAG, m_strTag);
        DDV_MaxChars(dx, m_strTag, 4);
        DDX_Text(dx, IDC_FIELD_OFFSET, m_nOffset);
        DDV_MinMaxInt(dx, m_nOffset, -5, 5);
    }
};

// A message box of the thread: a dialog with the message text static (ID 0xFFFF).
BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    wchar_t name[16] = L"";
    ::GetClassNameW(window, name, 16);
    if (wcscmp(name, L"#32770") == 0 && ::GetDlgItem(window, 0xFFFF) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

class DataExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_previous = SetValidationMessageHook([this](const CString& text) { messages.push_back(text); });
        ASSERT_TRUE(dialog.Create(IDD_TEST_FIELDS, &TestHost()));
        FlushEvents(30);
    }
    void TearDown() override { SetValidationMessageHook(m_previous); }

    HWND Field(int id) const { return ::GetDlgItem(dialog.m_hWnd, id); }
    void Type(int id, const wchar_t* text) { ::SetWindowTextW(Field(id), text); }
    CString Text(int id) const {
        CString text;
        dialog.GetDlgItem(id)->GetWindowText(text);
        return text;
    }
    // The field has the focus and its whole text is selected.
    void ExpectFocusedAndSelected(int id) const {
        EXPECT_EQ(::GetFocus(), Field(id));
        DWORD start = 0, end = 0;
        ::SendMessageW(Field(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(::GetWindowTextLengthW(Field(id))));
    }
    void ExpectRefused(int id, const wchar_t* text, const wchar_t* message) {
        SCOPED_TRACE(::testing::Message() << "field " << id);
        messages.clear();
        Type(id, text);
        EXPECT_FALSE(dialog.UpdateData(TRUE));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], message);
        ExpectFocusedAndSelected(id);
    }

    FieldsDialog dialog;
    std::vector<CString> messages;

  private:
    ValidationMessageHook m_previous;
};
} // namespace

TEST_F(DataExchangeTest, InitialisationLoadsTheMembersAndTypingLimits) {
    EXPECT_EQ(Text(IDC_FIELD_NAME), L"Orbel");
    EXPECT_EQ(Text(IDC_FIELD_SIZE), L"30000");
    EXPECT_EQ(Text(IDC_FIELD_RETRY), L"6");
    EXPECT_EQ(Text(IDC_FIELD_TAG), L"ab");
    EXPECT_EQ(Text(IDC_FIELD_OFFSET), L"-2");
    EXPECT_EQ(::SendMessageW(Field(IDC_FIELD_BATCH), BM_GETCHECK, 0, 0), BST_CHECKED);
    // A text exchange followed by DDV_MaxChars limits typing to the maximum.
    EXPECT_EQ(::SendMessageW(Field(IDC_FIELD_NAME), EM_GETLIMITTEXT, 0, 0), 8);
    EXPECT_EQ(::SendMessageW(Field(IDC_FIELD_TAG), EM_GETLIMITTEXT, 0, 0), 4);
    // DDX_Control bound the field to its object.
    EXPECT_EQ(CWnd::FromHandlePermanent(Field(IDC_FIELD_NAME)), &dialog.m_editName);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataExchangeTest, ValidFieldsReachTheMembers) {
    Type(IDC_FIELD_NAME, L"新标签");
    Type(IDC_FIELD_SIZE, L" 65535 ");
    Type(IDC_FIELD_RETRY, L"255");
    Type(IDC_FIELD_TAG, L"wxyz");
    Type(IDC_FIELD_OFFSET, L"-5");
    ::SendMessageW(Field(IDC_FIELD_BATCH), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog.m_strName, L"新标签");
    EXPECT_EQ(dialog.m_dwSize, 65535u);
    EXPECT_EQ(dialog.m_byRetry, 255);
    EXPECT_EQ(dialog.m_strTag, L"wxyz");
    EXPECT_EQ(dialog.m_nOffset, -5);
    EXPECT_EQ(dialog.m_bBatch, FALSE);
}

TEST_F(DataExchangeTest, NonNumbersAreRefused) {
    ExpectRefused(IDC_FIELD_SIZE, L"12abc", L"请输入一个正整数。");
    ExpectRefused(IDC_FIELD_SIZE, L"", L"请输入一个正整数。");
    // A minus sign or an overflow is not silently wrapped into a large size.
    ExpectRefused(IDC_FIELD_SIZE, L"-1", L"请输入一个正整数。");
    ExpectRefused(IDC_FIELD_SIZE, L"4294967296", L"请输入一个正整数。");
    Type(IDC_FIELD_SIZE, L"1");
    ExpectRefused(IDC_FIELD_OFFSET, L"five", L"请输入一个整数。");
    EXPECT_EQ(dialog.m_dwSize, 1u); // fields before the bad one were taken
}

TEST_F(DataExchangeTest, NumbersOutOfRangeAreRefused) {
    ExpectRefused(IDC_FIELD_SIZE, L"65536", L"请输入一个介于 0 和 65535 之间的整数。");
    Type(IDC_FIELD_SIZE, L"0");
    ExpectRefused(IDC_FIELD_RETRY, L"0", L"请输入一个介于 1 和 255 之间的整数。");
    ExpectRefused(IDC_FIELD_RETRY, L"256", L"请输入一个介于 0 和 255 之间的整数。");
    Type(IDC_FIELD_RETRY, L"1");
    ExpectRefused(IDC_FIELD_OFFSET, L"6", L"请输入一个介于 -5 和 5 之间的整数。");
}

TEST_F(DataExchangeTest, OverlongTextsAreRefused) {
    ::SendMessageW(Field(IDC_FIELD_NAME), EM_LIMITTEXT, 100, 0); // a pasted text may pass the limit
    ExpectRefused(IDC_FIELD_NAME, L"123456789", L"请输入不超过 8 个字符。");
    Type(IDC_FIELD_NAME, L"12345678");
    ExpectRefused(IDC_FIELD_TAG, L"abcde", L"请输入不超过 4 个字符。");
    EXPECT_EQ(dialog.m_strName, L"12345678");
}

TEST_F(DataExchangeTest, OnlyTheFirstBadFieldInExchangeOrderIsReported) {
    Type(IDC_FIELD_NAME, L"first");
    Type(IDC_FIELD_TAG, L"much too long"); // bad, later in exchange order
    Type(IDC_FIELD_SIZE, L"70000");        // bad, earlier in exchange order
    Type(IDC_FIELD_OFFSET, L"3");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"请输入一个介于 0 和 65535 之间的整数。");
    ExpectFocusedAndSelected(IDC_FIELD_SIZE);
    EXPECT_EQ(dialog.m_strName, L"first"); // before the bad field
    EXPECT_EQ(dialog.m_strTag, L"ab");     // the exchange stopped before these
    EXPECT_EQ(dialog.m_nOffset, -2);
}

TEST_F(DataExchangeTest, WithoutAHookTheRealMessageBoxIsShown) {
    SetValidationMessageHook(nullptr);
    Type(IDC_FIELD_SIZE, L"x");
    // The box runs its own loop on this thread; a helper reads it and presses OK.
    DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> stop{false};
    std::wstring shown;
    std::thread closer([&] {
        while (!stop) {
            HWND box = nullptr;
            ::EnumThreadWindows(uiThread, &FindMessageBox, reinterpret_cast<LPARAM>(&box));
            if (box != nullptr) {
                wchar_t text[128] = L"";
                ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 128);
                shown = text;
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(20);
        }
    });
    BOOL result = dialog.UpdateData(TRUE);
    stop = true;
    closer.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(shown, L"请输入一个正整数。");
}
