' Creating the library's classes from a VBScript session: one environment
' call per creation, the member-less classes, the About box through the
' framework, and a matrix error seen through Err.
On Error Resume Next

Dim progIds, progId, created, createdCount
progIds = Array("Numoria10.clsVxNumoria10A", "Numoria10.clsVxNumsGeneralA", _
    "Numoria10.clsVxNumsAdvancedA", "Numoria10.clsVxNumsMatrixA", _
    "Numoria10.clsVxNumsConversionsA", "Numoria10.clsVxNumsPerComA")
createdCount = 0
For Each progId In progIds
    Set created = CreateObject(progId)
    CheckNoError "create " & progId
    createdCount = createdCount + 1
    CheckEqual "environment calls after creating " & progId, LoggedCalls("EnsureVxEnvironmentStatus"), createdCount
    Set created = Nothing
Next
CheckEqual "no error reports", LoggedCalls("ErrorHandlerMessageVx"), 0

Dim general
Set general = CreateObject("Numoria10.clsVxNumsGeneralA")
general.About
CheckError "clsVxNumsGeneralA has no members", 438, "Microsoft VBScript runtime error", _
    "Object doesn't support this property or method"

Dim information, aboutResult
Set information = CreateObject("Numoria10.clsVxNumoria10A")
aboutResult = information.About
CheckNoError "About"
CheckEqual "About returns 0", aboutResult, CLng(0)
CheckEqual "About reaches the framework once", LoggedCalls("AppAboutVxfu"), 1

Dim matrix, madeRecord
Set matrix = CreateObject("Numoria10.clsVxNumsMatrixA")
madeRecord = matrix.CreateMatrix(0, 5)
CheckError "CreateMatrix(0, 5)", 1000, "ZizivaDav - CreateMatrix", "Cannot create matrix with dimention = 0!"
madeRecord = matrix.CreateMatrix(5, 0, 1, 2)
CheckError "CreateMatrix(5, 0, 1, 2)", 1000, "ZizivaDav - CreateMatrix", "Cannot create matrix with dimention = 0!"
madeRecord = matrix.CreateMatrix(0, 0)
CheckError "CreateMatrix(0, 0)", 1000, "ZizivaDav - CreateMatrix", "Cannot create matrix with dimention = 0!"

Finish
