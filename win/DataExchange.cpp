#include "win/DataExchange.h"
#include "base/FieldMessages.h"
#include "base/Language.h"
#include "win/WinApp.h"
#include "win/Wnd.h"

#include <climits>
#include <mutex>

namespace {
std::mutex g_hookLock;
ValidationMessageHook g_hook;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Decimal number with optional surrounding blanks and, when `allowMinus`, a leading
// minus sign; anything else, an empty text and an overflow of `limit` are refused.
bool ParseDecimal(const CString& text, bool allowMinus, unsigned long long limit, long long& value) {
    const wchar_t* p = text.GetString();
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == L'-' && allowMinus) {
        negative = true;
        ++p;
    } else if (*p == L'+') {
        ++p;
    }
    if (*p < L'0' || *p > L'9')
        return false;
    unsigned long long magnitude = 0;
    // A negative value may reach one beyond the positive limit (INT_MIN).
    unsigned long long bound = negative ? limit + 1 : limit;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        magnitude = magnitude * 10 + static_cast<unsigned long long>(*p - L'0');
        if (magnitude > bound)
            return false;
    }
    while (IsBlank(*p))
        ++p;
    if (*p != L'\0')
        return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

// The shared field messages in the language shown.
const wchar_t* SignedRangeFormat() {
    return static_cast<const wchar_t*>(kSignedRangeFormat);
}
const wchar_t* UnsignedRangeFormat() {
    return static_cast<const wchar_t*>(kUnsignedRangeFormat);
}

void FailWith(CDataExchange* dx, const CString& text) {
    dx->ShowMessage(text);
    dx->Fail();
}

void FailRange(CDataExchange* dx, int minValue, int maxValue) {
    CString text;
    text.Format(SignedRangeFormat(), minValue, maxValue);
    FailWith(dx, text);
}

void FailRange(CDataExchange* dx, DWORD minValue, DWORD maxValue) {
    CString text;
    text.Format(UnsignedRangeFormat(), minValue, maxValue);
    FailWith(dx, text);
}

template <class Number>
void ExchangeNumber(CDataExchange* dx, int id, Number& value, bool isSigned, unsigned long long limit,
                    const wchar_t* parseMessage) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        CString text;
        if (isSigned)
            text.Format(L"%d", static_cast<int>(value));
        else
            text.Format(L"%lu", static_cast<unsigned long>(value));
        ::SetWindowTextW(control, text);
        return;
    }
    CString text;
    CWnd* field = dx->m_pDlgWnd->ViewOf(control);
    if (field != nullptr)
        field->GetWindowText(text);
    long long parsed = 0;
    if (!ParseDecimal(text, isSigned, limit, parsed)) {
        FailWith(dx, parseMessage);
        return;
    }
    value = static_cast<Number>(parsed);
}
} // namespace

ValidationMessageHook SetValidationMessageHook(ValidationMessageHook hook) {
    std::lock_guard<std::mutex> lock(g_hookLock);
    std::swap(g_hook, hook);
    return hook;
}

void CDataExchange::ShowMessage(const CString& text) const {
    ValidationMessageHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        hook = g_hook;
    }
    if (hook)
        hook(text);
    else
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, id) : nullptr;
    m_hWndLastControl = control;
    m_bEditLastControl = false;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = true;
    return control;
}

void CDataExchange::LimitLastEdit(int maxChars) {
    if (m_bEditLastControl && m_hWndLastControl != nullptr)
        ::SendMessageW(m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (m_hWndLastControl == nullptr || m_pDlgWnd == nullptr)
        return;
    // Through the dialog manager, so the default button and the focus stay consistent.
    ::SendMessageW(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl)
        ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->Failed() || control.m_hWnd != nullptr)
        return;
    HWND window = dx->PrepareCtrl(id);
    control.SubclassWindow(window);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        if (CWnd* field = dx->m_pDlgWnd->ViewOf(control))
            field->GetWindowText(value);
    } else {
        ::SetWindowTextW(control, value);
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    ExchangeNumber(dx, id, value, true, INT_MAX, static_cast<const wchar_t*>(kNotAnInteger));
}

void DDX_Text(CDataExchange* dx, int id, BYTE& value) {
    CString byteRange;
    byteRange.Format(UnsignedRangeFormat(), 0ul, 255ul);
    ExchangeNumber(dx, id, value, false, 255, byteRange);
}

void DDX_Text(CDataExchange* dx, int id, DWORD& value) {
    ExchangeNumber(dx, id, value, false, 0xFFFFFFFFull, static_cast<const wchar_t*>(kNotUnsigned));
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    if (dx->Failed())
        return;
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() > maxChars) {
            CString text;
            text.Format(static_cast<const wchar_t*>(kTooLongFormat), maxChars);
            FailWith(dx, text);
        }
        return;
    }
    // Loading the field: let it take no more than the maximum.
    dx->LimitLastEdit(maxChars);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
    if (!dx->Failed() && dx->m_bSaveAndValidate && (value < minValue || value > maxValue))
        FailRange(dx, minValue, maxValue);
}

void DDV_MinMaxByte(CDataExchange* dx, BYTE value, BYTE minValue, BYTE maxValue) {
    if (!dx->Failed() && dx->m_bSaveAndValidate && (value < minValue || value > maxValue))
        FailRange(dx, DWORD{minValue}, DWORD{maxValue});
}

void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD minValue, DWORD maxValue) {
    if (!dx->Failed() && dx->m_bSaveAndValidate && (value < minValue || value > maxValue))
        FailRange(dx, minValue, maxValue);
}
