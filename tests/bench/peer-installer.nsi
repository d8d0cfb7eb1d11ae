; The peer of the installer bench: an NSIS installer that does what ours does, in
; the same order: the seven product files, the two shortcuts, the `user` section
; of Config.ini removed, and, on a first installation, the thirteen Uninstall
; values. Built by tools/bench-installer.sh with
;   makensis -INPUTCHARSET UTF8 -DPAYLOAD_DIR=... -DOUTFILE=... -DCOMPRESSION=off|zlib|lzma
Unicode true
Name "Trellimo"
OutFile "${OUTFILE}"
InstallDir "C:\Program Files (x86)\Trellimo"
RequestExecutionLevel admin

!if "${COMPRESSION}" == "off"
  SetCompress off
!else if "${COMPRESSION}" == "zlib"
  SetCompressor zlib
!else
  SetCompressor /SOLID lzma
!endif

!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KOWTAN"

Page directory
Page instfiles

Section
  SetOutPath "$INSTDIR"
  File "${PAYLOAD_DIR}/7-zip32.dll"
  File "${PAYLOAD_DIR}/BASS_VST.dll"
  File "${PAYLOAD_DIR}/libcurl.dll"
  File "${PAYLOAD_DIR}/core.7z"
  File "${PAYLOAD_DIR}/launch.exe"
  File "${PAYLOAD_DIR}/zlibwapi.dll"
  CreateShortCut "$INSTDIR\卸载Pandrel.lnk" "$INSTDIR\launch.exe" "--uninst" "$INSTDIR\launch.exe" 0 SW_SHOWNORMAL "" "Trellimo"
  CreateShortCut "$DESKTOP\Trellimo.lnk" "$INSTDIR\launch.exe" "" "$INSTDIR\launch.exe" 0 SW_SHOWNORMAL "" "Trellimo"
  DeleteINISec "$INSTDIR\Config.ini" "user"
  File "${PAYLOAD_DIR}/sw.exe"

  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $0 "" 0 registered
  WriteRegStr HKLM "${UNINSTALL_KEY}" "" ""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0.1"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KOWTAN"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" 2048
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "https://www.trellimo.com/"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" '"$INSTDIR"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KOWTAN"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionBuild" 0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "WindowsInstaller" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\launch.exe" --uninst'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\launch.exe"'
  registered:
SectionEnd
