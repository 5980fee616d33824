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
    Dim cell(1 To 1, 1 To 1) As Variant
    If IsObject(source) Then source = source.Value2
    If IsArray(source) Then
        ValuesOf = source
    Else
        cell(1, 1) = source
        ValuesOf = cell
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

' The library's method `name` on the arguments, or the cell error value of
' the error it raises.
Private Function Called(ByVal name As String, ParamArray arguments() As Variant) As Variant
    On Error GoTo Failed
    Select Case UBound(arguments)
        Case 0: Called = CallByName(Arrays, name, VbMethod, arguments(0))
        Case 1: Called = CallByName(Arrays, name, VbMethod, arguments(0), arguments(1))
        Case 2: Called = CallByName(Arrays, name, VbMethod, arguments(0), arguments(1), arguments(2))
        Case 3: Called = CallByName(Arrays, name, VbMethod, arguments(0), arguments(1), arguments(2), arguments(3))
    End Select
    Exit Function
Failed:
    Called = CellError(Err.Number)
End Function

Public Function NumTranspose(ByVal matrix As Variant) As Variant
    NumTranspose = Called("TransposeMatrix", ValuesOf(matrix))
End Function

Public Function NumScale(ByVal matrix As Variant, ByVal multiplier As Double) As Variant
    NumScale = Called("ScaleMatrix", ValuesOf(matrix), multiplier)
End Function

Public Function NumAdd(ByVal first As Variant, ByVal second As Variant) As Variant
    NumAdd = Called("AddMatrix", ValuesOf(first), ValuesOf(second))
End Function

Public Function NumSubtract(ByVal first As Variant, ByVal second As Variant) As Variant
    NumSubtract = Called("SubMatrix", ValuesOf(first), ValuesOf(second))
End Function

Public Function NumMultiply(ByVal factor1 As Variant, ByVal factor2 As Variant) As Variant
    NumMultiply = Called("MultiplyMatrix", ValuesOf(factor1), ValuesOf(factor2))
End Function

Public Function NumDeterminant(ByVal matrix As Variant) As Variant
    NumDeterminant = Called("Determinant", ValuesOf(matrix))
End Function

Public Function NumInvert(ByVal matrix As Variant) As Variant
    NumInvert = Called("InvertMatrix", ValuesOf(matrix))
End Function

Public Function NumInsert(ByVal destination As Variant, ByVal block As Variant, ByVal row As Integer, ByVal column As Integer) As Variant
    NumInsert = Called("InsertMatrix", ValuesOf(destination), ValuesOf(block), row, column)
End Function

Public Function NumCombine(ByVal destination As Variant, ByVal block As Variant, ByVal row As Integer, ByVal column As Integer) As Variant
    NumCombine = Called("CombineMatrix", ValuesOf(destination), ValuesOf(block), row, column)
End Function

Public Function NumSwapRows(ByVal matrix As Variant, ByVal rowA As Integer, ByVal rowB As Integer) As Variant
    NumSwapRows = Called("SwapRow", ValuesOf(matrix), rowA, rowB)
End Function

Public Function NumSwapColumns(ByVal matrix As Variant, ByVal columnA As Integer, ByVal columnB As Integer) As Variant
    NumSwapColumns = Called("SwapCol", ValuesOf(matrix), columnA, columnB)
End Function

Public Function NumMinor(ByVal matrix As Variant, ByVal row As Integer, ByVal column As Integer) As Variant
    NumMinor = Called("SubMat", ValuesOf(matrix), row, column)
End Function
