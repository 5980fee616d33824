' clsVxNumsPerComA called by name from a VBScript session. Results are
' compared exactly: Combination is an unrounded quotient.
On Error Resume Next

Dim perCom, cases, c, n, r, result
Set perCom = CreateObject("Numoria10.clsVxNumsPerComA")
CheckNoError "create clsVxNumsPerComA"

' Method, n, r (Empty for Factorial), expected Double.
cases = Array( _
    Array("Factorial", 0, Empty, CDbl(1)), _
    Array("Factorial", 1, Empty, CDbl(1)), _
    Array("Factorial", 5, Empty, CDbl(120)), _
    Array("Factorial", 12, Empty, CDbl(479001600)), _
    Array("Factorial", 13, Empty, CDbl(6227020800)), _
    Array("Factorial", 170, Empty, CDbl(7.257415615307994E+306)), _
    Array("Factorial", 171, Empty, CDbl(0)), _
    Array("Factorial", 32767, Empty, CDbl(0)), _
    Array("Factorial", -1, Empty, CDbl(1)), _
    Array("Factorial", -32768, Empty, CDbl(1)), _
    Array("Combination", 5, 2, CDbl(10)), _
    Array("Combination", 52, 5, CDbl(2598960)), _
    Array("Combination", 5, 5, CDbl(1)), _
    Array("Combination", 32767, 32767, CDbl(1)), _
    Array("Combination", 5, 0, CDbl(0)), _
    Array("Combination", 0, 0, CDbl(0)), _
    Array("Combination", -5, 2, CDbl(0)), _
    Array("Combination", 3, 5, CDbl(0)), _
    Array("Combination", 170, 1, CDbl(170)), _
    Array("Combination", 171, 1, CDbl(0)), _
    Array("Combination", 30, 15, CDbl(155117519.99999997)), _
    Array("Combination", 170, 2, CDbl(14364.999999999998)), _
    Array("Permutation", 5, 2, CDbl(20)), _
    Array("Permutation", 10, 3, CDbl(720)), _
    Array("Permutation", 5, 5, CDbl(120)), _
    Array("Permutation", 1, 1, CDbl(1)), _
    Array("Permutation", 5, 0, CDbl(0)), _
    Array("Permutation", 3, 5, CDbl(0)), _
    Array("Permutation", 171, 171, CDbl(0)))

' Calls a method by its name with the 16-bit variables n and r, passed by
' reference. (Wine's VBScript has no Eval, Execute or GetRef.)
Function CallPerCom(method)
    Select Case method
        Case "Factorial": CallPerCom = perCom.Factorial(n)
        Case "Combination": CallPerCom = perCom.Combination(n, r)
        Case "Permutation": CallPerCom = perCom.Permutation(n, r)
        Case Else: Err.Raise 438, "combinatorics.vbs", "no such method: " & method
    End Select
End Function

For Each c In cases
    n = CInt(c(1))
    If Not IsEmpty(c(2)) Then r = CInt(c(2))
    result = CallPerCom(c(0))
    CheckNoError c(0) & "(" & c(1) & ", " & c(2) & ") raises nothing"
    CheckEqual c(0) & "(" & c(1) & ", " & c(2) & ")", result, c(3)
    CheckEqual c(0) & " leaves n unchanged", n, CInt(c(1))
    If Not IsEmpty(c(2)) Then CheckEqual c(0) & " leaves r unchanged", r, CInt(c(2))
Next

' Literal arguments (no variable to refer to) are accepted too.
CheckEqual "Combination(30, 15) with literals", perCom.Combination(30, 15), CDbl(155117519.99999997)

Finish
