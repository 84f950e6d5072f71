#include "pkipage/PkiPage.h"

#include "pagekit/PageSupport.h"
#include "pki/PkiLimits.h"
#include "seal/RandomPin.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace {

constexpr int kRetryTypingLimit = 3;
constexpr int kSizeTypingLimit = 5;

// Parameter fields and the check box, in the order they are enabled and disabled.
constexpr int kInputIds[] = {IDC_PKI_SO_PIN,          IDC_PKI_USER_PIN,    IDC_PKI_RANDOM_LENGTH,
                             IDC_PKI_RANDOM_USER_PIN, IDC_PKI_LABEL,       IDC_PKI_USER_RETRY,
                             IDC_PKI_SO_RETRY,        IDC_PKI_PUBLIC_SIZE, IDC_PKI_PRIVATE_SIZE,
                             IDC_PKI_BATCH_CHECK};
constexpr int kRandomLengthTypingLimit = 2;

} // namespace

CPkiPage::CPkiPage(CWnd* pParent, Workbench& bench)
    : CInitPage(IDD_PKI_PAGE, pParent, {IDC_PKI_BATCH_CHECK, IDC_PKI_STATUS, IDC_PKI_COUNT_FAIL}, bench) {}

void CPkiPage::DoDataExchange(CDataExchange* pDX) {
    CInitPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PKI_SO_PIN, m_editSoPin);
    DDX_Control(pDX, IDC_PKI_NOTE, m_lblNote);
    // This order decides which bad field is reported and focused first.
    DDX_Text(pDX, IDC_PKI_SO_PIN, m_strSoPin);
    DDV_MaxChars(pDX, m_strSoPin, kPinMaxChars);
    DDX_Text(pDX, IDC_PKI_PRIVATE_SIZE, m_dwPrivateSize);
    DDV_MinMaxDWord(pDX, m_dwPrivateSize, 0, kAreaSizeMax);
    DDX_Text(pDX, IDC_PKI_PUBLIC_SIZE, m_dwPublicSize);
    DDV_MinMaxDWord(pDX, m_dwPublicSize, 0, kAreaSizeMax);
    DDX_Text(pDX, IDC_PKI_SO_RETRY, m_bySoPinMaxRetry);
    DDV_MinMaxByte(pDX, m_bySoPinMaxRetry, kRetryMin, kRetryMax);
    DDX_Text(pDX, IDC_PKI_LABEL, m_strLabel);
    DDV_MaxChars(pDX, m_strLabel, kLabelMaxChars);
    DDX_Text(pDX, IDC_PKI_USER_PIN, m_strUserPin);
    DDV_MaxChars(pDX, m_strUserPin, kPinMaxChars);
    DDX_Text(pDX, IDC_PKI_USER_RETRY, m_byUserPinMaxRetry);
    DDV_MinMaxByte(pDX, m_byUserPinMaxRetry, kRetryMin, kRetryMax);
    DDX_Text(pDX, IDC_PKI_CURRENT_SO_PIN, m_strCurrentSoPin);
    DDV_MaxChars(pDX, m_strCurrentSoPin, kPinMaxChars);
    DDX_Check(pDX, IDC_PKI_RANDOM_USER_PIN, m_bRandomUserPin);
    DDX_Text(pDX, IDC_PKI_RANDOM_LENGTH, m_dwRandomPinLength);
    if (m_bRandomUserPin)
        DDV_MinMaxDWord(pDX, m_dwRandomPinLength, kRandomPinMinLength, kRandomPinMaxLength);
}

BOOL CPkiPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PKI_RANDOM_USER_PIN) {
        ShowUserPinOrLength();
        return TRUE;
    }
    return CInitPage::OnCommand(wParam, lParam);
}

void CPkiPage::ShowUserPinOrLength() {
    const bool bRandom = ::IsDlgButtonChecked(m_hWnd, IDC_PKI_RANDOM_USER_PIN) == BST_CHECKED;
    for (int id : {IDC_PKI_USER_PIN, IDC_PKI_USER_PIN_CAPTION})
        ::ShowWindow(::GetDlgItem(m_hWnd, id), bRandom ? SW_HIDE : SW_SHOW);
    for (int id : {IDC_PKI_RANDOM_LENGTH, IDC_PKI_RANDOM_LENGTH_CAPTION})
        ::ShowWindow(::GetDlgItem(m_hWnd, id), bRandom ? SW_SHOW : SW_HIDE);
}

std::wstring CPkiPage::SealingProblem() {
    if (m_bRandomUserPin && !Bench().SealCertificateInForce())
        return LoadStringOrDefault(IDS_SEAL_CERTIFICATE_NEEDED);
    return std::wstring();
}

void CPkiPage::InitFields() {
    m_lblNote.SetTextColor(kColorBlue);
    // The next exchange raises the PIN fields to 100 characters, so a PIN too long for the
    // configuration can be typed and is refused by Start with a counted failure.
    SendDlgItemMessageW(m_hWnd, IDC_PKI_SO_RETRY, EM_LIMITTEXT, kRetryTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_USER_RETRY, EM_LIMITTEXT, kRetryTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_PUBLIC_SIZE, EM_LIMITTEXT, kSizeTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_PRIVATE_SIZE, EM_LIMITTEXT, kSizeTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_SO_PIN, EM_LIMITTEXT, kPinLengths.dwSoPinMax, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_USER_PIN, EM_LIMITTEXT, kPinLengths.dwUserPinMax, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_RANDOM_LENGTH, EM_LIMITTEXT, kRandomLengthTypingLimit, 0);
}

Job CPkiPage::FieldsJob() {
    Job job;
    job.operation = JobOperation::Pki;
    PkiInitParams& params = job.pki;
    params.strSoPin = SecretText(m_strSoPin.GetString());
    params.strUserPin = SecretText(m_strUserPin.GetString());
    params.strLabel = m_strLabel.ToStdWString();
    params.bySoPinMaxRetry = m_bySoPinMaxRetry;
    params.byUserPinMaxRetry = m_byUserPinMaxRetry;
    params.ulPublicSize = m_dwPublicSize;
    params.ulPrivateSize = m_dwPrivateSize;
    // Standard calls cannot set limits: the page keeps those fields disabled then. The token's
    // current SO PIN is what the standard path needs for a token initialised before.
    const TokenModule* module = Bench().Module();
    const bool bStandard = module != nullptr && module->IsStandard();
    job.bSetsLimits = !bStandard;
    params.strCurrentSoPin = SecretText(bStandard ? m_strCurrentSoPin.GetString() : L"");
    if (m_bRandomUserPin) {
        // Each token's own: none stands ready to be set by mistake.
        params.strUserPin = SecretText();
        job.randomUserPin.length = m_dwRandomPinLength;
        job.randomUserPin.certificate = Bench().SealCertificateInForce();
    }
    return job;
}

std::optional<Job> CPkiPage::TakeJob() {
    if (!UpdateData(TRUE))
        return std::nullopt;
    const std::wstring sealing = SealingProblem();
    if (!sealing.empty()) {
        ShowRefused(sealing);
        return std::nullopt;
    }
    // Refused PIN lengths count as failed attempts; no token is touched. The fields' own
    // limits keep every PIN short enough that the length is all that can be wrong.
    Job job = FieldsJob();
    if (!CheckJobPins(job).empty()) {
        ReportCountedRefusal(job, CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH);
        return std::nullopt;
    }
    return job;
}

bool CPkiPage::FillStationParameters(StationParameters& parameters) {
    if (!UpdateData(TRUE))
        return false;
    parameters.refusal = SealingProblem();
    if (!parameters.refusal.empty())
        return false;
    Job job = FieldsJob();
    if (!CheckJobPins(job).empty()) {
        parameters.refusal = LoadStringOrDefault(IDS_PIN_LENGTH);
        return false;
    }
    parameters.job = std::move(job);
    return true;
}

std::vector<int> CPkiPage::ParameterFieldIds() const {
    std::vector<int> ids(std::begin(kInputIds), std::end(kInputIds) - 1); // without the batch check box
    ids.push_back(IDC_PKI_CURRENT_SO_PIN);
    return ids;
}

void CPkiPage::LoadDefaults() {
    m_strSoPin = kDefaultSoPin;
    m_strUserPin = kDefaultUserPin;
    m_strLabel = kDefaultLabel;
    m_dwPublicSize = kDefaultPublicSize;
    m_bySoPinMaxRetry = kDefaultMaxRetry;
    m_byUserPinMaxRetry = kDefaultMaxRetry;
    m_dwPrivateSize = kDefaultPrivateSize;
    m_strCurrentSoPin.Empty();
    m_bRandomUserPin = FALSE;
    m_dwRandomPinLength = kRandomPinDefaultLength;
    m_bBatch = FALSE;
}

void CPkiPage::EnableRunInputs(BOOL bEnable) {
    // Standard calls cannot set retry limits or area sizes: those fields stay disabled then.
    const TokenModule* module = Bench().Module();
    const bool bStandard = module != nullptr && module->IsStandard();
    for (int id : kInputIds) {
        const bool bLimit = id == IDC_PKI_USER_RETRY || id == IDC_PKI_SO_RETRY || id == IDC_PKI_PUBLIC_SIZE ||
                            id == IDC_PKI_PRIVATE_SIZE;
        ::EnableWindow(::GetDlgItem(m_hWnd, id), bEnable && !(bStandard && bLimit));
    }
    // The current SO PIN takes the place of the note, which speaks of the vendor's token types.
    for (int id : {IDC_PKI_CURRENT_SO_PIN, IDC_PKI_CURRENT_SO_PIN_CAPTION})
        ::ShowWindow(::GetDlgItem(m_hWnd, id), bStandard ? SW_SHOW : SW_HIDE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PKI_CURRENT_SO_PIN), bEnable && bStandard);
    m_lblNote.ShowWindow(bStandard ? SW_HIDE : SW_SHOW);
    ShowUserPinOrLength();
}
