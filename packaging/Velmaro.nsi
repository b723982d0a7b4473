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

!define NAME "Velmaro"
!define PUBLISHER "Orbenta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro"
!define SETTINGS_KEY "Software\Velmaro"

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

Section /o "un.Remove my settings and folder list" UnSecSettings
  Delete "$INSTDIR\Directory.drl"
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
