' clsVxNumsConversionsA called by name from a VBScript session: each reader
' and writer on its documented edge cases, and round trips.
On Error Resume Next

Dim conversions, argument, cases, c, result
Set conversions = CreateObject("Numoria10.clsVxNumsConversionsA")
CheckNoError "create clsVxNumsConversionsA"

Dim minLong
minLong = CLng(-2147483647) - 1

' Method, argument, expected result (its subtype included).
cases = Array( _
    Array("DecimalToBinary", CLng(5), "101"), _
    Array("DecimalToBinary", CLng(1), "1"), _
    Array("DecimalToBinary", CLng(2), "10"), _
    Array("DecimalToBinary", CLng(255), "11111111"), _
    Array("DecimalToBinary", CLng(1073741824), "1" & String(30, "0")), _
    Array("DecimalToBinary", CLng(2147483646), String(30, "1") & "0"), _
    Array("DecimalToBinary", CLng(0), ""), _
    Array("DecimalToBinary", CLng(-1), ""), _
    Array("DecimalToBinary", CLng(-2), "0"), _
    Array("DecimalToBinary", minLong, "0"), _
    Array("BinaryToDecimal", "", CLng(0)), _
    Array("BinaryToDecimal", "0", CLng(0)), _
    Array("BinaryToDecimal", "abc", CLng(0)), _
    Array("BinaryToDecimal", "101", CLng(5)), _
    Array("BinaryToDecimal", "0101", CLng(5)), _
    Array("BinaryToDecimal", "12", CLng(2)), _
    Array("BinaryToDecimal", "1 1", CLng(5)), _
    Array("BinaryToDecimal", String(31, "1"), CLng(2147483647)), _
    Array("BinaryToDecimal", "1" & String(30, "0"), CLng(1073741824)), _
    Array("BinaryToDecimal", String(32, "0"), CLng(0)), _
    Array("BinaryToDecimal", "1" & String(31, "0"), CLng(0)), _
    Array("HexToDecimal", "FF", CLng(255)), _
    Array("HexToDecimal", "ff", CLng(799)), _
    Array("HexToDecimal", "G", CLng(16)), _
    Array("HexToDecimal", "10", CLng(16)), _
    Array("HexToDecimal", "0x10", CLng(16656)), _
    Array("HexToDecimal", "-1", CLng(0)), _
    Array("HexToDecimal", " 1", CLng(0)), _
    Array("HexToDecimal", "7FFFFFFF", CLng(2147483647)), _
    Array("HexToDecimal", "80000000", CLng(0)), _
    Array("HexToDecimal", "FFFFFFFF", CLng(0)), _
    Array("HexToDecimal", "", CLng(0)), _
    Array("OctalToDecimal", "17", CLng(15)), _
    Array("OctalToDecimal", "777", CLng(511)), _
    Array("OctalToDecimal", "8", CLng(8)), _
    Array("OctalToDecimal", "19", CLng(17)), _
    Array("OctalToDecimal", "7a", CLng(0)), _
    Array("OctalToDecimal", "17777777777", CLng(2147483647)), _
    Array("OctalToDecimal", "37777777777", CLng(0)), _
    Array("DecimalToHex", CLng(0), "0"), _
    Array("DecimalToHex", CLng(255), "FF"), _
    Array("DecimalToHex", CLng(2147483647), "7FFFFFFF"), _
    Array("DecimalToHex", CLng(-1), "FFFFFFFF"), _
    Array("DecimalToHex", minLong, "80000000"), _
    Array("DecimalToOctal", CLng(0), "0"), _
    Array("DecimalToOctal", CLng(8), "10"), _
    Array("DecimalToOctal", CLng(2147483647), "17777777777"), _
    Array("DecimalToOctal", CLng(-1), "37777777777"), _
    Array("DecimalToOctal", minLong, "20000000000"))

' Calls a conversion by its name. (Wine's VBScript has no Eval, Execute or
' GetRef, so the name is mapped to the call here.)
Function CallConversion(method, value)
    Select Case method
        Case "DecimalToBinary": CallConversion = conversions.DecimalToBinary(value)
        Case "BinaryToDecimal": CallConversion = conversions.BinaryToDecimal(value)
        Case "DecimalToHex": CallConversion = conversions.DecimalToHex(value)
        Case "HexToDecimal": CallConversion = conversions.HexToDecimal(value)
        Case "DecimalToOctal": CallConversion = conversions.DecimalToOctal(value)
        Case "OctalToDecimal": CallConversion = conversions.OctalToDecimal(value)
        Case Else: Err.Raise 438, "conversions.vbs", "no such conversion: " & method
    End Select
End Function

For Each c In cases
    result = CallConversion(c(0), c(1))
    CheckNoError c(0) & "(" & c(1) & ") raises nothing"
    CheckEqual c(0) & "(" & c(1) & ")", result, c(2)
Next

' A 16-bit literal is accepted for the 32-bit parameter.
CheckEqual "DecimalToBinary(5) with an Integer literal", conversions.DecimalToBinary(5), "101"

' Each writer's numeral reads back through the matching reader.
Dim pairs, pair, values, v
pairs = Array(Array("DecimalToBinary", "BinaryToDecimal"), _
              Array("DecimalToHex", "HexToDecimal"), _
              Array("DecimalToOctal", "OctalToDecimal"))
values = Array(CLng(1), CLng(2), CLng(7), CLng(100), CLng(65535), CLng(123456789), CLng(2147483646))
For Each pair In pairs
    For Each v In values
        argument = CallConversion(pair(0), v)
        CheckEqual pair(1) & "(" & pair(0) & "(" & v & "))", CallConversion(pair(1), argument), v
    Next
Next

Finish
