' The stand-in framework library from a VBScript session: creation by
' programmatic identifier and each member called by name.
On Error Resume Next

Dim environment, handler
Set environment = CreateObject("VxFundara10.clsVxfuEnvironmentA")
CheckNoError "create clsVxfuEnvironmentA"
environment.EnsureVxEnvironmentStatus True, 99
CheckNoError "EnsureVxEnvironmentStatus True, 99"
environment.EnsureVxEnvironmentStatus True, 99
CheckEqual "two environment calls logged", LoggedCalls("EnsureVxEnvironmentStatus"), 2

Set handler = CreateObject("VxFundara10.clsVxfuErrorHandlerA")
CheckNoError "create clsVxfuErrorHandlerA"
Err.Raise 1000, "ZizivaDav - Test", "A test report"
Dim reportedError
Set reportedError = Err
handler.ErrorHandlerMessageVx Nothing, reportedError, "", "basVxfuCommonA.Test_Pro", 0, "", 0
' Err still holds the raised error (the call succeeded and left it), so the
' report is checked through the log.
Err.Clear
CheckEqual "one report logged", LoggedCalls("ErrorHandlerMessageVx"), 1

' The About box reads Title, Major, Minor and Revision by name from the
' object it is given; a script class stands in for the library's App object.
Class FakeApp
    Public Title
    Public Major
    Public Minor
    Public Revision
End Class
Dim app, shown
Set app = New FakeApp
app.Title = "Demo"
app.Major = 2
app.Minor = 5
app.Revision = 90
CreateObject("VxFundara10.clsVxFundara10A").AppAboutVxfu app
CheckNoError "AppAboutVxfu with an App object"
shown = LoggedLines("AppAboutVxfu")
CheckEqual "About logged once", CInt(UBound(shown) + 1), 1
If UBound(shown) = 0 Then CheckEqual "About message", shown(0), "AppAboutVxfu | Demo 2.5.90"

CreateObject("VxFundara10.clsVxFundara10A").AppAboutVxfu
CheckError "AppAboutVxfu without its argument", 450, "Microsoft VBScript runtime error", _
    "Wrong number of arguments or invalid property assignment"

Finish
