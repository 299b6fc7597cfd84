; The installer of Archiwin: Archiwin-setup-<version>.exe, built by
; scripts/release with makensis. Everything a user reads is Polish.
;
; Defines given by scripts/release:
;   VERSION     the program's file version, a.b.c.d
;   BUILD_DATE  the build date (the version resource's Comments)
;   EXE         the built archiwin.exe
;   ICON        the program's icon
;   OUTFILE     the installer to write
;
; Command line: /S installs silently (no questions, no start at the end),
; /D=FOLDER (last, unquoted) chooses the folder, and so does "-o FOLDER"
; when that folder already holds the program (the automatic update's
; installer entry passes the folder that way).

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Archiwin"
!define PUBLISHER "Studio TEV"
!define EXE_NAME "archiwin.exe"
!define UNINSTALLER "odinstaluj.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Archiwin"
; The TEV programs keep their machine-wide paths in the 32-bit view.
!define PATHS_KEY "Software\TEV\ścieżki"
; How long a silent install or uninstall waits for a running program (s).
!define WAIT_SECONDS 600

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TEV\Archiwin"
; Over an installed copy: its folder, unless the command line names one.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1045 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1045 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1045 "FileDescription" "Instalator programu ${PRODUCT}"
VIAddVersionKey /LANG=1045 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1045 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1045 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=1045 "Comments" "${BUILD_DATE}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Program ${PRODUCT} (wersja ${VERSION} z ${BUILD_DATE}) zostanie zainstalowany dla wszystkich użytkowników tego komputera.$\r$\n$\r$\nJeśli program jest uruchomiony, instalator poczeka na jego zamknięcie. Ustawienia, dane i kopie zapasowe pozostaną nietknięte.$\r$\n$\r$\nNaciśnij Dalej, aby kontynuować."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Uruchom program ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

; Waits while the program in $INSTDIR runs: a running program's file cannot
; be opened for writing. Interactive: the user closes it and retries, or
; gives up. Silent: up to WAIT_SECONDS, then gives up. Sets $0 to 1 when the
; program still runs.
!macro WAIT_FOR_PROGRAM PREFIX
Function ${PREFIX}WaitForProgram
  StrCpy $1 0
  ${Do}
    StrCpy $0 0
    ${IfNot} ${FileExists} "$INSTDIR\${EXE_NAME}"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $2 "$INSTDIR\${EXE_NAME}" a
    ${IfNot} ${Errors}
      FileClose $2
      ${Break}
    ${EndIf}
    StrCpy $0 1
    ${If} ${Silent}
      ${If} $1 == 0
        DetailPrint "Czekam na zamknięcie programu ${PRODUCT}..."
      ${EndIf}
      ${If} $1 >= ${WAIT_SECONDS}
        ${Break}
      ${EndIf}
      Sleep 1000
      IntOp $1 $1 + 1
    ${Else}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Program ${PRODUCT} jest uruchomiony:$\r$\n$INSTDIR\${EXE_NAME}$\r$\n$\r$\nZamknij program i naciśnij Ponów. Anuluj przerywa bez żadnych zmian." /SD IDCANCEL IDRETRY retry
      ${Break}
      retry:
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_PROGRAM ""
!insertmacro WAIT_FOR_PROGRAM "un."

Function .onInit
  SetShellVarContext all
  ; "-o FOLDER" of the automatic update: taken when the program is there.
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "-o" $2
  ${IfNot} ${Errors}
    ; The update doubles a closing backslash so that its quote closes.
    ${Do}
      StrCpy $3 $2 1 -1
      ${If} $3 == "\"
        StrCpy $2 $2 -1
      ${Else}
        ${Break}
      ${EndIf}
    ${Loop}
    ${If} ${FileExists} "$2\${EXE_NAME}"
      StrCpy $INSTDIR $2
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Archiwin" SecProgram
  SectionIn RO
  SetShellVarContext all
  Call WaitForProgram
  ${If} $0 == 1
    SetErrorLevel 3
    MessageBox MB_ICONSTOP "Program ${PRODUCT} nadal jest uruchomiony. Instalacja została przerwana, nic nie zmieniono." /SD IDOK
    Abort "Program ${PRODUCT} nadal jest uruchomiony."
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite try
  ClearErrors
  File "/oname=${EXE_NAME}" "${EXE}"
  ${If} ${Errors}
    SetErrorLevel 2
    MessageBox MB_ICONSTOP "Nie udało się zapisać pliku $INSTDIR\${EXE_NAME}. Instalacja została przerwana." /SD IDOK
    Abort "Nie udało się zapisać pliku $INSTDIR\${EXE_NAME}."
  ${EndIf}
  SetOverwrite on
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0 \
    SW_SHOWNORMAL "" "${PRODUCT} - kopie zapasowe danych programów TEV"

  ; Where sibling tools find the program; the program itself writes it too,
  ; which a standard user cannot do.
  SetRegView 32
  WriteRegStr HKLM "${PATHS_KEY}" "${PRODUCT}" "$INSTDIR\${EXE_NAME}"

  SetRegView 64
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Comments" "${BUILD_DATE}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=${EXE_NAME} /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR" "/M=${UNINSTALLER} /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program starts as the user who is logged on, not with the installer's
; rights: the shell starts it.
Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EXE_NAME}"'
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

; Removes what the installer put here and the program's own logs beside it;
; the user's files (data, backups, "Kopia ..." and "_AA_..." copies) stay, and
; so does the folder while anything is left in it.
Section "Uninstall"
  SetShellVarContext all
  Call un.WaitForProgram
  ${If} $0 == 1
    SetErrorLevel 3
    MessageBox MB_ICONSTOP "Program ${PRODUCT} nadal jest uruchomiony. Odinstalowanie zostało przerwane, nic nie usunięto." /SD IDOK
    Abort "Program ${PRODUCT} nadal jest uruchomiony."
  ${EndIf}

  Delete "$INSTDIR\${EXE_NAME}"
  Delete "$INSTDIR\${EXE_NAME}.log"
  Delete "$INSTDIR\!Stracone komunikaty.log"
  Delete "$INSTDIR\!!kopia.tev"
  Delete "$INSTDIR\!!kopia.tev*_.log"
  Delete "$INSTDIR\aa.rap"
  Delete "$INSTDIR\a.tev"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  ${If} $0 == "$PROGRAMFILES64\TEV"
    RMDir "$0"
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  SetRegView 32
  ReadRegStr $0 HKLM "${PATHS_KEY}" "${PRODUCT}"
  ${If} $0 == "$INSTDIR\${EXE_NAME}"
    DeleteRegValue HKLM "${PATHS_KEY}" "${PRODUCT}"
  ${EndIf}
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
