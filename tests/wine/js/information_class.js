// The library information class from a JScript session: the App object's
// properties by name, About through the framework, the resource loaders'
// errors, BuddyObjectGlobal shared by two instances, and what JScript cannot
// take (a Byte() array).
var info = new ActiveXObject("Numoria10.clsVxNumoria10A");
var app = info.GetProStdProperties;
checkEqual("EXEName", app.EXEName, "numori10");
checkEqual("Major", app.Major, 1);
checkEqual("Minor", app.Minor, 0);
checkEqual("Revision", app.Revision, 90);
checkEqual("Title is the product name", app.Title, app.ProductName);
checkEqual("the library's folder holds it",
    new ActiveXObject("Scripting.FileSystemObject").FileExists(app.Path + "\\numori10.dll"), true);
checkEqual("About returns 0", info.About(), 0);
checkEqual("About reaches the framework once", loggedCalls("AppAboutVxfu"), 1);

checkError("GetProResStrings(1)", function () { return info.GetProResStrings(1); }, 326,
    "Resource with identifier '1' not found");
checkError("GetProResPicture(1, 40000)", function () { return info.GetProResPicture(1, 40000); }, 6, "Overflow");
checkError("GetProResPicture(1, 3)", function () { return info.GetProResPicture(1, 3); }, 5,
    "Invalid procedure call or argument");
checkError("GetProResData(7, \"TYPELIB\")", function () { return info.GetProResData(7, "TYPELIB"); }, 326,
    "Resource with identifier '7' not found");
// A property read as a statement is a method call by the dispatch rules:
// JScript asks for DISPATCH_METHOD alone when it drops the value.
checkStatus("GetProResStrings(1) as a statement", function () { info.GetProResStrings(1); }, 0x80020003);

var shared = new ActiveXObject("Scripting.Dictionary");
info.BuddyObjectGlobal = shared;
var other = new ActiveXObject("Numoria10.clsVxNumoria10A");
shared.Add("seen", 1);
checkEqual("a second instance sees the shared object", other.BuddyObjectGlobal.Exists("seen"), true);
info.BuddyObjectGlobal = new ActiveXObject("Scripting.Dictionary");
checkEqual("replaced for every instance", other.BuddyObjectGlobal.Exists("seen"), false);
finish();
