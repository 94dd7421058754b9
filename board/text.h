// Text for answers: JSON strings and HTML, escaped.
#pragma once
#include <string>

// s as a JSON string, quotes included; control characters and bytes that are
// not ASCII written as \u00XX, so any name gives valid JSON.
std::string JsonString(const std::string& s);
// s with & < > " ' written as entities.
std::string HtmlEscape(const std::string& s);
