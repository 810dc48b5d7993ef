// The application's texts in English and Simplified Chinese, and the strings data PAPPL gets
// for each language: the options' labels, the texts of the application's own pages and
// messages, and for Chinese PAPPL's own texts as well (PAPPL 1.3.1 has no Chinese of its
// own). PAPPL picks the language by the browser's Accept-Language (an IPP client's
// attributes-natural-language), falling back to English.
//
// To add a text: one WebText line in web_strings.cpp. Its key is what the code asks PAPPL
// for: the English text itself (as PAPPL's own keys are), or a keyword key such as
// "printer-state-reasons.NAME" with its English given beside it. Where the Windows pages
// say the same thing, the Chinese is their caption or message.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "printerapp/option_labels.h"

namespace krv::app {

struct WebText {
    std::string key;
    std::string english;  // empty: the key is the English text
    std::string chinese;
};

// Every text of the application's pages and messages.
const std::vector<WebText>& WebTexts();

// The whole strings data for a language, built once; stays valid for the life of the
// program (PAPPL keeps a pointer to it).
const std::string& StringsData(Language language);

// PAPPL's own texts in Chinese: printerapp/strings/pappl-zh-CN.strings, one line a key of
// PAPPL 1.3.1's English strings in their order, international paper size names (A4, JIS B4...)
// as they are. No comments in it: PAPPL 1.3.1 reads the key after a comment one character
// too late and drops the rest of the data.
extern const char kPapplChineseStrings[];

// The key to look a page message up by: the English key of a rule's Chinese message (the
// logo and download pages' messages come from their rules in Chinese), else the message.
std::string_view MessageKey(std::string_view message);

// The application's own text of `key` in `language`; the key itself when there is none.
std::string Translate(std::string_view key, Language language);

// `pattern` with each "%s" replaced by the next of `values` (a missing value leaves "%s").
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace krv::app
