' The component from a script: create it by its ProgID, check words, ask for suggestions into a
' script's array, and call the other members.
Option Explicit
Dim failures : failures = 0

Sub Expect(what, actual, expected)
  If actual <> expected Then
    WScript.Echo "FAILED: " & what & " is " & actual & ", expected " & expected
    failures = failures + 1
  End If
End Sub

Function Contains(list, word)
  Dim item
  Contains = False
  For Each item In list
    If item = word Then Contains = True
  Next
End Function

Dim spell : Set spell = CreateObject("Lexivane.SpellCheck")
Expect "CheckWord(""house"") before Init", spell.CheckWord("house"), False
Expect "Init's result is Empty", IsEmpty(spell.Init("", "")), True
Expect "CheckWord(""Teh"")", spell.CheckWord("Teh"), False
Expect "CheckWord(""the"")", spell.CheckWord("the"), True
Expect "CheckWord(""house"", False)", spell.CheckWord("house", False), True

spell.AddToCustom "Scriptword"
Expect "a custom word", spell.CheckWord("scriptword"), True
Expect "a custom word, bCheckCustom False", spell.CheckWord("scriptword", False), False

Dim suggestions : suggestions = Array()
Dim ranked : ranked = spell.GetSuggestions("Teh", suggestions)
Expect "suggestions ranked for Teh > 0", ranked > 0, True
Expect "the suggestions hold the", Contains(suggestions, "the"), True
Expect "every ranked suggestion is in the array", UBound(suggestions) + 1 >= ranked, True

' Nothing found: the array has no elements at all.
suggestions = Array("old")
Expect "suggestions ranked for zzzzqqqq", spell.GetSuggestions("zzzzqqqq", suggestions), 0
Dim upper
On Error Resume Next
upper = UBound(suggestions)
Expect "UBound of an array without elements fails", Err.Number <> 0, True
On Error GoTo 0

' A word too short to correct leaves the array alone, a fixed-size one too.
suggestions = Array("keep")
Expect "suggestions ranked for a", spell.GetSuggestions("a", suggestions), 0
Expect "the array kept", suggestions(0), "keep"
Dim fixed(0) : fixed(0) = "keep"
On Error Resume Next
ranked = spell.GetSuggestions("123", fixed)
Expect "the error of GetSuggestions(""123"") into a fixed-size array", Hex(Err.Number), "0"
On Error GoTo 0
Expect "the fixed array kept", fixed(0), "keep"
' Suggestions that would replace it: refused, with the component's description, the array kept.
On Error Resume Next
ranked = spell.GetSuggestions("teh", fixed)
Dim number : number = Err.Number
Dim description : description = Err.Description
On Error GoTo 0
Expect "the error of GetSuggestions(""teh"") into a fixed-size array", Hex(number), "8002000D"
Expect "its description names SuggOut", InStr(description, "SuggOut") > 0, True
Expect "the fixed array kept after that", fixed(0), "keep"

Expect "SuggestionSimilarity of a new object", spell.SuggestionSimilarity, CSng(0.8)
spell.SuggestionSimilarity = 0.5
Expect "SuggestionSimilarity after setting 0.5", spell.SuggestionSimilarity, CSng(0.5)
spell.SuggestionSimilarity = 3
Expect "SuggestionSimilarity after setting 3", spell.SuggestionSimilarity, CSng(1)

Const lvIgnore = 2, lvAddWord = 16, lvDisableButtons = 1, lvEnableButtons = 2
spell.DisableButtons lvAddWord Or lvIgnore, lvDisableButtons
spell.DisableButtons lvAddWord Or lvIgnore, lvEnableButtons

Expect "ReplaceWord with literals", spell.ReplaceWord("Teh cat, teh.", "teh", "the"), "the cat, the."
' Variables as they stand (by reference, as Variants) and in parentheses (by value); none is
' written.
Dim text, find, replacement
text = "Teh cat, teh." : find = "teh" : replacement = "the"
Expect "ReplaceWord with variables", spell.ReplaceWord(text, find, replacement), "the cat, the."
Expect "ReplaceWord with values", spell.ReplaceWord((text), (find), (replacement)), "the cat, the."
Expect "the text variable afterwards", text, "Teh cat, teh."

Expect "CheckText's result is Empty", IsEmpty(spell.CheckText("Teh cat", False)), True

WScript.Echo "basics.vbs finished with " & failures & " failures"
