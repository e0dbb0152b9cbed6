; Lexbin's installer for Windows: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Lexbin, with a Start-menu entry, an entry in the user's list of
; installed programs and the program's folder on the user's PATH. Built by the CMake target
; windows_installer (cmake/windows_packaging.cmake), which passes:
;   VERSION (1.02), PUBLISHER, HOMEPAGE, OUTFILE, and FILES / UNFILES: the generated lists of
;   File and Delete commands for the program's files (the same list as the zip, without the
;   empty LexbinDB.txt: an installed program keeps its notes in %LOCALAPPDATA%\Lexbin).
; The uninstaller removes the program's files only: never the notes, never the settings
; (HKCU\Software\Lexbin\Lexbin\Main).
; A 64-bit installer for a 64-bit program: it also runs where no 32-bit layer is (a Wine
; without wine32).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexbin"

Name "Lexbin ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lexbin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\lexbin.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; PathWithout: $R0 a PATH list, $R1 a folder. Gives $R2, the list without that folder
; (compared without regard to case, with or without a trailing backslash) and without empty
; parts, and $R3, 1 when the folder was in it.
!macro DEFINE_PATH_WITHOUT prefix
Function ${prefix}PathWithout
    StrCpy $R2 ""
    StrCpy $R3 0
    StrCpy $R4 $R0
    next_part:
        StrCmp $R4 "" done
        StrCpy $R6 0
        StrLen $R7 $R4
        find_end:
            IntCmp $R6 $R7 part_found
            StrCpy $R8 $R4 1 $R6
            StrCmp $R8 ";" part_found
            IntOp $R6 $R6 + 1
            Goto find_end
        part_found:
        StrCpy $R5 $R4 $R6
        IntOp $R6 $R6 + 1
        StrCpy $R4 $R4 "" $R6
        StrCmp $R5 "" next_part
        StrCmp $R5 $R1 is_the_folder
        StrCmp $R5 "$R1\" is_the_folder
        StrCmp $R2 "" 0 +3
            StrCpy $R2 $R5
            Goto next_part
        StrCpy $R2 "$R2;$R5"
        Goto next_part
    is_the_folder:
        StrCpy $R3 1
        Goto next_part
    done:
FunctionEnd

; ReadUserPath: $R0 the user's PATH as stored (REG_EXPAND_SZ: %VARIABLES% unexpanded), $R9 1
; when it can be changed. NSIS strings hold 1024 characters: a longer value (ReadRegStr fails
; on it although it exists) or one that would grow past that is left alone, never cut short.
Function ${prefix}ReadUserPath
    StrCpy $R9 1
    ClearErrors
    ReadRegStr $R0 HKCU "Environment" "Path"
    IfErrors 0 read
        StrCpy $R0 ""
        StrCpy $R5 0
        find_value:
            ClearErrors
            EnumRegValue $R6 HKCU "Environment" $R5
            IfErrors not_there
            StrCmp $R6 "" not_there
            StrCmp $R6 "Path" 0 +3
                StrCpy $R9 0
                Goto not_there
            IntOp $R5 $R5 + 1
            Goto find_value
        not_there:
        Return
    read:
    StrLen $R5 $R0
    StrLen $R6 $INSTDIR
    IntOp $R5 $R5 + $R6
    IntOp $R5 $R5 + 1  ; the separator
    IntCmp $R5 ${NSIS_MAX_STRLEN} 0 +2 0
        StrCpy $R9 0
FunctionEnd
!macroend
!insertmacro DEFINE_PATH_WITHOUT ""
!insertmacro DEFINE_PATH_WITHOUT "un."

Function AddToUserPath
    Call ReadUserPath
    StrCmp $R9 1 +3
        DetailPrint "PATH is too long to change here; add $INSTDIR to it by hand."
        Return
    StrCpy $R1 $INSTDIR
    Call PathWithout
    StrCmp $R3 1 0 +2
        Return
    StrCmp $R2 "" 0 +3
        StrCpy $R2 $INSTDIR
        Goto +2
    StrCpy $R2 "$R2;$INSTDIR"
    WriteRegExpandStr HKCU "Environment" "Path" $R2
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd

Function un.RemoveFromUserPath
    Call un.ReadUserPath
    StrCmp $R9 1 +2
        Return
    StrCpy $R1 $INSTDIR
    Call un.PathWithout
    StrCmp $R3 1 +2
        Return
    StrCmp $R2 "" 0 +3
        DeleteRegValue HKCU "Environment" "Path"
        Goto +2
    WriteRegExpandStr HKCU "Environment" "Path" $R2
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd

Section "Lexbin"
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Lexbin.lnk" "$INSTDIR\lexbin.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lexbin ${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lexbin.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

    Call AddToUserPath
SectionEnd

Section "Uninstall"
    Call un.RemoveFromUserPath
    Delete "$SMPROGRAMS\Lexbin.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    ; Only if empty: a LexbinDB.txt the user put here (a portable copy) stays, with its folder.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
