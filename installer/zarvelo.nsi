; The Windows setup of Zarvelo and Pulsiva: installs the program folder, the Start menu group and the
; Add/Remove Programs entry, and removes them again.
; makensis -DVERSION=1.0.0 -DTARGET=x86-ansi|amd64-unicode -DBIN_DIR=<zarvelo.exe, pulsiva.exe,
;          zarvelo.chm> -DSTAGE_DIR=<readme.txt, zarvelo.ico> -DOUTFILE=<setup.exe> zarvelo.nsi
; x86-ansi is the shipped installer (the only kind that runs on Windows 95, 98 and Me); amd64-unicode
; packs the 64-bit build of the programs, so that the tests can run this script where 32-bit code cannot.

!ifndef VERSION | TARGET | BIN_DIR | STAGE_DIR | OUTFILE
  !error "zarvelo.nsi: define VERSION, TARGET, BIN_DIR, STAGE_DIR and OUTFILE"
!endif

Target ${TARGET}
SetCompressor /SOLID lzma

!define PRODUCT "Zarvelo"
!define PUBLISHER "Quonibar"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvelo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "SOFTWARE\Quonibar"
!define ZARVELO_CLASS "ZarveloForm1"
; Pulsiva's window is a dialog: the standard dialog class and its caption.
!define PULSIVA_CLASS "#32770"
!define PULSIVA_CAPTION "Pulsiva"

; The programs read and write the registry view and the program folder of their own bitness: the
; 32-bit installer uses the default view and $PROGRAMFILES, the 64-bit one the 64-bit view.
!if "${TARGET}" == "amd64-unicode"
  !define PROGRAMS_FOLDER "$PROGRAMFILES64"
  !macro REGISTRY_VIEW
    SetRegView 64
  !macroend
!else
  !define PROGRAMS_FOLDER "$PROGRAMFILES"
  !macro REGISTRY_VIEW
  !macroend
!endif

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_FOLDER}\${PRODUCT}"
; An upgrade goes where the last version went.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${STAGE_DIR}/zarvelo.ico"
!define MUI_UNICON "${STAGE_DIR}/zarvelo.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This will install Zarvelo ${VERSION}, the network tuner, and Pulsiva, the keep-alive program, on your computer.$\r$\n$\r$\nClose Zarvelo and Pulsiva if they are running. Your backups and settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "Read Me"
!define MUI_PAGE_HEADER_SUBTEXT "Please read this before you start Zarvelo."
!define MUI_LICENSEPAGE_TEXT_TOP "Press Page Down to see the rest."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Setup installs this text as readme.txt. Click Next to continue."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE_DIR}/readme.txt"
; Checked again when the files are about to be written: a program may have been started meanwhile.
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CloseRunningPrograms
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\zarvelo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "&Start Zarvelo"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the &read-me"
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.CloseRunningPrograms
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Waits until neither program runs: Retry looks again, Cancel (and a silent run) ends this setup.
!macro CLOSE_RUNNING_PROGRAMS un what
Function ${un}CloseRunningPrograms
  Push $0
  Push $1
  ${Do}
    StrCpy $1 ""
    FindWindow $0 "${ZARVELO_CLASS}"
    ${If} $0 <> 0
      StrCpy $1 "Zarvelo is running."
    ${EndIf}
    FindWindow $0 "${PULSIVA_CLASS}" "${PULSIVA_CAPTION}"
    ${If} $0 <> 0
    ${AndIf} $1 == ""
      StrCpy $1 "Pulsiva is running."
    ${ElseIf} $0 <> 0
      StrCpy $1 "Zarvelo and Pulsiva are running."
    ${EndIf}
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1$\r$\n$\r$\nPlease close it first (Pulsiva: Close on the menu of its notification-area icon), then click Retry. Cancel stops ${what}." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAMS "" "the installation"
!insertmacro CLOSE_RUNNING_PROGRAMS "un." "the removal"

Function .onInit
  !insertmacro REGISTRY_VIEW
  SetShellVarContext all
  Call CloseRunningPrograms
FunctionEnd

Function un.onInit
  !insertmacro REGISTRY_VIEW
  SetShellVarContext all
  Call un.CloseRunningPrograms
FunctionEnd

; Over an older version, only the shipped files are replaced: the backup folder and the settings stay.
Section "Zarvelo and Pulsiva" SecPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/zarvelo.exe"
  File "${BIN_DIR}/pulsiva.exe"
  File "${BIN_DIR}/zarvelo.chm"
  File "${STAGE_DIR}/readme.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Zarvelo.lnk" "$INSTDIR\zarvelo.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Pulsiva.lnk" "$INSTDIR\pulsiva.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Help.lnk" "$INSTDIR\zarvelo.chm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} and Pulsiva"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\zarvelo.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "http://www.quonibar.example/"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecPrograms} $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\zarvelo.exe"
  Delete "$INSTDIR\pulsiva.exe"
  Delete "$INSTDIR\zarvelo.chm"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\uninstall.exe"

  ; The backups are the user's way back to the old network settings: never removed unasked.
  RMDir "$INSTDIR\backup"
  ${If} ${FileExists} "$INSTDIR\backup\*.*"
  ${AndIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Delete the backups of your network settings in$\r$\n$INSTDIR\backup?$\r$\n$\r$\nWithout them you cannot go back to the settings you had before Zarvelo changed them." /SD IDNO IDYES`
    RMDir /r "$INSTDIR\backup"
  ${EndIf}
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\Zarvelo.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Pulsiva.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKLM "${RUN_KEY}" "Pulsiva"
  DeleteRegKey HKLM "${UNINST_KEY}"
  ; A network check still pending would start a program that is no longer there.
  DeleteRegValue HKLM "${RUN_KEY}Once" "Zarvelo"
  DeleteRegValue HKLM "${SETTINGS_KEY}\Zarvelo" "CheckHost"
  DeleteRegValue HKLM "${SETTINGS_KEY}\Zarvelo" "CheckSafetyBackup"
  DeleteRegValue HKLM "${SETTINGS_KEY}\Zarvelo" "CheckTime"
  DeleteRegValue HKLM "${SETTINGS_KEY}\Zarvelo" "CheckRetryWindow"
  DeleteRegValue HKLM "${SETTINGS_KEY}\Zarvelo" "CheckRetryEvery"
  DeleteRegValue HKLM "${SETTINGS_KEY}\Zarvelo" "CheckCountdown"

  ; The programs' own settings (window positions, Pulsiva's options) serve a later installation.
  StrCpy $0 0
  ClearErrors
  EnumRegValue $1 HKLM "${SETTINGS_KEY}\Zarvelo" 0
  ${IfNot} ${Errors}
    StrCpy $0 1
  ${EndIf}
  ClearErrors
  EnumRegValue $1 HKLM "${SETTINGS_KEY}\Pulsiva" 0
  ${IfNot} ${Errors}
    StrCpy $0 1
  ${EndIf}
  ${If} $0 = 1
  ${AndIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove the settings of Zarvelo and Pulsiva (window positions and Pulsiva's options)?$\r$\n$\r$\nChoose No to keep them for a later installation." /SD IDNO IDYES`
    DeleteRegKey HKLM "${SETTINGS_KEY}\Zarvelo"
    DeleteRegKey HKLM "${SETTINGS_KEY}\Pulsiva"
    DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  ${EndIf}
SectionEnd
