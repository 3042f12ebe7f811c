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
; OpenProcess: SYNCHRONIZE, and SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION.
!define SYNCHRONIZE 0x00100000
!define SYNCHRONIZE_AND_QUERY 0x00101000
; SetNamedSecurityInfoW: SE_FILE_OBJECT; DACL_SECURITY_INFORMATION |
; PROTECTED_DACL_SECURITY_INFORMATION; GetTokenInformation: TokenUser.
!define SE_FILE_OBJECT 1
!define PROTECTED_DACL 0x80000004
!define TOKEN_QUERY 8
!define TOKEN_USER_CLASS 1
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

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE directoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.accountPage un.accountPageLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var removeAccount
Var accountCheckbox
; Set by closeRunning when it ended a running Lumaroth.
Var closedRunning
; When set, closeRunning ends only a Lumaroth started from this folder.
Var onlyFrom

; Asks a running Lumaroth to end through its tray "Exit" (it saves nothing on
; the way out that the installer could lose) and waits for its process, so
; that its exe can be replaced or deleted. Gives up after CLOSE_WAIT_MS and
; tells the user; a silent run then fails rather than leave a half-done job.
!macro CLOSE_RUNNING un
Function ${un}closeRunning
  Push $0
  Push $1
  Push $2
  Push $3
  retry:
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_AND_QUERY}, i 0, i r1) p .r2'
    ${If} $onlyFrom != ""
      StrCpy $3 ""
      ${If} $2 P<> 0
        System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN})'
      ${EndIf}
      ${If} $3 != "$onlyFrom\Lumaroth.exe"
        System::Call 'kernel32::CloseHandle(p r2)'
        Goto done
      ${EndIf}
    ${EndIf}
    StrCpy $closedRunning 1
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
  done:
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING ""
!insertmacro CLOSE_RUNNING "un."

; Pushes 1 when $INSTDIR holds anything but a Lumaroth installation: our
; files there would overwrite another program's, and our uninstaller would
; later delete its Uninstall.exe.
Function isForeignFolder
  Push $0
  Push $1
  Push $2
  StrCpy $1 0
  ${IfNot} ${FileExists} "$INSTDIR\Lumaroth.exe"
    FindFirst $0 $2 "$INSTDIR\*"
    ${DoWhile} $2 != ""
      ${If} $2 != "."
      ${AndIf} $2 != ".."
        StrCpy $1 1
        ${Break}
      ${EndIf}
      FindNext $0 $2
    ${Loop}
    FindClose $0
  ${EndIf}
  Pop $2
  Exch $1
  Exch
  Pop $0
FunctionEnd

!define FOREIGN_FOLDER_TEXT "$INSTDIR already holds files of another program. Choose an empty folder, a new one or the folder of your Lumaroth installation."

Function directoryLeave
  Call isForeignFolder
  Pop $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "${FOREIGN_FOLDER_TEXT}"
    Abort
  ${EndIf}
FunctionEnd

; Creates $INSTDIR. Outside the user's profile a new folder would inherit
; "Authenticated Users: Modify" (C:\ grants it to every folder made below
; it): any other local user could replace Lumaroth.exe, which the Run value
; starts as this user. The topmost folder created here gets a protected
; access list instead: this user, SYSTEM and Administrators, nobody else.
; Pushes "" or the reason it failed (the created folders are removed then).
Function makeFolder
  Push $R0
  Push $R1
  Push $0
  Push $1
  StrCpy $R0 ""
  StrCpy $R1 $INSTDIR
  ${DoUntil} $R1 == ""
    ${If} ${FileExists} "$R1\*"
      ${Break}
    ${EndIf}
    StrCpy $R0 $R1
    ${GetParent} $R1 $R1
  ${Loop}
  StrCpy $1 ""
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${If} ${Errors}
    StrCpy $1 "it could not be created"
  ${ElseIf} $R0 != ""
    StrLen $0 $PROFILE
    StrCpy $R1 $R0 $0
    StrCpy $0 $R0 1 $0
    ${IfNot} $R1 == $PROFILE
    ${OrIfNot} $0 == "\"
      Call protectFolder
      Pop $1
    ${EndIf}
  ${EndIf}
  ${If} $1 != ""
  ${AndIf} $R0 != ""
    StrCpy $R1 $INSTDIR
    ${Do}
      RMDir $R1
      ${If} $R1 == $R0
        ${Break}
      ${EndIf}
      ${GetParent} $R1 $R1
    ${Loop}
  ${EndIf}
  StrCpy $R0 $1
  Pop $1
  Pop $0
  Pop $R1
  Exch $R0
FunctionEnd

; The protected access list on $R0; pushes "" or what failed.
Function protectFolder
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 "the user's identity could not be read"
  System::Call 'advapi32::OpenProcessToken(p -1, i ${TOKEN_QUERY}, *p .r1) i .r0'
  ${If} $0 <> 0
    System::Alloc 512
    Pop $2
    System::Call 'advapi32::GetTokenInformation(p r1, i ${TOKEN_USER_CLASS}, p r2, i 512, *i .r3) i .r0'
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $0 <> 0
      ; TOKEN_USER starts with the user's SID pointer.
      System::Call '*$2(p .r1)'
      System::Call 'advapi32::ConvertSidToStringSidW(p r1, *p .r3) i .r0'
      ${If} $0 <> 0
        System::Call '*$3(&w256 .r1)'
        System::Call 'kernel32::LocalFree(p r3)'
        StrCpy $4 "its access list could not be set"
        System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "D:PAI(A;OICI;FA;;;$1)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", i 1, *p .r3, p 0) i .r0'
        ${If} $0 <> 0
          System::Call 'advapi32::GetSecurityDescriptorDacl(p r3, *i .r0, *p .r1, *i .r0) i .r0'
          ${If} $0 <> 0
            System::Call 'advapi32::SetNamedSecurityInfoW(w R0, i ${SE_FILE_OBJECT}, i ${PROTECTED_DACL}, p 0, p 0, p r1, p 0) i .r0'
            ${If} $0 = 0
              StrCpy $4 ""
            ${EndIf}
          ${EndIf}
          System::Call 'kernel32::LocalFree(p r3)'
        ${EndIf}
      ${EndIf}
    ${EndIf}
    System::Free $2
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
  Exch $4
FunctionEnd

Section "Lumaroth"
  SetShellVarContext current
  ; Before anything is ended or written: a silent run writes nothing there.
  Call isForeignFolder
  Pop $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "${FOREIGN_FOLDER_TEXT}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Call makeFolder
  Pop $0
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "Lumaroth cannot be installed into $INSTDIR: $0." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $onlyFrom ""
  Call closeRunning

  ; A reinstall into another folder moves the autostart entry along.
  ReadRegStr $R9 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R9 != ""
  ${AndIf} $R9 != $INSTDIR
    ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $1 == '"$R9\Lumaroth.exe" /startup'
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

  ; The previous installation's uninstaller would otherwise stay behind,
  ; live, beside a copy of the program nothing points at any more.
  ${If} $R9 != ""
  ${AndIf} $R9 != $INSTDIR
    Delete "$R9\Lumaroth.exe"
    Delete "$R9\Uninstall.exe"
    RMDir "$R9"
  ${EndIf}

  ; Exec (here and on the finish page) starts the program in $OUTDIR; one
  ; running in its install folder would keep that folder from being removed
  ; by a later move or uninstall.
  SetOutPath "$PROFILE"
  ; As the sign-in would start it: an upgrade leaves no gap in the updates.
  ${If} $closedRunning == 1
    Exec '"$INSTDIR\Lumaroth.exe" /startup'
  ${EndIf}
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
  ; The Apps entry, the shortcut and the state key belong to the installation
  ; the Apps entry names; a copy left in another folder leaves them, and the
  ; program running from there, alone.
  ReadRegStr $R9 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $onlyFrom $INSTDIR
  ${If} $R9 == $INSTDIR
    StrCpy $onlyFrom ""
  ${EndIf}
  Call un.closeRunning

  ClearErrors
  Delete "$INSTDIR\Lumaroth.exe"
  ${If} ${Errors}
    ; Uninstall.exe and the Apps entry stay, so that it can be run again.
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\Lumaroth.exe could not be deleted. Close what uses it, then uninstall Lumaroth again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: the folder may have been chosen with /D= and hold other files.
  RMDir "$INSTDIR"

  ; A Run value naming a missing program makes Windows try to start it at
  ; every sign-in; one naming another copy of Lumaroth is left alone.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $1 '"$INSTDIR\Lumaroth.exe"'
  StrLen $2 $1
  StrCpy $0 $0 $2
  ${If} $0 == $1
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  ${If} $onlyFrom == ""
    Delete "$SMPROGRAMS\Lumaroth.lnk"
    DeleteRegKey HKCU "${STATE_KEY}"
  ${EndIf}

  ${If} $removeAccount == ${BST_CHECKED}
    System::Call 'advapi32::CredDeleteW(w "${CREDENTIAL_TARGET}", i ${CRED_TYPE_GENERIC}, i 0) i .r0'
  ${EndIf}

  ; Last, so that its absence means the uninstallation has finished.
  ${If} $onlyFrom == ""
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
