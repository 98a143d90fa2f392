// A minimal host: checks the words given on the command line, in UTF-8 as a Linux terminal
// passes them, and prints "word: ok" or the word followed by its suggestions.
#include <lexivane/lexivane.h>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  lexivane::SpellCheck speller;
  try {
    speller.Init();
  } catch (const lexivane::Error& error) {
    std::cerr << "host: " << error.what() << '\n';
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    const std::u16string word = lexivane::FromUtf8(argv[i]);
    std::cout << lexivane::ToUtf8(word) << ':';
    if (speller.CheckWord(word)) {
      std::cout << " ok\n";
      continue;
    }
    std::vector<std::u16string> suggestions;
    speller.GetSuggestions(word, suggestions);
    for (const std::u16string& suggestion : suggestions) {
      std::cout << ' ' << lexivane::ToUtf8(suggestion);
    }
    std::cout << '\n';
  }
}
