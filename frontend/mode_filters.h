// The filter of each document mode (document_modes.h), one function per family of formats, each
// in a file of its own. Each keeps the contract of HideNonProse: it only turns code units into
// blanks (LF and CR stay), or a sequence standing for one character (or for none) into that
// character and word joiners (U+2060), never changing the text's length.
#pragma once

#include <string>

namespace lexivane::frontend {

void HideUrls(std::u16string& text);                  // url_filter.cc; the other filters may use it
void HideMarkdownMarkup(std::u16string& text);        // markup_filters.cc
void HideHtmlMarkup(std::u16string& text, bool xml);  // markup_filters.cc
void HideTexMarkup(std::u16string& text);             // tex_filter.cc
void HideNroffMarkup(std::u16string& text);           // nroff_filter.cc
void KeepCFamilyCommentsAndStrings(std::u16string& text);  // code_filters.cc
void KeepHashComments(std::u16string& text);               // code_filters.cc
void KeepPythonCommentsAndStrings(std::u16string& text);   // code_filters.cc

}  // namespace lexivane::frontend
