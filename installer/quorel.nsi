; The setup program a person double-clicks: Quorel for every user of the machine, in
; Program Files, with Start menu shortcuts, the start at sign-in and an Apps and Features
; entry. Built by installer/release.py, which passes:
;   VERSION   the version of the programs, "1.2.3"
;   STAGE     the folder laid out to install (the package with LICENSE), Windows or Unix path
;   FILES     the generated include that names every file and folder of STAGE
;   ICON      the program icon
;   OUTFILE   the setup program to write
;   SIGN      optional: a command that signs the file named by %1 in place (the uninstaller)
;
; Silent: QuorelSetup-<version>.exe /S [/NOAUTOSTART] [/D=<folder>]
;   /NOAUTOSTART leaves out "Start Quorel when I sign in".
; An upgrade goes into the installed folder (no folder page, /D ignored) and keeps the
; choice of the start at sign-in as it stands.
;
; Exit codes: 0 installed; 1 cancelled, or not a 64-bit Windows; 2 Quorel's programs did
; not close; 3 Quorel is installed from its MSI; 4 a newer version is installed; 5 the
; folder is not under Program Files. The uninstaller: 0 removed; 2 Quorel's programs did
; not close; 3010 removed, but a file goes only when Windows next starts.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh
!include WordFunc.nsh

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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs Quorel ${VERSION}, the on-screen keyboard for pen and touch, for every user of this computer.$\r$\n$\r$\nQuorel's programs that are open now are closed before their files are replaced, and the keyboard comes back afterwards.$\r$\n$\r$\nClick Next to continue."
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_NOAUTOCLOSE
; A tablet user may have no other keyboard: it starts when the setup program ends.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start the Quorel keyboard now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKeyboard
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
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

; Posts WM_CLOSE to every window of the class on the stack, as the close box would.
!macro CLOSE_FUNCTIONS un
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

; 1 on the stack when a window of the programs is still there, else 0.
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

; 1 on the stack while a program file of the folder is still held by a process that is
; ending: its windows are gone but it has not let go of the file yet.
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

; Closes the keyboard, the editor and the options program of this session before their
; files change. The editor may ask about a change it could not save: the user answers it.
; What does not close within 15 s is named to the user, who may close it and retry; a
; silent run gives up with exit code 2 and changes nothing.
Function ${un}CloseQuorel
  StrCpy $KeyboardWasRunning 0
  FindWindow $R9 "${KEYBOARD_CLASS}"
  ${If} $R9 <> 0
    StrCpy $KeyboardWasRunning 1
  ${EndIf}
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
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "A Quorel program is still open. Close the keyboard, the editor and the options program, then choose Retry." /SD IDCANCEL IDRETRY again
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro CLOSE_FUNCTIONS ""
!insertmacro CLOSE_FUNCTIONS "un."

; Starts the installed keyboard for the user at the screen, not with the installer's
; administrator rights: through the shell that already runs, as a tap on its shortcut
; would. Wine has no such rights to shed and its explorer opens no programs, so there it is
; started directly.
Function StartKeyboard
  ClearErrors
  ReadRegStr $R0 HKCU "Software\Wine" ""
  ${If} ${Errors}
  ${AndIf} ${FileExists} "$WINDIR\explorer.exe"
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\QuorelKeyboard.exe"'
  ${Else}
    Exec '"$INSTDIR\QuorelKeyboard.exe"'
  ${EndIf}
FunctionEnd

Section "Quorel (required)" SectionMain
  SectionIn RO
  SetShellVarContext all
  SetRegView 64
  Call CloseQuorel
  ; An older version goes first, by its own uninstaller, so that no file of it is left
  ; behind. It never touches the users' own files or options.
  ${If} ${FileExists} "$INSTDIR\Uninstall.exe"
    InitPluginsDir
    CopyFiles /SILENT "$INSTDIR\Uninstall.exe" "$PLUGINSDIR\OldUninstall.exe"
    ExecWait '"$PLUGINSDIR\OldUninstall.exe" /S /KEEPRUNNING _?=$INSTDIR'
  ${EndIf}
  SetOutPath "$INSTDIR"
  !insertmacro QUOREL_INSTALL_FILES
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcuts start the programs in their folder.
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Quorel"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Keyboard.lnk" "$INSTDIR\QuorelKeyboard.exe"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Editor.lnk" "$INSTDIR\QuorelEditor.exe"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Options.lnk" "$INSTDIR\QuorelOptions.exe"
  CreateShortcut "$SMPROGRAMS\Quorel\Quorel Manual.lnk" "$INSTDIR\manual\quorelmanual.htm"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QuorelKeyboard.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; Run in place (_?=) the uninstaller waits for its work to end and returns its exit code.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" _?=$INSTDIR'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  IntFmt $R0 "0x%08X" $R0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

Section "Start Quorel when I sign in" SectionAutostart
  SetRegView 64
  WriteRegStr HKLM "${RUN_KEY}" "Quorel" '"$INSTDIR\QuorelKeyboard.exe"'
SectionEnd

Section "-Start the keyboard again"
  ${If} $KeyboardWasRunning = 1
    Call StartKeyboard
  ${EndIf}
SectionEnd

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
  !insertmacro IS_UNDER_PROGRAM_FILES $R5
  ${If} $R5 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${FOLDER_REFUSED}"
    Abort
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext all
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "Quorel needs a 64-bit Windows." /SD IDOK
    SetErrorLevel 1
    Quit
  ${EndIf}
  SetRegView 64
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
  ; An upgrade goes where the installed version is, never over a newer one, and keeps the
  ; start at sign-in as it was chosen.
  StrCpy $Upgrading 0
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\QuorelKeyboard.exe"
    StrCpy $INSTDIR $R0
    StrCpy $Upgrading 1
    ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ${VersionCompare} "$R1" "${VERSION}" $R2
    ${If} $R2 = 1
      MessageBox MB_OK|MB_ICONSTOP "A newer version of Quorel ($R1) is already installed." /SD IDOK
      SetErrorLevel 4
      Quit
    ${EndIf}
    ReadRegStr $R1 HKLM "${RUN_KEY}" "Quorel"
    ${If} $R1 == ""
      !insertmacro UnselectSection ${SectionAutostart}
    ${EndIf}
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $Upgrading = 0
    !insertmacro IS_UNDER_PROGRAM_FILES $R5
    ${If} $R5 = 0
      MessageBox MB_OK|MB_ICONSTOP "${FOLDER_REFUSED}" /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
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
  DeleteRegValue HKLM "${RUN_KEY}" "Quorel"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Something is removed only when Windows next starts: the caller is told, as by an MSI.
  ${If} ${RebootFlag}
    SetErrorLevel 3010
  ${EndIf}
SectionEnd
