; The Lessora installer. scripts/package compiles it from a staged folder:
;   makensis -DVERSION=2.1.20.928 -DPUBLISHER=... -DURL=... -DARCH=x86|x64 -DSTAGE=DIR
;            -DFILES=files.nsh -DICON=KestrelRun.ico -DOUTFILE=setup.exe [-DSIGN=command]
; FILES lists the staged files as install and remove lines, so the uninstaller removes exactly
; what the installer put down. Silent installs take /S and /D=folder.
Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
  !define PROGRAMS_DIR "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAMS_DIR "$PROGRAMFILES"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "Lessora"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program holds this mutex while it runs (its single-instance rule).
!define RUNNING_MUTEX "Local\Lessora.KestrelRun.10090"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_DIR}\${PRODUCT}"
; An older version's folder wins over the default, so an upgrade lands in place.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!ifdef SIGN
  ; The uninstaller is written at install time from this image: sign the image. The command is
  ; run by the shell, and the build folder may have spaces in its path.
  !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${FILES}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\KestrelRun.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\License.rtf"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the default when the system's own is neither.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString MsgRunning ${LANG_SIMPCHINESE} "Lessora 正在运行。请先关闭它，然后点“重试”。"
LangString MsgRunning ${LANG_ENGLISH} "Lessora is running. Close it first, then choose Retry."

; Refuses to go on while the program runs (its files are in use): asks until it is closed or
; the user cancels; a silent run ends at once with exit code 3.
!macro CHECK_RUNNING prefix
Function ${prefix}CheckRunning
  again:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p.r0'
    ${If} $0 P<> 0
      System::Call 'kernel32::CloseHandle(p r0)'
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MsgRunning)" /SD IDCANCEL IDRETRY again
      SetErrorLevel 3
      Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro CHECK_RUNNING ""
!insertmacro CHECK_RUNNING "un."

!macro SET_CONTEXT
  SetShellVarContext all
  !if ${ARCH} == x64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro SET_CONTEXT
  Call CheckRunning
FunctionEnd

Function un.onInit
  !insertmacro SET_CONTEXT
  Call un.CheckRunning
FunctionEnd

Section "Lessora"
  SetOutPath "$INSTDIR"
  !insertmacro INSTALL_FILES
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\KestrelRun.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\KestrelRun.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "${URL}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\KestrelRun.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro REMOVE_FILES
  ; What the program itself leaves beside it: its logs, the system name file and the testers'
  ; verdicts. Anything else in the folder is the user's and stays, and so does the folder then.
  Delete "$INSTDIR\log\*.log"
  RMDir "$INSTDIR\log"
  Delete "$INSTDIR\OS.txt"
  Delete "$INSTDIR\Test\MicrophoneTextResult.txt"
  Delete "$INSTDIR\Test\CameraTextResult.txt"
  RMDir "$INSTDIR\Test"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
