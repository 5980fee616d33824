' clsVxNumsArraysA from a VBScript session: every operation on script
' arrays (lower bounds 0) and on its own results (lower bounds 1), strings
' that convert and that do not, objects standing for arrays, and the errors.
On Error Resume Next

Dim arrays
Set arrays = CreateObject("Numoria10Arrays.clsVxNumsArraysA")
CheckNoError "create clsVxNumsArraysA"

' A script array (bounds from 0) from its rows.
Function FromRows(rows)
    Dim a, i, j
    ReDim a(UBound(rows), UBound(rows(0)))
    For i = 0 To UBound(rows)
        For j = 0 To UBound(rows(0))
            a(i, j) = rows(i)(j)
        Next
    Next
    FromRows = a
End Function

' An array's rows as text, "1 2; 3 4", after checking its lower bounds are 1
' and every element is a Double.
Function RowsText(a)
    Dim i, j, text
    If LBound(a, 1) <> 1 Or LBound(a, 2) <> 1 Then
        RowsText = "lower bounds " & LBound(a, 1) & ", " & LBound(a, 2)
        Exit Function
    End If
    For i = 1 To UBound(a, 1)
        If i > 1 Then text = text & "; "
        For j = 1 To UBound(a, 2)
            If j > 1 Then text = text & " "
            If VarType(a(i, j)) <> vbDouble Then text = text & "(" & TypeName(a(i, j)) & ")"
            text = text & CStr(a(i, j))
        Next
    Next
    RowsText = text
End Function

Dim a23, a32, a22, b22, square3, ones3, zeros4
a23 = FromRows(Array(Array(1, 2, 3), Array(4, 5, 6)))
a32 = FromRows(Array(Array(1, 2), Array(3, 4), Array(5, 6)))
a22 = FromRows(Array(Array(1, 2), Array(3, 4)))
b22 = FromRows(Array(Array(5, 6), Array(7, 8)))
square3 = FromRows(Array(Array(1, 2, 0), Array(0, 1, 0), Array(0, 0, 2)))
ones3 = FromRows(Array(Array(1, 1, 1), Array(1, 1, 1), Array(1, 1, 1)))
zeros4 = arrays.CreateMatrix(4, 4)

' Operation, result as rows text.
Dim cases, c, result
cases = Array( _
    Array("CreateMatrix(2, 3, 1 .. 4)", arrays.CreateMatrix(2, 3, 1, 2, 3, 4), "1 2 3; 4 0 0"), _
    Array("CreateMatrix(1, 1, ""7"")", arrays.CreateMatrix(1, 1, "7"), "7"), _
    Array("TransposeMatrix", arrays.TransposeMatrix(a23), "1 4; 2 5; 3 6"), _
    Array("TransposeMatrix of a result", arrays.TransposeMatrix(arrays.TransposeMatrix(a23)), "1 2 3; 4 5 6"), _
    Array("ScaleMatrix", arrays.ScaleMatrix(a22, -1), "-1 -2; -3 -4"), _
    Array("AddMatrix", arrays.AddMatrix(a22, b22), "6 8; 10 12"), _
    Array("SubMatrix", arrays.SubMatrix(a22, b22), "-4 -4; -4 -4"), _
    Array("MultiplyMatrix", arrays.MultiplyMatrix(a22, b22), "19 22; 43 50"), _
    Array("MultiplyMatrix 2x3 by 3x2", arrays.MultiplyMatrix(a23, a32), "22 28; 49 64"), _
    Array("InvertMatrix", arrays.InvertMatrix(square3), "1 -2 0; 0 1 0; 0 0 0.5"), _
    Array("InsertMatrix", arrays.InsertMatrix(zeros4, a22, 2, 3), "0 0 0 0; 0 0 1 2; 0 0 3 4; 0 0 0 0"), _
    Array("CombineMatrix", arrays.CombineMatrix(ones3, a22, 1, 1), "2 3 1; 4 5 1; 1 1 1"), _
    Array("SwapRow", arrays.SwapRow(a23, 1, 2), "4 5 6; 1 2 3"), _
    Array("SwapCol", arrays.SwapCol(a23, 1, 3), "3 2 1; 6 5 4"), _
    Array("SubMat", arrays.SubMat(FromRows(Array(Array(1, 2, 3), Array(4, 5, 6), Array(7, 8, 9))), 2, 2), "1 3; 7 9"))
CheckNoError "the operations"
For Each c In cases
    CheckEqual c(0), RowsText(c(1)), c(2)
Next

CheckEqual "Determinant", arrays.Determinant(a22), CDbl(-2)
CheckEqual "Determinant with a repair step", _
    arrays.Determinant(FromRows(Array(Array(1, -1, 3), Array(1, -1, 0), Array(-1, 2, 1)))), CDbl(3)
' Strings convert in the user's locale; Empty and Booleans as the runtime converts them.
CheckEqual "strings, Empty and True", _
    RowsText(arrays.ScaleMatrix(FromRows(Array(Array("2.5", Empty), Array(True, " 4 "))), 2)), "5 0; -2 8"
CheckNoError "the scalar results"

' Objects standing for arrays: a default property, and a property named Value.
Class DefaultHolder
    Public Items
    Public Default Property Get Item()
        Item = Items
    End Property
End Class
Class ValueHolder
    Public Items
    Public Property Get Value()
        Value = Items
    End Property
End Class
Dim byDefault, byValue
Set byDefault = New DefaultHolder
byDefault.Items = a22
Set byValue = New ValueHolder
byValue.Items = b22
CheckEqual "an object with a default property", RowsText(arrays.ScaleMatrix(byDefault, 1)), "1 2; 3 4"
CheckNoError "an object with a default property"
CheckEqual "an object with a Value property", RowsText(arrays.ScaleMatrix(byValue, 1)), "5 6; 7 8"
CheckNoError "an object with a Value property"

' Errors: the record operations' own, and those of arrays.
Const Matrix = 1000
Dim lib
lib = "Numoria10"
arrays.AddMatrix a23, a32
CheckError "AddMatrix of different sizes", Matrix, "ZizivaDav - AddMatrix", "Cannot add matrices of different dimentions!"
arrays.MultiplyMatrix a23, a23
CheckError "MultiplyMatrix incompatible", Matrix, "ZizivaDav - MultiplyMatrix", "Matrices not compatable for multiplication!"
arrays.Determinant a23
CheckError "Determinant of a non-square array", Matrix, "ZizivaDav - Determinant", "Cannot calculate Determinant of non-square matrix!"
arrays.InvertMatrix FromRows(Array(Array(1, 2), Array(2, 4)))
CheckError "InvertMatrix singular", Matrix, "ZizivaDav - InvertMatrix", "Cannot invert matrix with Determinant = 0!"
arrays.InvertMatrix FromRows(Array(Array(0)))
CheckError "InvertMatrix of 0", 11, lib, "Division by zero"
arrays.CreateMatrix 0, 5
CheckError "CreateMatrix(0, 5)", Matrix, "ZizivaDav - CreateMatrix", "Cannot create matrix with dimention = 0!"
arrays.SubMat FromRows(Array(Array(1, 2, 3))), 1, 1
CheckError "SubMat of one row", Matrix, "ZizivaDav - CreateMatrix", "Cannot create matrix with dimention = 0!"
arrays.SwapRow a23, 1, 3
CheckError "SwapRow past the last row", 9, lib, "Subscript out of range"
arrays.InsertMatrix zeros4, a22, 4, 1
CheckError "InsertMatrix past the last row", 9, lib, "Subscript out of range"
arrays.ScaleMatrix FromRows(Array(Array(1E308))), 10
CheckError "ScaleMatrix overflow", 6, lib, "Overflow"
arrays.Determinant FromRows(Array(Array("abc")))
CheckError "a string that does not convert", 13, lib, "Type mismatch"
arrays.Determinant FromRows(Array(Array(Null)))
CheckError "a Null element", 94, lib, "Invalid use of Null"
arrays.Determinant Array(1, 2)
CheckError "a one-dimensional array", 13, lib, "Type mismatch"
arrays.Determinant Null
CheckError "Null", 94, lib, "Invalid use of Null"
arrays.Determinant Empty
CheckError "Empty", 13, lib, "Type mismatch"
arrays.Determinant 5
CheckError "a number", 13, lib, "Type mismatch"
Dim nested(0, 0)
Set nested(0, 0) = byValue
arrays.Determinant nested
CheckError "an object element", 13, lib, "Type mismatch"
Dim wide
ReDim wide(0, 32767)
arrays.TransposeMatrix wide
CheckError "32768 columns", 6, lib, "The array has more than 32767 rows or columns"
Dim cube(1, 1, 1)
arrays.Determinant cube
CheckError "a three-dimensional array", 13, lib, "Type mismatch"
arrays.Determinant a22
CheckNoError "answers after the errors"

Finish
