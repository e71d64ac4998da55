; The Windows installer: 64-bit, for the current user or for all users, with a Start-menu entry,
; an optional desktop shortcut and an uninstaller listed in Windows' installed apps. The
; uninstaller keeps the player's saves (%APPDATA%\Rivoltra) unless asked to remove them.
; scripts/windows-package.sh builds it:
;   makensis -DSRC=<staged Rivoltra folder> -DOUT=<setup.exe> -DVERSION=1.0 rivoltra.nsi
; Silent: setup.exe /S [/CurrentUser | /AllUsers] [/D=folder]; uninstall.exe /S keeps the saves.
Unicode true
; Debian's default stub is 32-bit, which needs a 32-bit Wine to run in the tests.
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef SRC | OUT | VERSION
  !error "define SRC, OUT and VERSION"
!endif

!define APP_NAME "Rivoltra"
!define PUBLISHER "The Rivoltra developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rivoltra"

Name "${APP_NAME}"
OutFile "${OUT}"
BrandingText "${APP_NAME} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP_NAME}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include x64.nsh

!define MUI_ICON "${SRC}\..\rivoltra.ico"
!define MUI_UNICON "${SRC}\..\rivoltra.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\rivoltra.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP_NAME}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${SRC}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP_NAME} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 the Rivoltra developers"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${APP_NAME} needs 64-bit Windows."
    Abort
  ${EndIf}
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "!${APP_NAME}" SectionGame
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${SRC}\rivoltra.exe"
  File "${SRC}\rivoltra-replay.exe"
  File "${SRC}\LICENSE.txt"
  File "${SRC}\THIRD-PARTY-NOTICES.txt"
  SetOutPath "$INSTDIR\Data"
  File /r "${SRC}\Data\Res"
  File /r "${SRC}\Data\Music"
  ; The default saves: the game copies them into %APPDATA%\Rivoltra at its first start.
  File /r "${SRC}\Data\Save"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\rivoltra.exe" "" \
    "$INSTDIR\rivoltra.exe" 0

  ; Windows' installed apps (Add/Remove Programs), in the install mode's part of the registry.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rivoltra.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Desktop shortcut" SectionDesktop
  CreateShortcut "$DESKTOP\${APP_NAME}.lnk" "$INSTDIR\rivoltra.exe" "" "$INSTDIR\rivoltra.exe" 0
SectionEnd

LangString DESC_Game ${LANG_ENGLISH} "The game, its data and the replay verifier."
LangString DESC_Desktop ${LANG_ENGLISH} "A shortcut to the game on the desktop."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionGame} $(DESC_Game)
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} $(DESC_Desktop)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "un.${APP_NAME}" UnSectionGame
  SectionIn RO
  Delete "$INSTDIR\rivoltra.exe"
  Delete "$INSTDIR\rivoltra-replay.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  RMDir /r "$INSTDIR\Data"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"
  Delete "$DESKTOP\${APP_NAME}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

; Off unless the player ticks it (a silent uninstall keeps the saves).
Section /o "un.Saved settings, high scores and replays" UnSectionSaves
  ; The saves are per user, whichever way the game was installed.
  SetShellVarContext current
  RMDir /r "$APPDATA\${APP_NAME}"
SectionEnd

LangString DESC_UnGame ${LANG_ENGLISH} "The game and its shortcuts."
LangString DESC_UnSaves ${LANG_ENGLISH} "Your settings, high scores and replays in $APPDATA\${APP_NAME}."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSectionGame} $(DESC_UnGame)
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSectionSaves} $(DESC_UnSaves)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
