; The setup program a person double-clicks: Quorel for every user of the machine, in
; Program Files, or only for the person who installs it, in their own programs folder
; (no administrator rights needed), with Start menu shortcuts, the start at sign-in and an
; Apps and Features entry for whom it is installed. Built by installer/release.py, which passes:
;   VERSION   the version of the programs, "1.2.3"
;   STAGE     the folder laid out to install (the package with LICENSE), Windows or Unix path
;   FILES     the generated include that names every file and folder of STAGE
;   ICON      the program icon
;   OUTFILE   the setup program to write
;   SIGN      optional: a command that signs the file named by %1 in place (the uninstaller)
;   UIACCESS  optional: the keyboard may type into administrators' windows, which Windows
;             allows only to a program under Program Files: no "Only for me" then
;
; Silent: QuorelSetup-<version>.exe /S [/CURRENTUSER] [/NOAUTOSTART] [/D=<folder>]
;   /CURRENTUSER installs only for the user who runs it, with no administrator rights, in
;   %LOCALAPPDATA%\Programs\Quorel unless /D names another folder.
;   /NOAUTOSTART leaves out "Start Quorel when I sign in".
; An upgrade goes into the installed folder (no folder page, /D ignored) and keeps the
; choice of the start at sign-in as it stands.
;
; An upgrade lays the new version out beside the installed one ("<folder>.new") before it
; touches anything, then asks Quorel's programs in every user's session to close (through
; Windows' Restart Manager, as at sign-out, and by their windows in this session), swaps
; the folders and starts the keyboards again. Whatever fails on the way, the installed
; version stays whole and its keyboard comes back. A file that a program still holds
; after a bounded wait keeps the installed version in use until Windows next starts,
; when the new version's files take their places.
;
; Exit codes: 0 installed; 1 cancelled, or not a 64-bit Windows; 2 cancelled while Quorel's
; programs stayed open, or (without administrator rights) a program still holds a file of
; Quorel's, nothing changed; 3 Quorel is installed from its MSI; 4 a newer
; version is installed; 5 the folder is not under Program Files; 6 the new version could
; not be written (a full disk, something in the way of its folder), nothing changed;
; 7 an install for every user needs administrator rights (or /CURRENTUSER); 8 Quorel is
; installed the other way already (for every user, or only for this user); 3010 installed,
; but the new version takes the place of the old when Windows next starts.
; The uninstaller: 0 removed; 2 cancelled while Quorel's programs stayed open; 7 removing
; Quorel for every user needs administrator rights, nothing removed; 3010 removed, but a
; file goes only when Windows next starts.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
; Administrators are asked for their consent at the start; a user without those rights
; installs only for themselves, with no prompt.
RequestExecutionLevel highest
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh
!include WordFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Quorel"
!define PUBLISHER "Pelmarik Solutions"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
; The windows of the running programs, closed as a user would close them.
!define KEYBOARD_CLASS "QuorelMainWindow5.02"
!define EDITOR_CLASS "TQuorelEditorForm"
!define OPTIONS_CLASS "QuorelOptionsWindow"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT License"

!ifdef SIGN
  !uninstfinalize '${SIGN}'
!endif

!include "${FILES}"

Var KeyboardWasRunning
Var Upgrading  ; 1 when this setup program's Quorel is installed already
Var Target     ; where the new version is written: the folder, or beside it on an upgrade
Var RmSession  ; the Restart Manager's session, or -1 without one
Var AllUsers   ; 1 for every user of the computer, 0 only for the user who installs
Var Writing    ; 1 while the new version is written
Var IsAdmin    ; 1 when the setup program runs with administrator rights
Var ForEveryone
Var OnlyForMe

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs Quorel ${VERSION}, the on-screen keyboard for pen and touch.$\r$\n$\r$\nQuorel's programs that are open now are closed before their files are replaced, and the keyboard comes back afterwards.$\r$\n$\r$\nClick Next to continue."
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_NOAUTOCLOSE
; A tablet user may have no other keyboard: it starts when the setup program ends.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start the Quorel keyboard now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKeyboard
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
Page custom ScopePage ScopeLeave
!insertmacro MUI_PAGE_COMPONENTS
; An upgrade keeps the installed folder: no folder page then.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FolderLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A file of the installed programs that some process holds: $R1 becomes 1.
!macro HELD_CHECK path
  ${If} ${FileExists} "${path}"
    ClearErrors
    FileOpen $R0 "${path}" a
    ${If} ${Errors}
      StrCpy $R1 1
    ${Else}
      FileClose $R0
    ${EndIf}
  ${EndIf}
!macroend

; At the next start of Windows the file takes the place of the other; $R8 becomes 1 when
; Windows would not take the request (it needs administrator rights).
!macro REPLACE_AT_RESTART from to
  System::Call 'kernel32::MoveFileExW(w "${from}", w "${to}", i 5) i .R0'
  ${If} $R0 = 0
    StrCpy $R8 1
  ${EndIf}
  SetRebootFlag true
!macroend

; Renames, tried again for a while: a virus scanner may still hold a file just written.
!macro RENAME_PATIENTLY from to
  StrCpy $R7 0
  ${Do}
    ClearErrors
    Rename "${from}" "${to}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $R7 $R7 + 1
    ${If} $R7 >= 20
      ${Break}
    ${EndIf}
    Sleep 250
  ${Loop}
  ; The test in the loop cleared the error flag; it is set again for the caller.
  ${If} $R7 >= 20
    SetErrors
  ${EndIf}
!macroend

!macro CLOSE_FUNCTIONS un
; Asks Windows' Restart Manager to close every process, in every user's session, that runs
; Quorel's programs: each gets the question a sign-out asks and saves what it holds. The
; keyboard registered to be started again; ${un}RmEnd does that. Without a Restart Manager
; (older systems, Wine) nothing happens here and the windows are closed one by one.
Function ${un}RmClose
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $RmSession -1
  System::Call 'rstrtmgr::RmStartSession(*i .r1, i 0, w .r2) i .r0'
  ${If} $0 == 0
    StrCpy $RmSession $1
    System::Call '*(w "$INSTDIR\QuorelKeyboard.exe", w "$INSTDIR\QuorelEditor.exe", w "$INSTDIR\QuorelOptions.exe", w "$INSTDIR\QuorelApi.dll") p .r3'
    System::Call 'rstrtmgr::RmRegisterResources(i $RmSession, i 4, p r3, i 0, p 0, i 0, p 0) i .r0'
    System::Free $3
    ${If} $0 == 0
      ; Bounded by the system: a program that does not answer is left running, never killed.
      System::Call 'rstrtmgr::RmShutdown(i $RmSession, i 0, p 0) i .r0'
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Ends the Restart Manager's session; with 1 on the stack the programs it closed that asked
; for it (the keyboards) start again, each in its own session.
Function ${un}RmEnd
  Exch $R0
  ${If} $RmSession != -1
    ${If} $R0 = 1
      System::Call 'rstrtmgr::RmRestart(i $RmSession, i 0, p 0) i .R0'
    ${EndIf}
    System::Call 'rstrtmgr::RmEndSession(i $RmSession) i .R0'
    StrCpy $RmSession -1
  ${EndIf}
  Pop $R0
FunctionEnd

; Posts WM_CLOSE to every window of the class on the stack, as the close box would.
Function ${un}PostCloseTo
  Exch $R0
  Push $R1
  StrCpy $R1 0
  next:
    FindWindow $R1 $R0 "" 0 $R1
    ${If} $R1 = 0
      Goto done
    ${EndIf}
    System::Call 'user32::PostMessageW(p $R1, i ${WM_CLOSE}, p 0, p 0)'
    Goto next
  done:
  Pop $R1
  Pop $R0
FunctionEnd

; 1 on the stack when a window of the programs is still there in this session, else 0.
Function ${un}AnyOpen
  Push $R0
  FindWindow $R0 "${KEYBOARD_CLASS}"
  ${If} $R0 = 0
    FindWindow $R0 "${EDITOR_CLASS}"
  ${EndIf}
  ${If} $R0 = 0
    FindWindow $R0 "${OPTIONS_CLASS}"
  ${EndIf}
  ${If} $R0 = 0
    StrCpy $R0 0
  ${Else}
    StrCpy $R0 1
  ${EndIf}
  Exch $R0
FunctionEnd

; 1 on the stack while a program file of the folder is still held: by a process that is
; ending (its windows are gone, its files not yet), or by one in another session.
Function ${un}AnyHeld
  Push $R0
  Push $R1
  StrCpy $R1 0
  !insertmacro HELD_CHECK "$INSTDIR\QuorelKeyboard.exe"
  !insertmacro HELD_CHECK "$INSTDIR\QuorelEditor.exe"
  !insertmacro HELD_CHECK "$INSTDIR\QuorelOptions.exe"
  !insertmacro HELD_CHECK "$INSTDIR\QuorelApi.dll"
  StrCpy $R0 $R1
  Pop $R1
  Exch $R0
FunctionEnd

; Starts the installed keyboard for the user at the screen, not with the installer's
; administrator rights: through the shell that already runs, as a tap on its shortcut
; would. Wine has no such rights to shed and its explorer opens no programs, so there it is
; started directly.
Function ${un}StartKeyboard
  ClearErrors
  ReadRegStr $R0 HKCU "Software\Wine" ""
  ${If} ${Errors}
  ${AndIf} $IsAdmin = 1
  ${AndIf} ${FileExists} "$WINDIR\explorer.exe"
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\QuorelKeyboard.exe"'
  ${Else}
    Exec '"$INSTDIR\QuorelKeyboard.exe"'
  ${EndIf}
FunctionEnd

; The keyboards closed on the way come back: a tablet user is never left without one.
Function ${un}StartKeyboardsAgain
  Push 1
  Call ${un}RmEnd
  ${If} $KeyboardWasRunning = 1
    FindWindow $R0 "${KEYBOARD_CLASS}"
    ${If} $R0 = 0
      Call ${un}StartKeyboard
    ${EndIf}
  ${EndIf}
FunctionEnd

; Closes the keyboard, the editor and the options program in every session before their
; files change. The editor may ask about a change it could not save: the user answers it.
; A window of this session that stays open for 15 s is named to the user, who may close
; it and retry, or cancel (exit code 2, the keyboard comes back). A silent run goes on: the
; caller finds the files still held and replaces them when Windows next starts.
Function ${un}CloseQuorel
  StrCpy $KeyboardWasRunning 0
  FindWindow $R9 "${KEYBOARD_CLASS}"
  ${If} $R9 <> 0
    StrCpy $KeyboardWasRunning 1
  ${EndIf}
  Call ${un}RmClose
  again:
  Push "${KEYBOARD_CLASS}"
  Call ${un}PostCloseTo
  Push "${EDITOR_CLASS}"
  Call ${un}PostCloseTo
  Push "${OPTIONS_CLASS}"
  Call ${un}PostCloseTo
  StrCpy $R8 0
  wait:
    Call ${un}AnyOpen
    Pop $R9
    ${If} $R9 = 0
      Call ${un}AnyHeld
      Pop $R9
    ${EndIf}
    ${If} $R9 = 0
      Return
    ${EndIf}
    IntOp $R8 $R8 + 1
    ${If} $R8 < 150
      Sleep 100
      Goto wait
    ${EndIf}
  Call ${un}AnyOpen
  Pop $R9
  ${If} $R9 = 0
  ${OrIf} ${Silent}
    Return
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "A Quorel program is still open. Close the keyboard, the editor and the options program, then choose Retry." IDRETRY again
  Call ${un}GiveUp
FunctionEnd
!macroend
!insertmacro CLOSE_FUNCTIONS ""
!insertmacro CLOSE_FUNCTIONS "un."

; The install stopped on an error of its own (a file that could not be written: a full
; disk): what was written goes, the keyboards come back, and the exit code says so.
Function .onInstFailed
  ${If} $Writing = 1
    ${If} $Upgrading = 1
      RMDir /r "$Target"
    ${Else}
      !insertmacro QUOREL_UNINSTALL_FILES
      RMDir "$INSTDIR"
    ${EndIf}
    SetErrorLevel 6
  ${EndIf}
  Call StartKeyboardsAgain
FunctionEnd

; Cancelled, nothing changed: what was written beside the installed version goes, and the
; keyboards come back.
Function GiveUp
  ${If} $Target != $INSTDIR
    RMDir /r "$Target"
  ${EndIf}
  Call StartKeyboardsAgain
  SetErrorLevel 2
  Quit
FunctionEnd

Function un.GiveUp
  Call un.StartKeyboardsAgain
  SetErrorLevel 2
  Quit
FunctionEnd

Section "Quorel (required)" SectionMain
  SectionIn RO
  SetRegView 64
  InitPluginsDir
  ; A first install closes a keyboard that runs from elsewhere (a portable copy) first.
  ${If} $Upgrading = 0
    SetOutPath "$PLUGINSDIR"
    Call CloseQuorel
  ${EndIf}
  ; The new version is written in full before anything installed changes.
  StrCpy $Target "$INSTDIR"
  ${If} $Upgrading = 1
    StrCpy $Target "$INSTDIR.new"
    RMDir /r "$Target"  ; left by an upgrade that did not end
  ${EndIf}
  SetOverwrite try
  StrCpy $R9 0
  StrCpy $Writing 1
  ClearErrors
  !insertmacro QUOREL_INSTALL_FILES "$Target"
  IfErrors 0 +2
    StrCpy $R9 1
  ${If} $R9 = 0
    WriteUninstaller "$Target\Uninstall.exe"
    IfErrors 0 +2
      StrCpy $R9 1
  ${EndIf}
  SetOverwrite on
  StrCpy $Writing 0
  SetOutPath "$PLUGINSDIR"
  ${If} $R9 = 1
    ${If} $Upgrading = 1
      RMDir /r "$Target"
    ${Else}
      !insertmacro QUOREL_UNINSTALL_FILES
      RMDir "$INSTDIR"
    ${EndIf}
    Call StartKeyboardsAgain
    MessageBox MB_OK|MB_ICONSTOP "Quorel ${VERSION} could not be written to $Target: the disk may be full, or something is in the way there. Nothing was changed." /SD IDOK
    SetErrorLevel 6
    Quit
  ${EndIf}
  ; The setup program works in no folder of its own while the folders change.
  ${If} $Upgrading = 1
    Call CloseQuorel
    Call SwapInNewVersion
  ${EndIf}
  ; The shortcuts start the programs in their folder.
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Quorel"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Keyboard.lnk" "$INSTDIR\QuorelKeyboard.exe"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Editor.lnk" "$INSTDIR\QuorelEditor.exe"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Options.lnk" "$INSTDIR\QuorelOptions.exe"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Manual.lnk" "$INSTDIR\manual\quorelmanual.htm"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QuorelKeyboard.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; Run in place (_?=) the uninstaller waits for its work to end and returns its exit code.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" _?=$INSTDIR'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  IntFmt $R0 "0x%08X" $R0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

Section "Start Quorel when I sign in" SectionAutostart
  SetRegView 64
  WriteRegStr SHCTX "${RUN_KEY}" "Quorel" '"$INSTDIR\QuorelKeyboard.exe"'
SectionEnd

Section "-Start the keyboards again"
  Call StartKeyboardsAgain
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "A program still uses some of Quorel's files, in this or another user's session. Quorel ${VERSION} takes the place of the installed version when Windows next starts; until then the installed version stays in use." /SD IDOK
    SetErrorLevel 3010
  ${EndIf}
SectionEnd

; The installed folder and the new one change places. The old version's own uninstaller
; then removes exactly its files from where it went; what else was in its folder (files an
; administrator put there) comes back into the new one. A file still held keeps the
; installed version whole and in use until Windows next starts, when the new one's files
; take their places.
Function SwapInNewVersion
  StrCpy $R1 0
  !insertmacro QUOREL_HELD_FILES "$INSTDIR"
  ${If} $R1 = 0
    RMDir /r "$INSTDIR.old"  ; left by an upgrade that did not end
    !insertmacro RENAME_PATIENTLY "$INSTDIR" "$INSTDIR.old"
    ${IfNot} ${Errors}
      !insertmacro RENAME_PATIENTLY "$Target" "$INSTDIR"
      ${If} ${Errors}
        ; The installed version goes back; the new one is removed only once it is back.
        !insertmacro RENAME_PATIENTLY "$INSTDIR.old" "$INSTDIR"
        ${IfNot} ${Errors}
          RMDir /r "$Target"
        ${EndIf}
        Call StartKeyboardsAgain
        MessageBox MB_OK|MB_ICONSTOP "Quorel ${VERSION} could not take the place of the installed version in $INSTDIR. Nothing was changed." /SD IDOK
        SetErrorLevel 6
        Quit
      ${EndIf}
      StrCpy $Target "$INSTDIR"
      ; The old version's uninstaller removes exactly its files from where they went; what
      ; is left was put there by someone else and comes into the new folder. Without it, or
      ; when it fails, the old folder stays as it is: nothing of an administrator's is lost,
      ; and nothing old is copied over the new version.
      StrCpy $R2 1
      ${If} ${FileExists} "$INSTDIR.old\Uninstall.exe"
        CopyFiles /SILENT "$INSTDIR.old\Uninstall.exe" "$PLUGINSDIR\OldUninstall.exe"
        StrCpy $R0 ""
        ${If} $AllUsers = 0
          StrCpy $R0 " /CURRENTUSER"
        ${EndIf}
        ClearErrors
        ExecWait '"$PLUGINSDIR\OldUninstall.exe" /S /KEEPRUNNING$R0 _?=$INSTDIR.old' $R2
        ${If} ${Errors}
          StrCpy $R2 1
        ${EndIf}
      ${EndIf}
      ${If} $R2 = 0
        CopyFiles /SILENT "$INSTDIR.old\*.*" "$INSTDIR"
        RMDir /r "$INSTDIR.old"
      ${EndIf}
      Return
    ${EndIf}
  ${EndIf}
  ; A file is still held. Only an administrator may have Windows replace files when it next
  ; starts; without that right nothing changes, and the user is asked to close Quorel.
  StrCpy $R8 0
  ${If} $IsAdmin = 1
    !insertmacro QUOREL_REPLACE_AT_RESTART "$Target" "$INSTDIR"
    !insertmacro REPLACE_AT_RESTART "$Target\Uninstall.exe" "$INSTDIR\Uninstall.exe"
  ${EndIf}
  ${If} $IsAdmin = 0
  ${OrIf} $R8 = 1
    SetRebootFlag false
    RMDir /r "$Target"
    Call StartKeyboardsAgain
    MessageBox MB_OK|MB_ICONEXCLAMATION "A program still uses Quorel's files. Close the keyboard, the editor and the options program, then run the setup program again. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  RMDir /REBOOTOK "$Target"
FunctionEnd

; The version of Quorel installed from its MSI on the stack, or "" when there is none: an
; Apps and Features entry of Quorel other than the setup program's own.
Function MsiInstalledVersion
  Push $R0
  Push $R1
  Push $R2
  StrCpy $R0 0
  next:
    EnumRegKey $R1 HKLM "${UNINSTALL_ROOT}" $R0
    ${If} $R1 == ""
      StrCpy $R2 ""
      Goto done
    ${EndIf}
    IntOp $R0 $R0 + 1
    StrCmp $R1 "${PRODUCT}" next
    ReadRegStr $R2 HKLM "${UNINSTALL_ROOT}\$R1" "DisplayName"
    StrCmp $R2 "${PRODUCT}" 0 next
    ReadRegStr $R2 HKLM "${UNINSTALL_ROOT}\$R1" "Publisher"
    StrCmp $R2 "${PUBLISHER}" 0 next
    ReadRegStr $R2 HKLM "${UNINSTALL_ROOT}\$R1" "DisplayVersion"
    StrCmp $R2 "" 0 done
    StrCpy $R2 "?"
  done:
  Exch $R2
  Exch 2
  Pop $R0
  Pop $R1
FunctionEnd

; Every user's programs stay where only administrators can change them.
!macro IS_UNDER_PROGRAM_FILES result
  StrCpy ${result} 0
  StrLen $R7 "$PROGRAMFILES64\"
  StrCpy $R6 "$INSTDIR\" $R7
  ${If} $R6 == "$PROGRAMFILES64\"
    StrCpy ${result} 1
  ${EndIf}
!macroend
!define FOLDER_REFUSED "Quorel for every user of this computer is installed under Program Files ($PROGRAMFILES64), where only administrators can change its programs. Choose a folder there."

Function SkipFolderOnUpgrade
  ${If} $Upgrading = 1
    Abort
  ${EndIf}
FunctionEnd

Function FolderLeave
  ${If} $AllUsers = 1
    !insertmacro IS_UNDER_PROGRAM_FILES $R5
    ${If} $R5 = 0
      MessageBox MB_OK|MB_ICONEXCLAMATION "${FOLDER_REFUSED}"
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

; For whom Quorel is installed: the context of the shell's folders and of the registry
; (SHCTX), and the folder it goes to unless one was named.
Function UseScope
  ${If} $AllUsers = 1
    SetShellVarContext all
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    SetShellVarContext current
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

; The choice of a new install: for every user (with administrator rights) or only for me.
Function ScopePage
  ${If} $Upgrading = 1
    Abort
  ${EndIf}
  !ifdef UIACCESS
    Abort
  !endif
  !insertmacro MUI_HEADER_TEXT "Choose Users" "Choose for whom Quorel is installed."
  UserInfo::GetName
  Pop $R1
  nsDialogs::Create 1018
  Pop $R0
  ${NSD_CreateRadioButton} 0 0 100% 24u "For every user of this computer (needs administrator rights)"
  Pop $ForEveryone
  ${NSD_CreateRadioButton} 0 30u 100% 24u "Only for me ($R1)"
  Pop $OnlyForMe
  ${If} $IsAdmin = 0
    EnableWindow $ForEveryone 0
  ${EndIf}
  ${If} $AllUsers = 1
    ${NSD_Check} $ForEveryone
  ${Else}
    ${NSD_Check} $OnlyForMe
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ScopeLeave
  ${NSD_GetState} $ForEveryone $R0
  ${If} $R0 = ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call UseScope
FunctionEnd

; The version installed by this setup program for the scope on the stack (1 every user, 0
; only this user): its folder in $R3 and its version in $R4, or "" in both.
!macro INSTALLED_FOR root
  StrCpy $R3 ""
  StrCpy $R4 ""
  ReadRegStr $R0 ${root} "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\QuorelKeyboard.exe"
    StrCpy $R3 $R0
    ReadRegStr $R4 ${root} "${UNINSTALL_KEY}" "DisplayVersion"
  ${EndIf}
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "Quorel needs a 64-bit Windows." /SD IDOK
    SetErrorLevel 1
    Quit
  ${EndIf}
  SetRegView 64
  StrCpy $RmSession -1
  UserInfo::GetAccountType
  Pop $R0
  StrCpy $IsAdmin 0
  ${If} $R0 == "Admin"
    StrCpy $IsAdmin 1
  ${EndIf}
  ; The setup program and the MSI never install over each other.
  Call MsiInstalledVersion
  Pop $R0
  ${If} $R0 != ""
    MessageBox MB_OK|MB_ICONSTOP "Quorel $R0 is installed on this computer from its Windows Installer package (Quorel-$R0.msi). Upgrade it with a newer MSI package, or remove it in Apps and Features before you install with this setup program." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOAUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SectionAutostart}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $R1
  StrCpy $R2 0  ; 1 when /CURRENTUSER was given
  ${IfNot} ${Errors}
    StrCpy $R2 1
  ${EndIf}
  ; A silent run installs for every user unless told otherwise; a person who may not do so
  ; is offered only the install for themselves.
  StrCpy $AllUsers 1
  ${If} $R2 = 1
  ${OrIf} $IsAdmin = 0
    StrCpy $AllUsers 0
  ${EndIf}
  !ifdef UIACCESS
    ${If} $R2 = 1
      MessageBox MB_OK|MB_ICONSTOP "This Quorel keyboard may type into administrators' windows, which Windows allows only to a program installed for every user under Program Files: it cannot be installed only for you." /SD IDOK
      SetErrorLevel 7
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  !endif
  ; An upgrade goes where the installed version is, for whom it is installed, never over a
  ; newer one, and keeps the start at sign-in as it was chosen.
  StrCpy $Upgrading 0
  !insertmacro INSTALLED_FOR HKLM
  StrCpy $R5 1
  ${If} $R3 == ""
    !insertmacro INSTALLED_FOR HKCU
    StrCpy $R5 0
  ${EndIf}
  ${If} $R3 != ""
    ; Told to install the other way, or not allowed to upgrade an install for every user.
    StrCpy $R7 0
    ${If} $R5 <> $AllUsers
    ${AndIf} ${Silent}
      StrCpy $R7 1
    ${EndIf}
    ${If} $R5 = 1
    ${AndIf} $IsAdmin = 0
      StrCpy $R7 1
    ${EndIf}
    ${If} $R7 = 1
      ${If} $R5 = 1
        MessageBox MB_OK|MB_ICONSTOP "Quorel $R4 is installed for every user of this computer in $R3. An administrator upgrades it; it cannot be installed a second time only for you." /SD IDOK
      ${Else}
        MessageBox MB_OK|MB_ICONSTOP "Quorel $R4 is installed only for you in $R3. Upgrade it for you alone, or remove it in Apps and Features before you install Quorel for every user." /SD IDOK
      ${EndIf}
      SetErrorLevel 8
      Quit
    ${EndIf}
    StrCpy $AllUsers $R5
    StrCpy $Upgrading 1
    ${VersionCompare} "$R4" "${VERSION}" $R2
    ${If} $R2 = 1
      MessageBox MB_OK|MB_ICONSTOP "A newer version of Quorel ($R4) is already installed." /SD IDOK
      SetErrorLevel 4
      Quit
    ${EndIf}
  ${EndIf}
  ; The folder named by /D stays; otherwise that of the scope, or the installed one.
  StrCpy $R6 $INSTDIR
  Call UseScope
  ${If} $Upgrading = 1
    StrCpy $INSTDIR $R3
    ReadRegStr $R1 SHCTX "${RUN_KEY}" "Quorel"
    ${If} $R1 == ""
      !insertmacro UnselectSection ${SectionAutostart}
    ${EndIf}
  ${ElseIf} $R6 != "$PROGRAMFILES64\${PRODUCT}"
    StrCpy $INSTDIR $R6
  ${EndIf}
  ${If} $AllUsers = 1
  ${AndIf} $IsAdmin = 0
    MessageBox MB_OK|MB_ICONSTOP "Quorel for every user of this computer needs administrator rights. Run the setup program as an administrator, or with /CURRENTUSER to install Quorel only for you." /SD IDOK
    SetErrorLevel 7
    Quit
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $Upgrading = 0
  ${AndIf} $AllUsers = 1
    !insertmacro IS_UNDER_PROGRAM_FILES $R5
    ${If} $R5 = 0
      MessageBox MB_OK|MB_ICONSTOP "${FOLDER_REFUSED}" /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  StrCpy $RmSession -1
  ; Installed only for this user when its entry is this user's, or when told so by the
  ; upgrade that runs it on the folder it replaced.
  StrCpy $AllUsers 1
  ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${GetParameters} $R1
  ClearErrors
  ${GetOptions} $R1 "/CURRENTUSER" $R2
  ${IfNot} ${Errors}
  ${OrIf} $R0 == $INSTDIR
    StrCpy $AllUsers 0
  ${EndIf}
  ${If} $AllUsers = 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  UserInfo::GetAccountType
  Pop $R0
  StrCpy $IsAdmin 0
  ${If} $R0 == "Admin"
    StrCpy $IsAdmin 1
  ${EndIf}
  ; Removing Quorel for every user takes administrator rights: without them nothing is
  ; closed or removed, and the user is told.
  ${If} $AllUsers = 1
  ${AndIf} $IsAdmin = 0
    MessageBox MB_OK|MB_ICONSTOP "Removing Quorel for every user of this computer needs administrator rights. Ask an administrator, or run the uninstaller as one." /SD IDOK
    SetErrorLevel 7
    Quit
  ${EndIf}
  ; Started in place (_?=, as Apps and Features and a deployment tool start it), it cannot
  ; remove its own file: it runs a copy of itself from the temporary folder and waits for
  ; it, so that whoever started it learns when the removal is done and how it went.
  ${If} "$EXEDIR" == "$INSTDIR"
    InitPluginsDir
    CopyFiles /SILENT "$EXEPATH" "$PLUGINSDIR\QuorelUninstall.exe"
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/KEEPRUNNING" $R1
    StrCpy $R1 ""
    ${IfNot} ${Errors}
      StrCpy $R1 " /KEEPRUNNING"
    ${EndIf}
    ${If} ${Silent}
      StrCpy $R1 " /S$R1"
    ${EndIf}
    ${If} $AllUsers = 0
      StrCpy $R1 "$R1 /CURRENTUSER"
    ${EndIf}
    ClearErrors
    ExecWait '"$PLUGINSDIR\QuorelUninstall.exe"$R1 _?=$INSTDIR' $R2
    ${If} ${Errors}
      StrCpy $R2 2
    ${EndIf}
    SetErrorLevel $R2
    Quit
  ${EndIf}
FunctionEnd

; Removes exactly what the setup program put there; the users' own files under Documents
; and their options stay. A folder keeps what someone added to it.
Section "Uninstall"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/KEEPRUNNING" $R1
  ${If} ${Errors}
    Call un.CloseQuorel
  ${EndIf}
  !insertmacro QUOREL_UNINSTALL_FILES
  Delete "$INSTDIR\Uninstall.exe"
  ${If} ${FileExists} "$INSTDIR\Uninstall.exe"
    ; Held by the uninstaller that started this copy and waits for it: a running program's
    ; file can be moved, not deleted. Out of the folder it goes, deleted when Windows next
    ; starts; if not even that, the folder goes then too.
    GetTempFileName $R0
    Delete $R0
    ClearErrors
    Rename "$INSTDIR\Uninstall.exe" $R0
    ${If} ${Errors}
      Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
      RMDir /REBOOTOK "$INSTDIR"
    ${Else}
      ; A file in the temporary folder left until then is no reason to ask for a restart.
      StrCpy $R1 0
      ${If} ${RebootFlag}
        StrCpy $R1 1
      ${EndIf}
      Delete /REBOOTOK $R0
      ${If} $R1 = 0
        SetRebootFlag false
      ${EndIf}
    ${EndIf}
  ${EndIf}
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Quorel\Quorel Keyboard.lnk"
  Delete "$SMPROGRAMS\Quorel\Quorel Editor.lnk"
  Delete "$SMPROGRAMS\Quorel\Quorel Options.lnk"
  Delete "$SMPROGRAMS\Quorel\Quorel Manual.lnk"
  RMDir "$SMPROGRAMS\Quorel"
  DeleteRegValue SHCTX "${RUN_KEY}" "Quorel"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Push 0
  Call un.RmEnd
  ; Something is removed only when Windows next starts: the caller is told, as by an MSI.
  ${If} ${RebootFlag}
    SetErrorLevel 3010
  ${EndIf}
SectionEnd
