; The Windows installer: puts the BACKTWISTER.dll of the machine's bitness into the folder the
; user's hosts scan for VST 2.x plug-ins (on 64-bit Windows the 32-bit DLL too, as an option,
; in a folder of its own), writes an uninstaller beside it and registers it among the
; installed programs. tools/installer/make-installer.sh runs makensis with the defines:
;   VERSION (1.1.0), COMPANY, PRODUCT (the version resource's names), DLL32, DLL64, OUTFILE
; Silently: setup.exe /S [/32[=FOLDER32]] [/D=FOLDER]   (/D last, without quotes)

Unicode true
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WordFunc.nsh

!define PLUGIN "BACKTWISTER.dll"
!define UNINSTALLER "Uninstall Backtwister.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KelpworksBacktwister"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${COMPANY}"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright ${COMPANY}"

Var Kind        ; "64-bit" or "32-bit": the plug-in that goes into $INSTDIR
Var Folder32    ; the 32-bit plug-in's folder ($INSTDIR on 32-bit Windows)
Var Path64
Var Path32
Var New64       ; 1 when this install created the file (so a failed install removes it)
Var New32
Var Created64   ; 1 when the folder is the installer's own (made by this or a previous install)
Var Created32
Var NewUninstaller
Var Old64       ; what a previous install recorded
Var Old32
Var OldCreated64
Var OldCreated32
Var OldLocation

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOn32BitWindows
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the $Kind ${PLUGIN} into this folder. Choose the folder your $Kind hosts scan for VST 2.x plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder for $Kind plug-ins"
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder for the 32-bit plug-in."
!define MUI_DIRECTORYPAGE_VARIABLE $Folder32
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the 32-bit ${PLUGIN} into this folder. Choose the folder your 32-bit hosts scan for VST 2.x plug-ins; it must not be the one of the 64-bit plug-in."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder for 32-bit plug-ins"
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipUnless32BitChosen
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckTwoFolders
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; PutPlugin SOURCE FOLDER PATH NEW CREATED: writes SOURCE as FOLDER\BACKTWISTER.dll; when it
; cannot (and the user does not retry), the install is aborted and .onInstFailed undoes it.
!macro PutPlugin SOURCE FOLDER PATH NEW CREATED
    StrCpy ${PATH} "${FOLDER}\${PLUGIN}"
    ${IfNot} ${FileExists} "${FOLDER}\*.*"
        StrCpy ${CREATED} 1
    ${EndIf}
    ${IfNot} ${FileExists} "${PATH}"
        StrCpy ${NEW} 1
    ${EndIf}
    ClearErrors
    CreateDirectory "${FOLDER}"
    ${If} ${Errors}
        MessageBox MB_ICONSTOP "Setup cannot create the folder ${FOLDER}." /SD IDOK
        Abort "Cannot create the folder ${FOLDER}."
    ${EndIf}
    SetOutPath "${FOLDER}"
    SetOverwrite try
    ${Do}
        ClearErrors
        File "/oname=${PLUGIN}" "${SOURCE}"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONSTOP "Setup cannot write ${PATH}.$\r$\nClose the hosts that have it loaded and retry, or cancel and choose another folder." /SD IDCANCEL IDRETRY +2
        Abort "Cannot write ${PATH}."
    ${Loop}
!macroend

; DefaultFolder BITS OLD RESULT: the folder of OLD, the file a previous install of that bitness
; recorded, or else the one the machine announces.
!macro DefaultFolder BITS OLD RESULT
    ${If} ${OLD} != ""
        ${GetParent} ${OLD} ${RESULT}
    ${Else}
        Push ${BITS}
        Call AnnouncedPluginFolder
        Pop ${RESULT}
    ${EndIf}
!macroend

Section "-check the folders"
    Call CheckFolders
SectionEnd

Section "!Backtwister for 64-bit hosts" Sec64
    SectionIn RO
    !insertmacro PutPlugin "${DLL64}" $INSTDIR $Path64 $New64 $Created64
SectionEnd

Section /o "Backtwister for 32-bit hosts" Sec32
    !insertmacro PutPlugin "${DLL32}" $Folder32 $Path32 $New32 $Created32
SectionEnd

Section "-uninstaller and registration"
    ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
        StrCpy $NewUninstaller 1
    ${EndIf}
    ClearErrors
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    ${If} ${Errors}
        Abort "Cannot write $INSTDIR\${UNINSTALLER}."
    ${EndIf}
    Call RemoveMovedFiles
    Call InheritCreatedFolders
    Call InstalledKilobytes
    Pop $0

    DeleteRegKey HKLM "${UNINSTALL_KEY}"  ; no values of an earlier install linger
    ClearErrors
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; What the uninstaller removes, and nothing else.
    ${If} ${SectionIsSelected} ${Sec64}
        WriteRegStr HKLM "${UNINSTALL_KEY}" "File64" $Path64
        WriteRegStr HKLM "${UNINSTALL_KEY}" "Created64" $Created64
    ${EndIf}
    ${If} ${SectionIsSelected} ${Sec32}
        WriteRegStr HKLM "${UNINSTALL_KEY}" "File32" $Path32
        WriteRegStr HKLM "${UNINSTALL_KEY}" "Created32" $Created32
    ${EndIf}
    ${If} ${Errors}
        Abort "Cannot register the uninstaller in the registry."
    ${EndIf}
SectionEnd

Section "Uninstall"
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    ReadRegStr $Old64 HKLM "${UNINSTALL_KEY}" "File64"
    ReadRegStr $OldCreated64 HKLM "${UNINSTALL_KEY}" "Created64"
    ReadRegStr $Old32 HKLM "${UNINSTALL_KEY}" "File32"
    ReadRegStr $OldCreated32 HKLM "${UNINSTALL_KEY}" "Created32"
    ${If} $Old64 != ""
        Delete $Old64
    ${EndIf}
    ${If} $Old32 != ""
        Delete $Old32
    ${EndIf}
    Delete "$INSTDIR\${UNINSTALLER}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; A folder setup made goes too, unless something else is in it by now.
    ${If} $OldCreated64 == 1
        ${GetParent} $Old64 $0
        RMDir $0
    ${EndIf}
    ${If} $OldCreated32 == 1
        ${GetParent} $Old32 $0
        RMDir $0
    ${EndIf}
SectionEnd

Function .onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    ReadRegStr $Old64 HKLM "${UNINSTALL_KEY}" "File64"
    ReadRegStr $OldCreated64 HKLM "${UNINSTALL_KEY}" "Created64"
    ReadRegStr $Old32 HKLM "${UNINSTALL_KEY}" "File32"
    ReadRegStr $OldCreated32 HKLM "${UNINSTALL_KEY}" "Created32"
    ReadRegStr $OldLocation HKLM "${UNINSTALL_KEY}" "InstallLocation"

    Call ReadQuotedFolderOption
    ; An update goes where the previous install went; /D= has set $INSTDIR when it was given.
    ${If} ${RunningX64}
        StrCpy $Kind "64-bit"
        ${If} $INSTDIR == ""
            !insertmacro DefaultFolder 64 $Old64 $INSTDIR
        ${EndIf}
        !insertmacro DefaultFolder 32 $Old32 $Folder32
        ${If} $Old32 != ""
            !insertmacro SelectSection ${Sec32}
        ${EndIf}
        Call Read32BitOption
    ${Else}
        StrCpy $Kind "32-bit"
        ${If} $INSTDIR == ""
            !insertmacro DefaultFolder 32 $Old32 $INSTDIR
        ${EndIf}
        SectionSetFlags ${Sec64} 0
        SectionSetText ${Sec64} ""
        SectionSetFlags ${Sec32} ${SF_SELECTED}|${SF_RO}
    ${EndIf}
FunctionEnd

Function un.onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
FunctionEnd

; On top of the stack: 32 or 64. Answers the folder the machine announces for VST 2.x plug-ins
; of that bitness (VSTPluginsPath in that registry view), else Program Files\VstPlugins.
Function AnnouncedPluginFolder
    Exch $0
    Push $1
    ${If} $0 == 32
        SetRegView 32
        StrCpy $1 "$PROGRAMFILES32\VstPlugins"
    ${Else}
        SetRegView 64
        StrCpy $1 "$PROGRAMFILES64\VstPlugins"
    ${EndIf}
    ReadRegStr $0 HKLM "SOFTWARE\VST" "VSTPluginsPath"
    ExpandEnvStrings $0 $0
    ${If} $0 == ""
        StrCpy $0 $1
    ${EndIf}
    ${If} ${RunningX64}
        SetRegView 64
    ${Else}
        SetRegView 32
    ${EndIf}
    Pop $1
    Exch $0
FunctionEnd

; "/32" on the command line chooses the 32-bit plug-in too; "/32=FOLDER" also its folder.
; Quotes go first: a shell may quote the whole word ("/32=C:\VST 32"), a user only the folder.
Function Read32BitOption
    ${GetParameters} $0
    ${WordReplace} $0 '"' '' "+" $0
    ClearErrors
    ${GetOptions} $0 "/32" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${Sec32}
        StrCpy $2 $1 1
        ${If} $2 == "="
            StrCpy $Folder32 $1 "" 1
        ${EndIf}
    ${EndIf}
FunctionEnd

; NSIS reads /D= only unquoted, but a shell quotes a word with spaces: "/D=C:\My VST".
Function ReadQuotedFolderOption
    ${If} $INSTDIR == ""
        ${GetParameters} $0
        ${WordReplace} $0 '"' '' "+" $0
        ClearErrors
        ${GetOptionsS} $0 "/D=" $1
        ${IfNot} ${Errors}
            StrCpy $INSTDIR $1
        ${EndIf}
    ${EndIf}
FunctionEnd

; "C:\VST\" and "C:\VST" are one folder: compare and record them without the separator.
Function StripTrailingSeparators
    ${Do}
        StrCpy $0 $INSTDIR 1 -1
        StrLen $1 $INSTDIR
        ${If} $0 != "\"
        ${OrIf} $1 <= 3
            ${Break}
        ${EndIf}
        StrCpy $INSTDIR $INSTDIR -1
    ${Loop}
    ${Do}
        StrCpy $0 $Folder32 1 -1
        StrLen $1 $Folder32
        ${If} $0 != "\"
        ${OrIf} $1 <= 3
            ${Break}
        ${EndIf}
        StrCpy $Folder32 $Folder32 -1
    ${Loop}
FunctionEnd

; Runs first: two plug-ins of one name cannot share a folder (the silent install skips the page
; that checks it).
Function CheckFolders
    ${IfNot} ${RunningX64}
        StrCpy $Folder32 $INSTDIR
    ${EndIf}
    Call StripTrailingSeparators
    ${If} ${SectionIsSelected} ${Sec64}
    ${AndIf} ${SectionIsSelected} ${Sec32}
    ${AndIf} $Folder32 == $INSTDIR
        MessageBox MB_ICONSTOP "The 32-bit and the 64-bit plug-in need two different folders: both are named ${PLUGIN}." /SD IDOK
        Abort "The 32-bit and the 64-bit plug-in need two different folders."
    ${EndIf}
FunctionEnd

Function SkipOn32BitWindows
    ${IfNot} ${RunningX64}
        Abort
    ${EndIf}
FunctionEnd

Function SkipUnless32BitChosen
    ${IfNot} ${RunningX64}
    ${OrIfNot} ${SectionIsSelected} ${Sec32}
        Abort
    ${EndIf}
FunctionEnd

Function CheckTwoFolders
    Call StripTrailingSeparators
    ${If} $Folder32 == $INSTDIR
        MessageBox MB_ICONEXCLAMATION "The 32-bit and the 64-bit plug-in are both named ${PLUGIN}: choose another folder for the 32-bit one."
        Abort
    ${EndIf}
FunctionEnd

; A previous install elsewhere: its files go, so that one uninstaller knows every file.
Function RemoveMovedFiles
    ${If} $OldLocation != ""
    ${AndIf} $OldLocation != $INSTDIR
        Delete "$OldLocation\${UNINSTALLER}"
    ${EndIf}
    ${If} $Old64 != ""
    ${AndIf} $Old64 != $Path64
    ${AndIf} $Old64 != $Path32
        Delete $Old64
        ${If} $OldCreated64 == 1
            ${GetParent} $Old64 $0
            RMDir $0
        ${EndIf}
    ${EndIf}
    ${If} $Old32 != ""
    ${AndIf} $Old32 != $Path64
    ${AndIf} $Old32 != $Path32
        Delete $Old32
        ${If} $OldCreated32 == 1
            ${GetParent} $Old32 $0
            RMDir $0
        ${EndIf}
    ${EndIf}
FunctionEnd

; A folder an earlier install made stays the installer's own when this one reuses it.
Function InheritCreatedFolders
    ${If} $Created64 != 1
        Push $INSTDIR
        Call MadeBefore
        Pop $Created64
    ${EndIf}
    ${If} $Created32 != 1
        Push $Folder32
        Call MadeBefore
        Pop $Created32
    ${EndIf}
FunctionEnd

; On top of the stack: a folder. Answers 1 when a previous install recorded it as made by setup.
Function MadeBefore
    Exch $0
    Push $1
    StrCpy $1 0
    ${If} $OldCreated64 == 1
        ${GetParent} $Old64 $2
        ${If} $2 == $0
            StrCpy $1 1
        ${EndIf}
    ${EndIf}
    ${If} $OldCreated32 == 1
        ${GetParent} $Old32 $2
        ${If} $2 == $0
            StrCpy $1 1
        ${EndIf}
    ${EndIf}
    StrCpy $0 $1
    Pop $1
    Exch $0
FunctionEnd

; Answers, on the stack, the size of the files this install put there in kilobytes, rounded up.
Function InstalledKilobytes
    StrCpy $0 0
    Push "$INSTDIR\${UNINSTALLER}"
    Call AddFileSize
    ${If} ${SectionIsSelected} ${Sec64}
        Push $Path64
        Call AddFileSize
    ${EndIf}
    ${If} ${SectionIsSelected} ${Sec32}
        Push $Path32
        Call AddFileSize
    ${EndIf}
    IntOp $0 $0 + 1023
    IntOp $0 $0 / 1024
    Push $0
FunctionEnd

; Adds the size in bytes of the file on top of the stack to $0.
Function AddFileSize
    Exch $1
    Push $2
    Push $3
    ClearErrors
    FileOpen $2 $1 r
    ${IfNot} ${Errors}
        FileSeek $2 0 END $3
        FileClose $2
        IntOp $0 $0 + $3
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

; Whatever this install wrote goes again; what was there before stays.
Function .onInstFailed
    ${If} $NewUninstaller == 1
        Delete "$INSTDIR\${UNINSTALLER}"
    ${EndIf}
    ${If} $New64 == 1
        Delete $Path64
    ${EndIf}
    ${If} $New32 == 1
        Delete $Path32
    ${EndIf}
    SetOutPath $TEMP  ; the working folder must not keep a folder from going
    ${If} $Created64 == 1
        RMDir $INSTDIR
    ${EndIf}
    ${If} $Created32 == 1
        RMDir $Folder32
    ${EndIf}
FunctionEnd
