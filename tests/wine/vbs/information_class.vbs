' The library information class from a VBScript session: the App object's
' properties by name, the resource loaders and their errors, About through
' the framework, and BuddyObjectGlobal shared by two instances.
On Error Resume Next

Dim info, app
Set info = CreateObject("Numoria10.clsVxNumoria10A")
CheckNoError "create clsVxNumoria10A"
Set app = info.GetProStdProperties
CheckNoError "GetProStdProperties"
CheckEqual "EXEName", app.EXEName, "numori10"
CheckEqual "HelpFile", app.HelpFile, ""
CheckEqual "Major", app.Major, CInt(1)
CheckEqual "Minor", app.Minor, CInt(0)
CheckEqual "Revision", app.Revision, CInt(90)
CheckEqual "Title is the product name", app.Title, app.ProductName
CheckEqual "Path is the DLL's folder", _
    CreateObject("Scripting.FileSystemObject").FileExists(app.Path & "\numori10.dll"), True
CheckEqual "Comments describe the library", InStr(app.Comments, "arithmetic classes") > 0, True
CheckNoError "App properties"
CheckEqual "one App object per thread", app Is info.GetProStdProperties, True

Dim typeLibrary
typeLibrary = info.GetProResData(1, "TYPELIB")
CheckNoError "GetProResData(1, ""TYPELIB"")"
CheckEqual "type library is a byte array", VarType(typeLibrary), vbArray + vbByte
' Wine's VBScript cannot index or measure a Byte() array; converted to a
' string it holds two bytes per character (the client tests compare bytes).
CheckEqual "type library size", CLng(Len(CStr(typeLibrary)) * 2), _
    CLng(CreateObject("Scripting.FileSystemObject").GetFile(app.Path & "\numori10.tlb").Size)
CheckNoError "type library checks"

Dim text, picture, missing
text = info.GetProResStrings(1)
CheckError "GetProResStrings(1)", 326, "Numoria10", "Resource with identifier '1' not found"
Set picture = info.GetProResPicture(1, 0)
CheckError "GetProResPicture(1, 0)", 326, "Numoria10", "Resource with identifier '1' not found"
Set picture = info.GetProResPicture(1, 40000)
CheckError "GetProResPicture(1, 40000)", 6, "Numoria10", "Overflow"
missing = info.GetProResData(5, "TYPELIB")
CheckError "GetProResData(5, ""TYPELIB"")", 326, "Numoria10", "Resource with identifier '5' not found"

Dim aboutBefore, aboutResult
aboutBefore = LoggedCalls("AppAboutVxfu")
aboutResult = info.About
CheckNoError "About"
CheckEqual "About returns 0", aboutResult, CLng(0)
CheckEqual "About reaches the framework once", LoggedCalls("AppAboutVxfu"), aboutBefore + 1

' BuddyObjectGlobal: stored through one instance, read through another.
Dim second, shared, stored
Set shared = CreateObject("Scripting.Dictionary")
shared.Add "owner", "first instance"
CheckEqual "nothing held at first", info.BuddyObjectGlobal Is Nothing, True
Set info.BuddyObjectGlobal = shared
CheckNoError "Set BuddyObjectGlobal"
Set info = Nothing
Set second = CreateObject("Numoria10.clsVxNumoria10A")
Set stored = second.BuddyObjectGlobal
CheckEqual "second instance reads the same object", stored Is shared, True
CheckEqual "stored object is intact", stored("owner"), "first instance"
Set second.BuddyObjectGlobal = Nothing
CheckEqual "setting Nothing empties it", second.BuddyObjectGlobal Is Nothing, True
CheckNoError "BuddyObjectGlobal"

Finish
