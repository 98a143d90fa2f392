' Events in a script, run by lexivane_script_host (Wine's own host cannot connect events): the
' events of two checks, the second cancelled from the handler at its second unknown word.
Option Explicit
Dim failures : failures = 0

Sub Expect(what, actual, expected)
  If actual <> expected Then
    WScript.Echo "FAILED: " & what & " is " & actual & ", expected " & expected
    failures = failures + 1
  End If
End Sub

Dim log, unknown
Sub spell_SpellCheckProgress(position, total, words)
  log = log & "progress " & position & " " & total & " " & words & "; "
End Sub
Sub spell_SpellWordNotInDic(word, position, Cancel)
  unknown = unknown + 1
  log = log & "not in dictionary " & word & " " & position & "; "
  If unknown = 2 Then Cancel = True
End Sub
Sub spell_SpellCheckCancel()
  log = log & "cancel; "
End Sub
Sub spell_SpellCheckComplete(words)
  log = log & "complete " & words & "; "
End Sub

Dim spell : Set spell = WScript.CreateObject("Lexivane.SpellCheck")
WScript.ConnectObject spell, "spell_"
spell.Init "", ""

log = "" : unknown = 0
spell.CheckText "Teh cat", False
WScript.Echo log
Expect "events of ""Teh cat""", log, _
  "progress 0 7 1; not in dictionary Teh 0; progress 4 7 2; complete 2; "

log = "" : unknown = 0
spell.CheckText "Teh cat sat on teh mat", False
WScript.Echo log
Expect "events of a check cancelled at the second unknown word", log, _
  "progress 0 22 1; not in dictionary Teh 0; progress 4 22 2; progress 8 22 3; " & _
  "progress 12 22 4; progress 15 22 5; not in dictionary teh 15; cancel; "

WScript.Echo "events.vbs finished with " & failures & " failures"
