// A minimal host: checks the words given on the command line and prints suggestions.
#include <lexivane/lexivane.h>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  lexivane::SpellCheck speller;
  speller.Init();
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    const std::u16string word16(word.begin(), word.end());  // ASCII input, for brevity
    if (speller.CheckWord(word16)) {
      std::cout << word << ": ok\n";
      continue;
    }
    std::vector<std::u16string> suggestions;
    speller.GetSuggestions(word16, suggestions);
    std::cout << word << ":";
    for (const std::u16string& suggestion : suggestions) {
      std::cout << ' ' << std::string(suggestion.begin(), suggestion.end());
    }
    std::cout << '\n';
  }
}
