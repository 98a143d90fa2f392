' What a script pays per call into the component, run by hand under Wine (figures in
' bench/README.md):  wine cscript //nologo component\tests\bench.vbs
Dim spell : Set spell = CreateObject("Lexivane.SpellCheck")
spell.Init "", ""
Dim words : words = Array("the", "house", "teh", "wrold", "quickly", "Monday", "colour", "recieve")
Dim calls, i, start, elapsed, answer, list
calls = 200000
start = Timer
For i = 1 To calls
  answer = spell.CheckWord(words(i Mod 8))
Next
elapsed = Timer - start
WScript.Echo "CheckWord from VBScript: " & FormatNumber(elapsed / calls * 1000000, 2) & " us a call"
calls = 2000
start = Timer
For i = 1 To calls
  spell.GetSuggestions words(i Mod 8), list
Next
elapsed = Timer - start
WScript.Echo "GetSuggestions from VBScript: " & FormatNumber(calls / elapsed, 0) & " calls/s"
