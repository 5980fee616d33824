// clsVxNumsArraysA from a JScript session. JScript cannot build a SAFEARRAY,
// so it makes its arrays with CreateMatrix, passes them on as they are and
// reads results through VBArray.
var arrays = new ActiveXObject("Numoria10Arrays.clsVxNumsArraysA");

// An array's rows as text, "1 2; 3 4", after checking its lower bounds are 1.
function rowsText(safeArray) {
    var a = new VBArray(safeArray);
    if (a.dimensions() !== 2 || a.lbound(1) !== 1 || a.lbound(2) !== 1) return "not a 1-based 2-D array";
    var rows = [];
    for (var i = 1; i <= a.ubound(1); i++) {
        var row = [];
        for (var j = 1; j <= a.ubound(2); j++) row.push(String(a.getItem(i, j)));
        rows.push(row.join(" "));
    }
    return rows.join("; ");
}

var a23 = arrays.CreateMatrix(2, 3, 1, 2, 3, 4, 5, 6);
var a32 = arrays.CreateMatrix(3, 2, 1, 2, 3, 4, 5, 6);
var a22 = arrays.CreateMatrix(2, 2, 1, 2, 3, 4);
var b22 = arrays.CreateMatrix(2, 2, "5", 6, 7, 8);
var square3 = arrays.CreateMatrix(3, 3, 1, 2, 0, 0, 1, 0, 0, 0, 2);
var ones3 = arrays.CreateMatrix(3, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1);
var nine = arrays.CreateMatrix(3, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9);

var cases = [
    ["CreateMatrix(2, 3, 1 .. 4)", function () { return arrays.CreateMatrix(2, 3, 1, 2, 3, 4); }, "1 2 3; 4 0 0"],
    ["TransposeMatrix", function () { return arrays.TransposeMatrix(a23); }, "1 4; 2 5; 3 6"],
    ["ScaleMatrix", function () { return arrays.ScaleMatrix(a22, 0.5); }, "0.5 1; 1.5 2"],
    ["AddMatrix", function () { return arrays.AddMatrix(a22, b22); }, "6 8; 10 12"],
    ["SubMatrix", function () { return arrays.SubMatrix(b22, a22); }, "4 4; 4 4"],
    ["MultiplyMatrix", function () { return arrays.MultiplyMatrix(a22, b22); }, "19 22; 43 50"],
    ["MultiplyMatrix 3x2 by 2x3", function () { return arrays.MultiplyMatrix(a32, a23); }, "9 12 15; 19 26 33; 29 40 51"],
    ["InvertMatrix", function () { return arrays.InvertMatrix(square3); }, "1 -2 0; 0 1 0; 0 0 0.5"],
    ["InsertMatrix", function () { return arrays.InsertMatrix(ones3, a22, 2, 2); }, "1 1 1; 1 1 2; 1 3 4"],
    ["CombineMatrix", function () { return arrays.CombineMatrix(ones3, a22, 1, 1); }, "2 3 1; 4 5 1; 1 1 1"],
    ["SwapRow", function () { return arrays.SwapRow(a32, 1, 3); }, "5 6; 3 4; 1 2"],
    ["SwapCol", function () { return arrays.SwapCol(a32, 1, 2); }, "2 1; 4 3; 6 5"],
    ["SubMat", function () { return arrays.SubMat(nine, 3, 1); }, "2 3; 5 6"]
];
for (var k = 0; k < cases.length; k++) {
    var text;
    try {
        text = rowsText(cases[k][1]());
    } catch (e) {
        text = "error " + (e.number & 0xFFFF) + ": " + e.description;
    }
    checkEqual(cases[k][0], text, cases[k][2]);
}
checkEqual("Determinant", arrays.Determinant(square3), 2);
checkEqual("Determinant of a product", arrays.Determinant(arrays.MultiplyMatrix(a22, b22)), 4);

var matrixErrors = [
    ["AddMatrix", function () { return arrays.AddMatrix(a23, a32); }, "Cannot add matrices of different dimentions!"],
    ["SubMatrix", function () { return arrays.SubMatrix(a23, a22); }, "Cannot subtract matrices of different dimentions!"],
    ["MultiplyMatrix", function () { return arrays.MultiplyMatrix(a23, a23); }, "Matrices not compatable for multiplication!"],
    ["Determinant", function () { return arrays.Determinant(a23); }, "Cannot calculate Determinant of non-square matrix!"],
    ["InvertMatrix", function () { return arrays.InvertMatrix(a32); }, "Cannot invert a non-square matrix!"],
    ["CreateMatrix", function () { return arrays.CreateMatrix(5, 0); }, "Cannot create matrix with dimention = 0!"]
];
for (var k = 0; k < matrixErrors.length; k++)
    checkError(matrixErrors[k][0] + " error", matrixErrors[k][1], 1000, matrixErrors[k][2]);
checkError("a string that does not convert", function () { return arrays.CreateMatrix(1, 1, "x"); }, 13, "Type mismatch");
checkError("a number for an array", function () { return arrays.Determinant(5); }, 13, "Type mismatch");
checkError("null for an array", function () { return arrays.Determinant(null); }, 94, "Invalid use of Null");
checkError("a JScript array", function () { return arrays.Determinant([[1, 2], [3, 4]]); }, 13, "Type mismatch");
checkError("SwapCol past the last column", function () { return arrays.SwapCol(a22, 1, 3); }, 9, "Subscript out of range");
finish();
