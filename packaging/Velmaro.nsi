; Velmaro's installer: per user, no administrator rights. makensis is run by
; tools/release.sh with -DVERSION=<major.minor> -DFILE_VERSION=<a.b.c.d> -DSTAGE=<folder
; holding Velmaro.exe and Velmaro.chm> -DOUTFILE=<setup.exe>.
;
; Silent use: setup.exe /S [/LOGON]; Uninstall.exe /S [/REMOVESETTINGS].

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include Win\COM.nsh

!define NAME "Velmaro"
!define PUBLISHER "Orbenta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro"
!define SETTINGS_KEY "Software\Velmaro"
; The desktop's right-click submenu: the same keys the program's Options box writes.
!define DESKTOP_MENU_KEY "Software\Classes\DesktopBackground\Shell\Velmaro"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
; Directory.drl lives beside the program and is written by it: the folder must be the
; user's own, which Program Files is not.
InstallDir "$LOCALAPPDATA\Programs\Velmaro"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${STAGE}\velmaro.ico"
!define MUI_UNICON "${STAGE}\velmaro.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Velmaro.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Velmaro now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

!macro DesktopMenuItem n caption switch
  WriteRegStr HKCU "${DESKTOP_MENU_KEY}\shell\${n}" "MUIVerb" "${caption}"
  WriteRegStr HKCU "${DESKTOP_MENU_KEY}\shell\${n}\command" "" '"$INSTDIR\Velmaro.exe" ${switch}'
!macroend

; The licences ship beside the program (before the program's section, whose size
; estimate counts them).
Section "-Licences" SecLicences
  SetOutPath "$INSTDIR"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
SectionEnd

Section "Velmaro" SecProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\Velmaro.exe"
  File "${STAGE}\Velmaro.chm"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\Velmaro.lnk" "$INSTDIR\Velmaro.exe" "" "$INSTDIR\Velmaro.exe" 0 \
    SW_SHOWNORMAL "" "Makes pictures from your folders the desktop wallpaper"
  ; The log-on entry is whatever this installation chose: the option's section adds it
  ; again when it is ticked.
  Delete "$SMSTARTUP\Velmaro.lnk"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmaro.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section /o "Change the wallpaper at every log-on" SecLogon
  SetShellVarContext current
  CreateDirectory "$SMSTARTUP"
  CreateShortCut "$SMSTARTUP\Velmaro.lnk" "$INSTDIR\Velmaro.exe" "/s" "$INSTDIR\Velmaro.exe" 0 \
    SW_SHOWNORMAL "" "Changes the wallpaper at log-on"
SectionEnd

; The quiet switches at hand: two Start-menu shortcuts with hot keys, and the desktop's
; menu. Their own sections and functions, apart from the program's.
Section "-Next and previous wallpaper" SecQuietShortcuts
  SetShellVarContext current
  CreateShortCut "$SMPROGRAMS\Next wallpaper.lnk" "$INSTDIR\Velmaro.exe" "/next" "$INSTDIR\Velmaro.exe" 0 \
    SW_SHOWNORMAL "" "Makes the next picture the wallpaper"
  CreateShortCut "$SMPROGRAMS\Previous wallpaper.lnk" "$INSTDIR\Velmaro.exe" "/previous" "$INSTDIR\Velmaro.exe" 0 \
    SW_SHOWNORMAL "" "Shows the wallpaper shown before again"
  ; Ctrl+Alt (0x06 in the high byte) with Page Down (0x22) and Page Up (0x21): keys that
  ; CreateShortCut cannot name, so they are set through the shortcut's own interface.
  Push 0x0622
  Push "$SMPROGRAMS\Next wallpaper.lnk"
  Call SetLinkHotkey
  Push 0x0621
  Push "$SMPROGRAMS\Previous wallpaper.lnk"
  Call SetLinkHotkey
SectionEnd

Section "Velmaro in the desktop's right-click menu" SecDesktopMenu
  WriteRegStr HKCU "${DESKTOP_MENU_KEY}" "MUIVerb" "Velmaro"
  WriteRegStr HKCU "${DESKTOP_MENU_KEY}" "SubCommands" ""
  !insertmacro DesktopMenuItem 1 "Next picture" "/next"
  !insertmacro DesktopMenuItem 2 "Previous picture" "/previous"
  !insertmacro DesktopMenuItem 3 "Show this picture" "/show"
  !insertmacro DesktopMenuItem 4 "Never show this picture again" "/exclude"
  ; The program's option, so that its Options box shows the menu as on and a moved copy
  ; writes it again.
  WriteRegStr HKCU "${SETTINGS_KEY}\Settings" "DesktopMenu" "1"
SectionEnd

; Unticked: no menu, and the program is told so (an earlier installation may have added it).
Section "-Desktop menu off" SecDesktopMenuOff
  ${IfNot} ${SectionIsSelected} ${SecDesktopMenu}
    DeleteRegKey HKCU "${DESKTOP_MENU_KEY}"
    WriteRegStr HKCU "${SETTINGS_KEY}\Settings" "DesktopMenu" "0"
  ${EndIf}
SectionEnd

; Stack: the shortcut's path, then its hot key (IShellLink::SetHotkey's WORD).
Function SetLinkHotkey
  Exch $0 ; path
  Exch
  Exch $1 ; hot key
  Push $2
  Push $3
  !insertmacro ComHlpr_CreateInProcInstance ${CLSID_ShellLink} ${IID_IShellLink} r2 ""
  ${If} $2 P<> 0
    ${IUnknown::QueryInterface} $2 '("${IID_IPersistFile}",.r3)'
    ${If} $3 P<> 0
      ${IPersistFile::Load} $3 '("$0",2)'
      ${IShellLink::SetHotkey} $2 '($1)'
      ${IPersistFile::Save} $3 '("$0",1)'
      ${IUnknown::Release} $3 ""
    ${EndIf}
    ${IUnknown::Release} $2 ""
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/LOGON" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecLogon}
  ${EndIf}
FunctionEnd

; A running Velmaro keeps its files: say so, and go on only once it has ended.
!define MAIN_WINDOW_CLASS "TFormMain"
Section "-un.Wait for Velmaro to end"
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Velmaro is running. Close it, then choose Retry to go on, or Cancel to keep Velmaro installed." \
      /SD IDCANCEL IDRETRY +2
    Abort "Velmaro is running."
  ${Loop}
SectionEnd

Section "un.Velmaro" UnSecProgram
  SectionIn RO
  SetShellVarContext current
  Delete "$SMSTARTUP\Velmaro.lnk"
  Delete "$SMPROGRAMS\Velmaro.lnk"
  Delete "$INSTDIR\Velmaro.exe"
  Delete "$INSTDIR\Velmaro.chm"
  Delete "$INSTDIR\Uninstall.exe"
SectionEnd

Section "-un.Next and previous wallpaper, desktop menu" UnSecQuiet
  SetShellVarContext current
  Delete "$SMPROGRAMS\Next wallpaper.lnk"
  Delete "$SMPROGRAMS\Previous wallpaper.lnk"
  DeleteRegKey HKCU "${DESKTOP_MENU_KEY}"
  DeleteRegValue HKCU "${SETTINGS_KEY}\Settings" "DesktopMenu"
SectionEnd

; The task of the scheduled change ("Change the wallpaper every" in Options) is named
; after the user's SID. Its setting goes too, so that kept settings promise no task.
Section "-un.Scheduled change" UnSecSchedule
  Call un.DeleteScheduleTask
  DeleteRegValue HKCU "${SETTINGS_KEY}\Settings" "ChangeEvery"
SectionEnd

Function un.DeleteScheduleTask
  ; TOKEN_QUERY of this process's token; TokenUser (1) holds the SID first.
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r0'
  ${If} $0 == 0
    Return
  ${EndIf}
  System::Call 'advapi32::GetTokenInformation(p r1, i 1, p 0, i 0, *i .r2)'
  System::Alloc $2
  Pop $3
  System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r3, i r2, *i .r2) i .r0'
  ${If} $0 != 0
    System::Call '*$3(p .r4)'
    System::Call 'advapi32::ConvertSidToStringSidW(p r4, *p .r5) i .r0'
    ${If} $0 != 0
      System::Call '*$5(&w256 .r6)'
      System::Call 'kernel32::LocalFree(p r5)'
      nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "Velmaro-$6" /F'
      Pop $0
    ${EndIf}
  ${EndIf}
  System::Free $3
  System::Call 'kernel32::CloseHandle(p r1)'
FunctionEnd

; The user's own lists go with the settings: the excluded pictures beside the folder list,
; and the history, the round without repeats and the log of the quiet runs.
Section /o "un.Remove my settings and folder list" UnSecSettings
  Delete "$INSTDIR\Directory.drl"
  Delete "$INSTDIR\Excluded.txt"
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Velmaro\History.txt"
  Delete "$LOCALAPPDATA\Velmaro\Round.dat"
  Delete "$LOCALAPPDATA\Velmaro\Velmaro.log"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Section "-un.Licences"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
SectionEnd

; The wallpaper Velmaro staged for this user where the Windows folder refused it, with
; any temporary file an interrupted staging left beside it.
Section "-un.Staged wallpaper"
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Velmaro\VMImage.bmp"
  Delete "$LOCALAPPDATA\Velmaro\vel*.tmp"
  RMDir "$LOCALAPPDATA\Velmaro"
SectionEnd

; Last, so that the Uninstall key is there until everything else has gone.
Section "-un.Finish"
  ; Removed only when empty: a kept Directory.drl keeps the folder.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Function un.onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd
