// GetSuggestions from JScript, which passes its variables by value: undefined and null are taken
// as "no array", and the call counts the suggestions (the list itself cannot come back).
var failures = 0;
function expect(what, actual, expected) {
  if (actual !== expected) {
    WScript.Echo("FAILED: " + what + " is " + actual + ", expected " + expected);
    failures++;
  }
}

var spell = new ActiveXObject("Lexivane.SpellCheck");
spell.Init("", "");
var list;
try {
  expect("the count with an undefined variable", spell.GetSuggestions("teh", list) > 0, true);
  expect("the count with null", spell.GetSuggestions("teh", null) > 0, true);
  expect("the variable afterwards", typeof list, "undefined");
  expect("the count without the custom dictionary",
         spell.GetSuggestions("teh", null, false) > 0, true);
} catch (e) {
  WScript.Echo("FAILED: " + e.number + " " + e.description);
  failures++;
}
WScript.Echo("suggestions.js finished with " + failures + " failures");
