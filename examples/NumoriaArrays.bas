Attribute VB_Name = "NumoriaArrays"
' Worksheet functions over numori10arrays.dll for VBA workbooks: each takes
' ranges (or arrays), hands their values to Numoria10Arrays.clsVxNumsArraysA
' and returns its result, or a cell error value when the library raises an
' error. Import this module into a workbook (File > Import File) and enter,
' for example, =NumInvert(A1:C3) as an array formula over a 3 x 3 range. A
' worksheet holds its matrices in ranges, so CreateMatrix, which builds one
' from a list of values, has no wrapper here.
'
' Not run here: no spreadsheet program is available on the machines that
' build the library. The same calls are tested from VBScript, JScript and
' C++ (README.md).
Option Explicit

Private library As Object

Private Function Arrays() As Object
    If library Is Nothing Then Set library = CreateObject("Numoria10Arrays.clsVxNumsArraysA")
    Set Arrays = library
End Function

' The values of a range, a single cell as a 1 x 1 array; an array as it is.
Private Function ValuesOf(ByVal source As Variant) As Variant
    Dim single(1 To 1, 1 To 1) As Variant
    If IsObject(source) Then source = source.Value2
    If IsArray(source) Then
        ValuesOf = source
    Else
        single(1, 1) = source
        ValuesOf = single
    End If
End Function

' The cell error value that stands for the library's error number.
Private Function CellError(ByVal number As Long) As Variant
    Select Case number
        Case 9: CellError = CVErr(xlErrRef)          ' a position outside the array
        Case 11: CellError = CVErr(xlErrDiv0)        ' division by zero
        Case 6, 1000: CellError = CVErr(xlErrNum)    ' overflow; sizes that do not fit
        Case 5, 13, 94: CellError = CVErr(xlErrValue) ' not a numeric array, empty, Null
        Case Else: CellError = CVErr(xlErrNA)
    End Select
End Function

Public Function NumTranspose(ByVal matrix As Variant) As Variant
    On Error GoTo Failed
    NumTranspose = Arrays.TransposeMatrix(ValuesOf(matrix))
    Exit Function
Failed:
    NumTranspose = CellError(Err.Number)
End Function

Public Function NumScale(ByVal matrix As Variant, ByVal multiplier As Double) As Variant
    On Error GoTo Failed
    NumScale = Arrays.ScaleMatrix(ValuesOf(matrix), multiplier)
    Exit Function
Failed:
    NumScale = CellError(Err.Number)
End Function

Public Function NumAdd(ByVal first As Variant, ByVal second As Variant) As Variant
    On Error GoTo Failed
    NumAdd = Arrays.AddMatrix(ValuesOf(first), ValuesOf(second))
    Exit Function
Failed:
    NumAdd = CellError(Err.Number)
End Function

Public Function NumSubtract(ByVal first As Variant, ByVal second As Variant) As Variant
    On Error GoTo Failed
    NumSubtract = Arrays.SubMatrix(ValuesOf(first), ValuesOf(second))
    Exit Function
Failed:
    NumSubtract = CellError(Err.Number)
End Function

Public Function NumMultiply(ByVal left As Variant, ByVal right As Variant) As Variant
    On Error GoTo Failed
    NumMultiply = Arrays.MultiplyMatrix(ValuesOf(left), ValuesOf(right))
    Exit Function
Failed:
    NumMultiply = CellError(Err.Number)
End Function

Public Function NumDeterminant(ByVal matrix As Variant) As Variant
    On Error GoTo Failed
    NumDeterminant = Arrays.Determinant(ValuesOf(matrix))
    Exit Function
Failed:
    NumDeterminant = CellError(Err.Number)
End Function

Public Function NumInvert(ByVal matrix As Variant) As Variant
    On Error GoTo Failed
    NumInvert = Arrays.InvertMatrix(ValuesOf(matrix))
    Exit Function
Failed:
    NumInvert = CellError(Err.Number)
End Function

Public Function NumInsert(ByVal destination As Variant, ByVal block As Variant, ByVal row As Integer, ByVal column As Integer) As Variant
    On Error GoTo Failed
    NumInsert = Arrays.InsertMatrix(ValuesOf(destination), ValuesOf(block), row, column)
    Exit Function
Failed:
    NumInsert = CellError(Err.Number)
End Function

Public Function NumCombine(ByVal destination As Variant, ByVal block As Variant, ByVal row As Integer, ByVal column As Integer) As Variant
    On Error GoTo Failed
    NumCombine = Arrays.CombineMatrix(ValuesOf(destination), ValuesOf(block), row, column)
    Exit Function
Failed:
    NumCombine = CellError(Err.Number)
End Function

Public Function NumSwapRows(ByVal matrix As Variant, ByVal rowA As Integer, ByVal rowB As Integer) As Variant
    On Error GoTo Failed
    NumSwapRows = Arrays.SwapRow(ValuesOf(matrix), rowA, rowB)
    Exit Function
Failed:
    NumSwapRows = CellError(Err.Number)
End Function

Public Function NumSwapColumns(ByVal matrix As Variant, ByVal columnA As Integer, ByVal columnB As Integer) As Variant
    On Error GoTo Failed
    NumSwapColumns = Arrays.SwapCol(ValuesOf(matrix), columnA, columnB)
    Exit Function
Failed:
    NumSwapColumns = CellError(Err.Number)
End Function

Public Function NumMinor(ByVal matrix As Variant, ByVal row As Integer, ByVal column As Integer) As Variant
    On Error GoTo Failed
    NumMinor = Arrays.SubMat(ValuesOf(matrix), row, column)
    Exit Function
Failed:
    NumMinor = CellError(Err.Number)
End Function
