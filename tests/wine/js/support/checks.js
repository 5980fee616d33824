// Check helpers shared by the JScript sessions (run-vbs.sh puts this file in
// front of each script). Each check prints a line only when it fails;
// finish() prints "N passed, N failed" and quits with 1 on any failure.
var passedCount = 0, failedCount = 0;

function recordCheck(ok, label, detail) {
    if (ok) {
        passedCount++;
    } else {
        failedCount++;
        WScript.Echo("FAILED: " + label + " " + detail);
    }
}

// Compares value and type (a number must not come back as a string).
function checkEqual(label, actual, expected) {
    recordCheck(typeof actual === typeof expected && actual === expected, label,
        "got " + typeof actual + " " + actual + ", expected " + typeof expected + " " + expected);
}

// Runs call and checks the automation error it raises: 0x800A0000 plus
// number, with this description (JScript's Error object has no source).
function checkError(label, call, number, description) {
    try {
        call();
        recordCheck(false, label, "raised no error");
    } catch (e) {
        var status = e.number >>> 0;
        recordCheck(status === 0x800A0000 + number && e.description === description, label,
            "got 0x" + status.toString(16) + " / " + e.description + ", expected error " + number + " / " + description);
    }
}

// Runs call and checks that it fails with this status (a dispatch status,
// not an automation error).
function checkStatus(label, call, status) {
    try {
        call();
        recordCheck(false, label, "raised no error");
    } catch (e) {
        recordCheck((e.number >>> 0) === status, label,
            "got 0x" + (e.number >>> 0).toString(16) + ", expected 0x" + status.toString(16));
    }
}

// The number of lines of the stand-in's log whose first field is callName.
function loggedCalls(callName) {
    var fso = new ActiveXObject("Scripting.FileSystemObject");
    var path = new ActiveXObject("WScript.Shell").Environment("PROCESS")("NUMORIA_STANDIN_LOG");
    var count = 0;
    if (!fso.FileExists(path)) return 0;
    var file = fso.OpenTextFile(path, 1);
    while (!file.AtEndOfStream) {
        var line = file.ReadLine();
        if (line === callName || line.indexOf(callName + " | ") === 0) count++;
    }
    file.Close();
    return count;
}

function finish() {
    WScript.Echo(passedCount + " passed, " + failedCount + " failed");
    WScript.Quit(failedCount > 0 ? 1 : 0);
}
