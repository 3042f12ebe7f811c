; Lumaroth setup: a per-user installation (no administrator rights, no UAC
; prompt) into %LOCALAPPDATA%\Programs\Lumaroth, a Start-menu shortcut and an
; Apps & Features entry; the uninstaller it writes removes them again.
;
;   makensis /DVERSION=2.0.1 /DEXE=path\Lumaroth.exe /DOUTFILE=path\setup.exe lumaroth.nsi
;
; VERSION comes from res/version.h (installer/CMakeLists.txt, tools/release.sh).
; Silent: "setup.exe /S [/D=folder]"; "Uninstall.exe /S [/REMOVEACCOUNT]".
; Exit code 2: the folder was refused or a file could not be written; the
; installation is then as it was before.

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
; The ProductName of the program's version block (res/lumaroth.rc) and of
; this setup's and its uninstaller's (VIAddVersionKey below).
!define PROGRAM_PRODUCT "Lumaroth Client"
!define SETUP_PRODUCT "Lumaroth"
; OpenProcess: SYNCHRONIZE; with PROCESS_QUERY_LIMITED_INFORMATION; with
; PROCESS_QUERY_INFORMATION (WaitForInputIdle).
!define SYNCHRONIZE 0x00100000
!define SYNCHRONIZE_AND_QUERY 0x00101000
!define SYNCHRONIZE_AND_QUERY_FULL 0x00100400
; CreateFileW for a file's identity: no access (its attributes only), any
; sharing, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS (a folder opens only so).
!define IDENTITY_OPEN "i 0, i 7, p 0, i 3, i 0x02000000, p 0"
; GetNamedSecurityInfoW, SetNamedSecurityInfoW: SE_FILE_OBJECT;
; OWNER_SECURITY_INFORMATION; DACL_SECURITY_INFORMATION |
; PROTECTED_DACL_SECURITY_INFORMATION. GetTokenInformation: TokenUser,
; TokenElevation.
!define SE_FILE_OBJECT 1
!define OWNER_INFO 1
!define PROTECTED_DACL 0x80000004
!define TOKEN_QUERY 8
!define TOKEN_USER_CLASS 1
!define TOKEN_ELEVATION_CLASS 20
; Owners besides the user who cannot be kept out of a folder anyway.
!define SID_SYSTEM "S-1-5-18"
!define SID_ADMINISTRATORS "S-1-5-32-544"
!define MOVEFILE_REPLACE_EXISTING 1
; Explorer's folder view of the desktop, through which the program is started
; (startThroughShell): ShellWindows, IShellWindows, IServiceProvider,
; SID_STopLevelBrowser, IShellBrowser, IDispatch, IShellFolderViewDual,
; IShellDispatch2.
!define CLSID_ShellWindows "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}"
!define IID_IShellWindows "{85CB6900-4D95-11CF-960C-0080C7F4EE85}"
!define IID_IServiceProvider "{6D5140C1-7436-11CE-8034-00AA006009FA}"
!define SID_STopLevelBrowser "{4C96BE40-915C-11CF-99D3-00AA004AE837}"
!define IID_IShellBrowser "{000214E2-0000-0000-C000-000000000046}"
!define IID_IDispatch "{00020400-0000-0000-C000-000000000046}"
!define IID_IShellFolderViewDual "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}"
!define IID_IShellDispatch2 "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}"
; How long a running Lumaroth gets to end after its "Exit", and a started one
; to show its window and reach its message loop.
!define CLOSE_WAIT_MS 15000
!define START_WAIT_MS 15000
!define UNINSTALLER_EXIT_WAIT_MS 10000

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
VIAddVersionKey /LANG=1033 "ProductName" "${SETUP_PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "Vexlumen"
VIAddVersionKey /LANG=1033 "FileDescription" "Lumaroth ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}.0"

!define MUI_ICON "${__FILEDIR__}\..\res\lumaroth.ico"
!define MUI_UNICON "${__FILEDIR__}\..\res\lumaroth.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Lumaroth.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Lumaroth now"
!define MUI_FINISHPAGE_RUN_FUNCTION startShown

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
; Set by closeRunning when it ended a running Lumaroth, and that program.
Var closedRunning
Var closedProgram
; When set, closeRunning ends only a Lumaroth started from this folder.
Var onlyFrom
; The folder the Apps entry names, and whether $INSTDIR is that folder.
Var previous
Var sameFolder
; This user's SID as text, and whether setup runs elevated.
Var userSid
Var elevated
; What startProgram starts, and with which command line.
Var startFile
Var startArguments

; Pushes the identity of the file or folder named on the stack: its volume's
; serial number and its file index, or "" when it cannot be opened. Two names
; of one folder (a trailing "\.", an 8.3 name, another drive letter, a
; junction) give the same identity, two folders never do.
!macro IDENTITY un
Function ${un}identity
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'kernel32::CreateFileW(w r0, ${IDENTITY_OPEN}) p .r1'
  StrCpy $0 ""
  ${If} $1 P<> -1
    ; BY_HANDLE_FILE_INFORMATION: attributes, three FILETIMEs, the volume's
    ; serial number, size, links, then the file index (high, low).
    System::Alloc 52
    Pop $2
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
    ${If} $3 <> 0
      System::Call '*$2(i, i, i, i, i, i, i, i .r3, i, i, i, i .r4, i .r5)'
      StrCpy $0 "$3:$4:$5"
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Pushes 1 when the two names on the stack are one existing file or folder.
Function ${un}sameFile
  Exch $0
  Exch
  Exch $1
  Push $0
  Call ${un}identity
  Pop $0
  Push $1
  Call ${un}identity
  Pop $1
  ${If} $0 != ""
  ${AndIf} $0 == $1
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Pushes 1 when the Run value starts the Lumaroth.exe of the folder on the
; stack (the program writes it as '"<its path>" /startup').
Function ${un}runValueStarts
  Exch $0
  Push $1
  Push $2
  Push $3
  ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $2 $1 1
  ${If} $2 == '"'
    StrCpy $1 $1 "" 1
    StrCpy $2 0
    ${Do}
      StrCpy $3 $1 1 $2
      ${IfThen} $3 == '"' ${|} ${Break} ${|}
      ${IfThen} $3 == "" ${|} ${Break} ${|}
      IntOp $2 $2 + 1
    ${Loop}
    StrCpy $1 $1 $2
  ${EndIf}
  Push "$0\Lumaroth.exe"
  Push $1
  Call ${un}sameFile
  Pop $0
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro IDENTITY ""
!insertmacro IDENTITY "un."

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
    StrCpy $3 ""
    ${If} $2 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN})'
    ${EndIf}
    ${If} $onlyFrom != ""
      Push $3
      Push "$onlyFrom\Lumaroth.exe"
      Call ${un}sameFile
      Pop $1
      ${If} $1 != 1
        System::Call 'kernel32::CloseHandle(p r2)'
        Goto done
      ${EndIf}
    ${EndIf}
    StrCpy $closedRunning 1
    StrCpy $closedProgram $3
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

; $userSid and $elevated from setup's own token.
Function .onInit
  StrCpy $userSid ""
  StrCpy $elevated 0
  System::Call 'advapi32::OpenProcessToken(p -1, i ${TOKEN_QUERY}, *p .r1) i .r0'
  ${If} $0 <> 0
    System::Call 'advapi32::GetTokenInformation(p r1, i ${TOKEN_ELEVATION_CLASS}, *i .r2, i 4, *i .r3) i .r0'
    ${If} $0 <> 0
    ${AndIf} $2 <> 0
      StrCpy $elevated 1
    ${EndIf}
    System::Alloc 512
    Pop $2
    System::Call 'advapi32::GetTokenInformation(p r1, i ${TOKEN_USER_CLASS}, p r2, i 512, *i .r3) i .r0'
    ${If} $0 <> 0
      ; TOKEN_USER starts with the user's SID pointer.
      System::Call '*$2(p .r3)'
      System::Call 'advapi32::ConvertSidToStringSidW(p r3, *p .r4) i .r0'
      ${If} $0 <> 0
        System::Call 'kernel32::lstrcpynW(w .s, p r4, i ${NSIS_MAX_STRLEN})'
        Pop $userSid
        System::Call 'kernel32::LocalFree(p r4)'
      ${EndIf}
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
FunctionEnd

; Pushes the ProductName in the version block of the file named on the
; stack, "" when it has none (or is no file).
Function productName
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  System::Call 'version::GetFileVersionInfoSizeW(w r0, p 0) i .r1'
  ${If} $1 > 0
    System::Alloc $1
    Pop $2
    System::Call 'version::GetFileVersionInfoW(w r0, i 0, i r1, p r2) i .r1'
    ${If} $1 <> 0
      System::Call 'version::VerQueryValueW(p r2, w "\StringFileInfo\040904b0\ProductName", *p .r0, *i .r1) i .r1'
      ${If} $1 <> 0
        System::Call 'kernel32::lstrcpynW(w .r3, p r0, i ${NSIS_MAX_STRLEN})'
      ${EndIf}
    ${EndIf}
    System::Free $2
  ${EndIf}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Pushes 1 when $INSTDIR holds anything that is not Lumaroth's. An
; installation or the portable zip puts only Lumaroth.exe (a file),
; Uninstall.exe (this program's uninstaller) and README.txt there, and setup
; for a moment its .new and .old copies; anything else, or those names
; without the program, is another program's folder: our files would
; overwrite its own, and our uninstaller would later delete them. An empty
; folder is no one's.
Function isForeignFolder
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 0
  StrCpy $3 0
  FindFirst $0 $2 "$INSTDIR\*"
  ${DoWhile} $2 != ""
    ${If} $2 != "."
    ${AndIf} $2 != ".."
      StrCpy $3 1
      ${If} $2 == "Uninstall.exe"
        Push "$INSTDIR\$2"
        Call productName
        Pop $2
        ${IfThen} $2 != "${SETUP_PRODUCT}" ${|} StrCpy $1 1 ${|}
      ${ElseIf} $2 == "Lumaroth.exe"
        ${IfThen} ${FileExists} "$INSTDIR\$2\*" ${|} StrCpy $1 1 ${|}
      ${ElseIf} $2 != "README.txt"
      ${AndIf} $2 != "Lumaroth.new"
      ${AndIf} $2 != "Lumaroth.old"
      ${AndIf} $2 != "Uninstall.new"
      ${AndIf} $2 != "Uninstall.old"
        StrCpy $1 1
      ${EndIf}
    ${EndIf}
    FindNext $0 $2
  ${Loop}
  FindClose $0
  ${If} $3 == 1
  ${AndIfNot} ${FileExists} "$INSTDIR\Lumaroth.exe"
    StrCpy $1 1
  ${EndIf}
  Pop $3
  Pop $2
  Exch $1
  Exch
  Pop $0
FunctionEnd

; Pushes 1 when the folder $INSTDIR belongs to this user, to SYSTEM or to the
; Administrators (an elevated administrator's new folders belong to them).
; Another owner can always give itself the right to write there again,
; whatever access list setup puts on the folder.
Function ownedByUser
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  System::Call 'advapi32::GetNamedSecurityInfoW(w "$INSTDIR", i ${SE_FILE_OBJECT}, i ${OWNER_INFO}, *p .r1, p 0, p 0, p 0, *p .r2) i .r0'
  ${If} $0 = 0
    System::Call 'advapi32::ConvertSidToStringSidW(p r1, *p .r1) i .r0'
    ${If} $0 <> 0
      System::Call 'kernel32::lstrcpynW(w .r3, p r1, i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::LocalFree(p r1)'
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r2)'
  ${EndIf}
  StrCpy $0 0
  ${If} $3 == $userSid
  ${OrIf} $3 == "${SID_SYSTEM}"
  ${OrIf} $3 == "${SID_ADMINISTRATORS}"
    ${IfThen} $3 != "" ${|} StrCpy $0 1 ${|}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

!define FOREIGN_FOLDER_TEXT "$INSTDIR already holds files of another program. Choose an empty folder, a new one or the folder of your Lumaroth installation."
!define OTHER_OWNER_TEXT "$INSTDIR belongs to another user of this computer, who could replace the program there with one that runs as you. Choose a folder of your own, or a new one."

; Whether $INSTDIR may take the program: pushes "" or the reason it may not.
; Sets $previous and $sameFolder. $INSTDIR loses "." and ".." segments; when
; it is the installed folder under another name, it takes the name the Apps
; entry, the Run value and the shortcut already use.
Function checkFolder
  Push $0
  Push $1
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
  ${If} $1 > 0
  ${AndIf} $1 < ${NSIS_MAX_STRLEN}
    StrCpy $INSTDIR $0
  ${EndIf}
  ReadRegStr $previous HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $sameFolder 0
  ${If} $previous != ""
    Push $INSTDIR
    Push $previous
    Call sameFile
    Pop $sameFolder
    ${IfThen} $sameFolder == 1 ${|} StrCpy $INSTDIR $previous ${|}
  ${EndIf}
  StrCpy $1 ""
  ${If} $sameFolder != 1
    Call isForeignFolder
    Pop $0
    ${IfThen} $0 == 1 ${|} StrCpy $1 "${FOREIGN_FOLDER_TEXT}" ${|}
  ${EndIf}
  ${If} $1 == ""
  ${AndIf} ${FileExists} "$INSTDIR\*"
    Call ownedByUser
    Pop $0
    ${IfThen} $0 != 1 ${|} StrCpy $1 "${OTHER_OWNER_TEXT}" ${|}
  ${EndIf}
  Exch $1
  Exch
  Pop $0
FunctionEnd

Function directoryLeave
  Call checkFolder
  Pop $0
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$0"
    Abort
  ${EndIf}
FunctionEnd

; Creates $INSTDIR, or protects it when it exists, with an access list of its
; own: this user, SYSTEM and the Administrators, nothing inherited. Outside
; the user's profile a folder would otherwise inherit "Authenticated Users:
; Modify" (C:\ grants it to every folder made below it): any other local user
; could replace Lumaroth.exe, which the Run value starts as this user. The
; topmost new folder gets the list in the call that creates it, so no other
; user has a moment in which to put a file inside and keep it as its owner.
; Inside the profile the list is what the profile gives anyway. Pushes "" or
; what failed (the created folders are removed then).
Function makeFolder
  Push $R0
  Push $R1
  Push $0
  Push $1
  Push $2
  StrCpy $R0 ""
  StrCpy $R1 $INSTDIR
  ${DoUntil} $R1 == ""
    ${IfThen} ${FileExists} "$R1\*" ${|} ${Break} ${|}
    StrCpy $R0 $R1
    ${GetParent} $R1 $R1
  ${Loop}
  StrCpy $1 "its access list could not be made"
  StrCpy $2 0
  ${If} $userSid != ""
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "D:PAI(A;OICI;FA;;;$userSid)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", i 1, *p .r2, p 0) i .r0'
    ${IfThen} $0 = 0 ${|} StrCpy $2 0 ${|}
  ${EndIf}
  ${If} $2 P= 0
    ; $1 says why
  ${ElseIf} $R0 == ""
    StrCpy $1 "its access list could not be set"
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r2, *i .r0, *p .R1, *i .r0) i .r0'
    ${If} $0 <> 0
      System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i ${SE_FILE_OBJECT}, i ${PROTECTED_DACL}, p 0, p 0, p R1, p 0) i .r0'
      ${IfThen} $0 = 0 ${|} StrCpy $1 "" ${|}
    ${EndIf}
  ${Else}
    StrCpy $1 "it could not be created"
    ; SECURITY_ATTRIBUTES: length, (padding), the descriptor, not inherited.
    System::Call '*(i 24, i 0, p r2, i 0, i 0) p .r0'
    System::Call 'kernel32::CreateDirectoryW(w R0, p r0) i .R1'
    System::Free $0
    ${If} $R1 <> 0
      ClearErrors
      CreateDirectory "$INSTDIR"
      ${IfNot} ${Errors}
        StrCpy $1 ""
      ${Else}
        StrCpy $R1 $INSTDIR
        ${Do}
          RMDir $R1
          ${IfThen} $R1 == $R0 ${|} ${Break} ${|}
          ${GetParent} $R1 $R1
        ${Loop}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $2 P<> 0
    System::Call 'kernel32::LocalFree(p r2)'
  ${EndIf}
  StrCpy $R0 $1
  Pop $2
  Pop $1
  Pop $0
  Pop $R1
  Exch $R0
FunctionEnd

Function removeNewFiles
  Delete "$INSTDIR\Lumaroth.new"
  Delete "$INSTDIR\Uninstall.new"
FunctionEnd

Function .onInstFailed
  Call removeNewFiles
FunctionEnd

; Puts the new files in place of the installed ones, each with one rename;
; the installed ones stay aside (.old) until both new ones are in, and on any
; failure everything goes back as it was. A file another program holds open
; without delete sharing (a virus scanner reading the file it has just seen
; written does) cannot be renamed. Pushes "" or the file that could not be
; replaced.
Function swapIn
  Push $0
  Push $1
  Push $2
  Push $3
  ; What an interrupted run left aside is no installed file to go back to.
  Delete "$INSTDIR\Lumaroth.old"
  Delete "$INSTDIR\Uninstall.old"
  ; $2, $3: whether there were an installed program and uninstaller.
  StrCpy $1 ""
  StrCpy $2 0
  StrCpy $3 0
  ${IfThen} ${FileExists} "$INSTDIR\Lumaroth.exe" ${|} StrCpy $2 1 ${|}
  ${IfThen} ${FileExists} "$INSTDIR\Uninstall.exe" ${|} StrCpy $3 1 ${|}
  ${If} $2 == 1
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Lumaroth.exe", w "$INSTDIR\Lumaroth.old", i ${MOVEFILE_REPLACE_EXISTING}) i .r0'
    ${IfThen} $0 = 0 ${|} StrCpy $1 "$INSTDIR\Lumaroth.exe" ${|}
  ${EndIf}
  ${If} $1 == ""
  ${AndIf} $3 == 1
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Uninstall.exe", w "$INSTDIR\Uninstall.old", i ${MOVEFILE_REPLACE_EXISTING}) i .r0'
    ${IfThen} $0 = 0 ${|} StrCpy $1 "$INSTDIR\Uninstall.exe" ${|}
  ${EndIf}
  ${If} $1 == ""
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Lumaroth.new", w "$INSTDIR\Lumaroth.exe", i 0) i .r0'
    ${IfThen} $0 = 0 ${|} StrCpy $1 "$INSTDIR\Lumaroth.exe" ${|}
  ${EndIf}
  ${If} $1 == ""
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Uninstall.new", w "$INSTDIR\Uninstall.exe", i 0) i .r0'
    ${IfThen} $0 = 0 ${|} StrCpy $1 "$INSTDIR\Uninstall.exe" ${|}
  ${EndIf}
  ${If} $1 == ""
    Delete "$INSTDIR\Lumaroth.old"
    Delete "$INSTDIR\Uninstall.old"
  ${Else}
    ${If} ${FileExists} "$INSTDIR\Lumaroth.old"
      System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Lumaroth.old", w "$INSTDIR\Lumaroth.exe", i ${MOVEFILE_REPLACE_EXISTING})'
    ${ElseIf} $2 == 0
      Delete "$INSTDIR\Lumaroth.exe"
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\Uninstall.old"
      System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Uninstall.old", w "$INSTDIR\Uninstall.exe", i ${MOVEFILE_REPLACE_EXISTING})'
    ${ElseIf} $3 == 0
      Delete "$INSTDIR\Uninstall.exe"
    ${EndIf}
    Call removeNewFiles
  ${EndIf}
  Pop $3
  Pop $2
  Exch $1
  Exch
  Pop $0
FunctionEnd

; One COM call of startThroughShell; a failed one ends the walk.
!macro COM_CALL call
  System::Call '${call} i .r0'
  IntCmp $0 0 0 release release
!macroend

; Starts $startFile with $startArguments through Explorer: the desktop's folder
; view hands the command to the shell (IShellDispatch2::ShellExecute), so
; the program runs with Explorer's token, the user's normal one, also when
; setup runs elevated. Started by setup itself it would inherit an
; administrator token: Explorer's "TaskbarCreated" would never reach its tray
; icon again, and the next ordinary setup could not end it. Pushes 1 when
; Explorer took the command.
Function startThroughShell
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  Push $9
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  Push $R8
  ; $R0..$R8: the interfaces from ShellWindows to IShellDispatch2, 0 until had.
  StrCpy $2 0
  StrCpy $R0 0
  StrCpy $R1 0
  StrCpy $R2 0
  StrCpy $R3 0
  StrCpy $R4 0
  StrCpy $R5 0
  StrCpy $R6 0
  StrCpy $R7 0
  StrCpy $R8 0
  System::Call 'ole32::CoInitializeEx(p 0, i 2) i .r1'
  !insertmacro COM_CALL 'ole32::CoCreateInstance(g "${CLSID_ShellWindows}", p 0, i 4, g "${IID_IShellWindows}", *p .R0)'
  ; FindWindowSW(empty, empty, SWC_DESKTOP, out window, SWFO_NEEDDISPATCH, out dispatch)
  System::Alloc 48
  Pop $3
  IntPtrOp $4 $3 + 24
  System::Call '$R0->15(p r3, p r4, i 8, *i .r5, i 1, *p .R1) i .r0'
  System::Free $3
  IntCmp $0 0 0 release release
  ${IfThen} $R1 P= 0 ${|} Goto release ${|}
  !insertmacro COM_CALL '$R1->0(g "${IID_IServiceProvider}", *p .R2)'
  !insertmacro COM_CALL '$R2->3(g "${SID_STopLevelBrowser}", g "${IID_IShellBrowser}", *p .R3)'
  ; IShellBrowser::QueryActiveShellView, IShellView::GetItemObject(SVGIO_BACKGROUND)
  !insertmacro COM_CALL '$R3->15(*p .R4)'
  !insertmacro COM_CALL '$R4->15(i 0, g "${IID_IDispatch}", *p .R5)'
  !insertmacro COM_CALL '$R5->0(g "${IID_IShellFolderViewDual}", *p .R6)'
  ; IShellFolderViewDual::get_Application
  !insertmacro COM_CALL '$R6->7(*p .R7)'
  !insertmacro COM_CALL '$R7->0(g "${IID_IShellDispatch2}", *p .R8)'
  ; ShellExecute(file, arguments, folder, verb, show): four VARIANTs of 24
  ; bytes, the arguments and the folder (VT_BSTR), the default verb
  ; (VT_EMPTY) and SW_SHOWNORMAL (VT_I4); x64 passes a VARIANT by value as a
  ; pointer to a copy. The folder is not the install folder, which a program
  ; running in it would keep from being removed by a later move or uninstall.
  System::Call 'oleaut32::SysAllocString(w "$startFile") p .r3'
  System::Call 'oleaut32::SysAllocString(w "$startArguments") p .r4'
  System::Call 'oleaut32::SysAllocString(w "$PROFILE") p .r5'
  System::Call '*(i 8, i 0, p r4, p 0, i 8, i 0, p r5, p 0, i 0, i 0, p 0, p 0, i 3, i 0, i 1, i 0, p 0) p .r6'
  IntPtrOp $7 $6 + 24
  IntPtrOp $8 $6 + 48
  IntPtrOp $9 $6 + 72
  System::Call '$R8->31(p r3, p r6, p r7, p r8, p r9) i .r0'
  ${IfThen} $0 = 0 ${|} StrCpy $2 1 ${|}
  System::Free $6
  System::Call 'oleaut32::SysFreeString(p r3)'
  System::Call 'oleaut32::SysFreeString(p r4)'
  System::Call 'oleaut32::SysFreeString(p r5)'
  release:
  ${If} $R8 P<> 0
    System::Call '$R8->2()'
  ${EndIf}
  ${If} $R7 P<> 0
    System::Call '$R7->2()'
  ${EndIf}
  ${If} $R6 P<> 0
    System::Call '$R6->2()'
  ${EndIf}
  ${If} $R5 P<> 0
    System::Call '$R5->2()'
  ${EndIf}
  ${If} $R4 P<> 0
    System::Call '$R4->2()'
  ${EndIf}
  ${If} $R3 P<> 0
    System::Call '$R3->2()'
  ${EndIf}
  ${If} $R2 P<> 0
    System::Call '$R2->2()'
  ${EndIf}
  ${If} $R1 P<> 0
    System::Call '$R1->2()'
  ${EndIf}
  ${If} $R0 P<> 0
    System::Call '$R0->2()'
  ${EndIf}
  ${If} $1 >= 0
    System::Call 'ole32::CoUninitialize()'
  ${EndIf}
  StrCpy $0 $2
  Pop $R8
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Starts $startFile with $startArguments. An elevated setup hands it to
; Explorer; when Explorer does not take it (another shell, none running), it
; leaves the start to the next sign-in (the Run value) and says so when it
; shows anything. Setup with the user's normal token starts it itself.
Function startProgram
  Push $0
  ${If} $elevated == 1
    Call startThroughShell
    Pop $0
    ${If} $0 != 1
      MessageBox MB_OK|MB_ICONINFORMATION \
        "Setup runs as administrator and could not have Explorer start Lumaroth as you. Start it from the Start menu." \
        /SD IDOK
    ${EndIf}
  ${Else}
    ; Started in the install folder, it would keep that folder from being
    ; removed by a later move or uninstall.
    SetOutPath "$PROFILE"
    Exec '"$startFile" $startArguments'
  ${EndIf}
  Pop $0
FunctionEnd

; Waits until a started Lumaroth has its window and has reached its message
; loop, past hiding itself when started with /startup. A second start before
; that (the finish page's) would find no window to show, or show it just
; before the first one hides it again.
Function waitUntilStarted
  Push $0
  Push $1
  Push $2
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 <> 0
      System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_AND_QUERY_FULL}, i 0, i r2) p .r2'
      ${If} $2 P<> 0
        System::Call 'user32::WaitForInputIdle(p r2, i ${START_WAIT_MS})'
        System::Call 'kernel32::CloseHandle(p r2)'
      ${EndIf}
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 100
  ${LoopUntil} $1 >= ${START_WAIT_MS}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; $startFile again, hidden as the sign-in starts it, when setup ended the
; program.
Function restartIfClosed
  ${If} $closedRunning == 1
  ${AndIf} ${FileExists} $startFile
    StrCpy $startArguments "/startup"
    Call startProgram
    Call waitUntilStarted
  ${EndIf}
FunctionEnd

; The finish page's "Start Lumaroth now": after an upgrade that started the
; program again, this second start shows its window (the single-instance
; rule).
Function startShown
  StrCpy $startFile "$INSTDIR\Lumaroth.exe"
  StrCpy $startArguments ""
  Call startProgram
FunctionEnd

; Ends setup with exit code 2 after a file could not be written ($0): the
; new files go, the program setup ended runs again, and the user learns
; which file it was.
Function failedWrite
  Call removeNewFiles
  StrCpy $startFile $closedProgram
  Call restartIfClosed
  MessageBox MB_OK|MB_ICONSTOP \
    "Setup could not write $0. Lumaroth was left as it was. Close the program that holds the file (a virus scanner may still be reading it), then run setup again." \
    /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

Section "Lumaroth"
  SetShellVarContext current
  ; Before anything is ended or written: a silent run writes nothing there.
  Call checkFolder
  Pop $0
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
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
  ; Nothing is given up before the new files are in: written beside the
  ; installed ones, under names nothing starts, while the program still
  ; runs; swapped in once it ended. (A full disk ends setup inside File with
  ; NSIS's own message; .onInstFailed then removes what was written.)
  SetOutPath "$INSTDIR"
  ClearErrors
  File "/oname=Lumaroth.new" "${EXE}"
  StrCpy $0 "$INSTDIR\Lumaroth.new"
  ${IfThen} ${Errors} ${|} Call failedWrite ${|}
  WriteUninstaller "$INSTDIR\Uninstall.new"
  StrCpy $0 "$INSTDIR\Uninstall.new"
  ${IfThen} ${Errors} ${|} Call failedWrite ${|}
  StrCpy $onlyFrom ""
  Call closeRunning
  Call swapIn
  Pop $0
  ${IfThen} $0 != "" ${|} Call failedWrite ${|}

  ; A reinstall into another folder moves the autostart entry along.
  ${If} $sameFolder != 1
  ${AndIf} $previous != ""
    Push $previous
    Call runValueStarts
    Pop $0
    ${If} $0 == 1
      WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Lumaroth.exe" /startup'
    ${EndIf}
  ${EndIf}
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

  ; The previous installation's files would otherwise stay behind, its
  ; uninstaller live, beside a copy of the program nothing points at any
  ; more. Only this program's own files go (their version blocks say so):
  ; the Apps entry may name a folder that now holds namesakes.
  ${If} $sameFolder != 1
  ${AndIf} $previous != ""
    Push $INSTDIR
    Push $previous
    Call sameFile
    Pop $0
    ${If} $0 != 1
      Push "$previous\Lumaroth.exe"
      Call productName
      Pop $0
      ${IfThen} $0 == "${PROGRAM_PRODUCT}" ${|} Delete "$previous\Lumaroth.exe" ${|}
      Push "$previous\Uninstall.exe"
      Call productName
      Pop $0
      ${IfThen} $0 == "${SETUP_PRODUCT}" ${|} Delete "$previous\Uninstall.exe" ${|}
      RMDir "$previous"
    ${EndIf}
  ${EndIf}

  ; As the sign-in would start it: an upgrade leaves no gap in the updates.
  StrCpy $startFile "$INSTDIR\Lumaroth.exe"
  Call restartIfClosed
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
  Push $R9
  Push $INSTDIR
  Call un.sameFile
  Pop $0
  ${IfThen} $0 == 1 ${|} StrCpy $onlyFrom "" ${|}
  ; A Run value naming a missing program makes Windows try to start it at
  ; every sign-in; one naming another copy of Lumaroth is left alone.
  Push $INSTDIR
  Call un.runValueStarts
  Pop $R8
  Call un.closeRunning

  ClearErrors
  Delete "$INSTDIR\Lumaroth.exe"
  ${If} ${Errors}
    ; Uninstall.exe and the Apps entry stay, so that it can be run again.
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\Lumaroth.exe could not be deleted. Close what uses it, then uninstall Lumaroth again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; Run from Settings or without _?=, this is NSIS's copy in %TEMP%, started
  ; by the Uninstall.exe of the folder, which does not wait for it: until
  ; that process has ended, its file cannot be deleted, and neither can the
  ; folder. Run in place, the file is this process and stays.
  Push $EXEDIR
  Push $INSTDIR
  Call un.sameFile
  Pop $0
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "$INSTDIR\Uninstall.exe"
    ${IfNotThen} ${Errors} ${|} ${Break} ${|}
    ${IfThen} $0 == 1 ${|} ${Break} ${|}
    ${IfThen} $1 >= ${UNINSTALLER_EXIT_WAIT_MS} ${|} ${Break} ${|}
    Sleep 100
    IntOp $1 $1 + 100
  ${Loop}
  ; What an interrupted setup may have left.
  Delete "$INSTDIR\Lumaroth.new"
  Delete "$INSTDIR\Lumaroth.old"
  Delete "$INSTDIR\Uninstall.new"
  Delete "$INSTDIR\Uninstall.old"
  ; Not /r: the folder may have been chosen with /D= and hold other files.
  RMDir "$INSTDIR"

  ${IfThen} $R8 == 1 ${|} DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}" ${|}
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
