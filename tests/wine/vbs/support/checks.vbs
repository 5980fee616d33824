' Check helpers shared by the VBScript sessions (run-vbs.sh puts this file
' in front of each script). Each check prints a line only when it fails;
' Finish prints "N passed, N failed" and quits with 1 on any failure.
Option Explicit
Dim passedCount, failedCount
passedCount = 0
failedCount = 0

Sub RecordCheck(ok, label, detail)
    If ok Then
        passedCount = passedCount + 1
    Else
        failedCount = failedCount + 1
        WScript.Echo "FAILED: " & label & " " & detail
    End If
End Sub

' Compares value and subtype (a Long result must not come back as a String).
Sub CheckEqual(label, actual, expected)
    Dim same
    same = (VarType(actual) = VarType(expected))
    If same Then same = (actual = expected)
    RecordCheck same, label, "got " & TypeName(actual) & " " & CStr(actual) & _
        ", expected " & TypeName(expected) & " " & CStr(expected)
End Sub

' Checks that the last statement left no error, then clears Err.
Sub CheckNoError(label)
    RecordCheck Err.Number = 0, label, "raised " & Err.Number & " (" & Err.Source & ": " & Err.Description & ")"
    Err.Clear
End Sub

' Checks number, source and description of the pending error, then clears it.
Sub CheckError(label, number, source, description)
    Dim ok
    ok = (Err.Number = number And Err.Source = source And Err.Description = description)
    RecordCheck ok, label, "got " & Err.Number & " / " & Err.Source & " / " & Err.Description & _
        ", expected " & number & " / " & source & " / " & description
    Err.Clear
End Sub

' The lines of the stand-in's log whose first field is callName, as an array.
Function LoggedLines(callName)
    Dim fso, path, file, line, found
    found = Array()
    Set fso = CreateObject("Scripting.FileSystemObject")
    path = CreateObject("WScript.Shell").Environment("PROCESS")("NUMORIA_STANDIN_LOG")
    If fso.FileExists(path) Then
        Set file = fso.OpenTextFile(path, 1)
        Do While Not file.AtEndOfStream
            line = file.ReadLine
            If Left(line, Len(callName) + 3) = callName & " | " Or line = callName Then
                ReDim Preserve found(UBound(found) + 1)
                found(UBound(found)) = line
            End If
        Loop
        file.Close
    End If
    LoggedLines = found
End Function

Function LoggedCalls(callName)
    LoggedCalls = CInt(UBound(LoggedLines(callName)) + 1)
End Function

Sub Finish()
    WScript.Echo passedCount & " passed, " & failedCount & " failed"
    If failedCount > 0 Then WScript.Quit 1
    WScript.Quit 0
End Sub
