' Errors as a script sees them: Err.Number, Err.Source and Err.Description after a failing call.
Option Explicit
Dim failures : failures = 0

Sub Expect(what, actual, expected)
  If actual <> expected Then
    WScript.Echo "FAILED: " & what & " is " & actual & ", expected " & expected
    failures = failures + 1
  End If
End Sub

Dim files : Set files = CreateObject("Scripting.FileSystemObject")
Dim missing : missing = files.BuildPath(files.GetSpecialFolder(2), files.GetTempName())
Dim spell : Set spell = CreateObject("Lexivane.SpellCheck")
spell.AddToCustom "Errorscriptword"

On Error Resume Next
spell.SaveCustom files.BuildPath(missing, "custom.dic")
Dim number : number = Err.Number
Dim source : source = Err.Source
Dim description : description = Err.Description
Err.Clear
On Error GoTo 0
' The Win32 error "path not found", as an HRESULT.
Expect "Err.Number after saving into a missing folder", number, &H80070003
Expect "Err.Source", source, "Lexivane.SpellCheck"
Expect "Err.Description is given", Len(description) > 0, True

' Arguments the member does not take.
On Error Resume Next
spell.CheckWord
Expect "CheckWord without its word fails", Err.Number <> 0, True
Err.Clear
spell.CheckWord "word", True, 1
Expect "CheckWord with an argument too many fails", Err.Number <> 0, True
Err.Clear
spell.CheckWord spell
Expect "CheckWord with an object for the word fails", Err.Number <> 0, True
Err.Clear
On Error GoTo 0

' A call that fails leaves the script's variables as they were: the flags of the dialog are
' written back only by a call that succeeded (here the third argument cannot be a boolean).
Dim changeAll : changeAll = 5
Dim ignoreAll : ignoreAll = "not a boolean"
On Error Resume Next
spell.ShowSuggestionDialog "teh", changeAll, ignoreAll
number = Err.Number
Err.Clear
On Error GoTo 0
Expect "Err.Number of a flag that is no boolean", number, 13
Expect "the first flag after the failed call", changeAll, 5
Expect "its type", TypeName(changeAll), "Integer"

' After all that the object still works.
Expect "CheckWord afterwards", spell.CheckWord("errorscriptword"), True
WScript.Echo "errors.vbs finished with " & failures & " failures"
