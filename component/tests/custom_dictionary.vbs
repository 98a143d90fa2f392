' The custom dictionary from a script: save to a file, load it back, and a file that is missing.
Option Explicit
Dim failures : failures = 0

Sub Expect(what, actual, expected)
  If actual <> expected Then
    WScript.Echo "FAILED: " & what & " is " & actual & ", expected " & expected
    failures = failures + 1
  End If
End Sub

Dim files : Set files = CreateObject("Scripting.FileSystemObject")
Dim folder : folder = files.BuildPath(files.GetSpecialFolder(2), files.GetTempName())
files.CreateFolder folder
Dim saved : saved = files.BuildPath(folder, "saved.dic")
Dim other : other = files.BuildPath(folder, "other.dic")

Dim spell : Set spell = CreateObject("Lexivane.SpellCheck")
spell.Init "", ""
spell.AddToCustom "Firstscriptword"
Expect "SaveCustom's result is Empty", IsEmpty(spell.SaveCustom(saved)), True
Expect "the saved file", files.OpenTextFile(saved).ReadAll(), "Firstscriptword" & vbCrLf

Dim stream : Set stream = files.CreateTextFile(other)
stream.Write "Otherscriptword" & vbCrLf
stream.Close
Expect "LoadCustom(other)", spell.LoadCustom(other), True
Expect "a loaded word", spell.CheckWord("otherscriptword"), True
Expect "a word of the replaced list", spell.CheckWord("firstscriptword"), False
Expect "LoadCustom(saved)", spell.LoadCustom(saved), True
Expect "the word saved before", spell.CheckWord("firstscriptword"), True

' Another object of the same thread shares the list.
Dim second : Set second = CreateObject("Lexivane.SpellCheck")
Expect "the word on a second object", second.CheckWord("firstscriptword"), True

Expect "LoadCustom of a missing file", spell.LoadCustom(files.BuildPath(folder, "none.dic")), False
Expect "the list after a failed load", spell.CheckWord("firstscriptword"), True

files.DeleteFolder folder
WScript.Echo "custom_dictionary.vbs finished with " & failures & " failures"
