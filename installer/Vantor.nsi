; The operators' installer: Vantor.exe, vantor-cli.exe (when built) and the operator's note
; into Program Files\Vantor, a Start-menu shortcut and an entry in the system's list of
; programs. Version, names and the files' places come from the build (VANTOR_BUILD_NSH).
; The token maker's module is never part of it: the maker's own package installs it.
; With VANTOR_X64 defined by the build it is the 64-bit edition's installer: a 64-bit
; installer, the 64-bit Program Files and registry view, a name and shortcut of its own, so
; both editions can stand side by side on one desktop.
; It speaks the desktop's language: Chinese on any Chinese desktop, English on any other; the
; shortcut, the entry's name and the operator's note follow it.
!ifdef VANTOR_X64
Target amd64-unicode
!define EDITION_NAME_ZH "Vantor (64 位)"
!define EDITION_NAME_EN "Vantor (64-bit)"
!define PROGRAM_FILES "$PROGRAMFILES64"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor64"
!else
Unicode true
!define EDITION_NAME_ZH "Vantor"
!define EDITION_NAME_EN "Vantor"
!define PROGRAM_FILES "$PROGRAMFILES"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor"
!endif
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${VANTOR_BUILD_NSH}"

!define UNINSTALLER "Uninstall.exe"
!define NOTE_ZH "操作说明.txt"
!define NOTE_EN "Operator's note.txt"
!define SHORTCUT_ZH "$SMPROGRAMS\${EDITION_NAME_ZH}.lnk"
!define SHORTCUT_EN "$SMPROGRAMS\${EDITION_NAME_EN}.lnk"
!define MODULE_FILE "orbelcsp11.dll"

Name "$(EditionName)"
OutFile "${VANTOR_OUTFILE}"
InstallDir "${PROGRAM_FILES}\Vantor"
; An earlier installation is upgraded where it is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

Var FinishText

!define MUI_ICON "${VANTOR_ICON}"
!define MUI_UNICON "${VANTOR_ICON}"
!define MUI_ABORTWARNING
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE ComposeFinishText
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "$FinishText"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString EditionName ${LANG_SIMPCHINESE} "${EDITION_NAME_ZH}"
LangString EditionName ${LANG_ENGLISH} "${EDITION_NAME_EN}"
LangString Installed ${LANG_SIMPCHINESE} "${EDITION_NAME_ZH} ${VANTOR_VERSION} 已安装到 $INSTDIR。$\r$\n$\r$\n开始菜单中的“${EDITION_NAME_ZH}”可启动本程序。"
LangString Installed ${LANG_ENGLISH} "${EDITION_NAME_EN} ${VANTOR_VERSION} has been installed in $INSTDIR.$\r$\n$\r$\nStart it from $\"${EDITION_NAME_EN}$\" in the Start menu."
LangString NoModule ${LANG_SIMPCHINESE} "未找到令牌模块 ${MODULE_FILE}（系统文件夹和 PATH 中都没有）。请先安装令牌厂商的软件包，否则 Vantor 无法操作令牌。"
LangString NoModule ${LANG_ENGLISH} "The token module ${MODULE_FILE} was not found (neither in the system folder nor on PATH). Please install the token maker's package first: without it Vantor cannot handle tokens."

VIProductVersion "${VANTOR_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${VANTOR_PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${VANTOR_COMPANY_NAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${VANTOR_COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Vantor 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VANTOR_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VANTOR_VERSION}"

!macro EditionInit
  SetShellVarContext all
  ; Chinese for any Chinese UI language (primary language 0x04), English for any other.
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 4
    StrCpy $LANGUAGE ${LANG_SIMPCHINESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!ifdef VANTOR_X64
  SetRegView 64
!endif
!macroend

Function .onInit
  !insertmacro EditionInit
FunctionEnd

Function un.onInit
  !insertmacro EditionInit
FunctionEnd

; An upgrade keeps the earlier folder, so one entry keeps describing one installation.
Function SkipDirectoryOnUpgrade
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Vantor.exe"
    Abort
  ${EndIf}
FunctionEnd

; Sets $0 to 1 when the module is in the system folder or in a folder on PATH, as the
; program loads it; PATH is read whole, however long.
Function FindTokenModule
  StrCpy $0 0
  ${If} ${FileExists} "$SYSDIR\${MODULE_FILE}"
    StrCpy $0 1
    Return
  ${EndIf}
  System::Call 'kernel32::GetEnvironmentVariableW(w "PATH", p 0, i 0) i .r1'
  ${If} $1 > 0
    IntOp $2 $1 * 2
    System::Alloc $2
    Pop $2
    System::Call 'kernel32::GetEnvironmentVariableW(w "PATH", p r2, i r1)'
    System::Call 'kernel32::SearchPathW(p r2, w "${MODULE_FILE}", p 0, i ${NSIS_MAX_STRLEN}, w .r3, p 0) i .r4'
    System::Free $2
    ${If} $4 > 0
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
FunctionEnd

; The last page tells the operator when the maker's module is missing; the installation
; itself stands either way.
Function ComposeFinishText
  StrCpy $FinishText "$(Installed)"
  Call FindTokenModule
  ${If} $0 == 0
    StrCpy $FinishText "$FinishText$\r$\n$\r$\n$(NoModule)"
  ${EndIf}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=Vantor.exe" "${VANTOR_EXE}"
!ifdef VANTOR_CLI_EXE
  File "/oname=vantor-cli.exe" "${VANTOR_CLI_EXE}"
!endif
  ; One note and one shortcut, in the installer's language: an earlier installation's in the
  ; other language go.
  Delete "$INSTDIR\${NOTE_ZH}"
  Delete "$INSTDIR\${NOTE_EN}"
  ${If} $LANGUAGE = ${LANG_ENGLISH}
    File "/oname=${NOTE_EN}" "${VANTOR_NOTE_EN}"
  ${Else}
    File "/oname=${NOTE_ZH}" "${VANTOR_NOTE}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Delete "${SHORTCUT_ZH}"
  Delete "${SHORTCUT_EN}"
  CreateShortcut "$SMPROGRAMS\$(EditionName).lnk" "$INSTDIR\Vantor.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(EditionName)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VANTOR_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VANTOR_COMPANY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantor.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes only what the installer put there, file by file: the ledger (under the user's
; local application data, or wherever VANTOR_LEDGER_DIR points) and anything an operator
; keeps in the folder stay. The shortcut and the note have a name in each language.
Section "Uninstall"
  Delete "${SHORTCUT_ZH}"
  Delete "${SHORTCUT_EN}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Vantor.exe"
  Delete "$INSTDIR\vantor-cli.exe"
  Delete "$INSTDIR\${NOTE_ZH}"
  Delete "$INSTDIR\${NOTE_EN}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Last, and only when empty.
  RMDir "$INSTDIR"
SectionEnd
