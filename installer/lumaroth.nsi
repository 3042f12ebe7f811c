; Lumaroth setup: a per-user installation (no administrator rights, no UAC
; prompt) into %LOCALAPPDATA%\Programs\Lumaroth, a Start-menu shortcut and an
; Apps & Features entry; the uninstaller it writes removes them again.
;
;   makensis /DVERSION=2.0.1 /DEXE=path\Lumaroth.exe /DOUTFILE=path\setup.exe lumaroth.nsi
;
; VERSION comes from res/version.h (installer/CMakeLists.txt, tools/release.sh).
; Silent: "setup.exe /S [/D=folder]"; "Uninstall.exe /S [/REMOVEACCOUNT]".

!ifndef VERSION | EXE | OUTFILE
  !error "VERSION, EXE and OUTFILE must be given with /D"
!endif

Unicode true
; The 32-bit stub would need WOW64 for a program that only runs on x64.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

; The program's own names: its window class and tray "Exit" command, the
; Run value it writes for "Enable now", its registry key and its credential.
!define MAIN_WINDOW_CLASS "LumarothMainWindow"
!define IDM_TRAY_EXIT 2003
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Lumaroth"
!define STATE_KEY "Software\Lumaroth"
!define CREDENTIAL_TARGET "Vexlumen"
!define CRED_TYPE_GENERIC 1
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaroth"
!define SYNCHRONIZE 0x00100000
; How long a running Lumaroth gets to end after its "Exit".
!define CLOSE_WAIT_MS 15000

Name "Lumaroth"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lumaroth"
; An upgrade lands where the last installation is, so the autostart entry
; keeps pointing at a file that exists.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Lumaroth ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

; The program's own version block carries no copyright line either.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Lumaroth"
VIAddVersionKey /LANG=1033 "CompanyName" "Vexlumen"
VIAddVersionKey /LANG=1033 "FileDescription" "Lumaroth ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}.0"

!define MUI_ICON "${__FILEDIR__}\..\res\lumaroth.ico"
!define MUI_UNICON "${__FILEDIR__}\..\res\lumaroth.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Lumaroth.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Lumaroth now"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.accountPage un.accountPageLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var removeAccount
Var accountCheckbox

; Asks a running Lumaroth to end through its tray "Exit" (it saves nothing on
; the way out that the installer could lose) and waits for its process, so
; that its exe can be replaced or deleted. Gives up after CLOSE_WAIT_MS and
; tells the user; a silent run then fails rather than leave a half-done job.
!macro CLOSE_RUNNING un
Function ${un}closeRunning
  Push $0
  Push $1
  Push $2
  retry:
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    SendMessage $0 ${WM_COMMAND} ${IDM_TRAY_EXIT} 0 /TIMEOUT=5000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT_MS}) i .r1'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Lumaroth is still running. End it with $\"Exit$\" in its tray menu, then press Retry." \
        /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING ""
!insertmacro CLOSE_RUNNING "un."

Section "Lumaroth"
  SetShellVarContext current
  Call closeRunning

  ; A reinstall into another folder moves the autostart entry along.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $1 == '"$0\Lumaroth.exe" /startup'
      WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Lumaroth.exe" /startup'
    ${EndIf}
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=Lumaroth.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Lumaroth.lnk" "$INSTDIR\Lumaroth.exe" "" "$INSTDIR\Lumaroth.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lumaroth"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vexlumen"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lumaroth.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.vexlumen.net/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  StrCpy $removeAccount ${BST_UNCHECKED}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEACCOUNT" $1
  ${IfNot} ${Errors}
    StrCpy $removeAccount ${BST_CHECKED}
  ${EndIf}
FunctionEnd

; The account is the user's, not the installation's: it stays unless asked.
Function un.accountPage
  !insertmacro MUI_HEADER_TEXT "Saved account" "Lumaroth keeps your account in the Windows Credential Manager."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u \
    "Your host name, user name and update key stay saved, so that a later installation signs in by itself. Tick the box to delete them as well."
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "Also remove my saved account"
  Pop $accountCheckbox
  ${NSD_SetState} $accountCheckbox $removeAccount
  nsDialogs::Show
FunctionEnd

Function un.accountPageLeave
  ${NSD_GetState} $accountCheckbox $removeAccount
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.closeRunning

  Delete "$INSTDIR\Lumaroth.exe"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: the folder may have been chosen with /D= and hold other files.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Lumaroth.lnk"

  ; A Run value naming a missing program makes Windows try to start it at
  ; every sign-in; one naming another copy of Lumaroth is left alone.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $1 '"$INSTDIR\Lumaroth.exe"'
  StrLen $2 $1
  StrCpy $0 $0 $2
  ${If} $0 == $1
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  DeleteRegKey HKCU "${STATE_KEY}"

  ${If} $removeAccount == ${BST_CHECKED}
    System::Call 'advapi32::CredDeleteW(w "${CREDENTIAL_TARGET}", i ${CRED_TYPE_GENERIC}, i 0) i .r0'
  ${EndIf}

  ; Last, so that its absence means the uninstallation has finished.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
