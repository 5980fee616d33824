' A VBScript session run by a copy of cscript.exe whose application manifest
' depends on the library's and the framework stand-in's assemblies: nothing
' is registered, yet every class is created by its programmatic identifier
' and answers by name.
On Error Resume Next

Dim shell, progIds, progId, created
Set shell = CreateObject("WScript.Shell")
progIds = Array("Numoria10.clsVxNumoria10A", "Numoria10.clsVxNumsGeneralA", _
    "Numoria10.clsVxNumsAdvancedA", "Numoria10.clsVxNumsMatrixA", _
    "Numoria10.clsVxNumsConversionsA", "Numoria10.clsVxNumsPerComA", _
    "VxFundara10.clsVxfuEnvironmentA")
For Each progId In progIds
    shell.RegRead "HKCR\" & progId & "\CLSID\"
    CheckEqual "no registry key for " & progId, Err.Number <> 0, True
    Err.Clear
    Set created = CreateObject(progId)
    CheckNoError "create " & progId
    Set created = Nothing
Next

Dim cv, pc, info
Set cv = CreateObject("Numoria10.clsVxNumsConversionsA")
CheckEqual "DecimalToOctal(8)", cv.DecimalToOctal(8), "10"
Set pc = CreateObject("Numoria10.clsVxNumsPerComA")
CheckEqual "Permutation(5, 2)", pc.Permutation(5, 2), CDbl(20)
Set info = CreateObject("Numoria10.clsVxNumoria10A")
CheckEqual "the library is loaded from the script host's folder", _
    LCase(info.GetProStdProperties.Path), LCase(CreateObject("Scripting.FileSystemObject").GetParentFolderName(WScript.FullName))

Finish
