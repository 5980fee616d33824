' A short VBScript session with numori10.dll: number-base conversions,
' combinatorics, and what a matrix error looks like from a script.
Option Explicit

Dim conversions, perCom, matrices, n, r
Set conversions = CreateObject("Numoria10.clsVxNumsConversionsA")
Set perCom = CreateObject("Numoria10.clsVxNumsPerComA")
Set matrices = CreateObject("Numoria10.clsVxNumsMatrixA")

WScript.Echo "DecimalToBinary(37)      = " & conversions.DecimalToBinary(37)
WScript.Echo "DecimalToHex(-1)         = " & conversions.DecimalToHex(-1)
WScript.Echo "DecimalToOctal(8)        = " & conversions.DecimalToOctal(8)
WScript.Echo "BinaryToDecimal(""101"")   = " & conversions.BinaryToDecimal("101")
WScript.Echo "HexToDecimal(""7FFFFFFF"") = " & conversions.HexToDecimal("7FFFFFFF")
WScript.Echo "HexToDecimal(""ff"")       = " & conversions.HexToDecimal("ff")
WScript.Echo "OctalToDecimal(""777"")    = " & conversions.OctalToDecimal("777")

n = 52 : r = 5
WScript.Echo "Combination(52, 5)       = " & perCom.Combination(n, r)
n = 30 : r = 15
WScript.Echo "Combination(30, 15)      = " & perCom.Combination(n, r) & _
    " (155117520 " & (perCom.Combination(n, r) - 155117520) & ": the unrounded quotient)"
n = 10 : r = 3
WScript.Echo "Permutation(10, 3)       = " & perCom.Permutation(n, r)
n = 20
WScript.Echo "Factorial(20)            = " & perCom.Factorial(n)
n = 171
WScript.Echo "Factorial(171)           = " & perCom.Factorial(n) & " (past the double range)"

On Error Resume Next
matrices.CreateMatrix 0, 5
WScript.Echo "CreateMatrix(0, 5)       -> error " & Err.Number & ", " & Err.Source & ": " & Err.Description
Err.Clear

' The library information class: the App object of standard properties, the
' embedded type library through the resource loader, and the About box (with
' no desktop the stand-in framework writes its message to its log).
On Error Goto 0
Dim info, app, typeLibrary
Set info = CreateObject("Numoria10.clsVxNumoria10A")
Set app = info.GetProStdProperties
WScript.Echo "App.EXEName              = " & app.EXEName
WScript.Echo "App.Title                = " & app.Title
WScript.Echo "App version              = " & app.Major & "." & app.Minor & "." & app.Revision
WScript.Echo "App.Comments             = " & app.Comments
WScript.Echo "App.Path                 = " & app.Path
typeLibrary = info.GetProResData(1, "TYPELIB")
' Byte() converts to a string of two bytes per character.
WScript.Echo "GetProResData(1, ""TYPELIB"") = VarType " & VarType(typeLibrary) & " (array of bytes), " & _
    (Len(CStr(typeLibrary)) * 2) & " bytes"
WScript.Echo "About                    = " & info.About
On Error Resume Next
WScript.Echo info.GetProResStrings(1)
WScript.Echo "GetProResStrings(1)      -> error " & Err.Number & ", " & Err.Source & ": " & Err.Description
Err.Clear
