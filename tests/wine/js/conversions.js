// The number-base conversions from a JScript session: results with their
// types, the documented fallbacks and numeric quirks.
var cv = new ActiveXObject("Numoria10.clsVxNumsConversionsA");
var cases = [
    ["DecimalToBinary(37)", function () { return cv.DecimalToBinary(37); }, "100101"],
    ["DecimalToBinary(2147483647) is thirty-one 1s", function () { return cv.DecimalToBinary(2147483647); },
        new Array(32).join("1")],
    ["DecimalToBinary(-1)", function () { return cv.DecimalToBinary(-1); }, ""],
    ["DecimalToBinary(-2)", function () { return cv.DecimalToBinary(-2); }, "0"],
    ["BinaryToDecimal(\"100101\")", function () { return cv.BinaryToDecimal("100101"); }, 37],
    ["DecimalToHex(255)", function () { return cv.DecimalToHex(255); }, "FF"],
    ["DecimalToHex(-1)", function () { return cv.DecimalToHex(-1); }, "FFFFFFFF"],
    ["HexToDecimal(\"7FFFFFFF\")", function () { return cv.HexToDecimal("7FFFFFFF"); }, 2147483647],
    ["HexToDecimal(\"ff\") weighs lower case by character code", function () { return cv.HexToDecimal("ff"); }, 799],
    ["HexToDecimal of an overflow", function () { return cv.HexToDecimal("1FFFFFFFF"); }, 0],
    ["DecimalToOctal(-1)", function () { return cv.DecimalToOctal(-1); }, "37777777777"],
    ["OctalToDecimal(\"777\")", function () { return cv.OctalToDecimal("777"); }, 511],
    ["OctalToDecimal of a non-digit", function () { return cv.OctalToDecimal("7a"); }, 0]
];
for (var i = 0; i < cases.length; i++) checkEqual(cases[i][0], cases[i][1](), cases[i][2]);
finish();
