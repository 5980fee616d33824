// Factorials, permutations and combinations from a JScript session: JScript
// numbers go to the 16-bit by-reference parameters, doubles come back.
var pc = new ActiveXObject("Numoria10.clsVxNumsPerComA");
var cases = [
    ["Combination(52, 5)", function () { return pc.Combination(52, 5); }, 2598960],
    ["Combination(30, 15) is the unrounded quotient", function () { return pc.Combination(30, 15); }, 155117519.99999997],
    ["Combination(170, 2) is the unrounded quotient", function () { return pc.Combination(170, 2); }, 14364.999999999998],
    ["Combination(5, 6) with r above n", function () { return pc.Combination(5, 6); }, 0],
    ["Permutation(5, 2)", function () { return pc.Permutation(5, 2); }, 20],
    ["Permutation(0, 1) with n below 1", function () { return pc.Permutation(0, 1); }, 0],
    ["Factorial(10)", function () { return pc.Factorial(10); }, 3628800],
    ["Factorial(171) past 170!", function () { return pc.Factorial(171); }, 0],
    ["Factorial(-3)", function () { return pc.Factorial(-3); }, 1]
];
for (var i = 0; i < cases.length; i++) checkEqual(cases[i][0], cases[i][1](), cases[i][2]);
finish();
