; Mirelune-Setup.exe: installs the Mirelune screen saver for all users.
;
;   makensis -DSCR=path/Mirelune.scr -DVERSION=1.2.3 -DOUTFILE=path/Mirelune-Setup.exe
;            -DICON=path/mirelune.ico [-DX86] [-DSIGN=path/sign-command] mirelune.nsi
;
; SIGN names a command that signs the executable it is given in place; the uninstaller is
; signed with it before it is stored in the installer (the installer itself is signed after
; makensis by whoever passes SIGN).
;
; Installer command line (all optional; /S runs silently):
;   /S            no user interface
;   /CURRENT=0|1  whether to make Mirelune the current screen saver (default 1)
; Uninstaller command line:
;   /S            no user interface
;   /PURGE        also delete the user's settings, %APPDATA%\Mirelune
;
; Mirelune.scr is a 64-bit program, so it goes into the 64-bit system folder, where the
; screen-saver settings look for savers. The installer itself is a 64-bit program unless X86
; is defined; a 32-bit build turns off the WOW64 file-system redirection to reach that folder.

Unicode true
!ifndef X86
  Target amd64-unicode
!endif

!include x64.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include MUI2.nsh

!ifndef SCR
  !error "define SCR, the path of Mirelune.scr"
!endif
!ifndef OUTFILE
  !define OUTFILE "Mirelune-Setup.exe"
!endif
!ifndef ICON
  !define ICON "${__FILEDIR__}\..\resources\mirelune.ico"
!endif
!ifndef VERSION
  !error "define VERSION, the version of Mirelune (CMake passes the project's)"
!endif

!define PRODUCT "Mirelune"
!define SCR_NAME "Mirelune.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirelune"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"
; The installer stores no file times, so that its bytes depend only on the files' contents;
; installed files get the time of installation.
SetDateSave off
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Points the registry and file functions at the 64-bit views.
!macro Use64BitViews
  SetRegView 64
  ${DisableX64FSRedirection}
!macroend

Section "${PRODUCT} screen saver" SEC_SAVER
  SectionIn RO
  !insertmacro Use64BitViews

  SetOverwrite on
  SetOutPath "$WINDIR\System32"
  File "/oname=${SCR_NAME}" "${SCR}"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Size in KiB of what was installed, for the installed-programs list.
  StrCpy $R2 0
  ${GetSize} "$WINDIR\System32" "/M=${SCR_NAME} /S=0K /G=0" $R0 $R1 $R3
  IntOp $R2 $R2 + $R0
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R3
  IntOp $R2 $R2 + $R0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$WINDIR\System32\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "MadeCurrentSaver" 0
SectionEnd

Section "Make ${PRODUCT} the current screen saver" SEC_CURRENT
  !insertmacro Use64BitViews
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" "$WINDIR\System32\${SCR_NAME}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "MadeCurrentSaver" 1
  DetailPrint "${PRODUCT} is now the current screen saver."
SectionEnd

; Runs before the pages, after the sections are known.
Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  !insertmacro Use64BitViews

  ; /CURRENT=0 leaves the current screen saver alone; /CURRENT=1 (the default) selects Mirelune.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CURRENT=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == "0"
      !insertmacro UnselectSection ${SEC_CURRENT}
    ${ElseIf} $R1 == "1"
      !insertmacro SelectSection ${SEC_CURRENT}
    ${Else}
      MessageBox MB_ICONSTOP|MB_OK "Invalid option /CURRENT=$R1 (use /CURRENT=0 or /CURRENT=1)." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro Use64BitViews
FunctionEnd

Section "Uninstall"
  !insertmacro Use64BitViews

  ; Deselects Mirelune when it is still the current screen saver, whether the installer or
  ; the user selected it; any other choice is left as it is. The short form of the path is
  ; taken while the file still exists.
  GetFullPathName /SHORT $R1 "$WINDIR\System32\${SCR_NAME}"
  ClearErrors
  ReadRegStr $R0 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  ${IfNot} ${Errors}
  ${AndIf} $R0 != ""
    ${GetFileName} $R0 $R2
    ${If} $R2 == "${SCR_NAME}"
    ${OrIf} $R0 == "$WINDIR\System32\${SCR_NAME}"
    ${OrIf} $R0 == $R1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
      DetailPrint "${PRODUCT} is no longer the current screen saver."
    ${EndIf}
  ${EndIf}

  Delete "$WINDIR\System32\${SCR_NAME}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The user's settings stay unless /PURGE is given.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${IfNot} ${Errors}
    RMDir /r "$APPDATA\${PRODUCT}"
    DetailPrint "Removed the settings in $APPDATA\${PRODUCT}."
  ${EndIf}
SectionEnd
