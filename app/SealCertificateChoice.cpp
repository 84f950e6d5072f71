#include "app/SealCertificateChoice.h"

#include "app/RememberedChoice.h"
#include "base/Language.h"
#include "base/Utf8.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "win/FileDialogs.h"

#include <filesystem>
#include <memory>

namespace {

constexpr const wchar_t* kSealCertificateFile = L"seal-certificate.txt";

std::shared_ptr<const SealCertificate> Loaded(SealCertificateLoad load) {
    if (!load.certificate)
        return nullptr;
    return std::make_shared<const SealCertificate>(std::move(*load.certificate));
}

} // namespace

void PutRememberedSealCertificate(Workbench& bench) {
    const std::wstring path = RememberedChoice(kSealCertificateFile);
    if (!path.empty())
        bench.PutSealCertificate(Loaded(LoadSealCertificate(std::filesystem::path(path))));
}

bool AskAndPutSealCertificate(CWnd& owner, Workbench& bench) {
    const std::wstring path =
        ChooseFile(owner.GetSafeHwnd(), Localized(L"选择PIN信封证书", L"Choose the PIN envelope certificate"),
                   Localized(L"X.509 证书 (*.pem;*.crt;*.cer;*.der)\0*.pem;*.crt;*.cer;*.der\0"
                             L"所有文件 (*.*)\0*.*\0",
                             L"X.509 certificates (*.pem;*.crt;*.cer;*.der)\0*.pem;*.crt;*.cer;*.der\0"
                             L"All files (*.*)\0*.*\0"));
    if (path.empty())
        return false;
    SealCertificateLoad load = LoadSealCertificate(std::filesystem::path(path));
    if (!load.certificate) {
        const std::wstring text = Utf8ToWide(SealCertificateProblem(std::filesystem::path(path), load));
        owner.MessageBox(text.c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    const std::string subject = load.certificate->subject;
    bench.PutSealCertificate(Loaded(std::move(load)));
    const std::wstring text =
        Utf8ToWide(Localized("随机用户PIN将封装给此证书：",
                             "Random user PINs will be sealed to this certificate: ") +
                   subject) +
        (RememberChoice(kSealCertificateFile, path)
             ? L""
             : Localized(L"\n（未能记住此选择，下次启动需重新选择）",
                         L"\n(This choice could not be remembered: please choose again at the next start)"));
    owner.MessageBox(text.c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONINFORMATION);
    return true;
}
