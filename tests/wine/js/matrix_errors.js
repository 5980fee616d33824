// The matrix class from a JScript session: scripts cannot hold a Matrix
// record, so they reach its errors and no result.
var mx = new ActiveXObject("Numoria10.clsVxNumsMatrixA");
var dimension = "Cannot create matrix with dimention = 0!";
checkError("CreateMatrix(0, 5)", function () { return mx.CreateMatrix(0, 5); }, 1000, dimension);
checkError("CreateMatrix(5, 0, 1, 2)", function () { return mx.CreateMatrix(5, 0, 1, 2); }, 1000, dimension);
checkError("CreateMatrix(-1, 2)", function () { return mx.CreateMatrix(-1, 2); }, 9, "Subscript out of range");
checkError("CreateMatrix(1, 1, \"x\")", function () { return mx.CreateMatrix(1, 1, "x"); }, 13, "Type mismatch");
checkError("CreateMatrix(1, 1, null)", function () { return mx.CreateMatrix(1, 1, null); }, 94, "Invalid use of Null");
// A number where a record is expected is refused by the dispatch rules.
checkStatus("Determinant(5)", function () { return mx.Determinant(5); }, 0x80020005);
// A record result is made, but JScript cannot use it: reading the value
// fails in the script engine, and the library goes on answering.
var failed = false;
try {
    var record = mx.CreateMatrix(2, 2, 1, 2, 3, 4);
    var kind = typeof record;
} catch (e) {
    failed = true;
}
checkEqual("a record cannot be used by JScript", failed, true);
checkError("and raises its errors", function () { return mx.CreateMatrix(0, 0); }, 1000, dimension);
finish();
